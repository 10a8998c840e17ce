#include "editor/controls/CK_OptionsImage.h"

#include <algorithm>
#include <cmath>

#include "editor/CK_GlobalDisplays.h"
#include "editor/controls/CK_ControlSupport.h"
#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

using namespace brelvik::gui;

CK_COptionsImage::CK_COptionsImage(const CRect& size, CK_EditorContext& context, int32_t tag, CBitmap* strip,
    const char* choices, int frames, Motion motion, int clickMode)
    : CK_COptionsText(size, context, tag, strip, choices), motion_(motion), clickMode_(clickMode)
{
    const int height = strip ? strip->getHeight() : 0;
    const int n = std::max(1, getNbEntries());
    // One frame per option, or a single image that slides by one option's share.
    travel_ = frames > 1 ? height - height / frames : height - height / n;
    if (clickMode_ == kClickStepsFromNone)
        selected_ = -1;
    setAlphaHitTest(true);
}

void CK_COptionsImage::selectionChanged()
{
    if (motion_.easing >= 1.0f)
        shown_ = target();
    else if (!motion_.exponential)
        linearStep_ = (target() - shown_) * motion_.easing;
}

void CK_COptionsImage::onFrameTick()
{
    const float goal = target();
    if (shown_ != goal) {
        if (motion_.exponential) {
            shown_ += (goal - shown_) * motion_.easing;
            if (std::fabs(goal - shown_) < kSettled)
                shown_ = goal;
        } else {
            shown_ += linearStep_;
            if (linearStep_ == 0.0f || (linearStep_ > 0.0f) == (shown_ >= goal))
                shown_ = goal;
        }
        requestRedraw();
    }
    CK_COptionsText::onFrameTick();
}

CPoint CK_COptionsImage::bitmapOriginForHitTest() const
{
    return {0, static_cast<int>(std::lround(shown_ * travel_))};
}

void CK_COptionsImage::draw(CDrawContext& context)
{
    if (background_ && selected_ >= 0)
        context.drawBitmap(*background_, size_, bitmapOriginForHitTest());
    setDirty(false);
}

CMouseEventResult CK_COptionsImage::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (clickMode_ == kClickOpensList || !buttons.isLeftButton())
        return CK_COptionsText::onMouseDown(where, buttons);
    presentInGlobalDisplays(context_, getTag(), value_);
    const int n = getNbEntries();
    if (n == 0)
        return CMouseEventResult::kNotHandled;
    beginEdit();
    select((selected_ + 1) % n);
    anchor_ = where;
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_COptionsImage::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (clickMode_ == kClickOpensList || !isEditing() || !buttons.isLeftButton())
        return CMouseEventResult::kNotHandled;
    const int rise = anchor_.y - where.y;
    if (std::abs(rise) >= kDragStep) {
        anchor_ = where;
        const int index = std::clamp(selected_ + (rise > 0 ? 1 : -1), 0, getNbEntries() - 1);
        if (index != selected_)
            select(index);
    }
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_COptionsImage::onMouseUp(CPoint&, const CButtonState&)
{
    if (clickMode_ == kClickOpensList || !isEditing())
        return CMouseEventResult::kNotHandled;
    endEdit();
    return CMouseEventResult::kHandled;
}
