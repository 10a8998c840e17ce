#include "editor/text/CK_GUI_MultiText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace brelvik::gui;

CK_GUI_MultiText::CK_GUI_MultiText(const CRect& size, CHoriTxtAlign align) : CK_TextPane(size, align) { }

void CK_GUI_MultiText::addLine(const std::string& text)
{
    newest_ = (newest_ + 1) % kLines;
    lines_[newest_] = text.substr(0, kLineLength);
    invalid();
}

void CK_GUI_MultiText::addTimedLine(int seconds, const std::string& text)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d ", seconds / 3600, seconds / 60 % 60, seconds % 60);
    addLine(stamp + text);
}

const std::string& CK_GUI_MultiText::line(int age) const
{
    return lines_[(newest_ - age % kLines + kLines) % kLines];
}

void CK_GUI_MultiText::draw(CDrawContext& context)
{
    const double height = context.lineHeight(font());
    const int fit = height > 0 ? std::max(1, static_cast<int>(getHeight() / std::ceil(height))) : 1;
    const int shown = std::min(fit, kLines);
    std::vector<std::string> visible(shown);
    for (int i = 0; i < shown; ++i)
        visible[i] = line(shown - 1 - i);
    drawLines(context, visible.data(), shown);
}
