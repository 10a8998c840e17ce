#include "editor/displays/CK_GUI_EQ_Window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/displays/CK_LinkedGesture.h"
#include "editor/displays/CK_PanelFade.h"
#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "shell/EqBandColours.h"

using namespace brelvik::gui;

namespace {

enum Slot { kBackground, kGrid, kFill, kOutline, kHandleFirst, kText = 9, kRegionFirst = 10, kSlotCount = 15 };

constexpr CColor band(int index, uint8_t alpha)
{
    const int rgb = EqBandColours::kRgb[index];
    return {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>((rgb >> 8) & 0xff), static_cast<uint8_t>(rgb & 0xff),
        alpha};
}

constexpr CColor kSchemes[4][kSlotCount] = {
    {{0, 0, 0, 0}, {7, 58, 35, 255}, {96, 255, 96, 32}, {96, 200, 96, 128}, band(0, 160), band(1, 160), band(2, 160),
        band(3, 200), band(4, 200), {255, 255, 255, 255}, {0, 0, 255, 64}, {0, 200, 0, 96}, {255, 0, 0, 80},
        {0, 0, 255, 64}, {255, 255, 0, 64}},
    {{0, 0, 0, 0}, {7, 58, 35, 255}, {96, 255, 96, 32}, {96, 200, 96, 128}, band(0, 160), band(1, 160), band(2, 160),
        band(3, 200), band(4, 200), {255, 255, 255, 255}, {255, 0, 0, 64}, {255, 255, 0, 64}, {0, 255, 0, 64},
        {0, 0, 255, 64}, {255, 255, 0, 64}},
    {{0, 0, 0, 0}, {0, 255, 0, 120}, {255, 255, 255, 64}, {186, 247, 247, 128}, {171, 184, 255, 51},
        {228, 189, 123, 51}, {253, 191, 15, 198}, {0, 0, 0, 255}, {140, 140, 140, 255}, {255, 255, 255, 255},
        {255, 0, 0, 160}, {255, 255, 0, 160}, {0, 255, 0, 160}, {255, 0, 0, 160}, {255, 0, 0, 160}},
    {{0, 0, 0, 0}, {0, 255, 0, 120}, {255, 255, 255, 64}, {186, 247, 247, 128}, {171, 184, 255, 51},
        {228, 189, 123, 51}, {253, 191, 15, 198}, {0, 0, 0, 255}, {140, 140, 140, 255}, {255, 255, 255, 255},
        {255, 0, 0, 160}, {255, 255, 0, 160}, {0, 255, 0, 160}, {255, 0, 0, 160}, {255, 0, 0, 160}},
};

constexpr float kGridHz[] = {50, 100, 200, 500, 1000, 2000, 5000, 10000};
constexpr float kGainRangeDb = 30.0f; // gain 0..1 is -15 .. +15 dB
constexpr float kWidthSpan = 90.0f, kWidthNarrowest = 10.0f;
constexpr int kTextLine = 10, kTextHeight = 12, kTextInset = 3;

// Band types 1..8 are filters the sketch cannot show; they add nothing and keep their handle.
bool drawnType(int type)
{
    return type < 1 || type > 8;
}

} // namespace

CK_GUI_EQ_Window::CK_GUI_EQ_Window(const CRect& size, CBitmap* handleBitmap, int counts, int scheme)
    : CView(size), bandCount_(std::clamp(counts & 0x0f, 0, kMaxBands)),
      splitCount_(std::clamp((counts >> 4) & 0x0f, 1, kMaxSplits + 1)), scheme_(std::clamp(scheme, 0, 3)),
      curve_(static_cast<size_t>(std::max(0, size.width()))), accumulator_(curve_.size())
{
    setBackground(handleBitmap);
    if (handleBitmap) {
        handleWidth_ = handleBitmap->getWidth();
        handleHeight_ = handleBitmap->getHeight();
    }
}

float CK_GUI_EQ_Window::logPosition(float hz)
{
    return (std::log10(hz) - std::log10(kLowestHz)) / std::log10(kHighestHz / kLowestHz);
}

float CK_GUI_EQ_Window::frequencyValue(float hz)
{
    return (std::min(hz, kHighestHz) - kLowestHz) / (kHighestHz - kLowestHz);
}

void CK_GUI_EQ_Window::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    const int index = message.id;
    const float v = message.value;
    if (message.mode == CK_LinkMessage::kModeRegister) {
        if (index >= 0 && index < kLinkCount)
            links_[index] = sender;
        return;
    }
    auto inRange = [index](int first, int count) { return index >= first && index < first + count; };
    const float hz = kLowestHz + (kHighestHz - kLowestHz) * v;
    if (inRange(kFreq, kMaxBands)) {
        bands_[index - kFreq].hz = hz;
        bands_[index - kFreq].position = std::clamp(logPosition(hz), 0.0f, 1.0f);
    } else if (inRange(kSplit, kMaxSplits)) {
        splits_[index - kSplit].hz = hz;
        splits_[index - kSplit].position = std::clamp(logPosition(hz), 0.0f, 1.0f);
    } else if (inRange(kGain, kMaxBands)) {
        bands_[index - kGain].gain = v;
    } else if (inRange(kWidth, kMaxBands)) {
        bands_[index - kWidth].width = v;
    } else if (inRange(kActive, kMaxBands)) {
        bands_[index - kActive].active = static_cast<int>(v);
    } else if (index == kMode) {
        mode_ = static_cast<int>(v + 0.5f);
    } else if (inRange(kType, 2 * kMaxBands)) {
        // Shown on the sending control's own scale, counted from 1.
        float scaled = v;
        if (const auto* control = dynamic_cast<const CControl*>(sender))
            scaled = control->getMin() + (control->getMax() - control->getMin()) * v;
        const int number = static_cast<int>(std::lround(scaled)) + 1;
        if (index < kSecond)
            bands_[index - kType].type = number;
        else
            bands_[index - kSecond].second = number;
    } else {
        return;
    }
    curveStale_ = true;
    requestRedraw();
}

void CK_GUI_EQ_Window::computeCurve()
{
    const int w = getWidth(), h = getHeight();
    const float centre = static_cast<float>(h / 2);
    std::fill(accumulator_.begin(), accumulator_.end(), centre);
    for (int b = 0; b < bandCount_; ++b) {
        const Band& band = bands_[b];
        if (band.active == 0 || !drawnType(band.type))
            continue;
        const int c = static_cast<int>(static_cast<float>(w - 1) * band.position);
        float f = -(band.gain - 0.5f) * static_cast<float>(h);
        handles_[b] = CRect::fromSize(
            c - handleWidth_ / 2, static_cast<int>(centre + f) - handleHeight_ / 2, handleWidth_, handleHeight_);
        accumulator_[static_cast<size_t>(c)] += f;
        // The gain spreads to both sides, shrinking by a growing share per column: narrow bands
        // (width near 1) die out within a few columns, wide ones reach across the view.
        const float scale = 0.0025f * static_cast<float>(w);
        const float step = (std::pow(band.width, 5.0f) * 0.07f + 0.00008f) / (scale * scale);
        float shrink = 0.0f;
        for (int j = 1; j < w; ++j) {
            f *= 1.0f - shrink;
            if (c + j < w)
                accumulator_[static_cast<size_t>(c + j)] += f;
            if (c - j >= 0)
                accumulator_[static_cast<size_t>(c - j)] += f;
            shrink = std::min(shrink + step, 1.0f);
        }
    }
    for (size_t i = 0; i < curve_.size(); ++i)
        curve_[i] = std::clamp(static_cast<int>(accumulator_[i]), 0, h - 1);
    curveStale_ = false;
}

const std::vector<int>& CK_GUI_EQ_Window::curve()
{
    if (curveStale_)
        computeCurve();
    return curve_;
}

CRect CK_GUI_EQ_Window::handle(int band)
{
    if (curveStale_)
        computeCurve();
    return handles_[band];
}

int CK_GUI_EQ_Window::markerX(int split) const
{
    return static_cast<int>(static_cast<float>(getWidth() - 1) * splits_[split].position);
}

std::vector<CPointF> CK_GUI_EQ_Window::region(int index) const
{
    const int w = getWidth(), h = getHeight();
    const int s = w * 4 / 100, t = w * 16 / 100;
    const int last = movableSplits() - 1;
    auto pt = [](int x, int y) { return CPointF{static_cast<double>(x), static_cast<double>(y)}; };
    // Each crossover is a slanted edge on either side of its marker, the bands overlapping below.
    const int leftTop = index == 0 ? 0 : markerX(index - 1) + s;
    const int leftBottom = index == 0 ? 0 : markerX(index - 1) + s - t;
    const int rightTop = index > last ? w : markerX(index) - s;
    const int rightBottom = index > last ? w : markerX(index) - s + t;
    return {pt(leftTop, 0), pt(rightTop, 0), pt(rightBottom, h), pt(leftBottom, h)};
}

std::vector<std::string> CK_GUI_EQ_Window::texts() const
{
    char line[64];
    std::vector<std::string> out;
    if (mode_ == kBandSplit && selectedSplit_ >= 0) {
        std::snprintf(line, sizeof line, "Band %d: %2.0f (Hz)", selectedSplit_ + 1, splits_[selectedSplit_].hz);
        out.emplace_back(line);
    } else if (mode_ == kParametric && selectedBand_ >= 0) {
        const Band& band = bands_[selectedBand_];
        std::snprintf(line, sizeof line, "Freq: %2.0f (Hz)", band.hz);
        out.emplace_back(line);
        std::snprintf(line, sizeof line, "Gain: %2.2f (dB)", band.gain * kGainRangeDb - kGainRangeDb / 2);
        out.emplace_back(line);
        std::snprintf(line, sizeof line, "Width: %2.1f", (1.0f - band.width) * kWidthSpan + kWidthNarrowest);
        out.emplace_back(line);
    }
    return out;
}

void CK_GUI_EQ_Window::drawSplits(CDrawContext& context, float opacity)
{
    const CColor* colours = kSchemes[scheme_];
    const int regions = movableSplits() + 1;
    for (int r = 0; r < regions; ++r) {
        const int slot = r == regions - 1 && r > 0 ? kRegionFirst + splitCount_ - 1 : kRegionFirst + r;
        const CColor colour = fadedColour(colours[std::min(slot, kSlotCount - 1)], opacity);
        std::vector<CPointF> shape = region(r);
        for (CPointF& p : shape)
            p = {p.x + size_.left, p.y + size_.top};
        context.fillPolygon(shape, colour);
        shape.push_back(shape.front());
        context.drawPolyline(shape, colour);
    }
}

void CK_GUI_EQ_Window::drawCurve(CDrawContext& context, float opacity)
{
    const CColor* colours = kSchemes[scheme_];
    const std::vector<int>& rows = curve();
    const double centre = size_.top + getHeight() / 2;
    std::vector<CPointF> line(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        line[i] = {size_.left + static_cast<double>(i) + 0.5, size_.top + rows[i] + 0.5};
    std::vector<CPointF> area = line;
    area.push_back({static_cast<double>(size_.right), centre});
    area.push_back({static_cast<double>(size_.left), centre});
    context.fillPolygon(area, fadedColour(colours[kFill], opacity));
    context.drawPolyline(line, fadedColour(colours[kOutline], opacity));
    const CBitmap* bitmap = getBackground();
    for (int b = 0; b < bandCount_; ++b) {
        if (bands_[b].active == 0)
            continue;
        const CRect r = handles_[b].offset(size_.topLeft());
        if (bitmap)
            context.drawBitmap(*bitmap, r, CPoint{}, opacity);
        else
            context.fillRect(r, fadedColour(colours[kHandleFirst + b], opacity));
    }
}

void CK_GUI_EQ_Window::draw(CDrawContext& context)
{
    const CColor* colours = kSchemes[scheme_];
    const float opacity = context.getGlobalAlpha();
    CDrawContextState state(context);
    context.clipRect(size_);
    if (colours[kBackground].isVisible())
        context.fillRect(size_, fadedColour(colours[kBackground], opacity));
    const CColor grid = fadedColour(colours[kGrid], opacity);
    for (const float hz : kGridHz) {
        const int x = size_.left + static_cast<int>(logPosition(hz) * static_cast<float>(getWidth()));
        context.fillRect(CRect{x, size_.top, x + 1, size_.bottom}, grid);
    }
    if (mode_ == kBandSplit)
        drawSplits(context, opacity);
    else
        drawCurve(context, opacity);
    const std::vector<std::string> lines = texts();
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = size_.top + static_cast<int>(i) * kTextLine;
        context.drawText(lines[i], CRect{size_.left + kTextInset, top, size_.right, top + kTextHeight}, font_,
            fadedColour(colours[kText], opacity), CHoriTxtAlign::kLeft);
    }
}

void CK_GUI_EQ_Window::report(int index, float value)
{
    if (CK_LinkedView* target = links_[index])
        target->link(this, valueMessage(index, value, CK_LinkMessage::kModeInteractive));
}

void CK_GUI_EQ_Window::beginGesture(bool begin)
{
    auto bracket = [begin](CK_LinkedView* view) { begin ? beginLinkedEdit(view) : endLinkedEdit(view); };
    if (selectedSplit_ >= 0)
        bracket(links_[kSplit + selectedSplit_]);
    if (selectedBand_ >= 0)
        for (const int first : {kFreq, kGain, kWidth})
            bracket(links_[first + selectedBand_]);
}

CMouseEventResult CK_GUI_EQ_Window::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton() && !buttons.isRightButton())
        return CMouseEventResult::kNotHandled;
    const CPoint p = where - size_.topLeft();
    if (mode_ == kBandSplit) {
        const int last = movableSplits() - 1;
        if (last < 0)
            return CMouseEventResult::kNotHandled;
        selectedSplit_ = last;
        for (int i = 0; i < last; ++i) {
            if (markerX(i) + (markerX(i + 1) - markerX(i)) / 2 >= p.x) {
                selectedSplit_ = i;
                break;
            }
        }
    } else {
        if (curveStale_)
            computeCurve();
        for (int b = 0; b < bandCount_ && selectedBand_ < 0; ++b)
            if (bands_[b].active != 0 && handles_[b].contains(p))
                selectedBand_ = b;
        if (selectedBand_ < 0)
            return CMouseEventResult::kNotHandled;
    }
    last_ = p;
    beginGesture(true);
    requestRedraw();
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_GUI_EQ_Window::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if ((selectedBand_ < 0 && selectedSplit_ < 0) || (!buttons.isLeftButton() && !buttons.isRightButton()))
        return CMouseEventResult::kNotHandled;
    const CPoint p = where - size_.topLeft();
    const float fine = dragFineFactor(buttons);
    const float dx = static_cast<float>(p.x - last_.x) * fine / static_cast<float>(getWidth());
    const float dy = static_cast<float>(p.y - last_.y) * fine / static_cast<float>(getHeight());
    last_ = p;
    auto hzAt = [](float position) { return kLowestHz * std::exp2(kOctaves * position); };
    if (selectedSplit_ >= 0) {
        // A crossover stops at its neighbours.
        Split& split = splits_[selectedSplit_];
        const float low = selectedSplit_ > 0 ? splits_[selectedSplit_ - 1].position : 0.0f;
        const float high = selectedSplit_ < movableSplits() - 1 ? splits_[selectedSplit_ + 1].position : 1.0f;
        split.position = std::clamp(split.position + dx, low, std::max(low, high));
        split.hz = hzAt(split.position);
        const float value = frequencyValue(split.hz);
        if (value != lastSplit_) {
            lastSplit_ = value;
            report(kSplit + selectedSplit_, value);
        }
    } else {
        Band& band = bands_[selectedBand_];
        if (buttons.isRightButton()) {
            const float width = std::clamp(band.width - 2.0f * dx, 0.0f, 1.0f);
            if (width != band.width) {
                band.width = width;
                report(kWidth + selectedBand_, width);
            }
        } else {
            band.position = std::clamp(band.position + dx, 0.0f, 1.0f);
            band.hz = hzAt(band.position);
            const float value = frequencyValue(band.hz);
            if (value != lastFrequency_) {
                lastFrequency_ = value;
                report(kFreq + selectedBand_, value);
            }
        }
        const float gain = std::clamp(band.gain - dy, 0.0f, 1.0f);
        if (gain != band.gain) {
            band.gain = gain;
            report(kGain + selectedBand_, gain);
        }
        curveStale_ = true;
    }
    requestRedraw();
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_GUI_EQ_Window::onMouseUp(CPoint&, const CButtonState&)
{
    if (selectedBand_ < 0 && selectedSplit_ < 0)
        return CMouseEventResult::kNotHandled;
    beginGesture(false);
    selectedBand_ = -1;
    selectedSplit_ = -1;
    requestRedraw();
    return CMouseEventResult::kHandled;
}
