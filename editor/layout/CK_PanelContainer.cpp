#include "editor/layout/CK_PanelContainer.h"

#include <cmath>

#include "gui/CDrawContext.h"

using brelvik::gui::CDrawContext;
using brelvik::gui::CDrawContextState;
using brelvik::gui::CPoint;
using brelvik::gui::CRect;
using brelvik::gui::CView;

namespace {

constexpr float kNoFade = 1.0f;
constexpr float kSnapDistance = 0.5f; // pixels

int roundToPixel(float value)
{
    return static_cast<int>(std::floor(value + 0.5f));
}

} // namespace

CK_PanelContainer::CK_PanelContainer(const CRect& openRect)
    : CViewContainer(openRect), openRect_(openRect), homeRect_(openRect), targetRect_(openRect),
      left_(static_cast<float>(openRect.left)), top_(static_cast<float>(openRect.top))
{
}

void CK_PanelContainer::setPanelMotion(const CRect& home, int hideMode, float speed, float fadeSwitch)
{
    homeRect_ = home;
    targetRect_ = home;
    moveTo(home);
    hideMode_ = hideMode;
    speed_ = speed;
    fadeSwitch_ = fadeSwitch;
    if (hideMode_ != 0)
        setVisibleAtOnce(false);
}

void CK_PanelContainer::setVisible(bool show)
{
    if (fadeSwitch_ != kNoFade) {
        if (show && !isVisible()) {
            fadeLevel_ = 0.0f;
            opacity_ = 0;
        }
        fadeSpeed_ = show ? speed_ : -speed_;
    }
    if (show)
        hideAtEnd_ = false;
    if (!slides()) {
        if (fadeSpeed_ >= 0.0f)
            CViewContainer::setVisible(show);
        else
            hideAtEnd_ = true;
    } else if (show) {
        targetRect_ = openRect_;
        CViewContainer::setVisible(true);
    } else {
        targetRect_ = homeRect_;
        hideAtEnd_ = hideMode_ != 0;
    }
    invalid();
}

void CK_PanelContainer::setVisibleAtOnce(bool show)
{
    fadeSpeed_ = 0.0f;
    if (show) {
        fadeLevel_ = 1.0f;
        opacity_ = 255;
    }
    hideAtEnd_ = false;
    targetRect_ = getViewSize();
    CViewContainer::setVisible(show);
}

void CK_PanelContainer::placeAt(const CPoint& topLeft)
{
    openRect_ = CRect::fromSize(topLeft.x, topLeft.y, openRect_.width(), openRect_.height());
    homeRect_ = openRect_;
    targetRect_ = openRect_;
    moveTo(openRect_);
}

void CK_PanelContainer::onFrameTick()
{
    CViewContainer::onFrameTick();
    if (isVisible())
        animatePanel();
}

void CK_PanelContainer::animatePanel()
{
    fadeStep();
    if (getViewSize() == targetRect_ && fadeSpeed_ == 0.0f) {
        left_ = static_cast<float>(targetRect_.left);
        top_ = static_cast<float>(targetRect_.top);
        if (hideAtEnd_) {
            hideAtEnd_ = false;
            CViewContainer::setVisible(false);
        }
        return;
    }
    slideStep();
}

void CK_PanelContainer::fadeStep()
{
    if (fadeSpeed_ == 0.0f)
        return;
    fadeLevel_ += fadeSpeed_;
    // Within half a step of opacity of either end counts as arrived, so that ten steps of 0.1 take
    // exactly ten ticks whatever the float rounding.
    if (fadeLevel_ * 255.0f >= 254.5f) {
        fadeLevel_ = 1.0f;
        fadeSpeed_ = 0.0f;
    } else if (fadeLevel_ * 255.0f < 0.5f) {
        fadeLevel_ = 0.0f;
        fadeSpeed_ = 0.0f;
    }
    const int opacity = roundToPixel(fadeLevel_ * 255.0f);
    if (opacity != opacity_) {
        opacity_ = opacity;
        invalid();
    }
}

void CK_PanelContainer::slideStep()
{
    left_ += speed_ * (static_cast<float>(targetRect_.left) - left_);
    top_ += speed_ * (static_cast<float>(targetRect_.top) - top_);
    if (std::fabs(static_cast<float>(targetRect_.left) - left_) < kSnapDistance
        && std::fabs(static_cast<float>(targetRect_.top) - top_) < kSnapDistance) {
        left_ = static_cast<float>(targetRect_.left);
        top_ = static_cast<float>(targetRect_.top);
    }
    const CRect& now = getViewSize();
    const CRect next = CRect::fromSize(roundToPixel(left_), roundToPixel(top_), now.width(), now.height());
    if (!(next == now))
        setViewSize(next);
}

void CK_PanelContainer::moveTo(const CRect& rect)
{
    left_ = static_cast<float>(rect.left);
    top_ = static_cast<float>(rect.top);
    setViewSize(rect);
}

void CK_PanelContainer::drawRect(CDrawContext& context, const CRect& update)
{
    if (opacity_ >= 255) {
        CViewContainer::drawRect(context, update);
        return;
    }
    if (opacity_ > 0) {
        CDrawContextState state(context);
        context.setGlobalAlpha(context.getGlobalAlpha() * static_cast<float>(opacity_) / 255.0f);
        CViewContainer::drawRect(context, update);
    }
    setDirty(false);
}

int panelOpacity(const CView& view)
{
    for (const CView* v = view.getParentView(); v; v = v->getParentView())
        if (auto* panel = dynamic_cast<const CK_PanelContainer*>(v))
            return panel->opacity();
    return 255;
}
