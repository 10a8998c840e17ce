// An invisible control that stands for a parameter without a visible control of its own (EQ band
// values, envelope shape constants): it carries values between the effect and one linked view.
#pragma once

#include "editor/CK_LinkedView.h"
#include "gui/CControl.h"

class CK_EditorContext;

class CK_GUI_Float_Store : public brelvik::gui::CControl, public CK_LinkedView {
public:
    CK_GUI_Float_Store(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag);

    void setValue(float value) override;
    // Register (-1) makes the sender the linked view; an interactive message (-65536) also presents
    // the parameter in the global displays; every other message is an edit of the parameter.
    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;

private:
    CK_EditorContext& context_;
    CK_LinkedView* linked_ = nullptr;
    int32_t linkedId_ = 0;
};
