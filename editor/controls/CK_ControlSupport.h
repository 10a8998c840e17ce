// Steps that every editor control takes the same way: the right click that opens MIDI learn, and a
// user edit reported to the effect as one gesture.
#pragma once

#include "editor/CK_LinkedView.h"
#include "gui/CControl.h"

class CK_EditorContext;

namespace CK_ControlSupport {

// Opens MIDI learn for a right click on a host parameter's control; handled when it did.
brelvik::gui::CMouseEventResult openMidiLearn(CK_EditorContext& context, brelvik::gui::CControl& control,
    const brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons);

// Reports the control's value to the effect between beginEdit and endEdit, so that hosts record
// even a single step (wheel, menu, link) as an automation gesture. Inside a drag the outer
// bracket is the only one the host sees.
void reportEdit(brelvik::gui::CControl& control);

} // namespace CK_ControlSupport

// The views linked to a control, told of each new value. A value that arrives while they are being
// told (a linked view answering) is not sent round again.
template <int Capacity> class CK_ControlLinks {
public:
    bool add(CK_LinkedView* view, int32_t id) { return links_.add(view, id); }
    void send(CK_LinkedView* sender, float value)
    {
        if (sending_)
            return;
        sending_ = true;
        links_.sendValue(sender, value);
        sending_ = false;
    }

private:
    CK_LinkList<Capacity> links_;
    bool sending_ = false;
};
