// The name of the parameter the user points at, at the top right of the window.
#pragma once

#include <string>

#include "editor/CK_GlobalDisplays.h"
#include "gui/controls/CParamDisplay.h"

class CK_EditorContext;

class CK_GlobalNameDisplay : public brelvik::gui::CParamDisplay, public CK_GlobalNameTarget {
public:
    CK_GlobalNameDisplay(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag);

    void showName(int32_t tag) override;
    // Clears the display while the editor opens or a program loads.
    void setValue(float value) override;
    int32_t getShownRow() const { return shownRow_; }

    std::string getDisplayText() const override { return name_; }

private:
    CK_EditorContext& context_;
    int32_t shownRow_ = 0;
    std::string name_;
};
