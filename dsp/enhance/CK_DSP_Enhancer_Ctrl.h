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
#include <vector>

#include "modules/CK_ModuleBase.h"

class CK_DSP_Enhancer_Ctrl : public CK_ModuleStd {
public:
    enum Pin : int {
        kMainA = 0, kMainB = 1, kBandA = 2, kBandB = 3, kEnvelope = 4, kAmount = 5, kMode = 6, kEnable = 9,
        kOutA = 0, kOutB = 1,
    };

    explicit CK_DSP_Enhancer_Ctrl(CK_ModuleOwner* owner);

    void prepare() override;
    void handleEvent(const CK_Event& event, int32_t firstFrame) override;
    void setInput(int pin, const float* source) override;

    bool stereo() const { return stereo_; }

private:
    template <bool Stereo>
    void silent(int32_t firstFrame, int32_t count);
    template <bool Stereo>
    void pass(int32_t firstFrame, int32_t count);
    template <int Mode, bool Stereo>
    void enhance(int32_t firstFrame, int32_t count);

    template <bool Stereo>
    void select();
    void announce(int32_t state);
    void resolveInputs();

    bool stereo_ = false;
    int32_t mode_ = 0;
    int32_t enable_ = 1;
    int32_t mainChanging_[2] = {};
    int32_t announced_ = -1;
    int32_t countdown_ = 0;

    // Inputs 0..5 as the routines read them: a missing second channel reads the first, other
    // missing inputs read silence.
    const float* in_[6] = {};
    std::vector<float> zeros_;
};
