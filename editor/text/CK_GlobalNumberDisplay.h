// The plain value of the parameter the user points at; a click lets the user type a new one.
#pragma once

#include "editor/CK_GlobalDisplays.h"
#include "gui/controls/CTextEdit.h"

class CK_EditorContext;

class CK_GlobalNumberDisplay : public brelvik::gui::CTextEdit, public CK_GlobalValueTarget {
public:
    CK_GlobalNumberDisplay(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag);

    void showParameter(int32_t tag) override;
    int32_t getShownTag() const { return shownTag_; }

    // The shown parameter's normalised value. With nothing shown, or while the editor opens or a
    // program loads, the display clears and shows nothing until the next parameter is presented.
    void setValue(float value) override;
    void onFrameTick() override;

    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    void takeFocus() override;

protected:
    void editCommitted(const std::string& text) override;

private:
    void clear();

    CK_EditorContext& context_;
    int32_t shownTag_ = 0;
    int32_t editedTag_ = 0;
};
