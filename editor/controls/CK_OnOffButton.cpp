#include "editor/controls/CK_OnOffButton.h"

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/controls/CK_ControlSupport.h"

using namespace brelvik::gui;

CK_COnOffButton::CK_COnOffButton(const CRect& size, CK_EditorContext& context, int32_t tag, CBitmap* bitmap, int style)
    : COnOffButton(size, context.listener(), tag, bitmap), context_(context), style_(style)
{
    setAlphaHitTest(true);
}

void CK_COnOffButton::setValue(float value)
{
    value_ = value;
    links_.send(this, value);
    requestRedraw();
}

void CK_COnOffButton::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (message.mode == CK_LinkMessage::kModeRegister) {
        links_.add(sender, message.id);
        return;
    }
    setValue(message.mode == CK_LinkMessage::kModeInteractive ? (value_ == 0.0f ? 1.0f : 0.0f) : message.value);
    CK_ControlSupport::reportEdit(*this);
}

CMouseEventResult CK_COnOffButton::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return CK_ControlSupport::openMidiLearn(context_, *this, where, buttons);
    beginEdit();
    setValue(style_ == kToggle && value_ != 0.0f ? 0.0f : 1.0f);
    reportValueChanged();
    // A momentary button keeps the gesture open until it is released.
    if (style_ != kMomentary)
        endEdit();
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_COnOffButton::onMouseUp(CPoint&, const CButtonState&)
{
    if (style_ == kMomentary && isEditing()) {
        setValue(0.0f);
        reportValueChanged();
        endEdit();
    }
    return CMouseEventResult::kHandled;
}
