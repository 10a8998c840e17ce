#pragma once

#include <functional>
#include <string>

#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFontDesc.h"

namespace brelvik::gui {

// Shows a text in a box: back colour, one-pixel frame and text, each drawn when its alpha is not 0.
// The text is the value formatted by the value-to-string function ("%2.2f" by default).
class CParamDisplay : public CControl {
public:
    using ValueToString = std::function<std::string(float)>;

    CParamDisplay(const CRect& size, CBitmap* background = nullptr);

    void setFont(const CFontDesc& font) { font_ = font; }
    const CFontDesc& getFont() const { return font_; }
    void setFontColor(const CColor& color) { fontColor_ = color; }
    const CColor& getFontColor() const { return fontColor_; }
    void setBackColor(const CColor& color) { backColor_ = color; }
    const CColor& getBackColor() const { return backColor_; }
    void setFrameColor(const CColor& color) { frameColor_ = color; }
    const CColor& getFrameColor() const { return frameColor_; }
    void setHoriAlign(CHoriTxtAlign align) { align_ = align; }
    CHoriTxtAlign getHoriAlign() const { return align_; }
    void setValueToString(ValueToString convert) { toString_ = std::move(convert); }

    // The text drawn in the box.
    virtual std::string getDisplayText() const;

    void draw(CDrawContext& context) override;

protected:
    // Draws back colour, background bitmap and frame, and returns the text area.
    CRect drawBox(CDrawContext& context);

private:
    CFontDesc font_;
    CColor fontColor_ = kWhiteCColor;
    CColor backColor_ = kBlackCColor;
    CColor frameColor_ = kBlackCColor;
    CHoriTxtAlign align_ = CHoriTxtAlign::kCenter;
    ValueToString toString_;
};

} // namespace brelvik::gui
