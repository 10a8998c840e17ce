// What the output metering module reports on its wave outlet, drawn four ways, as the kind of the
// latest report says: a scrolling level history (1), four stacked level histories (2), a spectrum
// on a linear (3) or logarithmic (4) frequency axis, or a two-channel oscilloscope (5). Reports
// only mark new data; the captures and the four peaks are read from the module's buffers, which
// the effect hands over with setSources.
#pragma once

#include <vector>

#include "editor/CK_LinkedView.h"
#include "editor/displays/CK_SpectrumAnalyser.h"
#include "gui/CView.h"

class CK_GUI_Wave_Freq_Display : public brelvik::gui::CView, public CK_LinkedView {
public:
    enum Kind : int32_t { kLevel = 1, kFourLevels = 2, kWave = 3, kSpectrum = 4, kScope = 5 };
    static constexpr int kCaptureLength = CK_SpectrumAnalyser::kSize; // followed by the ready word
    static constexpr int kScopeLength = kCaptureLength / 2;
    static constexpr int kTraces = 4;

    explicit CK_GUI_Wave_Freq_Display(const brelvik::gui::CRect& size);

    // `capture`: kCaptureLength samples and the ready word (non-zero while a capture waits; the view
    // clears it once it has read the capture). `fourPeaks`: the four latest peaks. Either may be null.
    void setSources(float* capture, const float* fourPeaks, float sampleRate);

    void link(CK_LinkedView* sender, const CK_LinkMessage& message) override;
    void onFrameTick() override;
    void draw(brelvik::gui::CDrawContext& context) override;

    int kind() const { return kind_; }
    // View-local points of what is drawn now: the level history's upper edge, a four-level trace,
    // the spectrum, a scope trace.
    const std::vector<brelvik::gui::CPointF>& levelEdge() const { return levelEdge_; }
    const std::vector<brelvik::gui::CPointF>& fourLevelTrace(int trace) const { return traces_[trace]; }
    const std::vector<brelvik::gui::CPointF>& spectrum() const { return spectrum_; }
    const std::vector<brelvik::gui::CPointF>& scopeTrace(int channel) const { return scope_[channel]; }

private:
    bool takeCapture();
    void updateLevels();
    void updateFourLevels();
    void updateSpectrum();
    void updateScope();
    void drawGrid(brelvik::gui::CDrawContext& context) const;

    int width_, height_;
    float centre_, halfHeight_;
    int kind_ = 0;
    bool pending_ = false;
    int shift_; // how far each four-level trace sits right of the one before
    int traceLength_;

    float* capture_ = nullptr;
    const float* fourPeaks_ = nullptr;
    float sampleRate_ = 44100.0f;
    std::vector<float> captured_;
    CK_SpectrumAnalyser analyser_;

    std::vector<int> levelRing_; // newest last
    std::vector<int> fourRings_[kTraces];
    std::vector<brelvik::gui::CPointF> levelEdge_;
    std::vector<brelvik::gui::CPointF> levelArea_;
    std::vector<brelvik::gui::CPointF> traces_[kTraces];
    std::vector<brelvik::gui::CPointF> spectrum_;
    std::vector<brelvik::gui::CPointF> scope_[2];
};
