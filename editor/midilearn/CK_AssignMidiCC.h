// The content of the MIDI-learn panel: the name of one host parameter and the MIDI controller bound
// to it. The next controller the user moves is shown at once; a click on the number offers every
// controller in a menu; the confirm button binds the shown controller (or none) and closes the panel.
#pragma once

#include <cstdint>

#include "gui/CBaseObject.h"
#include "gui/CFontDesc.h"
#include "gui/CView.h"

class CK_EditorContext;
class CK_PanelContainer;

class CK_AssignMidiCC : public brelvik::gui::CView {
public:
    CK_AssignMidiCC(const brelvik::gui::CRect& size, CK_EditorContext& context);
    ~CK_AssignMidiCC() override;

    // Opens the panel for host parameter `tag` showing `controller` (-1 for none), centred on
    // `framePoint` (frame coordinates) and kept inside the window. Shows the panel, also when it is
    // fading out. The editor calls this on a right click on a parameter control.
    void openFor(int32_t tag, int32_t controller, const brelvik::gui::CPoint& framePoint);

    int32_t parameter() const { return paramTag_; }
    int32_t controller() const { return controller_; }
    bool isMenuOpen() const { return menuOpen_; }

    // Takes the last controller received, from opening until confirming, unless the controller menu is open.
    void onFrameTick() override;
    void draw(brelvik::gui::CDrawContext& context) override;
    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

    // The areas of the panel's artwork, in parent coordinates.
    brelvik::gui::CRect nameArea() const;
    brelvik::gui::CRect controllerArea() const;
    brelvik::gui::CRect confirmArea() const;

    // The controller menu: "None", then every controller number.
    static constexpr int kMenuEntries = 129;

private:
    class ControllerMenu;
    friend class ControllerMenu;

    void openControllerMenu(const brelvik::gui::CPoint& framePoint);
    void controllerChosen(int32_t tag, int entry);
    void controllerMenuClosed();
    void confirm();
    CK_PanelContainer* panel() const;
    brelvik::gui::CRect area(int left, int top, int right, int bottom) const;

    CK_EditorContext& context_;
    int32_t paramTag_ = -1;
    int32_t controller_ = -1;
    bool learning_ = false;
    bool menuOpen_ = false;
    brelvik::gui::SharedPointer<ControllerMenu> menu_;
    brelvik::gui::CFontDesc font_{"Arial", 18};
};
