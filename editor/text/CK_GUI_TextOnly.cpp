#include "editor/text/CK_GUI_TextOnly.h"

CK_GUI_TextOnly::CK_GUI_TextOnly(const brelvik::gui::CRect& size, brelvik::gui::CHoriTxtAlign align, std::string text)
    : CK_TextPane(size, align), text_(std::move(text))
{
}

void CK_GUI_TextOnly::setText(std::string text)
{
    text_ = std::move(text);
    invalid();
}

void CK_GUI_TextOnly::draw(brelvik::gui::CDrawContext& context)
{
    drawLines(context, &text_, 1);
}
