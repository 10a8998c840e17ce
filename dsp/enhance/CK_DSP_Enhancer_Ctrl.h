// Dynamic band enhancer: adds a band-filtered copy of the signal back to it, with a gain that
// follows the band's level, so the band is emphasised as it gets louder.
//
// Gain per mode (a = amount 0..10, e = band envelope, linear): 0 "Punch"/"Low": a e^2, strong only
// at high levels; 1 "Normal": 0.75 a e, proportional; 2 "Dense"/"Hard": 0.65 a (1 - (1 - e)^2),
// early and saturating at full level. Output = main + band * gain, one gain for both channels.
//
// Inputs: 0/1 main signal, 2/3 band signal (connecting 1 or 3 makes the module stereo), 4 envelope,
// 5 amount; events: 6 mode, 9 enable. Outputs 0 and 1.
#pragma once

#include <cstdint>

#include "dsp/enhance/CK_EnhancerBase.h"

class CK_DSP_Enhancer_Ctrl : public CK_EnhancerBase {
public:
    enum Pin : int { kEnvelope = 4, kAmount = 5, kMode = 6, kEnable = 9 };

    explicit CK_DSP_Enhancer_Ctrl(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;

private:
    template <int Mode, bool Stereo>
    void enhance(int32_t firstFrame, int32_t count);

    template <bool Stereo>
    void select();

    int32_t mode_ = 0;
    int32_t enable_ = 1;
};
