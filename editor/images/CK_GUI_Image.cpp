#include "editor/images/CK_GUI_Image.h"

#include <algorithm>
#include <cmath>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

using brelvik::gui::CBitmap;
using brelvik::gui::CButtonState;
using brelvik::gui::CDrawContext;
using brelvik::gui::CDrawContextState;
using brelvik::gui::CMouseEventResult;
using brelvik::gui::CPoint;
using brelvik::gui::CRect;

CK_GUI_Image::CK_GUI_Image(const CRect& size, CBitmap* bitmap, bool visible, int frames)
    : CView(size), frameHeight_(size.height()), lastFrame_(std::max(frames, 1) - 1), alpha_(visible ? 255 : 0)
{
    setBackground(bitmap);
    CView::setVisible(visible);
}

void CK_GUI_Image::setAnimation(const Animation& animation)
{
    animation_ = animation;
    speed_ = animation.speed;
}

void CK_GUI_Image::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (sending_)
        return;
    if (message.mode == CK_LinkMessage::kModeRegister) {
        links_.add(sender, message.id);
        return;
    }
    switch (message.id) {
    case kIdNext:
        if (message.value != 0.0f)
            select(std::min(selected_ + 1, lastFrame_));
        break;
    case kIdPrevious:
        if (message.value != 0.0f)
            select(std::max(selected_ - 1, 0));
        break;
    case kIdFade:
        fadeStep_ = message.mode;
        if (fadeStep_ != 0)
            CView::setVisible(true);
        break;
    case kIdPosition: select(static_cast<int>(std::lround(static_cast<float>(lastFrame_) * message.value))); break;
    case CK_LinkMessage::kIdScaleImage:
    case CK_LinkMessage::kIdMeterScale: select(message.mode); break;
    default: break;
    }
    if (fadeStep_ == 0)
        requestRedraw();
}

void CK_GUI_Image::select(int frame)
{
    frame = std::clamp(frame, 0, lastFrame_);
    if (frame == selected_)
        return;
    selected_ = frame;
    sending_ = true;
    links_.sendValue(this, static_cast<float>(frame));
    sending_ = false;
}

void CK_GUI_Image::onFrameTick()
{
    if (fadeStep_ != 0) {
        alpha_ += fadeStep_;
        if (alpha_ >= 255) {
            alpha_ = 255;
            fadeStep_ = 0;
        } else if (alpha_ <= 0) {
            alpha_ = 0;
            fadeStep_ = 0;
            CView::setVisible(false);
        }
        requestRedraw();
    }
    if (holdCounter_ > 0)
        --holdCounter_;
    else
        animate();
    CView::onFrameTick();
}

void CK_GUI_Image::animate()
{
    const int before = static_cast<int>(position_);
    const float frames = static_cast<float>(lastFrame_ + 1);
    switch (animation_.mode) {
    case kStill: position_ = static_cast<float>(selected_); break;
    case kBounce:
        // Turns at either end, reflected so that no end frame shows twice.
        position_ += speed_;
        if (position_ > static_cast<float>(lastFrame_)) {
            position_ = 2.0f * static_cast<float>(lastFrame_) - position_;
            speed_ = -speed_;
        } else if (position_ < 0.0f) {
            position_ = -position_;
            speed_ = -speed_;
        }
        position_ = std::clamp(position_, 0.0f, static_cast<float>(lastFrame_));
        break;
    case kLoop:
    case kCrossFade:
    case kSlide:
        position_ = std::fmod(position_ + speed_, frames);
        if (position_ < 0.0f)
            position_ += frames;
        break;
    }
    const int after = static_cast<int>(position_);
    if (after != before) {
        requestRedraw();
        holdCounter_ = animation_.holdTicks;
        previousFrame_ = before;
        transition_ += animation_.directionStep;
    } else if (animation_.mode == kCrossFade || animation_.mode == kSlide) {
        requestRedraw(); // the transition moves every tick
    }
}

void CK_GUI_Image::drawFrame(CDrawContext& context, int frame, const CPoint& offset, float alpha)
{
    if (alpha > 0.0f)
        context.drawBitmap(*background_, size_.offset(offset), {0, frame * frameHeight_}, alpha);
}

void CK_GUI_Image::draw(CDrawContext& context)
{
    setDirty(false);
    if (!background_)
        return;
    CDrawContextState state(context);
    context.clipRect(size_);
    const float alpha = static_cast<float>(alpha_) / 255.0f;
    const int frame = shownFrame();
    const float f = position_ - static_cast<float>(frame);
    switch (animation_.mode) {
    case kCrossFade:
        drawFrame(context, previousFrame_, {}, alpha * (1.0f - f * f));
        drawFrame(context, frame, {}, alpha * f * f);
        break;
    case kSlide: {
        const float m = animation_.cubic ? std::pow(1.0f - f, 3.0f) : 1.0f - f;
        const int dx = static_cast<int>(std::lround(static_cast<float>(getWidth()) * m));
        const int dy = static_cast<int>(std::lround(static_cast<float>(getHeight()) * m));
        static const CPoint kFrom[4] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}}; // below, left, above, right
        const CPoint& from = kFrom[((transition_ % 4) + 4) % 4];
        drawFrame(context, previousFrame_, {}, alpha);
        drawFrame(context, frame, {from.x * dx, from.y * dy}, alpha);
        break;
    }
    default: drawFrame(context, frame, {}, alpha); break;
    }
}

CMouseEventResult CK_GUI_Image::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton() || links_.size() == 0)
        return CMouseEventResult::kNotHandled;
    sending_ = true;
    links_.sendValue(this, static_cast<float>(selected_));
    sending_ = false;
    return CMouseEventResult::kHandled;
}
