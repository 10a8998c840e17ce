#include "editor/text/CK_TextPane.h"

#include <cmath>

using namespace brelvik::gui;

CK_TextPane::CK_TextPane(const CRect& size, CHoriTxtAlign align) : CView(size), align_(align) { }

void CK_TextPane::setColours(
    const CFontDesc& font, const CColor& fontColour, const CColor& frameColour, const CColor& backColour)
{
    font_ = font;
    fontColour_ = fontColour;
    frameColour_ = frameColour;
    backColour_ = backColour;
    invalid();
}

CHoriTxtAlign CK_TextPane::alignment(int code)
{
    switch (code) {
    case 1: return CHoriTxtAlign::kCenter;
    case 2: return CHoriTxtAlign::kRight;
    default: return CHoriTxtAlign::kLeft;
    }
}

void CK_TextPane::drawLines(CDrawContext& context, const std::string* lines, int count)
{
    // A fading panel draws its views with its opacity as the global alpha; these views fade once
    // more on top of that, so their text leaves before the panel's picture does.
    const float opacity = context.getGlobalAlpha();
    auto faded
        = [opacity](const CColor& c) { return c.withAlpha(static_cast<uint8_t>(std::lround(c.alpha * opacity))); };
    const CColor back = faded(backColour_);
    const CColor frame = faded(frameColour_);
    const CColor text = faded(fontColour_);
    if (back.isVisible())
        context.fillRect(size_, back);
    if (frame.isVisible())
        context.strokeRect(size_, frame);
    if (text.isVisible()) {
        const int step = static_cast<int>(std::ceil(context.lineHeight(font_)));
        CRect line{size_.left, size_.top, size_.right, size_.top + (count == 1 ? size_.height() : step)};
        for (int i = 0; i < count && line.top < size_.bottom; ++i) {
            context.drawText(lines[i], line, font_, text, align_);
            line.top += step;
            line.bottom += step;
        }
    }
    setDirty(false);
}
