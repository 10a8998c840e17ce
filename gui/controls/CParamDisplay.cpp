#include "gui/controls/CParamDisplay.h"

#include <cstdio>

#include "gui/CBitmap.h"

namespace brelvik::gui {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background) : CControl(size, nullptr, -1, background) { }

std::string CParamDisplay::getDisplayText() const
{
    if (toString_)
        return toString_(value_);
    char text[64];
    std::snprintf(text, sizeof text, "%2.2f", value_);
    return text;
}

CRect CParamDisplay::drawBox(CDrawContext& context)
{
    if (backColor_.isVisible())
        context.fillRect(size_, backColor_);
    if (background_)
        context.drawBitmap(*background_, size_, {0, 0});
    if (frameColor_.isVisible())
        context.strokeRect(size_, frameColor_);
    return size_;
}

void CParamDisplay::draw(CDrawContext& context)
{
    const CRect area = drawBox(context);
    context.drawText(getDisplayText(), area, font_, fontColor_, align_);
    setDirty(false);
}

} // namespace brelvik::gui
