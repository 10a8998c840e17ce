#include "resources/artwork/Artwork.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CK_Canvas ck_strip(int width, int frameHeight, int frames, int supersample, const CK_FrameDrawer& draw)
{
    CK_Canvas strip(width, frameHeight * frames);
    for (int i = 0; i < frames; ++i) {
        CK_Canvas frame(width * supersample, frameHeight * supersample);
        cairo_scale(frame.cr(), supersample, supersample);
        draw(frame, i);
        if (supersample > 1)
            strip.paint(frame.downsampled(supersample), 0, i * frameHeight);
        else
            strip.paint(frame, 0, i * frameHeight);
    }
    // Nearly invisible fringes would still catch the eye of the click test's neighbours.
    strip.dropFaintPixels(4);
    return strip;
}

double ck_ladderLedY(int frameHeight, int count, int k)
{
    return 2 + (frameHeight - 4.0) / count * (k + 0.5);
}

void ck_drawLed(const CK_Canvas& c, double cx, double cy, double r, const CK_Colour& colour, double glow)
{
    cairo_t* cr = c.cr();
    // Halo, then the lens: dark when off, bright with a hot centre when lit.
    if (glow > 0) {
        cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, r * 0.5, cx, cy, r * 2.6);
        cairo_pattern_add_color_stop_rgba(halo, 0, colour.r, colour.g, colour.b, 0.55 * glow);
        cairo_pattern_add_color_stop_rgba(halo, 1, colour.r, colour.g, colour.b, 0);
        cairo_set_source(cr, halo);
        cairo_arc(cr, cx, cy, r * 2.6, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
    }
    cairo_arc(cr, cx, cy, r + 0.8, 0, 2 * M_PI);
    c.setColour(ck_rgb(0x000000, 0.8));
    cairo_fill(cr);
    const CK_Colour off = colour.scaled(0.22);
    const CK_Colour lit = off.mixed(colour, glow);
    const CK_Colour hot = lit.mixed(ck_rgb(0xffffff), 0.55 * glow);
    cairo_pattern_t* lens = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.35, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(lens, 0, hot.r, hot.g, hot.b, 1);
    cairo_pattern_add_color_stop_rgba(lens, 1, lit.r, lit.g, lit.b, 1);
    cairo_set_source(cr, lens);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
}

CK_Canvas ck_drawBitmap(const CK_BitmapInfo& bmp)
{
    if (std::strncmp(bmp.name, "Knob", 4) == 0)
        return ck_drawKnob(bmp);
    if (std::strcmp(bmp.name, "BGD.png") == 0)
        return ck_drawFaceplate(bmp);
    if (std::strcmp(bmp.name, "PkBar.png") == 0 || std::strcmp(bmp.name, "BarScale.png") == 0 ||
        std::strcmp(bmp.name, "clip.png") == 0)
        return ck_drawMeterPart(bmp);
    CK_Canvas art = ck_drawSwitch(bmp);
    if (art.width() > 0)
        return art;
    return ck_drawPanelPart(bmp);
}
