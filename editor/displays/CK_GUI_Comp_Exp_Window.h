// The static transfer curve of one compressor band (input level across, output level up, -40 dB
// to 0 dB on both axes): the curve with and without make-up gain, the threshold line, the knee
// handle and the band's current level. Dragging on it edits threshold, ratio and knee through the
// knobs linked to it; it fades with its panel.
#pragma once

#include <vector>

#include "editor/CK_LinkedView.h"
#include "gui/CView.h"

class CK_GUI_Comp_Exp_Window : public brelvik::gui::CView, public CK_LinkedView {
public:
    // Message ids: the linked knobs' parameters, and the band level from the processing side.
    enum Id : int32_t {
        kThreshold = 0,
        kRatio = 1,
        kKnee = 2,
        kMakeUp = 3,
        kExpThreshold = 5,
        kExpRatio = 6,
        kExpKnee = 7,
        kLevel = CK_LinkMessage::kIdCurveLevel,
    };
    static constexpr int kLinkCount = 10;
    static constexpr float kRangeDb = 40.0f; // both axes span -40 dB .. 0 dB
    static constexpr float kMakeUpRangeDb = 24.0f;
    static constexpr int kHandleSize = 10;
    static constexpr int kCurveOverhang = 3; // curves stop this many pixels outside the view

    // `band`: 0 low, 1 mid, 2 high (3: a fourth colour set). `handle`: drawn into the knee handles, or null.
    CK_GUI_Comp_Exp_Window(
        const brelvik::gui::CRect& size, brelvik::gui::CBitmap* handle, int band, bool compressorOn, bool expanderOn);

    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;
    void draw(brelvik::gui::CDrawContext& context) override;
    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseMoved(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseUp(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

    // Normalised parameters as the knobs send them.
    float threshold() const { return threshold_; }
    float ratio() const { return ratio_; }
    float knee() const { return knee_; }
    float thresholdDb() const { return dbOf(threshold_); }
    // Output level (dB) of the compressor for input level `inputDb`.
    float outputDb(float inputDb) const;
    // View-local y of the curve (and of the curve with make-up) at column i, as drawn.
    float curveY(int column);
    float raisedCurveY(int column);
    // View-local knee handle and threshold line.
    brelvik::gui::CRect kneeHandle() const { return handleRect(threshold_, knee_, false); }
    float thresholdLineY() const { return lineY(threshold_); }
    int dragTarget() const { return dragTarget_; }

private:
    struct Shape {
        bool soft = false;
        float a = 0.0f, b = 0.0f;
    };
    static float dbOf(float normalised) { return -kRangeDb * (1.0f - normalised); }
    static Shape kneeShape(float v, float softScale, float softOffset);
    static float shapedOutput(float inputDb, float thresholdDb, float slope, const Shape& shape);
    float yOfDb(float db) const;
    float lineY(float normalised) const { return yOfDb(dbOf(normalised)); }
    float pointX(float normalised) const;
    brelvik::gui::CRect handleRect(float thresholdValue, float kneeValue, bool expander) const;
    void set(int id, float value);
    void send(int id, float value);
    float valueOf(int id) const;
    void coupleThresholds();
    void computeCurve();
    void drawThresholdLine(
        brelvik::gui::CDrawContext& context, float y, const brelvik::gui::CColor& colour, float alpha) const;

    int band_;
    bool compressorOn_;
    bool expanderOn_;
    int handleWidth_ = kHandleSize;
    int handleHeight_ = kHandleSize;
    CK_LinkedView* links_[kLinkCount] = {};

    float threshold_ = 0.9f;
    float ratio_ = 0.1f;
    Shape kneeShape_;
    float knee_ = 0.0f;
    float makeUp_ = 0.5f;
    float expThreshold_;
    float expRatio_ = 0.1f;
    float expKnee_ = 0.0f;
    Shape expShape_;
    float level_ = 0.0f;
    int lastTouched_ = -1;

    std::vector<float> curve_; // view-local y per column
    bool curveStale_ = true;

    int dragTarget_ = -1;
    brelvik::gui::CPoint last_;
    float dragLineY_ = 0.0f;
};
