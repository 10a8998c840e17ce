#include "gui/CTooltipSupport.h"

#include <algorithm>
#include <cmath>

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace brelvik::gui {

namespace {
constexpr int kPadding = 4;
constexpr int kPointerGap = 20; // keeps the tip clear of the mouse pointer
constexpr CColor kTipBack{255, 255, 225, 255};
constexpr CColor kTipBorder{118, 118, 118, 255};
} // namespace

CTooltipSupport::CTooltipSupport(CFrame* frame, uint32_t delayMs) : frame_(frame), delayMs_(delayMs)
{
    lines_.reserve(8);
    if (frame_)
        frame_->setTooltipSupport(this);
}

void CTooltipSupport::hoverChanged(CView* view, const CPoint& where)
{
    hide();
    view_ = view;
    mouse_ = where;
    waiting_ = view_ && !view_->getTooltipText().empty();
    clockStarted_ = false;
}

void CTooltipSupport::mouseMoved(const CPoint& where)
{
    mouse_ = where;
}

void CTooltipSupport::hide()
{
    if (showing_ && frame_)
        frame_->invalidRect(tipRect_);
    showing_ = false;
}

// The clock starts at the first idle after the mouse came to rest on a view, so events need no time.
void CTooltipSupport::idle(uint64_t nowMs)
{
    if (!waiting_)
        return;
    if (!clockStarted_) {
        clockStarted_ = true;
        hoverStart_ = nowMs;
    }
    if (nowMs - hoverStart_ >= delayMs_) {
        waiting_ = false;
        show();
    }
}

void CTooltipSupport::show()
{
    if (!frame_ || !view_)
        return;
    lines_.clear();
    const std::string& text = view_->getTooltipText();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        lines_.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    CDrawContext& context = frame_->getDrawContext();
    double widest = 0;
    for (const std::string& line : lines_)
        widest = std::max(widest, context.textWidth(line, font_));
    const int lineHeight = static_cast<int>(std::ceil(context.lineHeight(font_)));
    const int width = static_cast<int>(std::ceil(widest)) + 2 * kPadding;
    const int height = lineHeight * static_cast<int>(lines_.size()) + 2 * kPadding;
    const CRect bounds = frame_->getViewSize();
    int left = std::clamp(mouse_.x, 0, std::max(0, bounds.width() - width));
    int top = mouse_.y + kPointerGap;
    if (top + height > bounds.height())
        top = std::max(0, mouse_.y - kPointerGap / 2 - height);
    tipRect_ = CRect::fromSize(left, top, width, height);
    showing_ = true;
    frame_->invalidRect(tipRect_);
}

void CTooltipSupport::draw(CDrawContext& context)
{
    if (!showing_)
        return;
    context.fillRect(tipRect_, kTipBack);
    context.strokeRect(tipRect_, kTipBorder);
    const int lineHeight = static_cast<int>(std::ceil(context.lineHeight(font_)));
    CRect line = CRect::fromSize(
        tipRect_.left + kPadding, tipRect_.top + kPadding, tipRect_.width() - 2 * kPadding, lineHeight);
    for (const std::string& text : lines_) {
        context.drawText(text, line, font_, kBlackCColor, CHoriTxtAlign::kLeft);
        line = line.offset(0, lineHeight);
    }
}

} // namespace brelvik::gui
