#pragma once

#include "gui/CControl.h"

namespace brelvik::gui {

// A two-state button: the bitmap's upper half is the off image, its lower half the on image.
// A left click toggles between min and max, bracketed by beginEdit and endEdit.
class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background);

    bool isOn() const { return value_ > (getMin() + getMax()) / 2; }
    void draw(CDrawContext& context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

protected:
    CPoint bitmapOriginForHitTest() const override;
};

} // namespace brelvik::gui
