// A drag in a display view edits parameters through the controls linked to it. When such a
// control is a parameter control, the drag is bracketed as one edit gesture, so the host records
// it as one automation pass.
#pragma once

#include "editor/CK_LinkedView.h"
#include "gui/CControl.h"

inline void beginLinkedEdit(CK_LinkedView* view)
{
    if (auto* control = dynamic_cast<brelvik::gui::CControl*>(view))
        control->beginEdit();
}

inline void endLinkedEdit(CK_LinkedView* view)
{
    if (auto* control = dynamic_cast<brelvik::gui::CControl*>(view))
        control->endEdit();
}

// The fine factor of a drag: half speed with Shift, half again with Control.
inline float dragFineFactor(const brelvik::gui::CButtonState& buttons)
{
    float factor = 1.0f;
    if (buttons.has(brelvik::gui::kShift))
        factor *= 0.5f;
    if (buttons.has(brelvik::gui::kControl))
        factor *= 0.5f;
    return factor;
}
