// A radio-style button that also opens and closes panels. Switching it on switches its partners
// off; a group that must keep one button on (allowNone false) refuses to switch its last one off.
#pragma once

#include "editor/CK_GroupMember.h"
#include "gui/controls/COnOffButton.h"

class CK_EditorContext;

class CK_ExclusiveButton : public brelvik::gui::COnOffButton, public CK_GroupMember {
public:
    static constexpr int kMaxPartners = 32;
    static constexpr int kMaxPanels = 8;

    CK_ExclusiveButton(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag,
        brelvik::gui::CBitmap* bitmap, bool allowNone);

    void setValue(float value) override;
    bool addPartner(brelvik::gui::CView* partner) override;
    bool addPanel(brelvik::gui::CViewContainer* panel) override;

    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

private:
    void switchPartners(float value);

    CK_EditorContext& context_;
    bool allowNone_;
    brelvik::gui::CControl* partners_[kMaxPartners] = {};
    int partnerCount_ = 0;
    brelvik::gui::CViewContainer* panels_[kMaxPanels] = {};
    int panelCount_ = 0;
};
