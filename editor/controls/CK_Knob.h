// A knob drawn from a vertical strip of frames. Host values ease the drawn position toward them on
// every frame tick; a drag moves it at once. Styles: 0 plain, 1 springs back to the centre on
// release, 2 curved (multiplicative drag for wide logarithmic ranges, and a curved frame mapping).
// The wheel is the library knob's: 0.1 per notch, 0.01 with Shift, as one gesture.
#pragma once

#include "editor/CK_LinkedView.h"
#include "editor/controls/CK_ControlSupport.h"
#include "gui/controls/CKnob.h"

class CK_EditorContext;

class CK_Knob : public brelvik::gui::CAnimKnob, public CK_LinkedView {
public:
    enum Style : int { kPlain = 0, kSpringBack = 1, kCurved = 2 };

    static constexpr float kSensitivity = 60.0f;      // pixels for the full range
    static constexpr float kEasing = 0.1f;            // share of the remaining distance per tick
    static constexpr float kSettled = 0.005f;         // below this the drawn position snaps
    static constexpr float kCurvedStep = 0.05f;       // per move event
    static constexpr float kCurvedFineStep = 0.0125f; // with Shift
    static constexpr float kCurvedFinest = 0.25f;     // step factor with Control
    static constexpr float kCurvedFloor = 0.0001f;    // where a curved knob leaves and snaps to 0

    CK_Knob(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag, int frameCount, int frameHeight,
        brelvik::gui::CBitmap* strip, int style);

    // A value from the effect: drawn by easing toward it on the following ticks.
    void setValue(float value) override;
    float getShownValue() const { return shownValue_; }

    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;
    void onFrameTick() override;
    int drawnFrame() const override;

    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseMoved(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseUp(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseEntered(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

protected:
    // Takes a value as the control's own: stores it, keeps the value display current and tells the
    // linked views. False when it equals the value last taken.
    virtual bool accept(float value);
    // A user edit: takes the value and reports it to the effect when it changed.
    void edit(float value);
    // The drag distance, in pixels, that counts toward a higher value: up and right for knobs.
    virtual float dragDistance(const brelvik::gui::CPoint& from, const brelvik::gui::CPoint& to) const;
    void presentInGlobals();

    CK_EditorContext& context_;
    float sensitivity_ = kSensitivity;
    float lastValue_ = 0.0f;
    float shownValue_ = 0.0f;

private:
    void dragCurved(const brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons);
    void dragLinear(const brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons);

    bool springBack_;
    bool curved_;
    uint32_t anchorButtons_ = 0;
    bool ignoreDrag_ = false;
    CK_ControlLinks<8> links_;
};
