// The output meters: the bar strip (per scale an unlit and a lit image), the scale legends and the
// clip lamps. Colour zones and legend marks come from the meter's own level-to-row mapping.
#include "resources/artwork/Artwork.h"
#include "resources/artwork/MeterScale.h"
#include "resources/artwork/Palette.h"
#include "resources/artwork/TableReading.h"
#include "shell/ControlTable.h"
#include "shell/ParameterTags.h"

#include <cmath>
#include <cstring>

namespace {

// The bar occupies the middle columns of the meter bitmap; the legend lies over the outer five
// columns of both meters and must not hide the bar.
constexpr int kBarLeft = 4;
constexpr int kBarWidth = 7;
constexpr double kMinLabelRows = 8.5;

CK_Colour zoneColour(CK_MeterZone zone)
{
    switch (zone) {
    case CK_MeterZone::Hot: return palette::kMeterHot;
    case CK_MeterZone::Warn: return palette::kMeterWarn;
    default: return palette::kMeterSafe;
    }
}

// Level at the middle of a row, inverting the meter's mapping by bisection.
double levelOfRow(int row)
{
    double lo = -70.0, hi = 0.0;
    for (int k = 0; k < 40; ++k) {
        const double mid = (lo + hi) / 2;
        if (ck_meterRow(mid) > row + 0.5) lo = mid; else hi = mid;
    }
    return (lo + hi) / 2;
}

void drawBar(const CK_Canvas& c, int top, int scale, bool lit)
{
    for (int row = 0; row < kMeterRows; ++row) {
        const CK_Colour zone = zoneColour(ck_meterZone(scale, levelOfRow(row)));
        // Across the bar: brighter in the middle, as a lit tube.
        for (int col = 0; col < kBarWidth; ++col) {
            const double across = 1.0 - std::pow(std::fabs(col - (kBarWidth - 1) / 2.0) / kBarWidth, 2) * 1.6;
            const CK_Colour colour = lit ? zone.scaled(across) : zone.scaled(0.16 + 0.05 * across);
            c.fillRect(kBarLeft + col, top + row, 1, 1, colour);
        }
    }
    // Legend marks as fine dark lines across the bar.
    for (const CK_LegendMark& m : ck_legendMarks(scale, kMinLabelRows)) {
        const int row = static_cast<int>(ck_meterRow(m.dbfs));
        if (row > 0 && row < kMeterRows)
            c.hLine(kBarLeft, kBarLeft + kBarWidth, top + row, ck_rgb(0x000000, lit ? 0.35 : 0.5));
    }
}

CK_Canvas peakBar(const CK_BitmapInfo& bmp)
{
    CK_Canvas c(bmp.width, bmp.height);
    for (int scale = 0; scale < kMeterScales; ++scale) {
        const int section = scale * 2 * kMeterRows;
        drawBar(c, section, scale, false);
        drawBar(c, section + kMeterRows, scale, true);
    }
    return c;
}

// Each legend sits `offset` rows above its meter (from the table's positions); numbers in the
// clear middle columns, a tick at each side against the bars.
CK_Canvas barScale(const CK_BitmapInfo& bmp)
{
    const std::vector<CK_PlacedView>& views = ck_placedViews();
    const CK_PlacedView& meter = views[ck_findView(kTagPeakMeterLeft, CK_ViewKind::Meter)];
    const CK_PlacedView& legend = views[ck_findView(kTagMeterScale, CK_ViewKind::Image)];
    const int offset = meter.rect.y - legend.rect.y;
    const int leftBarEnd = meter.rect.x + kBarLeft + kBarWidth - legend.rect.x;
    const CK_PlacedView& right = views[ck_findView(kTagPeakMeterRight, CK_ViewKind::Meter)];
    const int rightBarStart = right.rect.x + kBarLeft - legend.rect.x;
    const int fh = bmp.height / bmp.frames;
    CK_Canvas c(bmp.width, bmp.height);
    for (int scale = 0; scale < bmp.frames; ++scale) {
        const int top = scale * fh;
        for (const CK_LegendMark& m : ck_legendMarks(scale, kMinLabelRows)) {
            const double row = top + offset + std::floor(ck_meterRow(m.dbfs));
            const double reading = m.dbfs + ck_meterScaleOffset(scale);
            CK_Colour ink = palette::kCaption;
            if (reading > 0) ink = zoneColour(ck_meterZone(scale, m.dbfs)).mixed(ck_rgb(0xffffff), 0.2);
            if (reading == 0) ink = ck_rgb(0xffffff);
            c.hLine(leftBarEnd, leftBarEnd + 2, row, palette::kCaption.withAlpha(0.8));
            c.hLine(rightBarStart - 2, rightBarStart, row, palette::kCaption.withAlpha(0.8));
            cairo_save(c.cr());
            cairo_rectangle(c.cr(), leftBarEnd + 2, top, rightBarStart - leftBarEnd - 4, fh);
            cairo_clip(c.cr());
            c.centredText(m.label, bmp.width / 2.0, row + 0.5, 6.2, CK_Weight::Bold, ink, 0, 0.82);
            cairo_restore(c.cr());
        }
    }
    return c;
}

CK_Canvas clipLamp(const CK_BitmapInfo& bmp)
{
    const int fh = bmp.height / bmp.frames;
    CK_Canvas c(bmp.width, bmp.height);
    for (int i = 0; i < bmp.frames; ++i) {
        const CK_Colour lamp = i == 0 ? palette::kMeterHot.scaled(0.22) : palette::kMeterHot;
        c.roundedRect(0, i * fh, bmp.width, fh, 1.5);
        c.setColour(ck_rgb(0x000000, 0.9));
        cairo_fill(c.cr());
        c.roundedRect(1, i * fh + 1, bmp.width - 2, fh - 2, 1);
        c.setColour(lamp);
        cairo_fill(c.cr());
        if (i > 0)
            c.hLine(2, bmp.width - 2, i * fh + 1, ck_rgb(0xffffff, 0.45));
    }
    return c;
}

} // namespace

CK_Canvas ck_drawMeterPart(const CK_BitmapInfo& bmp)
{
    if (std::strcmp(bmp.name, "PkBar.png") == 0) return peakBar(bmp);
    if (std::strcmp(bmp.name, "BarScale.png") == 0) return barScale(bmp);
    return clipLamp(bmp);
}
