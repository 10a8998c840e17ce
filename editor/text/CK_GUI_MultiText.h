// A log of the latest lines of text, newest at the bottom: a ring of 32 lines of at most 63
// characters each.
#pragma once

#include <array>

#include "editor/text/CK_TextPane.h"

class CK_GUI_MultiText : public CK_TextPane {
public:
    static constexpr int kLines = 32;
    static constexpr size_t kLineLength = 63;

    CK_GUI_MultiText(const brelvik::gui::CRect& size, brelvik::gui::CHoriTxtAlign align);

    void addLine(const std::string& text);
    // The line, stamped "hh:mm:ss " from `seconds`.
    void addTimedLine(int seconds, const std::string& text);
    // Line `age` back from the newest (0 = newest).
    const std::string& line(int age) const;

    void draw(brelvik::gui::CDrawContext& context) override;

private:
    std::array<std::string, kLines> lines_;
    int newest_ = kLines - 1;
};
