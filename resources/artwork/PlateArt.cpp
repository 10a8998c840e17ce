// The faceplate (BGD.png): anthracite plate, recessed screens behind the views that draw
// themselves, section titles and the words beside every control, all placed from the table.
#include "resources/artwork/Artwork.h"
#include "resources/artwork/Palette.h"
#include "resources/artwork/TableReading.h"
#include "shell/ControlTable.h"
#include "shell/ParameterTags.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const CK_PlacedView& viewOf(int tag, CK_ViewKind kind)
{
    return ck_placedViews()[ck_findView(tag, kind)];
}

// A value as printed on a range: 1k for 1000, one decimal only when needed, a real minus sign.
std::string number(double v)
{
    char buf[32];
    const double a = std::fabs(v);
    if (a >= 1000 && std::fmod(a, 1000) == 0)
        std::snprintf(buf, sizeof buf, "%gk", a / 1000);
    else
        std::snprintf(buf, sizeof buf, "%g", a);
    return (v < 0 ? "\u2212" : "") + std::string(buf);
}

std::string unitOf(const char* name)
{
    if (!name) return "";
    const std::string n = name;
    const size_t space = n.rfind(' ');
    const std::string last = space == std::string::npos ? "" : n.substr(space + 1);
    for (const char* unit : {"ms", "dB", "Hz", "%"})
        if (last == unit) return last;
    return "";
}

std::string rangeText(const CK_PlacedView& v)
{
    const std::string unit = unitOf(v.name);
    return number(v.minimum) + "\u2026" + number(v.maximum) + (unit.empty() ? "" : " " + unit);
}

constexpr double kCaptionSize = 7.2;
constexpr double kRangeSize = 6.4;

void caption(const CK_Canvas& c, const CK_PlacedView& v, const CK_Caption& cap)
{
    const CK_Rect& r = v.rect;
    const std::string range = cap.showRange ? rangeText(v) : "";
    const double cx = r.x + r.width / 2.0, cy = r.y + r.height / 2.0;
    switch (cap.side) {
    case CK_CaptionSide::Below:
        c.text(cap.text, cx, r.bottom() + 7, kCaptionSize, CK_Weight::Bold, CK_Align::Centre, palette::kCaption, 0.2);
        if (!range.empty())
            c.text(range, cx, r.bottom() + 14, kRangeSize, CK_Weight::Regular, CK_Align::Centre, palette::kRange);
        break;
    case CK_CaptionSide::Above:
        c.text(cap.text, cx, r.y - 3, kCaptionSize, CK_Weight::Bold, CK_Align::Centre, palette::kCaption, 0.5);
        break;
    case CK_CaptionSide::Right:
    case CK_CaptionSide::Left:
    case CK_CaptionSide::RightTop:
    case CK_CaptionSide::LeftTop: {
        const bool right = cap.side == CK_CaptionSide::Right || cap.side == CK_CaptionSide::RightTop;
        const bool top = cap.side == CK_CaptionSide::RightTop || cap.side == CK_CaptionSide::LeftTop;
        const double x = right ? r.right() + 1 : r.x - 1;
        const CK_Align align = right ? CK_Align::Left : CK_Align::Right;
        const double base = top ? r.y + 8 : range.empty() ? cy + 2.6 : cy - 0.5;
        c.text(cap.text, x, base, kCaptionSize, CK_Weight::Bold, align, palette::kCaption, 0.5);
        if (!range.empty())
            c.text(range, x, base + 8, kRangeSize, CK_Weight::Regular, align, palette::kRange);
        break;
    }
    case CK_CaptionSide::OptionsRight:
    case CK_CaptionSide::OptionsLeft: {
        const bool right = cap.side == CK_CaptionSide::OptionsRight;
        const std::vector<std::string> labels = ck_choiceLabels(v.choices);
        for (size_t k = 0; k < labels.size(); ++k) {
            std::string label = labels[k];
            for (char& ch : label) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            const double y = r.y + ck_ladderLedY(r.height, static_cast<int>(labels.size()), static_cast<int>(k));
            c.text(label, right ? r.right() + 2 : r.x - 2, y + 2.2, 6.0, CK_Weight::Bold,
                   right ? CK_Align::Left : CK_Align::Right, palette::kCaption, 0.0, 0.78);
        }
        break;
    }
    case CK_CaptionSide::LeftVertical:
        cairo_save(c.cr());
        cairo_translate(c.cr(), r.x - 3, cy);
        cairo_rotate(c.cr(), -M_PI / 2);
        c.text(cap.text, 0, 0, kCaptionSize, CK_Weight::Bold, CK_Align::Centre, palette::kCaption, 0.5);
        cairo_restore(c.cr());
        break;
    }
}

// The span of a section's views in the window.
CK_Rect sectionBounds(const CK_Section& s)
{
    int left = INT_MAX, right = INT_MIN, top = INT_MAX;
    for (const CK_PlacedView& v : ck_placedViews()) {
        if (v.kind == CK_ViewKind::Panel || v.kind == CK_ViewKind::Page) continue;
        if (std::find(s.tags.begin(), s.tags.end(), v.tag) == s.tags.end()) continue;
        const CK_Rect r = ck_windowRect(v, false);
        left = std::min(left, r.x);
        right = std::max(right, r.right());
        top = std::min(top, r.y);
    }
    return {left, top, right - left, 0};
}

// Title of a section, centred over its views, with engraved rules to either side.
void sectionTitle(const CK_Canvas& c, const CK_Section& s)
{
    const CK_Rect b = sectionBounds(s);
    const int left = b.x, right = b.right(), top = b.y;
    if (left > right) return;
    // Sections that start near the top are titled in the title strip, the others just above.
    const double baseline = top < 40 ? 12 : top - 4;
    const double cx = (left + right) / 2.0;
    const double w = c.text(s.title, cx, baseline, 7.5, CK_Weight::Bold, CK_Align::Centre, palette::kTitle, 1.3);
    const double ruleY = baseline - 3;
    if (cx - w / 2 - 6 > left + 2) {
        c.hLine(left + 2, cx - w / 2 - 6, ruleY, palette::kEngraveDark);
        c.hLine(left + 2, cx - w / 2 - 6, ruleY + 1, palette::kEngraveLight);
        c.hLine(cx + w / 2 + 6, right - 2, ruleY, palette::kEngraveDark);
        c.hLine(cx + w / 2 + 6, right - 2, ruleY + 1, palette::kEngraveLight);
    }
}

void engravedRule(const CK_Canvas& c, double x, double y0, double y1)
{
    c.vLine(x, y0, y1, palette::kEngraveDark);
    c.vLine(x + 1, y0, y1, palette::kEngraveLight);
}

void screenGrid(const CK_Canvas& c, const CK_Rect& r, int columns, int rows)
{
    for (int i = 1; i < columns; ++i)
        c.vLine(std::floor(r.x + r.width * i / double(columns)), r.y + 1, r.bottom() - 2, palette::kScreenGrid);
    for (int j = 1; j < rows; ++j)
        c.hLine(r.x + 1, r.right() - 1, std::floor(r.y + r.height * j / double(rows)), palette::kScreenGrid);
}

// The EQ screen: the view's own frequency grid (50 Hz to 10 kHz on its 20 Hz to 20.48 kHz log
// axis) with its labels along the bottom, and gain lines every 5 dB of its +-15 dB.
void eqGrid(const CK_Canvas& c, const CK_Rect& r)
{
    const double frequencies[] = {50, 100, 200, 500, 1000, 2000, 5000, 10000};
    for (double f : frequencies) {
        const double x = std::floor(r.x + (std::log10(f) - std::log10(20.0)) / std::log10(1024.0) * r.width);
        c.vLine(x, r.y + 1, r.bottom() - 2, palette::kScreenGrid);
        c.text(number(f), x + 2, r.bottom() - 3, 6.2, CK_Weight::Regular, CK_Align::Left,
               palette::kRange);
    }
    for (int db = -10; db <= 10; db += 5) {
        const double y = std::floor(r.y + r.height / 2.0 - db / 30.0 * r.height);
        c.hLine(r.x + 1, r.right() - 1, y, db == 0 ? palette::kScreenGrid.withAlpha(0.4) : palette::kScreenGrid);
        if (db != 0)
            c.text((db > 0 ? "+" : "") + number(db), r.right() - 3, y - 2, 6.2, CK_Weight::Regular, CK_Align::Right,
                   palette::kRange);
    }
}

// A screen for a view that draws itself, one pixel larger than the view on every side.
void screen(const CK_Canvas& c, const CK_Rect& r)
{
    c.recess(r.x - 1, r.y - 1, r.width + 2, r.height + 3, 3, palette::kScreen);
}

} // namespace

void ck_drawPlate(const CK_Canvas& c, double x, double y, double w, double h, double lift)
{
    cairo_t* cr = c.cr();
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    const CK_Colour top = palette::kPlateTop.mixed(ck_rgb(0xffffff), lift);
    const CK_Colour bottom = palette::kPlateBottom.mixed(ck_rgb(0xffffff), lift);
    cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Fine horizontal brushing from a fixed sequence, so every run draws the same plate.
    uint32_t seed = 0x2545F491u;
    for (int row = 0; row < static_cast<int>(h); ++row) {
        seed = seed * 1664525u + 1013904223u;
        const double a = ((seed >> 8) & 0xff) / 255.0 * 0.035;
        c.hLine(x, x + w, y + row, (seed & 1) ? ck_rgb(0xffffff, a) : ck_rgb(0x000000, a * 1.4));
    }
}

void ck_drawCaptions(const CK_Canvas& c, int container)
{
    const std::vector<CK_PlacedView>& views = ck_placedViews();
    for (const CK_Caption& cap : ck_captions()) {
        for (const CK_PlacedView& v : views) {
            if (v.tag != cap.tag || v.kind == CK_ViewKind::Panel || v.kind == CK_ViewKind::Page) continue;
            // Views on a band page are captioned on the faceplate, where the pages lie.
            int parent = v.parent;
            if (parent >= 0 && views[parent].kind == CK_ViewKind::Page) parent = views[parent].parent;
            if (parent != container) continue;
            if (v.parent >= 0 && views[v.parent].kind == CK_ViewKind::Page) {
                CK_PlacedView placed = v;
                placed.rect = ck_windowRect(v, false);
                caption(c, placed, cap);
            } else {
                caption(c, v, cap);
            }
        }
    }
}

CK_Canvas ck_drawFaceplate(const CK_BitmapInfo& bmp)
{
    CK_Canvas c(bmp.width, bmp.height);
    ck_drawPlate(c, 0, 0, bmp.width, bmp.height, 0.0);
    c.hLine(0, bmp.width, 0, ck_rgb(0xffffff, 0.12));
    c.hLine(0, bmp.width, bmp.height - 1, ck_rgb(0x000000, 0.6));

    // Screens behind the views that draw themselves.
    const CK_Rect eq = ck_windowRect(viewOf(kTagEqView, CK_ViewKind::EqView), false);
    screen(c, eq);
    eqGrid(c, eq);
    const CK_Rect curve = ck_windowRect(viewOf(kTagLowCurve, CK_ViewKind::CurveView), false);
    screen(c, curve);
    screenGrid(c, curve, 4, 4);
    const CK_Rect name = ck_windowRect(viewOf(kTagGlobalName, CK_ViewKind::GlobalName), false);
    const CK_Rect value = ck_windowRect(viewOf(kTagGlobalValue, CK_ViewKind::GlobalValue), false);
    CK_Rect display{name.x, std::min(name.y, value.y), name.width, 0};
    display.height = std::max(name.bottom(), value.bottom()) - display.y;
    screen(c, display);
    c.hLine(display.x + 6, display.right() - 6, std::min(name.bottom(), value.bottom()) + 0.0, palette::kScreenGrid);
    const CK_Rect readout = ck_windowRect(viewOf(kTagPeakReadout, CK_ViewKind::Readout), false);
    screen(c, readout);
    // The meter housing, behind bars and legend.
    const CK_Rect left = ck_windowRect(viewOf(kTagPeakMeterLeft, CK_ViewKind::Meter), false);
    const CK_Rect right = ck_windowRect(viewOf(kTagPeakMeterRight, CK_ViewKind::Meter), false);
    const CK_Rect legend = ck_windowRect(viewOf(kTagMeterScale, CK_ViewKind::Image), false);
    c.recess(left.x + 2, legend.y - 2, right.right() - left.x - 4, legend.height + 5, 3, ck_rgb(0x101316));

    // Rules between the groups of controls.
    engravedRule(c, display.x - 6, 6, bmp.height - 6);
    engravedRule(c, display.right() + 4, 6, bmp.height - 6);

    const std::vector<CK_Section>& sections = ck_sections();
    for (size_t i = 0; i < sections.size(); ++i) {
        sectionTitle(c, sections[i]);
        if (sections[i].ruleAfter && i + 1 < sections.size())
            engravedRule(c, (sectionBounds(sections[i]).right() + sectionBounds(sections[i + 1]).x) / 2, 6,
                         bmp.height - 6);
    }
    ck_drawCaptions(c, -1);

    // The name of the product over the display.
    const double cx = display.x + display.width / 2.0;
    const double w1 = c.textWidth("BRELVIK", 10, CK_Weight::Bold, 2.2);
    const double w2 = c.textWidth("SUITE", 10, CK_Weight::Regular, 2.2);
    const double x0 = cx - (w1 + 6 + w2) / 2;
    c.text("BRELVIK", x0, 16, 10, CK_Weight::Bold, CK_Align::Left, ck_rgb(0xe6e9ec), 2.2);
    c.text("SUITE", x0 + w1 + 6, 16, 10, CK_Weight::Regular, CK_Align::Left, palette::kAccent, 2.2);
    return c;
}
