// Knob strips: a machined cap on a dark collar, with a lit value arc that grows from the minimum
// (frame 0) to the maximum (the last frame), drawn 4x supersampled.
#include "resources/artwork/Artwork.h"
#include "resources/artwork/Palette.h"

#include <cmath>

namespace {

constexpr int kSupersample = 4;
constexpr double kStartAngle = 0.75 * M_PI; // lower left, clockwise over 270 degrees
constexpr double kSweep = 1.5 * M_PI;

// Fills a disc with a pattern and releases the pattern.
void fillDisc(cairo_t* cr, cairo_pattern_t* pattern, double cx, double cy, double r)
{
    cairo_set_source(cr, pattern);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void strokeArc(const CK_Canvas& c, double cx, double cy, double r, double width, const CK_Colour& colour, double to)
{
    cairo_set_line_width(c.cr(), width);
    c.setColour(colour);
    cairo_arc(c.cr(), cx, cy, r, kStartAngle, to);
    cairo_stroke(c.cr());
}

void drawKnob(const CK_Canvas& c, double size, double value)
{
    cairo_t* cr = c.cr();
    const double cx = size / 2, cy = size / 2;
    const bool large = size > 48;
    // Everything stays inside this radius so neighbouring controls keep their corners.
    const double collar = large ? 27.5 : 17.5;
    const double arcRadius = large ? 24.3 : 15.3;
    const double arcWidth = large ? 3.2 : 2.4;
    const double cap = large ? 19.0 : 11.2;
    const double angle = kStartAngle + kSweep * value;

    // Collar: a dark recessed ring, lit from above at its lower lip.
    cairo_pattern_t* ring = cairo_pattern_create_linear(0, cy - collar, 0, cy + collar);
    cairo_pattern_add_color_stop_rgb(ring, 0, 0.055, 0.06, 0.066);
    cairo_pattern_add_color_stop_rgb(ring, 1, 0.13, 0.137, 0.145);
    fillDisc(cr, ring, cx, cy, collar);
    cairo_arc(cr, cx, cy, collar - 0.6, 0, 2 * M_PI);
    c.setColour(ck_rgb(0x000000, 0.7));
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    // Arc track, then the lit arc with its glow.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    strokeArc(c, cx, cy, arcRadius, arcWidth, ck_rgb(0x2a2d31), kStartAngle + kSweep);
    if (value > 0) {
        const CK_Colour& a = palette::kAccent;
        strokeArc(c, cx, cy, arcRadius, arcWidth * 2.0, a.withAlpha(0.22), angle);
        strokeArc(c, cx, cy, arcRadius, arcWidth, a, angle);
        strokeArc(c, cx, cy, arcRadius, arcWidth * 0.35, a.mixed(ck_rgb(0xffffff), 0.55), angle);
    }

    // Shadow of the cap, then the cap: brushed dark metal lit from the top left.
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx, cy + cap * 0.12, cap * 0.8, cx, cy + cap * 0.12, cap * 1.22);
    cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, 0.8);
    cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0);
    fillDisc(cr, shadow, cx, cy, cap * 1.22);

    cairo_pattern_t* body = cairo_pattern_create_linear(cx - cap, cy - cap, cx + cap * 0.6, cy + cap);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.36, 0.375, 0.395);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.15, 0.16, 0.17);
    fillDisc(cr, body, cx, cy, cap);
    // Top face, slightly inset, with a soft sheen.
    const double face = cap * 0.84;
    cairo_pattern_t* top = cairo_pattern_create_radial(cx - face * 0.35, cy - face * 0.45, face * 0.1, cx, cy, face * 1.05);
    cairo_pattern_add_color_stop_rgb(top, 0, 0.33, 0.345, 0.365);
    cairo_pattern_add_color_stop_rgb(top, 1, 0.19, 0.2, 0.215);
    fillDisc(cr, top, cx, cy, face);
    cairo_set_line_width(cr, 0.6);
    c.setColour(ck_rgb(0xffffff, 0.10));
    cairo_arc(cr, cx, cy, face, M_PI * 1.05, M_PI * 1.95);
    cairo_stroke(cr);

    // Pointer: a bright line from near the centre to the rim of the face.
    const double dx = std::cos(angle), dy = std::sin(angle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, large ? 2.6 : 2.0);
    c.setColour(ck_rgb(0x000000, 0.45));
    cairo_move_to(cr, cx + dx * face * 0.32, cy + dy * face * 0.32 + 0.5);
    cairo_line_to(cr, cx + dx * face * 0.9, cy + dy * face * 0.9 + 0.5);
    cairo_stroke(cr);
    cairo_set_line_width(cr, large ? 2.2 : 1.7);
    c.setColour(ck_rgb(0xf4f6f8));
    cairo_move_to(cr, cx + dx * face * 0.32, cy + dy * face * 0.32);
    cairo_line_to(cr, cx + dx * face * 0.9, cy + dy * face * 0.9);
    cairo_stroke(cr);
}

} // namespace

CK_Canvas ck_drawKnob(const CK_BitmapInfo& bmp)
{
    const int size = bmp.width;
    return ck_strip(size, bmp.height / bmp.frames, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        drawKnob(c, size, static_cast<double>(i) / (bmp.frames - 1));
    });
}
