// A knob drawn by rotating its bitmap: layer 0 turns with the value, a middle layer (of three)
// turns by a share of the angle, and the last layer lies unrotated on top (a cap or a scale).
#pragma once

#include "editor/controls/CK_Knob.h"

class CK_Rotate_Knob : public CK_Knob {
public:
    static constexpr float kSensitivity = 640.0f;

    // Angles in degrees, clockwise; layers lie one below the other in the bitmap, one view high each.
    CK_Rotate_Knob(const brelvik::gui::CRect& size, CK_EditorContext& context, int32_t tag, int layerCount,
        brelvik::gui::CBitmap* layers, float startAngle, float endAngle, float layerFactor, bool springBack);

    // The angle, in degrees, at which layer 0 is drawn.
    float drawnAngle() const { return startAngle_ + angleRange_ * shownValue_; }

    void draw(brelvik::gui::CDrawContext& context) override;
    bool hitTest(const brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons = {}) override;

private:
    brelvik::gui::CRect layerRect(int layer) const;

    float startAngle_;
    float angleRange_;
    float layerFactor_;
    int layerCount_;
};
