#include "editor/controls/CK_ExclusiveButton.h"

#include "editor/CK_CControlListener.h"
#include "editor/CK_EditorContext.h"
#include "editor/controls/CK_ControlSupport.h"
#include "gui/CViewContainer.h"

using namespace brelvik::gui;

CK_ExclusiveButton::CK_ExclusiveButton(
    const CRect& size, CK_EditorContext& context, int32_t tag, CBitmap* bitmap, bool allowNone)
    : COnOffButton(size, context.listener(), tag, bitmap), context_(context), allowNone_(allowNone)
{
    setAlphaHitTest(true);
}

bool CK_ExclusiveButton::addPartner(CView* partner)
{
    auto* control = dynamic_cast<CControl*>(partner);
    if (!control || control == this || partnerCount_ >= kMaxPartners)
        return false;
    partners_[partnerCount_++] = control;
    return true;
}

bool CK_ExclusiveButton::addPanel(CViewContainer* panel)
{
    if (!panel || panelCount_ >= kMaxPanels)
        return false;
    panels_[panelCount_++] = panel;
    return true;
}

void CK_ExclusiveButton::setValue(float value)
{
    // While the editor opens the button keeps its value; its panels follow that value.
    if (!context_.isOpening()) {
        if (value == value_)
            return;
        value_ = value;
        // Values applied from a program load are each button's own: partners are not switched.
        if (partnerCount_ > 0 && !context_.isApplyingProgramLoad())
            switchPartners(value);
    }
    for (int i = 0; i < panelCount_; ++i)
        panels_[i]->setVisible(value_ > 0.0f);
    requestRedraw();
}

void CK_ExclusiveButton::switchPartners(float value)
{
    if (value > 0.0f) {
        for (int i = 0; i < partnerCount_; ++i) {
            if (partners_[i]->getValue() == 0.0f)
                continue;
            partners_[i]->setValue(0.0f);
            CK_ControlSupport::reportEdit(*partners_[i]);
        }
        return;
    }
    if (allowNone_)
        return;
    for (int i = 0; i < partnerCount_; ++i)
        if (partners_[i]->getValue() > 0.0f)
            return;
    // The last button of a group that keeps one on cannot be switched off.
    value_ = 1.0f;
    CK_ControlSupport::reportEdit(*this);
}

CMouseEventResult CK_ExclusiveButton::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return CK_ControlSupport::openMidiLearn(context_, *this, where, buttons);
    beginEdit();
    setValue(value_ == 0.0f ? 1.0f : 0.0f);
    reportValueChanged();
    endEdit();
    return CMouseEventResult::kHandled;
}
