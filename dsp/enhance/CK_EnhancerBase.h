// What the two enhancers share: a main pair that passes through or takes the added band, a band
// pair, and how they tell their readers whether the outputs move, go quiet and rest.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "modules/CK_ModuleBase.h"

class CK_EnhancerBase : public CK_ModuleStd {
public:
    // Signal pins of both enhancers; connecting kMainB or kBandB makes the module stereo.
    enum SignalPin : int { kMainA = 0, kMainB = 1, kBandA = 2, kBandB = 3, kOutA = 0, kOutB = 1 };

    void setInput(int pin, const float* source) override;

    bool stereo() const { return stereo_; }

protected:
    static constexpr int kMaxInputs = 8;

    // Allocates outputs 0 and 1; inputs 0 .. lastInput are resolved for the routines.
    CK_EnhancerBase(CK_ModuleOwner* owner, int lastInput);

    // Back to the state before the first event: resting, nothing told yet.
    void startQuiet();
    void announce(int32_t state);

    template <bool Stereo>
    void silent(int32_t firstFrame, int32_t count)
    {
        announce(0);
        countdown_ -= count;
        if (countdown_ < 0)
            rest();
        std::fill_n(outputs[0] + firstFrame, count, 0.0f);
        if constexpr (Stereo)
            std::fill_n(outputs[1] + firstFrame, count, 0.0f);
    }

    template <bool Stereo>
    void pass(int32_t firstFrame, int32_t count)
    {
        announce(1);
        std::copy_n(in_[kMainA] + firstFrame, count, outputs[0] + firstFrame);
        if constexpr (Stereo)
            std::copy_n(in_[kMainB] + firstFrame, count, outputs[1] + firstFrame);
    }

    bool stereo_ = false;
    int32_t mainChanging_[2] = {};
    int32_t announced_ = -1;
    int32_t countdown_ = 0;

    // Inputs as the routines read them: a missing second channel reads the first, other missing
    // inputs read silence.
    const float* in_[kMaxInputs] = {};

private:
    void resolveInputs();

    int lastInput_;
    std::vector<float> zeros_;
};
