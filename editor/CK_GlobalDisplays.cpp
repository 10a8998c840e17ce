#include "editor/CK_GlobalDisplays.h"

#include "editor/CK_EditorContext.h"
#include "gui/CControl.h"
#include "shell/CK_EditorInterface.h"

namespace {

brelvik::gui::CControl* valueDisplay(CK_EditorContext& context)
{
    return dynamic_cast<brelvik::gui::CControl*>(context.control(context.host().globalValueDisplayTag()));
}

} // namespace

void presentInGlobalDisplays(CK_EditorContext& context, int32_t tag, float value)
{
    if (context.isOpening())
        return;
    if (brelvik::gui::CControl* display = valueDisplay(context)) {
        if (auto* target = dynamic_cast<CK_GlobalValueTarget*>(display))
            target->showParameter(tag);
        display->setValue(value);
    }
    if (auto* name = dynamic_cast<CK_GlobalNameTarget*>(context.control(context.host().globalNameDisplayTag())))
        name->showName(tag);
}

void forwardToGlobalValue(CK_EditorContext& context, int32_t tag, float value)
{
    if (context.host().shownTag() != tag)
        return;
    if (brelvik::gui::CControl* display = valueDisplay(context))
        display->setValue(value);
}
