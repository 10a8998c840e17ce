#include "editor/controls/CK_RotateKnob.h"

#include <algorithm>
#include <cmath>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

using namespace brelvik::gui;

namespace {
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr int kLayersWithMiddle = 3;
} // namespace

CK_Rotate_Knob::CK_Rotate_Knob(const CRect& size, CK_EditorContext& context, int32_t tag, int layerCount,
    CBitmap* layers, float startAngle, float endAngle, float layerFactor, bool springBack)
    : CK_Knob(size, context, tag, 1, size.height(), layers, springBack ? kSpringBack : kPlain), startAngle_(startAngle),
      angleRange_(endAngle - startAngle), layerFactor_(layerFactor), layerCount_(std::max(1, layerCount))
{
    sensitivity_ = kSensitivity;
}

CRect CK_Rotate_Knob::layerRect(int layer) const
{
    return CRect::fromSize(0, layer * size_.height(), size_.width(), size_.height());
}

void CK_Rotate_Knob::draw(CDrawContext& context)
{
    if (background_) {
        const CPoint centre{size_.left + size_.width() / 2, size_.top + size_.height() / 2};
        const double angle = drawnAngle() * kRadiansPerDegree;
        context.drawBitmapRotated(*background_, layerRect(0), centre, angle);
        if (layerCount_ == kLayersWithMiddle)
            context.drawBitmapRotated(*background_, layerRect(1), centre, angle * layerFactor_);
        if (layerCount_ > 1)
            context.drawBitmap(*background_, size_, layerRect(layerCount_ - 1).topLeft());
    }
    setDirty(false);
}

bool CK_Rotate_Knob::hitTest(const CPoint& where, const CButtonState&)
{
    if (!size_.contains(where))
        return false;
    if (!background_)
        return true;
    // Opaque in the unrotated top layer, or in layer 0 where the point lies once turned back.
    const int x = where.x - size_.left;
    const int y = where.y - size_.top;
    if (layerCount_ > 1 && background_->alphaAt(x, y + layerRect(layerCount_ - 1).top) > kAlphaHitThreshold)
        return true;
    const double cx = size_.width() / 2.0;
    const double cy = size_.height() / 2.0;
    const double angle = -drawnAngle() * kRadiansPerDegree;
    const double dx = x + 0.5 - cx;
    const double dy = y + 0.5 - cy;
    const int sx = static_cast<int>(std::floor(cx + dx * std::cos(angle) - dy * std::sin(angle)));
    const int sy = static_cast<int>(std::floor(cy + dx * std::sin(angle) + dy * std::cos(angle)));
    return sx >= 0 && sx < size_.width() && sy >= 0 && sy < size_.height()
        && background_->alphaAt(sx, sy) > kAlphaHitThreshold;
}
