// A parameter with a list of options, shown as the chosen option's text; a click opens the list.
// Its value is normalised: option i of n is i / (n - 1).
#pragma once

#include "editor/CK_LinkedView.h"
#include "editor/controls/CK_ControlSupport.h"
#include "gui/controls/COptionMenu.h"

class CK_EditorContext;

class CK_COptionsText : public brelvik::gui::COptionMenu, public CK_LinkedView {
public:
    // Link ids that step through the options (with a non-zero value), wrapping at the ends.
    static constexpr int32_t kIdNextOption = 100;
    static constexpr int32_t kIdPreviousOption = 101;

    // `choices` is a comma-terminated list ("Punch,Normal,Dense,").
    CK_COptionsText(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag,
        brelvik::gui::CBitmap* background, const char* choices);

    int getCurrentIndex() const override { return selected_; }
    // Values outside [0, 1] are ignored.
    void setValue(float value) override;
    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;
    void menuChosen(int index) override;

    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseEntered(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

protected:
    // A user choice: becomes the value and reaches the effect.
    void select(int index);
    float valueOf(int index) const;
    // The option a normalised value selects; -1 when there are no options.
    int indexOf(float value) const;
    // Called when the selected option changed.
    virtual void selectionChanged() { }

    CK_EditorContext& context_;
    int selected_ = 0;

private:
    CK_ControlLinks<8> links_;
};
