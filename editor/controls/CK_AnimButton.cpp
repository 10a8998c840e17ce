#include "editor/controls/CK_AnimButton.h"

#include <algorithm>

#include "editor/controls/CK_ControlSupport.h"

using namespace brelvik::gui;

namespace {
constexpr float kOnThreshold = 0.5f;
constexpr float kFallShare = 0.5f;
} // namespace

CK_AnimButton::CK_AnimButton(const CRect& size, CK_EditorContext& context, int32_t tag, int frameCount, int frameHeight,
    CBitmap* strip, float animValue, int style, bool displayOnly)
    : CK_Knob(size, context, tag, frameCount, frameHeight, strip, kPlain),
      step_(animValue / static_cast<float>(std::max(1, frameCount - 1))),
      oneFrame_(1.0f / static_cast<float>(std::max(1, frameCount - 1))), animation_(style & 0xFF),
      stopOnOff_(((style >> 8) & 0xFF) != 0), displayOnly_(displayOnly)
{
}

bool CK_AnimButton::accept(float value)
{
    const float state = value < kOnThreshold ? 0.0f : 1.0f;
    // Only a change starts the animation: a repeated "on" must not restart a pulse.
    if (state == lastValue_)
        return false;
    if (state == 0.0f) {
        speed_ = -step_;
        if (stopOnOff_)
            speed_ = phase_ = 0.0f;
    } else if (animation_ == kAtOnce) {
        phase_ = 1.0f;
        speed_ = 0.0f;
    } else {
        speed_ = animation_ == kDoubleSpeed ? 2.0f * step_ : step_;
    }
    return CK_Knob::accept(state);
}

void CK_AnimButton::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (message.mode == CK_LinkMessage::kModeRegister)
        CK_Knob::link(sender, message);
    else if (displayOnly_)
        accept(message.value); // a lamp only shows what its meter sends
    else
        edit(message.value);
}

void CK_AnimButton::onFrameTick()
{
    if (speed_ != 0.0f) {
        phase_ += speed_;
        if (value_ > 0.0f)
            stepWhileOn();
        else
            stepWhileOff();
    }
    const int frame = drawnFrame();
    if (frame != shownFrame_) {
        shownFrame_ = frame;
        requestRedraw();
    }
    CView::onFrameTick();
}

// Pulsing styles reflect at frame 1 in both directions, so a button switched on from frame 0
// lights at frame 1 on its first tick.
void CK_AnimButton::stepWhileOn()
{
    switch (animation_) {
    case kBounce:
        if (phase_ >= 1.0f) {
            phase_ = 1.0f;
            speed_ = -step_;
        } else if (phase_ <= oneFrame_) {
            phase_ = oneFrame_;
            speed_ = step_;
        }
        return;
    case kSlowFall:
    case kSlowFallToOff: {
        const float bottom = animation_ == kSlowFall ? oneFrame_ : 0.0f;
        if (phase_ >= 1.0f) {
            phase_ = 1.0f;
            speed_ = -kFallShare * step_;
        } else if (phase_ <= bottom) {
            phase_ = bottom;
            speed_ = step_;
        }
        return;
    }
    case kLoop:
        if (phase_ >= 1.0f)
            phase_ = oneFrame_;
        return;
    default:
        if (phase_ >= 1.0f || phase_ <= 0.0f) {
            phase_ = std::clamp(phase_, 0.0f, 1.0f);
            speed_ = 0.0f;
        }
        return;
    }
}

void CK_AnimButton::stepWhileOff()
{
    if (phase_ <= 0.0f || phase_ > 1.0f) {
        phase_ = std::clamp(phase_, 0.0f, 1.0f);
        speed_ = 0.0f;
    }
}

int CK_AnimButton::drawnFrame() const
{
    const int last = getFrameCount() - 1;
    const float phase = isInverseBitmap() ? 1.0f - phase_ : phase_;
    return std::clamp(static_cast<int>(last * phase + 0.5f), 0, last);
}

CMouseEventResult CK_AnimButton::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (displayOnly_)
        return CMouseEventResult::kNotHandled;
    if (!buttons.isLeftButton())
        return CK_ControlSupport::openMidiLearn(context_, *this, where, buttons);
    edit(value_ == 0.0f ? 1.0f : 0.0f);
    return CMouseEventResult::kHandled;
}

// A switch neither drags nor presents itself in the global displays, and the wheel does not
// toggle it by accident.
CMouseEventResult CK_AnimButton::onMouseMoved(CPoint&, const CButtonState&)
{
    return CMouseEventResult::kNotHandled;
}

CMouseEventResult CK_AnimButton::onMouseUp(CPoint&, const CButtonState&)
{
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_AnimButton::onMouseEntered(CPoint&, const CButtonState&)
{
    return CMouseEventResult::kNotHandled;
}

bool CK_AnimButton::onWheel(const CPoint&, float, const CButtonState&)
{
    return false;
}
