// A two-state button: the bitmap's upper half shows off, its lower half on. Styles: 0 toggles,
// 1 is on only while held (momentary), 2 only switches on.
#pragma once

#include "editor/CK_LinkedView.h"
#include "editor/controls/CK_ControlSupport.h"
#include "gui/controls/COnOffButton.h"

class CK_EditorContext;

class CK_COnOffButton : public brelvik::gui::COnOffButton, public CK_LinkedView {
public:
    enum Style : int { kToggle = 0, kMomentary = 1, kOnOnly = 2 };

    CK_COnOffButton(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag,
        brelvik::gui::CBitmap* bitmap, int style);

    void setValue(float value) override;
    // Register (-1); an interactive message (-65536) toggles; any other takes the message value.
    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;

    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseUp(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

private:
    CK_EditorContext& context_;
    int style_;
    CK_ControlLinks<8> links_;
};
