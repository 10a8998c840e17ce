#include "editor/controls/CK_FloatStore.h"

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/CK_GlobalDisplays.h"
#include "editor/controls/CK_ControlSupport.h"

using namespace brelvik::gui;

CK_GUI_Float_Store::CK_GUI_Float_Store(const CRect& size, CK_EditorContext& context, int32_t tag)
    : CControl(size, context.listener(), tag), context_(context)
{
    setMouseEnabled(false);
}

void CK_GUI_Float_Store::setValue(float value)
{
    value_ = value;
    forwardToGlobalValue(context_, getTag(), value);
    if (linked_)
        linked_->link(this, valueMessage(linkedId_, value));
}

void CK_GUI_Float_Store::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (message.mode == CK_LinkMessage::kModeRegister) {
        linked_ = sender;
        linkedId_ = message.id;
        return;
    }
    value_ = message.value;
    if (message.mode == CK_LinkMessage::kModeInteractive)
        presentInGlobalDisplays(context_, getTag(), value_);
    else
        forwardToGlobalValue(context_, getTag(), value_);
    CK_ControlSupport::reportEdit(*this);
}
