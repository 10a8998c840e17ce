// An invisible control that turns a group of buttons into one stepped parameter: each button
// registers under the option it stands for, the hub's value selects one of them.
#pragma once

#include "editor/CK_LinkedView.h"
#include "gui/CControl.h"

class CK_EditorContext;

class CK_GUI_Multi_Button_Hub : public brelvik::gui::CControl, public CK_LinkedView {
public:
    static constexpr int kMaxButtons = 32;

    CK_GUI_Multi_Button_Hub(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag, int optionCount);

    int getSelected() const { return selected_; }
    // Lights the selected button and darkens the others.
    void setValue(float value) override;
    // Register (-1); any other message selects the option its id names.
    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;

private:
    CK_LinkList<kMaxButtons> buttons_;
    int optionCount_;
    int selected_ = 0;
    bool sending_ = false;
};
