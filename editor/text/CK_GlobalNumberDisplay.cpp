#include "editor/text/CK_GlobalNumberDisplay.h"

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/text/CK_NumberText.h"
#include "shell/CK_EditorInterface.h"
#include "shell/ParameterTags.h"

using namespace brelvik::gui;

CK_GlobalNumberDisplay::CK_GlobalNumberDisplay(const CRect& size, CK_EditorContext& context, int32_t tag)
    : CTextEdit(size, context.listener(), tag), context_(context)
{
    value_ = CK_NumberText::kNothing;
}

void CK_GlobalNumberDisplay::showParameter(int32_t tag)
{
    shownTag_ = tag;
    context_.host().setShownTag(tag);
}

void CK_GlobalNumberDisplay::clear()
{
    value_ = CK_NumberText::kNothing;
    setText({});
    requestRedraw();
}

void CK_GlobalNumberDisplay::setValue(float value)
{
    if (shownTag_ == 0) {
        clear();
        return;
    }
    if (context_.isOpening() || context_.isApplyingProgramLoad()) {
        shownTag_ = 0;
        clear();
        // The name beside the number goes blank with it.
        if (auto* name = dynamic_cast<CControl*>(context_.control(context_.host().globalNameDisplayTag())))
            name->setValue(value);
        return;
    }
    value_ = value;
    requestRedraw();
}

void CK_GlobalNumberDisplay::onFrameTick()
{
    // While the user types, a new value waits: the text follows once editing ends.
    if (isEditingText())
        return;
    if (getRedrawCount() != 0 && isVisible())
        setText(value_ == CK_NumberText::kNothing
                ? std::string()
                : CK_NumberText::formatValue(CK_NumberText::plainValue(shownTag_, value_)));
    CTextEdit::onFrameTick();
}

CMouseEventResult CK_GlobalNumberDisplay::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (shownTag_ <= 0 || value_ == CK_NumberText::kNothing)
        return CMouseEventResult::kNotHandled;
    return CTextEdit::onMouseDown(where, buttons);
}

void CK_GlobalNumberDisplay::takeFocus()
{
    editedTag_ = shownTag_;
    CTextEdit::takeFocus();
}

// A typed value that is empty, not a number or outside the parameter's range changes nothing and
// leaves the previous text; a valid one is one edit of the parameter that was shown when typing
// began (the mouse may present another one on its way to the keyboard).
void CK_GlobalNumberDisplay::editCommitted(const std::string& text)
{
    if (text == getText())
        return;
    const std::optional<float> value = CK_NumberText::typedValue(editedTag_, text);
    if (!value) {
        invalid();
        return;
    }
    CK_EditorHost& host = context_.host();
    const bool hostParameter = editedTag_ < kHostParameterCount;
    if (hostParameter)
        host.beginEdit(editedTag_);
    host.setParameterAutomated(editedTag_, *value);
    if (hostParameter)
        host.endEdit(editedTag_);
    if (editedTag_ == shownTag_) {
        value_ = *value;
        setText(CK_NumberText::formatValue(CK_NumberText::plainValue(shownTag_, *value)));
    }
}
