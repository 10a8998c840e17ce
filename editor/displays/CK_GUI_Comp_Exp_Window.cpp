#include "editor/displays/CK_GUI_Comp_Exp_Window.h"

#include <algorithm>
#include <cmath>

#include "editor/displays/CK_LinkedGesture.h"
#include "editor/displays/CK_PanelFade.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

using namespace brelvik::gui;

namespace {

enum Colour { kBackground, kLine, kHandle, kExpLine, kExpHandle, kCurve, kRaised, kColourCount };

// One set per band: low, mid, high, and a spare fourth.
constexpr CColor kColours[4][kColourCount] = {
    {{0, 0, 0, 0}, {255, 255, 255, 255}, {255, 255, 255, 200}, {0, 0, 255, 255}, {0, 0, 255, 200}, {0, 0, 255, 255},
        {255, 0, 0, 100}},
    {{0, 0, 0, 0}, {255, 255, 255, 255}, {255, 255, 255, 200}, {0, 0, 255, 255}, {0, 0, 255, 200}, {0, 255, 0, 255},
        {255, 0, 0, 100}},
    {{0, 0, 0, 0}, {255, 255, 255, 255}, {255, 255, 255, 200}, {0, 0, 255, 255}, {0, 0, 255, 200}, {255, 64, 0, 255},
        {255, 0, 0, 100}},
    {{0, 0, 0, 0}, {0, 255, 0, 255}, {0, 255, 0, 200}, {0, 255, 0, 255}, {0, 255, 0, 200}, {255, 255, 255, 255},
        {255, 0, 0, 96}},
};

constexpr float kRatioSpan = 19.9f, kRatioMin = 0.1f;      // compressor ratio 0.1 .. 20
constexpr float kExpRatioSpan = 3.9f, kExpRatioMin = 0.1f; // expander ratio 0.1 .. 4
constexpr float kExpFloorDb = -80.0f;
constexpr float kSmallestThresholdDb = -0.0001f;
constexpr float kRatioStepUp = 1.1f, kRatioStepDown = 0.9f, kRatioFloor = 0.001f;
constexpr int kLineGrab = 4;   // pixels either side of a threshold line
constexpr int kAreaMargin = 2; // pixels off a threshold line before the ratio area starts
constexpr int kLevelFillShare = 6;

} // namespace

CK_GUI_Comp_Exp_Window::CK_GUI_Comp_Exp_Window(
    const CRect& size, CBitmap* handle, int band, bool compressorOn, bool expanderOn)
    : CView(size), band_(std::clamp(band, 0, 3)), compressorOn_(compressorOn), expanderOn_(expanderOn),
      expThreshold_(expanderOn ? 0.1f : 0.0f), curve_(static_cast<size_t>(std::max(0, size.width())))
{
    setBackground(handle);
    if (handle) {
        handleWidth_ = handle->getWidth();
        handleHeight_ = handle->getHeight();
    }
}

CK_GUI_Comp_Exp_Window::Shape CK_GUI_Comp_Exp_Window::kneeShape(float v, float softScale, float softOffset)
{
    if (v <= 0.5f)
        return {false, 2.0f * v, 0.0f};
    const float a = 2.0f * (v - 0.5f);
    return {true, a, softScale * a * a + softOffset};
}

// The compressor's gain law: at the threshold the divisor blends from 1 towards the ratio as the
// level rises, the knee deciding how early.
float CK_GUI_Comp_Exp_Window::shapedOutput(float inputDb, float thresholdDb, float slope, const Shape& shape)
{
    const float q = inputDb / thresholdDb;
    float divisor;
    if (shape.soft)
        divisor = (shape.a * q * shape.b * slope + slope) * (1.0f - q) + q;
    else
        divisor = (1.0f - q * shape.a) * slope + q * shape.a;
    divisor = std::max(divisor, std::min(slope, 1.0f));
    return (inputDb - thresholdDb) / divisor + thresholdDb;
}

float CK_GUI_Comp_Exp_Window::outputDb(float inputDb) const
{
    if (compressorOn_) {
        const float t = thresholdDb() == 0.0f ? kSmallestThresholdDb : thresholdDb();
        // Ratios below 1 expand upwards, never by more than the make-up range (as the audio does).
        if (inputDb > t)
            return std::min(
                shapedOutput(inputDb, t, ratio_ * kRatioSpan + kRatioMin, kneeShape_), inputDb + kMakeUpRangeDb);
    }
    if (expanderOn_) {
        // Below its threshold the expander scales the distance to the threshold by its ratio,
        // never below the floor.
        const float t = dbOf(expThreshold_);
        if (inputDb < t)
            return std::max(t + (inputDb - t) * (expRatio_ * kExpRatioSpan + kExpRatioMin), kExpFloorDb);
    }
    return inputDb;
}

float CK_GUI_Comp_Exp_Window::yOfDb(float db) const
{
    const float w = static_cast<float>(getWidth());
    return static_cast<float>(getHeight()) - w - db * w / kRangeDb;
}

float CK_GUI_Comp_Exp_Window::pointX(float normalised) const
{
    const float w = static_cast<float>(getWidth());
    return w + dbOf(normalised) * w / kRangeDb;
}

CRect CK_GUI_Comp_Exp_Window::handleRect(float thresholdValue, float kneeValue, bool expander) const
{
    const float tx = pointX(thresholdValue);
    const float x = expander ? tx - tx * kneeValue : tx + (static_cast<float>(getWidth()) - tx) * kneeValue;
    const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(lineY(thresholdValue)));
    return CRect::fromSize(cx - handleWidth_ / 2, cy - handleHeight_ / 2, handleWidth_, handleHeight_);
}

void CK_GUI_Comp_Exp_Window::computeCurve()
{
    const float dbPerColumn = kRangeDb / static_cast<float>(getWidth());
    for (size_t i = 0; i < curve_.size(); ++i)
        curve_[i] = yOfDb(outputDb(static_cast<float>(i) * dbPerColumn - kRangeDb));
    curveStale_ = false;
}

float CK_GUI_Comp_Exp_Window::curveY(int column)
{
    if (curveStale_)
        computeCurve();
    const float h = static_cast<float>(getHeight());
    return std::clamp(curve_[static_cast<size_t>(column)], -kCurveOverhang * 1.0f, h + kCurveOverhang);
}

float CK_GUI_Comp_Exp_Window::raisedCurveY(int column)
{
    if (curveStale_)
        computeCurve();
    const float h = static_cast<float>(getHeight());
    const float gainPixels = h / kRangeDb * (2.0f * kMakeUpRangeDb * makeUp_ - kMakeUpRangeDb);
    return std::clamp(curve_[static_cast<size_t>(column)] - gainPixels, -kCurveOverhang * 1.0f, h + kCurveOverhang);
}

float CK_GUI_Comp_Exp_Window::valueOf(int id) const
{
    switch (id) {
    case kThreshold: return threshold_;
    case kRatio: return ratio_;
    case kKnee: return knee_;
    case kMakeUp: return makeUp_;
    case kExpThreshold: return expThreshold_;
    case kExpRatio: return expRatio_;
    case kExpKnee: return expKnee_;
    default: return 0.0f;
    }
}

void CK_GUI_Comp_Exp_Window::set(int id, float value)
{
    switch (id) {
    case kThreshold: threshold_ = value; break;
    case kRatio: ratio_ = value; break;
    case kKnee:
        knee_ = value;
        kneeShape_ = kneeShape(value, 12.0f, 3.0f);
        break;
    case kMakeUp: makeUp_ = value; break;
    case kExpThreshold: expThreshold_ = value; break;
    case kExpRatio: expRatio_ = value; break;
    case kExpKnee:
        expKnee_ = value;
        expShape_ = kneeShape(value, 40.0f, -9.0f);
        break;
    case kLevel: level_ = value; break;
    default: return;
    }
    lastTouched_ = id;
    if (id != kLevel) {
        curveStale_ = true;
        coupleThresholds();
    }
    requestRedraw();
}

// With both parts on, the compressor threshold never lies below the expander's: the one not
// touched follows, and its knob is told.
void CK_GUI_Comp_Exp_Window::coupleThresholds()
{
    if (!compressorOn_ || !expanderOn_ || threshold_ >= expThreshold_)
        return;
    if (lastTouched_ == kThreshold) {
        expThreshold_ = threshold_;
        send(kExpThreshold, expThreshold_);
    } else if (lastTouched_ == kExpThreshold) {
        threshold_ = expThreshold_;
        send(kThreshold, threshold_);
    }
}

void CK_GUI_Comp_Exp_Window::send(int id, float value)
{
    if (CK_LinkedView* target = links_[id])
        target->link(this, valueMessage(id, value, CK_LinkMessage::kModeInteractive));
}

void CK_GUI_Comp_Exp_Window::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (message.mode == CK_LinkMessage::kModeRegister) {
        if (message.id >= 0 && message.id < kLinkCount)
            links_[message.id] = sender;
        return;
    }
    set(message.id, message.value);
}

void CK_GUI_Comp_Exp_Window::drawThresholdLine(
    CDrawContext& context, float y, const CColor& colour, float opacity) const
{
    const int row = size_.top + static_cast<int>(std::lround(y));
    const CColor full = fadedColour(colour, opacity), half = fadedColour(colour, opacity, 0.5f);
    context.fillRect(CRect{size_.left, row - 1, size_.right, row}, half);
    context.fillRect(CRect{size_.left, row, size_.right, row + 1}, full);
    context.fillRect(CRect{size_.left, row + 1, size_.right, row + 2}, half);
}

void CK_GUI_Comp_Exp_Window::draw(CDrawContext& context)
{
    const CColor* colours = kColours[band_];
    const float opacity = context.getGlobalAlpha();
    CDrawContextState state(context);
    context.clipRect(size_);
    if (colours[kBackground].isVisible())
        context.fillRect(size_, fadedColour(colours[kBackground], opacity));
    if (level_ > 0.0f) {
        const float y = std::clamp(yOfDb(20.0f * std::log10(level_ + 1.0e-12f)), 0.0f, 1.0f * getHeight());
        context.fillRect(CRect{size_.left, size_.top + static_cast<int>(y), size_.right, size_.bottom},
            fadedColour(colours[kCurve], opacity, 1.0f / kLevelFillShare));
    }
    std::vector<CPointF> curve(curve_.size()), raised(curve_.size());
    for (size_t i = 0; i < curve_.size(); ++i) {
        const double x = size_.left + static_cast<double>(i) + 0.5;
        curve[i] = {x, size_.top + static_cast<double>(curveY(static_cast<int>(i)))};
        raised[i] = {x, size_.top + static_cast<double>(raisedCurveY(static_cast<int>(i)))};
    }
    context.drawPolyline(raised, fadedColour(colours[kRaised], opacity), 1.5);
    context.drawPolyline(curve, fadedColour(colours[kCurve], opacity), 1.5);
    if (expanderOn_)
        drawThresholdLine(context, lineY(expThreshold_), colours[kExpLine], opacity);
    if (compressorOn_)
        drawThresholdLine(context, lineY(threshold_), colours[kLine], opacity);
    const CBitmap* handle = getBackground();
    auto drawHandle = [&](const CRect& local, const CColor& colour) {
        const CRect r = local.offset(size_.topLeft());
        context.fillRect(r, fadedColour(colour, opacity));
        if (handle)
            context.drawBitmap(*handle, r, CPoint{}, opacity);
    };
    if (compressorOn_)
        drawHandle(kneeHandle(), colours[kHandle]);
    if (expanderOn_)
        drawHandle(handleRect(expThreshold_, expKnee_, true), colours[kExpHandle]);
}

CMouseEventResult CK_GUI_Comp_Exp_Window::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton() && !buttons.isRightButton())
        return CMouseEventResult::kNotHandled;
    const CPoint p = where - size_.topLeft();
    const float ty = lineY(threshold_), tx = pointX(threshold_);
    const float ey = lineY(expThreshold_), ex = pointX(expThreshold_);
    int target = -1;
    if (compressorOn_ && kneeHandle().contains(p))
        target = kKnee;
    else if (expanderOn_ && handleRect(expThreshold_, expKnee_, true).contains(p))
        target = kExpKnee;
    else if (compressorOn_ && p.y <= ty - kAreaMargin && p.x > tx)
        target = kRatio;
    else if (expanderOn_ && p.y >= ey + kAreaMargin && p.x < ex)
        target = kExpRatio;
    else if (compressorOn_ && std::abs(p.y - ty) <= kLineGrab)
        target = kThreshold;
    else if (expanderOn_ && std::abs(p.y - ey) <= kLineGrab)
        target = kExpThreshold;
    if (target < 0)
        return CMouseEventResult::kNotHandled;
    dragTarget_ = target;
    dragLineY_ = target == kExpThreshold ? ey : ty;
    last_ = p;
    beginLinkedEdit(links_[target]);
    send(target, valueOf(target));
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_GUI_Comp_Exp_Window::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (dragTarget_ < 0 || (!buttons.isLeftButton() && !buttons.isRightButton()))
        return CMouseEventResult::kNotHandled;
    const CPoint p = where - size_.topLeft();
    const float dy = static_cast<float>(p.y - last_.y) * dragFineFactor(buttons);
    last_ = p;
    const float w = static_cast<float>(getWidth()), h = static_cast<float>(getHeight());
    const float old = valueOf(dragTarget_);
    float value = old;
    switch (dragTarget_) {
    case kThreshold:
    case kExpThreshold:
        // The line follows the mouse within the scale; the threshold is read back from it.
        dragLineY_ = std::clamp(dragLineY_ + dy, h - w, h);
        value = std::clamp((h - dragLineY_) / w, 0.0f, 1.0f);
        break;
    case kRatio:
    case kExpRatio: {
        // Only vertical movement changes a ratio: down raises the compressor's, up the expander's.
        const float down = dragTarget_ == kRatio ? dy : -dy;
        if (down > 0.0f)
            value = std::min(old * kRatioStepUp, 1.0f);
        else if (down < 0.0f)
            value = std::max(old * kRatioStepDown, kRatioFloor);
        break;
    }
    case kKnee: {
        const float tx = pointX(threshold_);
        value = std::clamp((static_cast<float>(p.x) - tx) / (w - tx + 0.01f), 0.0f, 1.0f);
        break;
    }
    case kExpKnee: {
        const float ex = pointX(expThreshold_);
        value = std::clamp((ex - static_cast<float>(p.x)) / (ex + 0.01f), 0.0f, 1.0f);
        break;
    }
    default: break;
    }
    if (value != old) {
        set(dragTarget_, value);
        send(dragTarget_, value);
    }
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_GUI_Comp_Exp_Window::onMouseUp(CPoint&, const CButtonState&)
{
    if (dragTarget_ < 0)
        return CMouseEventResult::kNotHandled;
    endLinkedEdit(links_[dragTarget_]);
    dragTarget_ = -1;
    return CMouseEventResult::kHandled;
}
