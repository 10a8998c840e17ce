#include "editor/controls/CK_ButtonHub.h"

#include <algorithm>

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/controls/CK_ControlSupport.h"

using namespace brelvik::gui;

CK_GUI_Multi_Button_Hub::CK_GUI_Multi_Button_Hub(
    const CRect& size, CK_EditorContext& context, int32_t tag, int optionCount)
    : CControl(size, context.listener(), tag), optionCount_(std::max(1, optionCount))
{
    setMouseEnabled(false);
}

void CK_GUI_Multi_Button_Hub::setValue(float value)
{
    if (sending_)
        return;
    value_ = value;
    // Rounded: a normalised step need not come back exact from the effect.
    selected_ = std::clamp(static_cast<int>((optionCount_ - 1) * value + 0.5f), 0, optionCount_ - 1);
    sending_ = true;
    for (int i = 0; i < buttons_.size(); ++i)
        buttons_.view(i)->link(this, valueMessage(buttons_.id(i), buttons_.id(i) == selected_ ? 1.0f : 0.0f));
    sending_ = false;
}

void CK_GUI_Multi_Button_Hub::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (message.mode == CK_LinkMessage::kModeRegister) {
        buttons_.add(sender, message.id);
        return;
    }
    if (sending_ || optionCount_ < 2)
        return;
    selected_ = std::clamp(message.id, 0, optionCount_ - 1);
    value_ = static_cast<float>(selected_) / static_cast<float>(optionCount_ - 1);
    CK_ControlSupport::reportEdit(*this);
}
