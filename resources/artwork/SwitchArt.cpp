// Buttons, LED switches and image menus. Two-state bitmaps hold the off image above the on image;
// animated LEDs ramp their glow from frame 0 (off) to the last frame (brightest).
#include "resources/artwork/Artwork.h"
#include "resources/artwork/Palette.h"
#include "resources/artwork/TableReading.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr int kSupersample = 4;

bool is(const CK_BitmapInfo& bmp, const char* name)
{
    return std::strcmp(bmp.name, name) == 0;
}

std::string upper(std::string s)
{
    for (char& ch : s)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

// The choice labels of the first view that shows this bitmap.
std::vector<std::string> optionsOf(const CK_BitmapInfo& bmp)
{
    for (const CK_PlacedView& v : ck_placedViews())
        if (v.bitmap && std::strcmp(v.bitmap, bmp.name) == 0 && v.choices)
            return ck_choiceLabels(v.choices);
    return {};
}

double glowOf(int frame, int frames)
{
    return frames > 1 ? static_cast<double>(frame) / (frames - 1) : 1.0;
}

// A small raised key: body inside (x, y, w, h), text or LED drawn by the caller.
void key(const CK_Canvas& c, double x, double y, double w, double h, bool pressed)
{
    const CK_Colour top = pressed ? ck_rgb(0x3a3e43) : palette::kCapTop;
    const CK_Colour bottom = pressed ? ck_rgb(0x24272a) : palette::kCapBottom;
    c.raised(x, y, w, h, 2.5, top, bottom);
}

// An LED key: lens at the left, a word at the right (Led_OnOff, the band switches).
CK_Canvas ledKey(const CK_BitmapInfo& bmp, const std::string& word, const CK_Colour& colour, double top,
                 double bottomMargin, double leftMargin, double rightMargin)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        const double g = glowOf(i, bmp.frames);
        const double w = bmp.width - leftMargin - rightMargin, h = fh - top - bottomMargin;
        key(c, leftMargin, top, w, h, false);
        ck_drawLed(c, leftMargin + 7.5, top + h / 2, 2.6, colour, g);
        c.centredText(word, leftMargin + 12 + (w - 12) / 2, top + h / 2, 7.5, CK_Weight::Bold,
                      palette::kCaption.mixed(ck_rgb(0xffffff), g), 0.4);
    });
}

// A recessed window showing one option per frame, the selected text in the accent colour.
CK_Canvas optionWindow(const CK_BitmapInfo& bmp, const std::vector<std::string>& labels, double size)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        c.recess(0.5, 0.5, bmp.width - 1, fh - 1, 3, palette::kScreen);
        const std::string label = i < static_cast<int>(labels.size()) ? upper(labels[i]) : "";
        c.centredText(label, bmp.width / 2.0, fh / 2.0 - 0.5, size, CK_Weight::Bold, palette::kAccent, 0.6);
    });
}

// A vertical ladder of LEDs, option i lit (EnMb: shared by the two dynamics modes).
CK_Canvas ledLadder(const CK_BitmapInfo& bmp)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        c.recess(0.5, 0.5, bmp.width - 1, fh - 1, 3, palette::kScreen);
        for (int k = 0; k < bmp.frames; ++k)
            ck_drawLed(c, bmp.width / 2.0, ck_ladderLedY(fh, bmp.frames, k), 2.4, palette::kAccent, k == i ? 1.0 : 0.0);
    });
}

// Spatial band mode: the bands the imager works on, lit ("L M H", "M H", "H").
CK_Canvas bandSegments(const CK_BitmapInfo& bmp)
{
    const int fh = bmp.height / bmp.frames;
    const char* bands[3] = {"L", "M", "H"};
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        c.recess(0.5, 0.5, bmp.width - 1, fh - 1, 3, palette::kScreen);
        const double w = (bmp.width - 4.0) / 3;
        for (int k = 0; k < 3; ++k) {
            const bool lit = k >= i;
            c.centredText(bands[k], 2 + w * (k + 0.5), fh / 2.0 - 0.5, 8, CK_Weight::Bold,
                          lit ? palette::kAccent : ck_rgb(0x3a3f45));
        }
    });
}

// A vertical tab with its word turned a quarter and an LED on top (EQ on, split display).
CK_Canvas verticalTab(const CK_BitmapInfo& bmp, const std::string& word, const CK_Colour& colour)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        const double g = glowOf(i, bmp.frames);
        key(c, 0.5, 1, bmp.width - 1, fh - 2, false);
        ck_drawLed(c, bmp.width / 2.0, 8, 2.4, colour, g);
        cairo_save(c.cr());
        cairo_translate(c.cr(), bmp.width / 2.0, fh / 2.0 + 5);
        cairo_rotate(c.cr(), -M_PI / 2);
        c.centredText(word, 0, 0, 7.5, CK_Weight::Bold, palette::kCaption.mixed(ck_rgb(0xffffff), g), 0.8);
        cairo_restore(c.cr());
    });
}

void drawSpeaker(const CK_Canvas& c, double cx, double cy, const CK_Colour& ink)
{
    cairo_t* cr = c.cr();
    c.setColour(ink);
    cairo_move_to(cr, cx - 7, cy - 3);
    cairo_line_to(cr, cx - 3.5, cy - 3);
    cairo_line_to(cr, cx + 1.5, cy - 7.5);
    cairo_line_to(cr, cx + 1.5, cy + 7.5);
    cairo_line_to(cr, cx - 3.5, cy + 3);
    cairo_line_to(cr, cx - 7, cy + 3);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double r : {4.5, 8.0}) {
        cairo_arc(cr, cx + 1.5, cy, r, -0.8, 0.8);
        cairo_stroke(cr);
    }
}

void drawHeadphones(const CK_Canvas& c, double cx, double cy, const CK_Colour& ink)
{
    cairo_t* cr = c.cr();
    c.setColour(ink);
    cairo_set_line_width(cr, 1.6);
    cairo_arc(cr, cx, cy + 1, 7.5, M_PI, 2 * M_PI);
    cairo_stroke(cr);
    c.roundedRect(cx - 9.5, cy, 4.5, 7.5, 1.5);
    cairo_fill(cr);
    c.roundedRect(cx + 5, cy, 4.5, 7.5, 1.5);
    cairo_fill(cr);
}

// Speaker (off) or headphones (on); the key keeps clear of the knob above its right corner and of
// the LED below its last row.
CK_Canvas speakerHeadphone(const CK_BitmapInfo& bmp)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        key(c, 1, 1, 32, fh - 3, i == 1);
        const CK_Colour ink = ck_rgb(0xdfe3e8);
        if (i == 0)
            drawSpeaker(c, 16, fh / 2.0 - 1, ink);
        else
            drawHeadphones(c, 17, fh / 2.0 - 3, palette::kAccent);
    });
}

// Band page selectors: a tab with the band's name, a lit edge toward the page when selected. The
// last five rows stay clear: the next tab overlaps them.
CK_Canvas bandTab(const CK_BitmapInfo& bmp, const std::string& word)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        const bool on = i == 1;
        key(c, 0.5, 0.5, bmp.width - 1, fh - 5.5, on);
        if (on) {
            c.fillRect(2, 3, 2, fh - 10.5, palette::kAccent);
            c.fillRect(2, 3, 6, fh - 10.5, palette::kAccent.withAlpha(0.18));
        }
        c.centredText(word, bmp.width / 2.0 + 2, (fh - 5) / 2.0 - 4, 9.5, CK_Weight::Bold,
                      on ? ck_rgb(0xffffff) : palette::kCaption, 0.8);
        c.centredText("BAND", bmp.width / 2.0 + 2, (fh - 5) / 2.0 + 7, 6.5, CK_Weight::Regular,
                      on ? palette::kAccent : palette::kRange, 1.0);
    });
}

// EQ band switches: the band's colour as a lit bar; one column clear at each side for the
// neighbours' overlap.
CK_Canvas eqBandKey(const CK_BitmapInfo& bmp, int band)
{
    const int fh = bmp.height / bmp.frames;
    const CK_Colour colour = palette::kEqBand[band];
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        const bool on = i == 1;
        key(c, 2, 0.5, bmp.width - 4, fh - 1, on);
        const CK_Colour bar = on ? colour : colour.scaled(0.3);
        c.roundedRect(6, fh / 2.0 - 1.5, 14, 3, 1.5);
        c.setColour(bar);
        cairo_fill(c.cr());
        if (on) {
            c.roundedRect(4.5, fh / 2.0 - 3, 17, 6, 3);
            c.setColour(colour.withAlpha(0.25));
            cairo_fill(c.cr());
        }
        c.centredText("BAND " + std::to_string(band + 1), 40, fh / 2.0 - 0.3, 7, CK_Weight::Bold,
                      on ? ck_rgb(0xffffff) : palette::kCaption, 0.5);
    });
}

// Bypass: frame 0 is the idle key; frames 1 to 13 loop a red pulse. The top four rows stay clear
// for the master gain knob above.
CK_Canvas bypass(const CK_BitmapInfo& bmp)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        const double pulse = i == 0 ? 0.0 : 0.7 + 0.3 * std::cos(2 * M_PI * (i - 1) / (bmp.frames - 1));
        key(c, 0.5, 4.5, bmp.width - 1, fh - 5, false);
        ck_drawLed(c, 8, 4.5 + (fh - 5) / 2.0, 2.5, palette::kLedRed, pulse);
        c.centredText("BYPASS", 31, 4.5 + (fh - 5) / 2.0, 7.5, CK_Weight::Bold,
                      i == 0 ? palette::kCaption : palette::kLedRed.mixed(ck_rgb(0xffffff), 0.45 + 0.3 * pulse), 0.8);
    });
}

// A single LED in a bezel (HD: dynamic mode, HB: band-pass).
CK_Canvas bezelLed(const CK_BitmapInfo& bmp, const CK_Colour& colour)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        const double r = std::min(bmp.width, fh) / 2.0;
        cairo_arc(c.cr(), bmp.width / 2.0, fh / 2.0, r - 0.5, 0, 2 * M_PI);
        c.setColour(ck_rgb(0x16181b));
        cairo_fill(c.cr());
        ck_drawLed(c, bmp.width / 2.0, fh / 2.0, r - 2.5, colour, glowOf(i, bmp.frames));
    });
}

} // namespace

CK_Canvas ck_drawSwitch(const CK_BitmapInfo& bmp)
{
    if (is(bmp, "Led_OnOff.png"))
        return ledKey(bmp, "ON", palette::kLedGreen, 1, 0.5, 0.5, 0.5);
    if (is(bmp, "LowOn.png") || is(bmp, "MidOn.png") || is(bmp, "HighOn.png"))
        return ledKey(bmp, is(bmp, "LowOn.png") ? "LOW" : is(bmp, "MidOn.png") ? "MID" : "HIGH",
                      palette::kLedGreen, 0.5, 0.5, 1, 1);
    if (is(bmp, "LowBut.png")) return bandTab(bmp, "LOW");
    if (is(bmp, "MidBut.png")) return bandTab(bmp, "MID");
    if (is(bmp, "HighBut.png")) return bandTab(bmp, "HIGH");
    const char* eqKeys[5] = {"RedOn.png", "YelOn.png", "BlueOn.png", "CyanOn.png", "GreenOn.png"};
    for (int b = 0; b < 5; ++b)
        if (is(bmp, eqKeys[b]))
            return eqBandKey(bmp, b);
    if (is(bmp, "eqon.png")) return verticalTab(bmp, "EQ ON", palette::kLedGreen);
    if (is(bmp, "splits.png")) return verticalTab(bmp, "SPLITS", palette::kAccent);
    if (is(bmp, "Bypass.png")) return bypass(bmp);
    if (is(bmp, "HD.png")) return bezelLed(bmp, palette::kLedAmber);
    if (is(bmp, "HB.png")) return bezelLed(bmp, palette::kLedAmber);
    if (is(bmp, "Spkr_Hp.png")) return speakerHeadphone(bmp);
    if (is(bmp, "EnMb.png")) return ledLadder(bmp);
    if (is(bmp, "SpMb.png")) return bandSegments(bmp);
    if (is(bmp, "HType.png")) return optionWindow(bmp, optionsOf(bmp), 7.5);
    if (is(bmp, "PeakRMS.png") || is(bmp, "CompMode.png") || is(bmp, "meterselect.png"))
        return optionWindow(bmp, optionsOf(bmp), 9);
    return CK_Canvas(0, 0);
}
