// A stereo gain stage: both channels times a per-frame level (or its square). Rests while the
// output is silent.
// Inputs: 0, 1 audio; 2 level (linear, per frame); 3 square (non-zero: the gain is level^2).
// Outputs: 0, 1.
#pragma once

#include "dsp/dynamics/StageSupport.h"
#include "modules/CK_ModuleBase.h"

class CK_DSP_ST_Level : public CK_ModuleStd {
public:
    enum Pin : int { kInLeft = 0, kInRight = 1, kInLevel = 2, kInSquare = 3, kOutLeft = 0, kOutRight = 1 };

    // What a changing level is recorded as: anything but exactly 1.0 and 0.
    static constexpr float kChangingLevel = 2000.0f;

    explicit CK_DSP_ST_Level(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

    // The static values last seen on inputs 0, 1 and 2; 1.0 (audio) or kChangingLevel (level)
    // while an input changes.
    float left = 0.0f;
    float right = 0.0f;
    float level = 0.0f;
    int32_t levelChanging = 0;
    int32_t square = 0;
    CK_OutputState state;

private:
    void copy(int32_t firstFrame, int32_t count);
    void gain(int32_t firstFrame, int32_t count);
    void gainSquared(int32_t firstFrame, int32_t count);
    void silent(int32_t firstFrame, int32_t count);
};
