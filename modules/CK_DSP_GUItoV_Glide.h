// Parameter smoother: turns value-change events into a control buffer that ramps to each new value
// over the glide time, and announces on output 0 when the value starts changing (kind 1) and when it
// has settled (kind 0). Output 1 announces when the value becomes zero or non-zero.
// Inputs: 0 value, 1 glide time (volts = ms / 10), 9 scale, 10 offset, 19 width-mode marker (maps an
// equaliser width running from 10 volts down to 1 onto 0..1).
#pragma once

#include "modules/CK_ModuleBase.h"

class CK_DSP_GUItoV_Glide : public CK_ModuleStd {
public:
    enum Pin : int {
        kInValue = 0, kInGlideTime = 1, kInScale = 9, kInOffset = 10, kInWidthMode = 19,
        kOut = 0, kOutNonZero = 1,
    };

    static constexpr float kDefaultGlideMs = 30.0f;
    static constexpr float kHoldMs = 100.0f;

    explicit CK_DSP_GUItoV_Glide(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;
    void outputConnected(int outputPin) override;

    float value = 0.0f;
    float step = 0.0f;
    float step4 = 0.0f;
    float target = 0.0f;
    float lastTarget = -1000000.0f;
    float input = 0.0f;
    float scale = 1.0f;
    float offset = 0.0f;
    float framesPerMs = 0.0f;
    int32_t rampFrames = 0;
    int32_t holdFrames = 0;
    int32_t remaining = 0;
    int32_t changing = 0;
    int32_t countdown = 0;
    uint32_t restTime = 0;
    int32_t output1Wired = 0;
    int32_t output1State = 0;
    int32_t widthMode = 0;

private:
    void rampUp(int32_t firstFrame, int32_t count);
    void rampDown(int32_t firstFrame, int32_t count);
    void finishRamp(float* out, int32_t ramped, int32_t count);
    void hold(int32_t firstFrame, int32_t count);
    void settleCheck(int32_t firstFrame, int32_t count);
};
