#include "resources/artwork/Composer.h"

#include "resources/artwork/BitmapCatalogue.h"
#include "resources/artwork/MeterScale.h"
#include "resources/artwork/Palette.h"
#include "resources/artwork/TableReading.h"
#include "shell/ControlTable.h"
#include "shell/ParameterTags.h"
#include "shell/FactoryValues.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const CK_Canvas& bitmapOf(const CK_BitmapSet& bitmaps, const char* name)
{
    return bitmaps.at(ck_findBitmapInfo(name)->name);
}

// Copies rows [from, to) of one frame of a strip to (x, y + from).
void drawRows(const CK_Canvas& target, const CK_Canvas& strip, int frameTop, int width, int from, int to, double x,
              double y, double alpha = 1.0)
{
    if (to <= from) return;
    cairo_t* cr = target.cr();
    cairo_save(cr);
    cairo_rectangle(cr, x, y + from, width, to - from);
    cairo_clip(cr);
    cairo_set_source_surface(cr, strip.surface(), x, y - frameTop);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

int frameOf(const CK_PlacedView& v, const CK_WindowState& s)
{
    const float x = v.tag >= 0 && v.tag < static_cast<int>(s.value.size()) ? s.value[v.tag] : 0.0f;
    switch (v.kind) {
    case CK_ViewKind::Knob: return static_cast<int>((v.frames - 1) * x);
    case CK_ViewKind::CurvedKnob: return static_cast<int>((v.frames - 1) * (1 - std::pow(1 - x, 4)));
    case CK_ViewKind::LedSwitch:
    case CK_ViewKind::ClipLamp: return x > 0 ? v.frames - 1 : 0;
    case CK_ViewKind::LoopSwitch: return x > 0 ? v.frames / 2 : 0;
    case CK_ViewKind::ImageMenu: return static_cast<int>((v.options - 1) * x + 0.5);
    default: return x > 0 ? 1 : 0;
    }
}

bool shown(const CK_PlacedView& v, const CK_WindowState& s)
{
    if (v.kind == CK_ViewKind::Page) return v.tag == s.page;
    if (v.kind == CK_ViewKind::Panel && v.tag == kPanelMidiLearn) return s.midiLearnShown;
    return true;
}

bool panelOpen(const CK_PlacedView& v, const CK_WindowState& s)
{
    if (v.kind != CK_ViewKind::Panel) return false;
    if (v.tag == kPanelSettings) return s.settingsOpen;
    if (v.tag == kPanelCredits) return s.creditsOpen;
    return true;
}

void drawMeter(const CK_Canvas& c, const CK_BitmapSet& bitmaps, const CK_PlacedView& v, double x, double y,
               const CK_WindowState& s)
{
    const CK_Canvas& strip = bitmapOf(bitmaps, v.bitmap);
    const int scale = static_cast<int>(s.value[kTagMeterType] * (kMeterScales - 1) + 0.5);
    const double dbfs = s.meterDbfs[v.tag == kTagPeakMeterLeft ? 0 : 1];
    const int lit = static_cast<int>(std::floor(ck_meterRow(dbfs)));
    const int section = scale * 2 * v.rect.height;
    drawRows(c, strip, section, v.rect.width, 0, lit, x, y);
    drawRows(c, strip, section + v.rect.height, v.rect.width, lit, v.rect.height, x, y);
}

void drawView(const CK_Canvas& c, const CK_BitmapSet& bitmaps, const std::vector<CK_PlacedView>& views, int index,
              double ox, double oy, const CK_WindowState& s)
{
    const CK_PlacedView& v = views[index];
    if (!shown(v, s)) return;
    const bool container = v.kind == CK_ViewKind::Panel || v.kind == CK_ViewKind::Page;
    const double x = ox + (container && !panelOpen(v, s) ? v.homeX : v.rect.x);
    const double y = oy + (container && !panelOpen(v, s) ? v.homeY : v.rect.y);
    if (v.kind == CK_ViewKind::Meter) {
        drawMeter(c, bitmaps, v, x, y, s);
    } else if (v.kind == CK_ViewKind::Image) {
        const int scale = static_cast<int>(s.value[kTagMeterType] * (v.frames - 1) + 0.5);
        drawRows(c, bitmapOf(bitmaps, v.bitmap), scale * v.rect.height, v.rect.width, 0, v.rect.height, x, y);
    } else if (v.bitmap) {
        const int frame = container ? 0 : frameOf(v, s);
        drawRows(c, bitmapOf(bitmaps, v.bitmap), frame * v.rect.height, v.rect.width, 0, v.rect.height, x, y);
    }
    if (container)
        for (size_t k = index + 1; k < views.size(); ++k)
            if (views[k].parent == index) drawView(c, bitmaps, views, static_cast<int>(k), x, y, s);
}

CK_WindowState baseState()
{
    CK_WindowState s;
    s.value.assign(kParameterCount, 0.0f);
    for (int p = 0; p < kHostParameterCount; ++p)
        s.value[p] = factoryNormalisedValue(p);
    s.page = kPageLowBand;
    s.value[kTagLowBandButton] = 1.0f;
    return s;
}

} // namespace

CK_WindowState ck_factoryState()
{
    return baseState();
}

CK_WindowState ck_everythingOnState()
{
    CK_WindowState s = baseState();
    for (const CK_PlacedView& v : ck_placedViews()) {
        if (v.tag < 0 || v.tag == kTagBypass) continue;
        if (v.kind == CK_ViewKind::LedSwitch || v.kind == CK_ViewKind::OnOff || v.kind == CK_ViewKind::ClipLamp)
            s.value[v.tag] = 1.0f;
    }
    s.value[kTagMeterType] = 2.0f / 3.0f;
    s.meterDbfs[0] = -2.5;
    s.meterDbfs[1] = -6.0;
    return s;
}

CK_WindowState ck_panelsOpenState()
{
    CK_WindowState s = baseState();
    s.settingsOpen = true;
    s.creditsOpen = true;
    s.value[kTagSettingsButton] = 1.0f;
    s.value[kTagCreditsButton] = 1.0f;
    s.midiLearnShown = true;
    s.meterDbfs[0] = -18;
    s.meterDbfs[1] = -21;
    return s;
}

CK_Canvas ck_composeWindow(const CK_BitmapSet& bitmaps, const CK_WindowState& state)
{
    const CK_Canvas& background = bitmapOf(bitmaps, ck_backgroundBitmap());
    CK_Canvas c(background.width(), background.height());
    c.paint(background, 0, 0);
    const std::vector<CK_PlacedView>& views = ck_placedViews();
    for (size_t i = 0; i < views.size(); ++i)
        if (views[i].parent < 0) drawView(c, bitmaps, views, static_cast<int>(i), 0, 0, state);
    return c;
}

namespace {

constexpr int kSheetWidth = 1240;
constexpr int kMargin = 24;
constexpr int kGap = 18;

void checkerboard(const CK_Canvas& c, double x, double y, double w, double h)
{
    c.fillRect(x, y, w, h, ck_rgb(0x5a5a5a));
    for (int j = 0; j * 4 < h; ++j)
        for (int i = 0; i * 4 < w; ++i)
            if ((i + j) % 2) c.fillRect(x + i * 4, y + j * 4, std::min(4.0, w - i * 4), std::min(4.0, h - j * 4), ck_rgb(0x6e6e6e));
}

// Frames the sheet shows of a strip: all of them, or every tenth of a knob's 101.
std::vector<int> framesShown(const CK_BitmapInfo& bmp)
{
    std::vector<int> frames;
    const int step = bmp.frames > 20 ? 10 : 1;
    for (int f = 0; f < bmp.frames; f += step)
        frames.push_back(f);
    return frames;
}

struct Cell {
    const CK_BitmapInfo* bmp;
    double x, y, w, h;
};

} // namespace

CK_Canvas ck_contactSheet(const CK_BitmapSet& bitmaps)
{
    struct Window {
        const char* title;
        CK_WindowState state;
    };
    const Window windows[] = {
        {"The window at factory program 0", ck_factoryState()},
        {"Everything on: every switch lit, meters near full scale on the K14 scale", ck_everythingOnState()},
        {"Panels out: settings, credits and MIDI learn", ck_panelsOpenState()},
    };
    // Lay the cells out first to know the page's height.
    const double windowsBottom = 60 + 3 * (176 + 34);
    std::vector<Cell> cells;
    double x = kMargin, y = windowsBottom + 10, rowHeight = 0;
    CK_Canvas measure(1, 1);
    for (size_t i = 0; i < kBitmapCount; ++i) {
        const CK_BitmapInfo& bmp = kBitmapCatalogue[i];
        const int fh = bmp.height / bmp.frames;
        const std::vector<int> frames = framesShown(bmp);
        const double w = std::max(frames.size() * (bmp.width + 4.0) - 4, 150.0);
        const double h = fh + 30;
        if (x + w > kSheetWidth - kMargin) {
            x = kMargin;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        cells.push_back({&bmp, x, y, w, h});
        x += w + kGap;
        rowHeight = std::max(rowHeight, h);
    }
    const int height = static_cast<int>(y + rowHeight + kMargin);

    CK_Canvas c(kSheetWidth, height);
    c.fillRect(0, 0, kSheetWidth, height, ck_rgb(0x1c1d1f));
    c.text("Brelvik Suite \u2014 editor artwork", kMargin, 34, 18, CK_Weight::Bold, CK_Align::Left, ck_rgb(0xeeeeee));
    c.text(std::to_string(kBitmapCount) + " bitmaps, drawn by brelvik-artwork; every window below is composed from them at "
               "the control table's positions",
           kMargin, 50, 10, CK_Weight::Regular, CK_Align::Left, ck_rgb(0x9a9a9a));
    double wy = 60;
    for (const Window& w : windows) {
        c.text(w.title, kMargin, wy + 16, 10, CK_Weight::Bold, CK_Align::Left, ck_rgb(0xcccccc));
        c.paint(ck_composeWindow(bitmaps, w.state), kMargin, wy + 24);
        wy += 176 + 34;
    }
    for (const Cell& cell : cells) {
        const CK_BitmapInfo& bmp = *cell.bmp;
        const int fh = bmp.height / bmp.frames;
        const std::vector<int> frames = framesShown(bmp);
        char info[96];
        std::snprintf(info, sizeof info, "%d \u00d7 %d, %d frame%s%s", bmp.width, bmp.height, bmp.frames,
                      bmp.frames == 1 ? "" : "s", frames.size() < static_cast<size_t>(bmp.frames) ? " (every 10th shown)" : "");
        c.text(bmp.name, cell.x, cell.y + 10, 10, CK_Weight::Bold, CK_Align::Left, ck_rgb(0xdddddd));
        c.text(info, cell.x, cell.y + 22, 8.5, CK_Weight::Regular, CK_Align::Left, ck_rgb(0x999999));
        const CK_Canvas& strip = bitmaps.at(bmp.name);
        double fx = cell.x;
        for (int f : frames) {
            checkerboard(c, fx, cell.y + 28, bmp.width, fh);
            drawRows(c, strip, f * fh, bmp.width, 0, fh, fx, cell.y + 28);
            fx += bmp.width + 4;
        }
    }
    return c;
}
