// Linear level to decibels (volts, dB / 10), frame by frame: 20 log10 through the owner's log table
// after normalising the level into [1, 16]. Levels at or below 2^-30 (also zero, negative and NaN)
// give the floor of -180 dB. Feeds the gain curve with the level detector's output. Rests while its
// input is static.
// Input: 0 level per frame. Output: 0 dB / 10 per frame.
#pragma once

#include "dsp/dynamics/StageSupport.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_Level_to_dB : public CK_ModuleStd {
public:
    enum Pin : int { kIn = 0, kOut = 0 };

    static constexpr float kFloorVolts = -18.0f; // -180 dB

    explicit CK_DSP_Level_to_dB(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

    // One level in volts; `log` is the owner's table of 2 log10(1 + j / 160), j = 0..2400.
    static float toVolts(float level, const float* log);

    float previousInput = -10000.0f;
    float previousResult = kFloorVolts;
    int32_t inputChanging = 0;
    CK_OutputState state;

private:
    void convert(int32_t firstFrame, int32_t count);
};
