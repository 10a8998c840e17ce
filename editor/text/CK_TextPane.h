// Static text in a box: the base of the single-line and the multi-line text views. Back colour,
// frame and text are each drawn when their alpha is not 0, faded with the panel that holds the view.
#pragma once

#include <string>

#include "gui/CDrawContext.h"
#include "gui/CView.h"

class CK_TextPane : public brelvik::gui::CView {
public:
    explicit CK_TextPane(const brelvik::gui::CRect& size, brelvik::gui::CHoriTxtAlign align);

    void setColours(const brelvik::gui::CFontDesc& font, const brelvik::gui::CColor& fontColour,
        const brelvik::gui::CColor& frameColour, const brelvik::gui::CColor& backColour);

    // The record's controller field: 0 left, 1 centre, 2 right.
    static brelvik::gui::CHoriTxtAlign alignment(int code);

protected:
    const brelvik::gui::CFontDesc& font() const { return font_; }
    // Draws the box and `count` lines from the top, one line height apart.
    void drawLines(brelvik::gui::CDrawContext& context, const std::string* lines, int count);

private:
    brelvik::gui::CHoriTxtAlign align_;
    brelvik::gui::CFontDesc font_;
    brelvik::gui::CColor fontColour_ = brelvik::gui::kWhiteCColor;
    brelvik::gui::CColor frameColour_{};
    brelvik::gui::CColor backColour_{};
};
