#include "gui/controls/COnOffButton.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

namespace brelvik::gui {

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background)
{
}

CPoint COnOffButton::bitmapOriginForHitTest() const
{
    return {0, isOn() && background_ ? background_->getHeight() / 2 : 0};
}

void COnOffButton::draw(CDrawContext& context)
{
    if (background_)
        context.drawBitmap(*background_, size_, bitmapOriginForHitTest());
    setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return CMouseEventResult::kNotHandled;
    beginEdit();
    setValue(isOn() ? getMin() : getMax());
    invalid();
    reportValueChanged();
    endEdit();
    return CMouseEventResult::kHandled;
}

} // namespace brelvik::gui
