// Filters one channel through up to five cascaded biquad bands whose coefficients arrive as streams
// from five coefficient modules. Switches to constant, pass-through or zero filling whenever
// filtering would not change the result, and rests once its inputs are static.
//
// Inputs: 0 audio (changing-flag events); integer events: 1 per-sample coefficients, 2 enable,
// 3 master switch, 4 clear trigger, 5 channel switch; band k (0..4): 9+10k..13+10k the b0, b1, b2,
// a1, a2 streams (events on 9+10k carry the band's changing flag), 14+10k the band's active state.
// Output 0: the filtered channel.
#pragma once

#include "dsp/eq/CK_BiQuad_Cascade.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_BiQuad_Multi_Engine : public CK_ModuleStd {
public:
    static constexpr int kBands = 5;
    enum Pin : int {
        kInAudio = 0, kInPerSample = 1, kInEnable = 2, kInMaster = 3, kInClear = 4, kInChannel = 5,
        kInFirstBand = 9,
        kOut = 0,
    };
    // The inputs of each band, from kInFirstBand on, kBandPinStride apart: the coefficient streams
    // in the order of the coefficient module's outputs, then the band's active state.
    enum BandSlot : int { kSlotB0 = 0, kSlotB1 = 1, kSlotB2 = 2, kSlotA1 = 3, kSlotA2 = 4, kSlotActive = 5 };
    static constexpr int kBandPinStride = 10;
    static constexpr int bandPin(int band, int slot) { return kInFirstBand + band * kBandPinStride + slot; }

    explicit CK_DSP_BiQuad_Multi_Engine(CK_ModuleOwner* owner);

    void prepare() override;
    void clearState() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

    // Process routines.
    void filter(int32_t firstFrame, int32_t count);
    // The filter routine for several engines (the two channels) at once.
    static void filterTogether(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame, int32_t count);
    void constantOutput(int32_t firstFrame, int32_t count);
    void passThrough(int32_t firstFrame, int32_t count);
    void zeroOutput(int32_t firstFrame, int32_t count);

private:
    using BandState = ck_cascade::EqState;
    // How a band reads its coefficients during one call.
    enum class CoefficientRead { AtEachFrame, AtFirstFrame, AtFrameZero };

    // The states and coefficients of the active bands when they run as one cascade; answers
    // their number.
    int cascadeSettings(int32_t firstFrame, BandState** states, ck_cascade::EqCoefficients* c);
    void reevaluate();
    void clearBand(int band) { state_[band] = BandState{}; }
    void clearAllBands();
    void report(int32_t changing);
    void countDown(int32_t count);
    void checkSteady();

    BandState state_[kBands] = {};
    int16_t bandActive_[kBands] = {};
    int16_t bandChanging_[kBands] = {};
    const float* coefficients_[kBands][5];
    // Rebuilt on every event: the active bands in order and how each reads its coefficients.
    int activeBands_[kBands] = {};
    CoefficientRead bandRead_[kBands] = {};
    int activeCount_ = 0;
    // No active band sweeps its coefficients: the bands run as one cascade.
    bool cascade_ = false;
    const float* in_;
    int16_t inputChanging_ = 0;
    float staticInput_ = 0.0f;
    int16_t enable_ = 1;
    int16_t master_ = 1;
    int16_t channel_ = 1;
    int16_t perSample_ = 0;
    int32_t steadyCheck_ = 0;
    float settledValue_ = 0.0f;
    int16_t reportedChanging_ = -1;
    int32_t countdown_ = 0;
    float zeros_[CK_ModuleOwner::kMaxBlockSize + 4] = {};
};
