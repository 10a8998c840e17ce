#include "editor/text/CK_CNumberEntry.h"

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/CK_GlobalDisplays.h"
#include "editor/text/CK_NumberText.h"
#include "gui/CDrawContext.h"
#include "shell/ParameterTags.h"

using namespace brelvik::gui;

namespace {
// Digits that touch the field's edges read as cut off: a text fits with this much room each side.
constexpr int kTextMargin = 1;
} // namespace

CK_CNumberEntry::CK_CNumberEntry(
    const CRect& size, CK_EditorContext& context, int32_t tag, int decimals, bool readOnly, CBitmap* background)
    : CTextEdit(size, context.listener(), tag, {}, background), context_(context), rangeTag_(tag), decimals_(decimals),
      readOnly_(readOnly), lastShownValue_(CK_NumberText::kNothing)
{
    // A read-out shows nothing until its first reading: a 0.0 before then would read as a peak
    // at full scale.
    if (readOnly_)
        value_ = CK_NumberText::kNothing;
}

double CK_CNumberEntry::plain() const
{
    return CK_NumberText::plainValue(rangeTag_, value_);
}

void CK_CNumberEntry::setValue(float value)
{
    value_ = value;
    forwardToGlobalValue(context_, getTag(), value);
    links_.sendValue(this, value);
    requestRedraw();
}

void CK_CNumberEntry::link(CK_LinkedView* sender, const CK_LinkMessage& message)
{
    if (message.mode == CK_LinkMessage::kModeRegister) {
        links_.add(sender, message.id);
        return;
    }
    value_ = message.value;
    requestRedraw();
    if (readOnly_ || !sender)
        return;
    beginEdit();
    reportValueChanged();
    endEdit();
}

void CK_CNumberEntry::onFrameTick()
{
    if (!isEditingText() && value_ != lastShownValue_) {
        lastShownValue_ = value_;
        setText(value_ == CK_NumberText::kNothing ? std::string() : CK_NumberText::formatDecimals(plain(), decimals_));
    }
    CTextEdit::onFrameTick();
}

std::string CK_CNumberEntry::fittingText(CDrawContext& context) const
{
    if (getText().empty() || context.textWidth(getText(), getFont()) <= getWidth() - 2 * kTextMargin)
        return getText();
    return CK_NumberText::formatDecimals(plain(), 0);
}

void CK_CNumberEntry::draw(CDrawContext& context)
{
    if (isEditingText()) {
        CTextEdit::draw(context);
        return;
    }
    const CRect area = drawBox(context);
    context.drawText(fittingText(context), area, getFont(), getFontColor(), getHoriAlign());
    setDirty(false);
}

void CK_CNumberEntry::present()
{
    presentInGlobalDisplays(context_, getTag(), value_);
}

// A read-only entry is a display, not a parameter the user can point at or type.
CMouseEventResult CK_CNumberEntry::onMouseEntered(CPoint&, const CButtonState&)
{
    if (!readOnly_)
        present();
    return CMouseEventResult::kHandled;
}

CMouseEventResult CK_CNumberEntry::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (readOnly_)
        return CMouseEventResult::kNotHandled;
    present();
    if (buttons.isRightButton() && getTag() < kHostParameterCount) {
        if (CK_CControlListener* listener = context_.listener())
            listener->openMidiLearn(this, where);
        return CMouseEventResult::kHandled;
    }
    return CTextEdit::onMouseDown(where, buttons);
}

void CK_CNumberEntry::editCommitted(const std::string& text)
{
    if (text == getText())
        return;
    const std::optional<float> value = CK_NumberText::typedValue(rangeTag_, text);
    if (!value) {
        invalid();
        return;
    }
    beginEdit();
    setValue(*value);
    lastShownValue_ = value_;
    setText(CK_NumberText::formatDecimals(plain(), decimals_));
    reportValueChanged();
    endEdit();
}
