// Designs one biquad from a frequency, a resonance or width and a gain input and delivers the five
// coefficients as streams (b0, b1, b2, a1, a2 on outputs 0..4), so that a filter engine can sweep
// the band sample by sample. Output 5 carries the band's active state as events; events on output 0
// tell whether the coefficients change every frame (kind 1) or hold still (kind 0).
//
// Inputs: 0 frequency (linear axis: tens of Hz; exponential axis: pitch value), 1 resonance/width,
// 2 gain (each a stream with changing-flag events); integer events: 3 type, 4 resonance range
// index, 5 per-sample coefficients, 6 enable, 7 linear axis.
#pragma once

#include "dsp/eq/CK_BiQuad_Shapes.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_BiQuad_Coeff : public CK_ModuleStd {
public:
    enum Pin : int {
        kInFrequency = 0, kInWidth = 1, kInGain = 2, kInType = 3, kInResonanceRange = 4,
        kInPerSample = 5, kInEnable = 6, kInLinearAxis = 7,
        kOutB0 = 0, kOutB1 = 1, kOutB2 = 2, kOutA1 = 3, kOutA2 = 4, kOutActive = 5,
    };

    explicit CK_DSP_BiQuad_Coeff(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

    // Process routines.
    void zeroOutput(int32_t firstFrame, int32_t count);
    // Announcements only: type codes without a shape leave the coefficients as they are.
    void keepOutput(int32_t firstFrame, int32_t count);
    template <int Type, bool Linear, bool PerSample>
    void compute(int32_t firstFrame, int32_t count);

private:
    void selectCompute();
    template <int Type>
    CK_ProcessRoutine computeVariant() const;
    // Sends the changing and active announcements and counts down towards rest.
    void announce(int32_t count, int32_t active);
    void countDown(int32_t count);
    // The value a shape derives from the resonance once per call (damping, Q, radius ...).
    template <int Type, bool Linear>
    float setupValue(int32_t frame) const;
    template <int Type, bool Linear>
    CK_BiQuad design(const ck_biquad::Axis& axis, int32_t frame, float setup) const;
    void store(int32_t frame, const CK_BiQuad& c);
    void sendActive(int32_t active);

    const float* in_[3];
    float linearIndexScale_ = 0.0f;
    int16_t type_ = 9;
    int16_t enable_ = 1;
    int16_t perSample_ = 0;
    int16_t linearAxis_ = 1;
    int16_t resonanceIndex_ = 0;
    bool computing_ = true;
    int32_t frequencyChanging_ = 0;
    int32_t widthChanging_ = 0;
    int32_t gainChanging_ = 0;
    int32_t inputsChanging_ = 0;
    int32_t reportedChanging_ = -1;
    int32_t reportedActive_ = -1;
    float staticGain_ = 0.0f;
    int32_t countdown_ = 0;
    float zeros_[CK_ModuleOwner::kMaxBlockSize + 4] = {};
};
