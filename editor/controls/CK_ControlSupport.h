// Steps that every editor control takes the same way: the right click that opens MIDI learn, and a
// user edit reported to the effect as one gesture.
#pragma once

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
