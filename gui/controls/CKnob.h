#pragma once

#include "gui/CControl.h"

namespace brelvik::gui {

// A rotary control. Dragging up or right increases the value (kDragRange pixels for the full
// range, ten times finer with Shift); a double click restores the default value; the wheel moves it
// by the wheel increment per notch, or 0.01 per notch with Shift. Without a bitmap it draws a dial.
class CKnob : public CControl {
public:
    static constexpr int kDragRange = 150;
    static constexpr float kFineWheelInc = 0.01f;

    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr);

    void draw(CDrawContext& context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;

protected:
    CPoint anchor_;
    float anchorValue_ = 0.0f;
};

// A knob drawn as one frame of a vertical strip bitmap: frame count frames of frameHeight rows,
// the first for the minimum (the last with the inverse-strip flag).
class CAnimKnob : public CKnob {
public:
    CAnimKnob(
        const CRect& size, CControlListener* listener, int32_t tag, int frameCount, int frameHeight, CBitmap* strip);

    int getFrameCount() const { return frameCount_; }
    int getFrameHeight() const { return frameHeight_; }
    void setInverseBitmap(bool inverse) { inverse_ = inverse; }
    bool isInverseBitmap() const { return inverse_; }

    // The frame drawn for the current state.
    virtual int drawnFrame() const;
    void draw(CDrawContext& context) override;

protected:
    CPoint bitmapOriginForHitTest() const override { return {0, drawnFrame() * frameHeight_}; }

private:
    int frameCount_;
    int frameHeight_;
    bool inverse_ = false;
};

} // namespace brelvik::gui
