#include "editor/controls/CK_HVSlider.h"

#include <algorithm>
#include <cmath>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

using namespace brelvik::gui;

CK_HV_Slider::CK_HV_Slider(
    const CRect& size, CK_EditorContext& context, int32_t tag, CBitmap* handle, bool vertical, bool springBack)
    : CK_Knob(size, context, tag, 1, handle ? handle->getHeight() : 0, handle, springBack ? kSpringBack : kPlain),
      vertical_(vertical), handleWidth_(handle ? handle->getWidth() : 0),
      handleHeight_(handle ? handle->getHeight() : 0),
      travel_(std::max(0, vertical ? size.height() - handleHeight_ : size.width() - handleWidth_))
{
    // The handle follows the pointer: its travel is the drag distance for the full range.
    sensitivity_ = static_cast<float>(std::max(1, travel_));
}

CRect CK_HV_Slider::handleRect() const
{
    const float s = std::clamp(shownValue_, 0.0f, 1.0f);
    if (vertical_) {
        const int top = size_.top + static_cast<int>(std::lround((1.0f - s) * travel_));
        return CRect::fromSize(size_.left, top, handleWidth_, handleHeight_);
    }
    const int left = size_.left + static_cast<int>(std::lround(s * travel_));
    return CRect::fromSize(left, size_.top, handleWidth_, handleHeight_);
}

void CK_HV_Slider::draw(CDrawContext& context)
{
    if (background_)
        context.drawBitmap(*background_, handleRect(), {0, 0});
    setDirty(false);
}

bool CK_HV_Slider::hitTest(const CPoint& where, const CButtonState&)
{
    const CRect handle = handleRect();
    if (!size_.contains(where) || !handle.contains(where))
        return false;
    return !background_ || background_->alphaAt(where.x - handle.left, where.y - handle.top) > kAlphaHitThreshold;
}

float CK_HV_Slider::dragDistance(const CPoint& from, const CPoint& to) const
{
    return static_cast<float>(vertical_ ? from.y - to.y : to.x - from.x);
}
