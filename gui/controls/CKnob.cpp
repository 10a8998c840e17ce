#include "gui/controls/CKnob.h"

#include <algorithm>
#include <cmath>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

namespace brelvik::gui {

namespace {
constexpr double kPi = 3.14159265358979323846;
// The dial runs clockwise from lower left (135 degrees) through 270 degrees.
constexpr double kStartAngle = 0.75 * kPi;
constexpr double kAngleRange = 1.5 * kPi;
constexpr CColor kDialColor{80, 80, 80, 255};
constexpr CColor kHandleColor{255, 255, 255, 255};
constexpr int kFineFactor = 10;
} // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background)
{
}

void CKnob::draw(CDrawContext& context)
{
    if (background_)
        context.drawBitmap(*background_, size_, {0, 0});
    else
        context.fillEllipse(size_, kDialColor);
    const double angle = kStartAngle + kAngleRange * getValueNormalized();
    const double radius = std::min(size_.width(), size_.height()) / 2.0 - 2;
    const CPoint centre{size_.left + size_.width() / 2, size_.top + size_.height() / 2};
    const CPoint tip{centre.x + static_cast<int>(std::lround(radius * std::cos(angle))),
        centre.y + static_cast<int>(std::lround(radius * std::sin(angle)))};
    context.drawLine(centre, tip, kHandleColor, 2.0);
    setDirty(false);
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return CMouseEventResult::kNotHandled;
    beginEdit();
    if (buttons.isDoubleClick() && value_ != getDefaultValue()) {
        setValue(getDefaultValue());
        invalid();
        reportValueChanged();
    }
    anchor_ = where;
    anchorValue_ = value_;
    return CMouseEventResult::kHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton() || !isEditing())
        return CMouseEventResult::kNotHandled;
    const float range = static_cast<float>(kDragRange * (buttons.has(kShift) ? kFineFactor : 1));
    const float moved = static_cast<float>((where.x - anchor_.x) + (anchor_.y - where.y));
    const float value = std::clamp(anchorValue_ + moved / range * (getMax() - getMin()), getMin(), getMax());
    if (value != value_) {
        setValue(value);
        invalid();
        reportValueChanged();
    }
    return CMouseEventResult::kHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&)
{
    if (!isEditing())
        return CMouseEventResult::kNotHandled;
    endEdit();
    return CMouseEventResult::kHandled;
}

bool CKnob::onWheel(const CPoint&, float distance, const CButtonState& buttons)
{
    const float step = buttons.has(kShift) ? kFineWheelInc : getWheelInc();
    const float value = std::clamp(value_ + step * distance * (getMax() - getMin()), getMin(), getMax());
    if (value != value_) {
        beginEdit();
        setValue(value);
        invalid();
        reportValueChanged();
        endEdit();
    }
    return true;
}

CAnimKnob::CAnimKnob(
    const CRect& size, CControlListener* listener, int32_t tag, int frameCount, int frameHeight, CBitmap* strip)
    : CKnob(size, listener, tag, strip), frameCount_(std::max(1, frameCount)), frameHeight_(frameHeight)
{
}

int CAnimKnob::drawnFrame() const
{
    const float v = std::clamp(getValueNormalized(), 0.0f, 1.0f);
    const int frame = static_cast<int>((frameCount_ - 1) * (inverse_ ? 1.0f - v : v));
    return std::clamp(frame, 0, frameCount_ - 1);
}

void CAnimKnob::draw(CDrawContext& context)
{
    if (background_)
        context.drawBitmap(*background_, size_, {0, drawnFrame() * frameHeight_});
    setDirty(false);
}

} // namespace brelvik::gui
