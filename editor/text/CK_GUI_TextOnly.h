// A fixed line of text (a label); its text can be replaced.
#pragma once

#include "editor/text/CK_TextPane.h"

class CK_GUI_TextOnly : public CK_TextPane {
public:
    CK_GUI_TextOnly(const brelvik::gui::CRect& size, brelvik::gui::CHoriTxtAlign align, std::string text);

    void setText(std::string text);
    const std::string& getText() const { return text_; }

    void draw(brelvik::gui::CDrawContext& context) override;

private:
    std::string text_;
};
