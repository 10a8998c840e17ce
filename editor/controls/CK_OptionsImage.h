// An option parameter shown as an image: option i slides frame i of a strip into view, eased over
// the frame ticks when an easing factor below 1 is set. Clicks step to the next option (or open the
// list), and a drag up or down steps once every 9 pixels.
#pragma once

#include "editor/controls/CK_OptionsText.h"

class CK_COptionsImage : public CK_COptionsText {
public:
    enum ClickMode : int { kClickOpensList = 0, kClickSteps = 1, kClickStepsFromNone = -1 };
    static constexpr int kDragStep = 9; // pixels per option
    static constexpr float kSettled = 0.005f;

    struct Motion {
        float easing = 1.0f; // share of the way per tick; 1 jumps
        bool exponential = false;
    };

    // `frames` is the strip's frame count; the view is one frame high. kClickStepsFromNone starts
    // with no option shown.
    CK_COptionsImage(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag,
        brelvik::gui::CBitmap* strip, const char* choices, int frames, Motion motion, int clickMode);

    // Where the strip is drawn, 0 (first option) to 1 (last).
    float getShownPosition() const { return shown_; }

    void draw(brelvik::gui::CDrawContext& context) override;
    void onFrameTick() override;
    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseMoved(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseUp(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

protected:
    void selectionChanged() override;
    brelvik::gui::CPoint bitmapOriginForHitTest() const override;

private:
    float target() const { return selected_ < 0 ? 0.0f : valueOf(selected_); }

    int travel_;
    Motion motion_;
    int clickMode_;
    float shown_ = 0.0f;
    float linearStep_ = 0.0f;
    brelvik::gui::CPoint anchor_;
};
