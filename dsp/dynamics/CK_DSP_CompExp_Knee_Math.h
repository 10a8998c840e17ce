// Static gain computer of a band compressor: from the detected level of its band (dB/10 per
// sample) it computes the gain change (dB/10, 0 = unity, negative = reduction) that threshold,
// ratio and knee ask for.
//
// Pins: input 0 level (dB/10, per sample), 1 threshold (dB/10), 2 knee (percent/10), 3 ratio/10,
// 19 active (0 switches the band off: the output is then exactly 0); output 0 the gain change.
#pragma once

#include "modules/CK_ModuleBase.h"

class CK_DSP_CompExp_Knee_Math : public CK_ModuleStd {
public:
    explicit CK_DSP_CompExp_Knee_Math(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

    // The largest gain change, dB/10: ratios below 1 expand upwards, never by more than the
    // make-up range, however far the level lies above the threshold.
    static constexpr float kMaxRise = 2.4f;

    // Threshold, knee, bow, ratio and the divisor's floor, as the gain law reads them.
    struct Law {
        float t, k, h, r, minDivisor;
    };
    // The gain law over `count` frames; in and out must not overlap.
    template <bool Bowed>
    static void gainFrames(const float* in, float* out, int32_t count, const Law& law);

private:
    template <bool Bowed>
    void compute(int32_t firstFrame, int32_t count);
    void silent(int32_t firstFrame, int32_t count);

    template <bool Bowed>
    static float gainLaw(float level, float t, float k, float h, float r, float minDivisor);
    void setKnee(float volts);
    void setRatio(float ratio);
    void selectRoutine();

    float threshold_ = -0.003f;
    bool bowed_ = false;
    float knee_ = 1.0f;
    float bow_ = 3.0f;
    float ratio_ = 800.0f;
    float minDivisor_ = 1.0f;
    int32_t active_ = 1;
    int32_t inputChanging_ = 1;
    int32_t announced_ = -1;
    int32_t idleCountdown_ = 0;
};
