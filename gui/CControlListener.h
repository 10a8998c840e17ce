#pragma once

namespace brelvik::gui {

class CControl;

// Receives a control's user edits: every change, and the begin and end of each gesture.
class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    virtual void controlBeginEdit(CControl*) { }
    virtual void controlEndEdit(CControl*) { }
};

} // namespace brelvik::gui
