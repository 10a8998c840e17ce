// Controls that the layout's group records extend: exclusive groups (partners switched off when
// one is switched on) and panel lists (panels shown and hidden with the control's value).
#pragma once

namespace brelvik::gui {
class CView;
class CViewContainer;
} // namespace brelvik::gui

class CK_GroupMember {
public:
    virtual ~CK_GroupMember() = default;
    // Each answers false when the control takes no such entry or its list is full.
    virtual bool addPartner(brelvik::gui::CView* partner) = 0;
    virtual bool addPanel(brelvik::gui::CViewContainer* panel) = 0;
};
