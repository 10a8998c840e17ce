// Turns an event-borne value into a constant control buffer (out = scale x input + offset), announces
// it on output 0 and its zero / non-zero state on output 1, then rests after one block.
// Inputs: 0 value, 9 scale, 10 offset.
#pragma once

#include "modules/CK_ModuleBase.h"

class CK_DSP_Float_to_Volt : public CK_ModuleStd {
public:
    enum Pin : int { kInValue = 0, kInScale = 9, kInOffset = 10, kOut = 0, kOutNonZero = 1 };

    explicit CK_DSP_Float_to_Volt(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void outputConnected(int outputPin) override;

    float out = 0.0f;
    float input = 0.0f;
    float scale = 1.0f;
    float offset = 0.0f;
    int32_t countdown = 0;
    int32_t output1Wired = 0;
    int32_t output1State = 0;
    int32_t dirty = 0;

private:
    void write(int32_t firstFrame, int32_t count);
};
