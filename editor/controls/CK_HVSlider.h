// A handle (the bitmap) that moves along a horizontal or vertical track: left or bottom is 0.
#pragma once

#include "editor/controls/CK_Knob.h"

class CK_HV_Slider : public CK_Knob {
public:
    CK_HV_Slider(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag, brelvik::gui::CBitmap* handle,
        bool vertical, bool springBack);

    // Where the handle is drawn, in the parent's coordinates.
    brelvik::gui::CRect handleRect() const;

    void draw(brelvik::gui::CDrawContext& context) override;
    bool hitTest(const brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons = {}) override;

protected:
    float dragDistance(const brelvik::gui::CPoint& from, const brelvik::gui::CPoint& to) const override;

private:
    bool vertical_;
    int handleWidth_;
    int handleHeight_;
    int travel_;
};
