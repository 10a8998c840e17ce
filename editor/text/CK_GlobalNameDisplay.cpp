#include "editor/text/CK_GlobalNameDisplay.h"

#include "editor/CK_EditorContext.h"
#include "shell/ControlTable.h"

CK_GlobalNameDisplay::CK_GlobalNameDisplay(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag)
    : CParamDisplay(size), context_(context)
{
    setTag(tag);
}

void CK_GlobalNameDisplay::showName(int32_t tag)
{
    shownRow_ = tag;
    const char* name = CK_ParameterMap::instance().record(tag).name;
    name_ = name ? name : "";
    requestRedraw();
}

void CK_GlobalNameDisplay::setValue(float value)
{
    CParamDisplay::setValue(value);
    if (context_.isOpening() || context_.isApplyingProgramLoad()) {
        shownRow_ = 0;
        name_.clear();
    }
    requestRedraw();
}
