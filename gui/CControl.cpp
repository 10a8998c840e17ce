#include "gui/CControl.h"

#include <algorithm>

#include "gui/CControlListener.h"

namespace brelvik::gui {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), tag_(tag), listener_(listener)
{
    if (background)
        setBackground(background);
}

void CControl::bounceValue()
{
    value_ = std::clamp(value_, min_, max_);
}

float CControl::getValueNormalized() const
{
    return max_ == min_ ? 0.0f : (value_ - min_) / (max_ - min_);
}

void CControl::reportValueChanged()
{
    if (listener_)
        listener_->valueChanged(this);
}

void CControl::beginEdit()
{
    if (editDepth_++ == 0 && listener_)
        listener_->controlBeginEdit(this);
}

void CControl::endEdit()
{
    if (editDepth_ == 0)
        return;
    if (--editDepth_ == 0 && listener_)
        listener_->controlEndEdit(this);
}

} // namespace brelvik::gui
