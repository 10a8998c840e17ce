// The parallel-compression mixer and master gain: blends the processed (wet) stereo signal with the
// dry signal by the mix share g, applies the master gain h, and in M/S mode decodes mid and side
// back to left and right. The dry signal is the sum of the three band signals when any band input
// is wired, else inputs 2 and 3.
// Inputs: 0, 1 wet; 2, 3 dry; 4 g (share of the dry signal, 0..1, per frame); 5 h (linear, per
// frame); 6 decode (non-zero: the signals are mid and side); 7 enable (the kind of its last event);
// 8 wet only; 19..24 dry bands (low A, low B, mid A, mid B, high A, high B).
// Outputs: 0, 1 left and right.
#pragma once

#include "dsp/dynamics/StageSupport.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_ST_Mix : public CK_ModuleStd {
public:
    enum Pin : int {
        kInWetA = 0, kInWetB = 1, kInDryA = 2, kInDryB = 3, kInMix = 4, kInGain = 5, kInDecode = 6,
        kInEnable = 7, kInWetOnly = 8,
        kInLowDryA = 19, kInLowDryB = 20, kInMidDryA = 21, kInMidDryB = 22, kInHighDryA = 23, kInHighDryB = 24,
        kOutLeft = 0, kOutRight = 1,
    };

    static constexpr int kFirstBandInput = kInLowDryA;
    static constexpr int kBandInputs = 6;

    explicit CK_DSP_ST_Mix(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

    int32_t decode = 0;
    int32_t enable = 1;
    int32_t wetOnly = 0;
    int32_t bandDry = 0;
    // Whether each group of inputs changes every frame (1) or is static (0), from their events.
    int32_t wetChanging = 1;
    int32_t dryChanging = 1;
    int32_t mixChanging = 1;
    int32_t gainChanging = 1;
    CK_OutputState state;

private:
    // The signals one run reads, each at the run's first frame; unwired inputs read silence.
    struct RunSignals {
        const float *wetA, *wetB, *dryA, *dryB, *g, *h;
        const float *lowA, *lowB, *midA, *midB, *highA, *highB;
    };

    void selectProcess();
    void beginRun(int32_t count);
    RunSignals signalsAt(int32_t firstFrame) const;

    void silent(int32_t firstFrame, int32_t count);
    void wetCopy(int32_t firstFrame, int32_t count);
    void mix(int32_t firstFrame, int32_t count);
    void mixDecode(int32_t firstFrame, int32_t count);
    void bandMix(int32_t firstFrame, int32_t count);
    void bandMixDecode(int32_t firstFrame, int32_t count);
};
