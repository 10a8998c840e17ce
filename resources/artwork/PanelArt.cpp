// The sliding panels and their handles: settings, credits, the MIDI-learn panel and our logo.
#include "resources/artwork/Artwork.h"
#include "resources/artwork/Palette.h"
#include "resources/artwork/TableReading.h"
#include "shell/ControlTable.h"
#include "shell/ParameterTags.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kSupersample = 4;

bool is(const CK_BitmapInfo& bmp, const char* name)
{
    return std::strcmp(bmp.name, name) == 0;
}

// The panel of the view list with this number.
int panelIndex(int number)
{
    return ck_findView(number, CK_ViewKind::Panel);
}

// A panel body: lighter plate, dark outline, lit top edge.
void panelBody(const CK_Canvas& c, double x, double y, double w, double h)
{
    c.roundedRect(x, y, w, h, 4);
    cairo_save(c.cr());
    cairo_clip(c.cr());
    ck_drawPlate(c, x, y, w, h, 0.05);
    c.hLine(x, x + w, y + 1, ck_rgb(0xffffff, 0.14));
    cairo_restore(c.cr());
    c.roundedRect(x + 0.5, y + 0.5, w - 1, h - 1, 4);
    c.setColour(ck_rgb(0x000000, 0.85));
    cairo_set_line_width(c.cr(), 1);
    cairo_stroke(c.cr());
}

// The handle of a sliding panel: a vertical key with its word turned a quarter and a chevron
// pointing where the panel will move.
CK_Canvas handle(const CK_BitmapInfo& bmp, const char* word, bool opensRight)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        const bool open = i == 1;
        c.raised(0.5, 0.5, bmp.width - 1, fh - 1, 3, open ? ck_rgb(0x3e4247) : palette::kCapTop, palette::kCapBottom);
        cairo_t* cr = c.cr();
        // Closed, the chevron points the way the panel opens; open, the way back.
        const bool right = opensRight != open;
        const double cx = bmp.width / 2.0, cy = 10;
        c.setColour(open ? palette::kAccent : palette::kCaption);
        cairo_set_line_width(cr, 1.6);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_move_to(cr, cx + (right ? -2.5 : 2.5), cy - 4.5);
        cairo_line_to(cr, cx + (right ? 2.5 : -2.5), cy);
        cairo_line_to(cr, cx + (right ? -2.5 : 2.5), cy + 4.5);
        cairo_stroke(cr);
        cairo_save(cr);
        cairo_translate(cr, cx, fh / 2.0 + 6);
        cairo_rotate(cr, -M_PI / 2);
        c.centredText(word, 0, 0, 7.5, CK_Weight::Bold, open ? ck_rgb(0xffffff) : palette::kCaption, 1.2);
        cairo_restore(cr);
    });
}

// Our mark: a ring broken at the top by a lit level bar, the name below.
CK_Canvas webLink(const CK_BitmapInfo& bmp)
{
    const int fh = bmp.height / bmp.frames;
    return ck_strip(bmp.width, fh, bmp.frames, kSupersample, [&](const CK_Canvas& c, int i) {
        cairo_t* cr = c.cr();
        const bool pressed = i == 1;
        c.recess(0.5, 0.5, bmp.width - 1, fh - 1, 5, pressed ? ck_rgb(0x14181c) : ck_rgb(0x101316));
        const double cx = bmp.width / 2.0, cy = 34, r = 19;
        cairo_set_line_width(cr, 3.2);
        c.setColour(ck_rgb(0xd8dde2));
        cairo_arc(cr, cx, cy, r, -M_PI / 2 + 0.5, 3 * M_PI / 2 - 0.5);
        cairo_stroke(cr);
        // Three bars rising like a meter, the last one lit.
        for (int k = 0; k < 3; ++k) {
            const double h = 8 + 5 * k;
            c.fillRect(cx - 8 + 6 * k, cy + 9 - h, 4, h, k == 2 ? palette::kAccent : ck_rgb(0xd8dde2));
        }
        c.centredText("BRELVIK", cx, 64, 9, CK_Weight::Bold, ck_rgb(0xe6e9ec), 1.6);
        c.centredText(pressed ? "OPENING\u2026" : "WEBSITE", cx, 75, 6.5, CK_Weight::Regular,
                      pressed ? palette::kAccent : palette::kRange, 1.2);
    });
}

CK_Canvas settingsPanel(const CK_BitmapInfo& bmp)
{
    CK_Canvas c(bmp.width, bmp.height);
    const std::vector<CK_PlacedView>& views = ck_placedViews();
    const int panel = panelIndex(kPanelSettings);
    // The body stops where the handle begins; the handle stands out at the right edge.
    int handleX = bmp.width;
    for (const CK_PlacedView& v : views)
        if (v.parent == panel && v.kind == CK_ViewKind::Exclusive) handleX = v.rect.x;
    panelBody(c, 0, 0, handleX + 2, bmp.height);
    c.text("SETTINGS", 104, 18, 8.5, CK_Weight::Bold, CK_Align::Left, palette::kTitle, 1.4);
    ck_drawCaptions(c, panel);
    // Brackets under the knob captions gather the knobs by what they shape.
    for (const CK_Section& group : ck_settingsGroups()) {
        int left = bmp.width, right = 0, bottom = 0;
        for (const CK_PlacedView& v : views) {
            if (v.parent != panel || std::find(group.tags.begin(), group.tags.end(), v.tag) == group.tags.end()) continue;
            left = std::min(left, v.rect.x);
            right = std::max(right, v.rect.right());
            bottom = std::max(bottom, v.rect.bottom());
        }
        if (left >= right) continue;
        const double y = bottom + 22;
        c.hLine(left + 3, right - 3, y, palette::kRange);
        c.vLine(left + 3, y - 3, y, palette::kRange);
        c.vLine(right - 4, y - 3, y, palette::kRange);
        c.text(group.title, (left + right) / 2.0, y + 10, 7, CK_Weight::Bold, CK_Align::Centre, palette::kTitle, 1.0);
    }
    return c;
}

CK_Canvas creditsPanel(const CK_BitmapInfo& bmp)
{
    CK_Canvas c(bmp.width, bmp.height);
    const std::vector<CK_PlacedView>& views = ck_placedViews();
    const int panel = panelIndex(kPanelCredits);
    int handleRight = 0;
    for (const CK_PlacedView& v : views)
        if (v.parent == panel && v.kind == CK_ViewKind::Exclusive) handleRight = v.rect.right();
    const double x = handleRight - 2, w = bmp.width - x;
    panelBody(c, x, 0, w, bmp.height);
    const double tx = x + 18;
    c.text("BRELVIK", tx, 34, 17, CK_Weight::Bold, CK_Align::Left, ck_rgb(0xeef0f2), 3);
    const double w1 = c.textWidth("BRELVIK", 17, CK_Weight::Bold, 3);
    c.text("SUITE", tx + w1 + 8, 34, 17, CK_Weight::Regular, CK_Align::Left, palette::kAccent, 3);
    c.text("Stereo mastering processor", tx, 50, 9, CK_Weight::Regular, CK_Align::Left, palette::kCaption, 0.3);
    c.text("Version " BRELVIK_VERSION, tx, 62, 8, CK_Weight::Bold, CK_Align::Left, palette::kTitle, 0.6);
    c.hLine(tx, bmp.width - 16, 72, palette::kEngraveDark);
    c.hLine(tx, bmp.width - 16, 73, palette::kEngraveLight);
    const char* lines[] = {
        "Five-band parametric EQ  \u00b7  three-band compressor",
        "Spatial imager  \u00b7  bass and treble enhancers",
        "Parallel mix  \u00b7  K-system output metering",
        "VST 2.4  \u00b7  Linux x86-64, Windows x64 and x86",
    };
    double y = 88;
    for (const char* line : lines) {
        c.text(line, tx, y, 7.5, CK_Weight::Regular, CK_Align::Left, palette::kCaption, 0.2);
        y += 12;
    }
    c.text("Artwork drawn in code; type set in Liberation Sans.", tx, bmp.height - 12, 6.5, CK_Weight::Regular,
           CK_Align::Left, palette::kRange, 0.2);
    return c;
}

// The MIDI-learn panel: a dark glass card with a title, room for the parameter's name (drawn by the
// view at y 28 to 48), a light field for the controller number (140 to 190, 48 to 67, drawn in black)
// and the button that assigns it (70 to 130, 74 to 93).
CK_Canvas midiLearnPanel(const CK_BitmapInfo& bmp)
{
    CK_Canvas c(bmp.width, bmp.height);
    c.roundedRect(0.5, 0.5, bmp.width - 1, bmp.height - 1, 6);
    c.setColour(ck_rgb(0x15181c, 0.97));
    cairo_fill_preserve(c.cr());
    c.setColour(palette::kAccent.withAlpha(0.8));
    cairo_set_line_width(c.cr(), 1);
    cairo_stroke(c.cr());
    c.fillRect(1, 1, bmp.width - 2, 20, palette::kAccent.withAlpha(0.12));
    c.text("MIDI LEARN", 12, 15, 9, CK_Weight::Bold, CK_Align::Left, palette::kAccent, 1.6);
    c.hLine(12, bmp.width - 12, 47.5, ck_rgb(0xffffff, 0.08));
    c.text("Move a controller, or pick one:", 12, 61, 8, CK_Weight::Regular, CK_Align::Left, palette::kTitle);
    c.recess(139, 48, 52, 20, 3, ck_rgb(0xd9dee3));
    c.raised(70.5, 74.5, 59, 18, 3, palette::kCapTop, palette::kCapBottom);
    c.centredText("ASSIGN", 100, 83.5, 8, CK_Weight::Bold, palette::kAccent, 1.2);
    c.centredText("The assignment is saved with the bank.", bmp.width / 2.0, 100.5, 6.5, CK_Weight::Regular,
                  palette::kRange);
    return c;
}

} // namespace

CK_Canvas ck_drawPanelPart(const CK_BitmapInfo& bmp)
{
    if (is(bmp, "SettingsPanelD.png")) return settingsPanel(bmp);
    if (is(bmp, "SettingsBut.png")) return handle(bmp, "SETTINGS", true);
    if (is(bmp, "CreditsPanel.png")) return creditsPanel(bmp);
    if (is(bmp, "CreditsBut.png")) return handle(bmp, "CREDITS", false);
    if (is(bmp, "WebLink.png")) return webLink(bmp);
    if (is(bmp, "AsnMidiCC.png")) return midiLearnPanel(bmp);
    std::fprintf(stderr, "brelvik-artwork: no drawing for %s\n", bmp.name);
    std::exit(1);
}
