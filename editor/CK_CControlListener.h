// The listener of every editor control: the toolkit's listener plus the right click that opens
// MIDI learn for a host parameter.
#pragma once

#include "gui/CControlListener.h"
#include "gui/CGeometry.h"

class CK_CControlListener : public brelvik::gui::CControlListener {
public:
    // `where` is in the control's parent coordinates, as the mouse event gave it.
    virtual void openMidiLearn(brelvik::gui::CControl* control, const brelvik::gui::CPoint& where) = 0;
};
