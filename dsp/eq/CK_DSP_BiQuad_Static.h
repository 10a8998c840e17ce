// Filters one or two channels through 1 to 8 identical cascaded biquad sections whose single
// coefficient set it designs itself, once per processing call, from a frequency, a resonance and a
// gain input. Used to pick the bass and treble side-chains of the harmonic enhancer.
//
// Inputs: 0 channel A (changing-flag events), 1 channel B (connecting it makes the module stereo),
// 2 frequency, 3 resonance/width, 4 gain (streams with changing-flag events); integer events:
// 5 filter type, 6 extra sections (N = value + 1), 7 linear axis, 9 switch A, 10 run switch,
// 11 clear trigger, 19 switch B. Outputs 0 and 1: filtered channels A and B.
#pragma once

#include "dsp/eq/CK_BiQuad_Cascade.h"
#include "dsp/eq/CK_BiQuad_Shapes.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_BiQuad_Static : public CK_ModuleStd {
public:
    enum Pin : int {
        kInA = 0, kInB = 1, kInFrequency = 2, kInResonance = 3, kInGain = 4, kInType = 5, kInSections = 6,
        kInLinearAxis = 7, kInSwitchA = 9, kInRun = 10, kInClear = 11, kInSwitchB = 19,
        kOutA = 0, kOutB = 1,
    };

    static constexpr int kMaxSections = 8;

    explicit CK_DSP_BiQuad_Static(CK_ModuleOwner* owner);

    void prepare() override;
    void clearState() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

    // Process routines.
    void filter(int32_t firstFrame, int32_t count);
    // The filter routine for several filters at once (the enhancers' two).
    static void filterTogether(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame, int32_t count);
    void passThrough(int32_t firstFrame, int32_t count);
    void zeroOutput(int32_t firstFrame, int32_t count);

    // The current coefficient set, shared by every section of both channels.
    const CK_BiQuad& coefficients() const { return coefficients_; }
    int sectionCount() const { return sections_; }

private:
    using Section = ck_cascade::StaticSection;

    void beginFilter(int32_t firstFrame);
    void finishFilter(int32_t firstFrame);
    void designCoefficients(int32_t frame);
    void markDesignPending();
    void evaluate();
    void report(int32_t changing);
    void countDown(int32_t count);
    void clearIfPending();
    bool silent(const float* y) const;

    Section channelA_[kMaxSections] = {};
    Section channelB_[kMaxSections] = {};
    CK_BiQuad coefficients_ = {};
    const float* in_[5];
    bool stereo_ = false;
    int16_t sections_ = 1;
    int16_t type_ = 0;
    int16_t lastType_ = -1;
    int16_t linearAxis_ = 1;
    int16_t switchA_ = 1;
    int16_t switchB_ = 0;
    int16_t run_ = 1;
    int16_t frequencyChanging_ = 0;
    int16_t resonanceChanging_ = 0;
    int16_t gainChanging_ = 0;
    int16_t inputChanging_ = 0;
    float staticInput_ = 0.0f;
    int32_t designPending_ = -1;
    int32_t clearPending_ = 1;
    int32_t steadyCheck_ = 0;
    int32_t reportedChanging_ = -1;
    int32_t countdown_ = 0;
    float linearIndexScale_ = 0.0f;
    float tenthSampleRate_ = 0.0f;
    float zeros_[CK_ModuleOwner::kMaxBlockSize + 4] = {};
};
