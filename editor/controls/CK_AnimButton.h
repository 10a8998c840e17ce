// A two-state button drawn from a strip of frames that it animates on the frame tick: frame 0 is
// off, the last frame fully on. The style (low byte) decides how it runs while on: sweep up and
// stay, pulse, or loop; with stop-on-off (second byte non-zero) switching off shows frame 0 at once.
#pragma once

#include "editor/controls/CK_Knob.h"

class CK_AnimButton : public CK_Knob {
public:
    enum Animation : int {
        kAtOnce = 0, // on at once, off by stepping down
        kDoubleSpeed = 1,
        kSweep = 2,
        kBounce = 3,   // while on: back and forth between the last frame and frame 1
        kSlowFall = 4, // while on: up fast, down at half speed to frame 1
        kSlowFallToOff = 5,
        kLoop = 6, // while on: frames 1 to last repeat
    };

    // `style` = high byte x 256 + animation; `displayOnly` buttons ignore the mouse (lamps).
    CK_AnimButton(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag, int frameCount,
        int frameHeight, brelvik::gui::CBitmap* strip, float animValue, int style, bool displayOnly);

    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;
    void onFrameTick() override;
    int drawnFrame() const override;
    float getPhase() const { return phase_; }
    bool isAnimating() const { return speed_ != 0.0f; }

    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseMoved(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseUp(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseEntered(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    bool onWheel(const brelvik::gui::CPoint& where, float distance, const brelvik::gui::CButtonState& buttons) override;

protected:
    bool accept(float value) override;

private:
    void stepWhileOn();
    void stepWhileOff();

    float step_;
    float oneFrame_;
    int animation_;
    bool stopOnOff_;
    bool displayOnly_;
    float speed_ = 0.0f;
    float phase_ = 0.0f;
    int shownFrame_ = -1;
};
