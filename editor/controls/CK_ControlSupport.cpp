#include "editor/controls/CK_ControlSupport.h"

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "shell/ParameterTags.h"

namespace CK_ControlSupport {

brelvik::gui::CMouseEventResult openMidiLearn(CK_EditorContext& context, brelvik::gui::CControl& control,
    const brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons)
{
    if (!buttons.isRightButton() || control.getTag() < 0 || control.getTag() >= kHostParameterCount)
        return brelvik::gui::CMouseEventResult::kNotHandled;
    if (CK_CControlListener* listener = context.listener())
        listener->openMidiLearn(&control, where);
    return brelvik::gui::CMouseEventResult::kHandled;
}

void reportEdit(brelvik::gui::CControl& control)
{
    control.beginEdit();
    control.reportValueChanged();
    control.endEdit();
}

} // namespace CK_ControlSupport
