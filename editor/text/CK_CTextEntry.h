// A line of text the user types, or a file or folder path chosen through the system's dialog.
#pragma once

#include <memory>

#include "editor/text/CK_FileSelector.h"
#include "gui/controls/CTextEdit.h"

class CK_CTextEntry : public brelvik::gui::CTextEdit {
public:
    // What a click does: type the text, or choose a file to load, a file to save or a folder.
    enum Style { kTyped = 0, kTypedAlt = 1, kLoadFile = 2, kSaveFile = 3, kDirectory = 4 };

    CK_CTextEntry(const brelvik::gui::CRect& size, brelvik::gui::CControlListener* listener, int32_t tag, int style,
        std::unique_ptr<CK_FileSelector> selector = std::make_unique<CK_FileSelector>());

    int getStyle() const { return style_; }

    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

private:
    std::optional<std::string> choosePath();

    int style_;
    std::unique_ptr<CK_FileSelector> selector_;
};
