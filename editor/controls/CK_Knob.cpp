#include "editor/controls/CK_Knob.h"

#include <algorithm>
#include <cmath>

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/CK_GlobalDisplays.h"
#include "editor/controls/CK_ControlSupport.h"
#include "shell/CK_EditorInterface.h"

using namespace brelvik::gui;

namespace {
constexpr int kShiftFactor = 2;
constexpr int kControlFactor = 3;
constexpr float kSpringCentre = 0.5f;
} // namespace

CK_Knob::CK_Knob(const CRect& size, CK_EditorContext& context, int32_t tag, int frameCount, int frameHeight,
    CBitmap* strip, int style)
    : CAnimKnob(size, context.listener(), tag, frameCount, frameHeight, strip), context_(context),
      springBack_(style == kSpringBack), curved_(style == kCurved)
{
    setAlphaHitTest(true);
}

void CK_Knob::setValue(float value)
{
    accept(value);
}

bool CK_Knob::accept(float value)
{
    if (value == lastValue_)
        return false;
    value_ = lastValue_ = value;
    forwardToGlobalValue(context_, getTag(), value);
    links_.send(this, value);
    requestRedraw();
    return true;
}

void CK_Knob::edit(float value)
{
    if (accept(value))
        CK_ControlSupport::reportEdit(*this);
}

void CK_Knob::presentInGlobals()
{
    presentInGlobalDisplays(context_, getTag(), value_);
}

void CK_Knob::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (message.mode == CK_LinkMessage::kModeRegister) {
        links_.add(sender, message.id);
        return;
    }
    if (message.mode == CK_LinkMessage::kModeInteractive && context_.host().shownTag() != getTag())
        presentInGlobals();
    // An edit made in a linked view (a curve view) reaches the effect through the owning control.
    edit(std::clamp(message.value, 0.0f, 1.0f));
}

void CK_Knob::onFrameTick()
{
    if (shownValue_ != value_) {
        const float remaining = value_ - shownValue_;
        shownValue_ = std::fabs(remaining) < kSettled ? value_ : shownValue_ + kEasing * remaining;
        requestRedraw();
    }
    CAnimKnob::onFrameTick();
}

int CK_Knob::drawnFrame() const
{
    if (shownValue_ < 0.0f)
        return 0;
    float s = std::min(shownValue_, 1.0f);
    if (curved_)
        s = 1.0f - std::pow(1.0f - s, 4.0f);
    const int last = getFrameCount() - 1;
    const int frame = static_cast<int>(last * (isInverseBitmap() ? 1.0f - s : s));
    return std::clamp(frame, 0, last);
}

CMouseEventResult CK_Knob::onMouseEntered(CPoint&, const CButtonState&)
{
    presentInGlobals();
    return CMouseEventResult::kNotHandled;
}

CMouseEventResult CK_Knob::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    presentInGlobals();
    if (!buttons.isLeftButton())
        return CK_ControlSupport::openMidiLearn(context_, *this, where, buttons);
    beginEdit();
    if (buttons.isDoubleClick()) {
        // Back to the value of the last program load; the rest of this gesture must not move it.
        if (accept(context_.host().programSnapshot(getTag()))) {
            ignoreDrag_ = true;
            reportValueChanged();
        }
    } else {
        // A click while the knob eases stops it where it is drawn.
        edit(shownValue_);
    }
    anchor_ = where;
    anchorValue_ = value_;
    anchorButtons_ = buttons.get() & ~kDoubleClick;
    requestRedraw();
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_Knob::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!isEditing())
        return CMouseEventResult::kNotHandled;
    if (ignoreDrag_ || !buttons.isLeftButton() || where == anchor_)
        return CMouseEventResult::kHandled;
    if (curved_)
        dragCurved(where, buttons);
    else
        dragLinear(where, buttons);
    shownValue_ = value_;
    requestRedraw();
    return CMouseEventResult::kHandled;
}

void CK_Knob::dragCurved(const CPoint& where, const CButtonState& buttons)
{
    float step = buttons.has(kShift) ? kCurvedFineStep : kCurvedStep;
    if (buttons.has(kControl))
        step *= kCurvedFinest;
    float value = value_;
    if (dragDistance(anchor_, where) > 0.0f) {
        value = std::min(1.0f, (value == 0.0f ? kCurvedFloor : value) * (1.0f + step));
    } else {
        value *= 1.0f - step;
        if (value < kCurvedFloor)
            value = 0.0f;
    }
    anchor_ = where;
    edit(value);
}

void CK_Knob::dragLinear(const CPoint& where, const CButtonState& buttons)
{
    // A change of buttons or modifiers starts a new drag from here, so the knob does not jump.
    const uint32_t held = buttons.get() & ~kDoubleClick;
    if (held != anchorButtons_) {
        anchor_ = where;
        anchorValue_ = value_;
        anchorButtons_ = held;
    }
    float distance = sensitivity_;
    if (buttons.has(kShift))
        distance *= kShiftFactor;
    if (buttons.has(kControl))
        distance *= kControlFactor;
    edit(std::clamp(anchorValue_ + dragDistance(anchor_, where) / distance, 0.0f, 1.0f));
}

float CK_Knob::dragDistance(const CPoint& from, const CPoint& to) const
{
    return static_cast<float>((to.x - from.x) + (from.y - to.y));
}

CMouseEventResult CK_Knob::onMouseUp(CPoint&, const CButtonState&)
{
    if (!isEditing())
        return CMouseEventResult::kNotHandled;
    ignoreDrag_ = false;
    if (springBack_) {
        shownValue_ = kSpringCentre;
        edit(kSpringCentre);
        requestRedraw();
    }
    endEdit();
    return CMouseEventResult::kHandled;
}
