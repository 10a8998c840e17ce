// The equaliser's view: a quick sketch of the five bands' curve with a handle per active band
// (drag across for frequency, up and down for gain, with the right button across for width), or
// the three compressor bands as slanted regions between the two crossover markers (drag across).
// Edits go out through the controls linked to it; values come in from them. The sketch spreads
// each band's gain sideways by its width; it is not the filters' response.
#pragma once

#include <vector>

#include "editor/CK_LinkedView.h"
#include "gui/CFontDesc.h"
#include "gui/CView.h"

class CK_GUI_EQ_Window : public brelvik::gui::CView, public CK_LinkedView {
public:
    // Message indices.
    static constexpr int kFreq = 0, kGain = 5, kWidth = 10, kActive = 15, kSplit = 20, kMode = 30, kType = 40,
                         kSecond = 45;
    static constexpr int kLinkCount = 50;
    static constexpr int kMaxBands = 5;
    static constexpr int kMaxSplits = 4;
    static constexpr int kHandleSize = 11;
    static constexpr float kLowestHz = 20.0f, kHighestHz = 20480.0f, kOctaves = 10.0f;
    enum DisplayMode { kParametric = 0, kBandSplit = 1 };

    // `counts`: low nibble the number of bands, high nibble the number of compressor bands (so one
    // crossover fewer). `scheme`: colour scheme 0..3.
    CK_GUI_EQ_Window(const brelvik::gui::CRect& size, brelvik::gui::CBitmap* handle, int counts, int scheme);

    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;
    void draw(brelvik::gui::CDrawContext& context) override;
    brelvik::gui::CMouseEventResult onMouseDown(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseMoved(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;
    brelvik::gui::CMouseEventResult onMouseUp(
        brelvik::gui::CPoint& where, const brelvik::gui::CButtonState& buttons) override;

    // Position 0..1 of a frequency on the ten-octave axis from 20 Hz.
    static float logPosition(float hz);
    // Normalised parameter value of a frequency (the parameters run linearly from 20 to 20480 Hz).
    static float frequencyValue(float hz);

    // View-local: the curve's row per column, a band's handle, the crossover markers' columns.
    const std::vector<int>& curve();
    brelvik::gui::CRect handle(int band);
    int markerX(int split) const;
    // The texts printed for the selected band or crossover (empty when none is selected).
    std::vector<std::string> texts() const;
    int displayMode() const { return mode_; }
    // The four corners of region `region` (0 low .. splits high), view-local, clockwise from top left.
    std::vector<brelvik::gui::CPointF> region(int region) const;

private:
    struct Band {
        float hz = 640.0f;
        float position = 0.5f;
        float gain = 0.5f;
        float width = 1.0f;
        int active = -1;
        int type = 9;
        int second = 1;
    };
    struct Split {
        float hz = 640.0f;
        float position = 0.5f;
    };
    void computeCurve();
    void report(int index, float value);
    void drawSplits(brelvik::gui::CDrawContext& context, float opacity);
    void drawCurve(brelvik::gui::CDrawContext& context, float opacity);
    void beginGesture(bool begin);
    int movableSplits() const { return splitCount_ - 1; }

    int bandCount_;
    int splitCount_;
    int scheme_;
    int handleWidth_ = kHandleSize;
    int handleHeight_ = kHandleSize;
    Band bands_[kMaxBands];
    Split splits_[kMaxSplits];
    int mode_ = kParametric;
    int selectedBand_ = -1;
    int selectedSplit_ = -1;
    float lastFrequency_ = -1.0f;
    float lastSplit_ = -1.0f;
    CK_LinkedView* links_[kLinkCount] = {};
    std::vector<int> curve_;
    std::vector<float> accumulator_;
    brelvik::gui::CRect handles_[kMaxBands];
    bool curveStale_ = true;
    brelvik::gui::CPoint last_;
    brelvik::gui::CFontDesc font_{"Arial", 9};
};
