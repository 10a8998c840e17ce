#include "editor/controls/CK_OptionsText.h"

#include <algorithm>
#include <string>

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/CK_GlobalDisplays.h"
#include "editor/controls/CK_ControlSupport.h"
#include "shell/ControlTable.h"

using namespace brelvik::gui;

namespace {
constexpr int kMaxChoiceLength = 63;
}

CK_COptionsText::CK_COptionsText(
    const CRect& size, CK_EditorContext& context, int32_t tag, CBitmap* background, const char* choices)
    : COptionMenu(size, context.listener(), tag, background, kCheckStyle), context_(context)
{
    char label[kMaxChoiceLength + 1];
    for (int i = 0; choices && choiceLabel(choices, i, label, kMaxChoiceLength); ++i)
        addEntry(label);
    value_ = 0.0f;
}

float CK_COptionsText::valueOf(int index) const
{
    const int n = getNbEntries();
    return n > 1 ? static_cast<float>(index) / static_cast<float>(n - 1) : 0.0f;
}

int CK_COptionsText::indexOf(float value) const
{
    // Rounded: a normalised step need not come back exact from the effect.
    const int n = getNbEntries();
    return n > 0 ? std::clamp(static_cast<int>((n - 1) * value + 0.5f), 0, n - 1) : -1;
}

void CK_COptionsText::setValue(float value)
{
    if (!(value >= 0.0f && value <= 1.0f))
        return;
    const int index = indexOf(value);
    value_ = value;
    if (index != selected_) {
        selected_ = index;
        selectionChanged();
    }
    forwardToGlobalValue(context_, getTag(), value);
    links_.send(this, value);
    requestRedraw();
}

void CK_COptionsText::select(int index)
{
    setValue(valueOf(index));
    CK_ControlSupport::reportEdit(*this);
}

void CK_COptionsText::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (message.mode == CK_LinkMessage::kModeRegister) {
        links_.add(sender, message.id);
        return;
    }
    const int n = getNbEntries();
    if (n == 0)
        return;
    if (message.mode == CK_LinkMessage::kModeInteractive)
        presentInGlobalDisplays(context_, getTag(), value_);
    if (message.id == kIdNextOption || message.id == kIdPreviousOption) {
        if (message.value == 0.0f)
            return;
        if (message.id == kIdNextOption)
            select((selected_ + 1) % n);
        else
            select(selected_ <= 0 ? n - 1 : selected_ - 1);
        return;
    }
    select(indexOf(message.value));
}

void CK_COptionsText::menuChosen(int index)
{
    setValue(valueOf(index));
    reportValueChanged();
}

CMouseEventResult CK_COptionsText::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    presentInGlobalDisplays(context_, getTag(), value_);
    if (!buttons.isLeftButton())
        return CK_ControlSupport::openMidiLearn(context_, *this, where, buttons);
    return COptionMenu::onMouseDown(where, buttons);
}

CMouseEventResult CK_COptionsText::onMouseEntered(CPoint&, const CButtonState&)
{
    presentInGlobalDisplays(context_, getTag(), value_);
    return CMouseEventResult::kNotHandled;
}
