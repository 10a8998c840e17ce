// Small pieces shared by the master stages, mixers, delays and level converters: a silent signal
// for inputs that are not wired, and the bookkeeping by which a module tells its readers whether its
// outputs change every frame (kind 1) or hold a static value (kind 0), and decides when to rest.
#pragma once

#include <cstdint>

#include "modules/CK_ModuleBase.h"

// Frames of silence, long enough for any module buffer.
alignas(16) inline const float kStageSilence[CK_ModuleOwner::kMaxBlockSize + 4] = {};

// The buffer an input reads, or silence while the input is not wired.
inline const float* signalOrSilence(const float* input)
{
    return input ? input : kStageSilence;
}

// Output state of a module: what its inputs make it (wanted), what its readers were last told
// (announced, -1 = nothing yet), and the frames left before a static module may rest.
struct CK_OutputState {
    int32_t wanted = -1;
    int32_t announced = -1;
    int32_t idleCountdown = 0;

    void reset()
    {
        wanted = -1;
        announced = -1;
    }
    // A new static state is always told again, so that readers pick up the new static values.
    void want(int32_t state)
    {
        wanted = state;
        if (state == 0)
            announced = -1;
    }
    // Tells the readers of outputs 0 .. pins-1 about `state` unless they already know it.
    void announce(CK_ModuleBase& module, int32_t state, int pins)
    {
        if (state < 0 || state == announced)
            return;
        announced = state;
        for (int pin = 0; pin < pins; ++pin)
            module.sendEvent(module.clock, pin, state, 0, 0.0f);
    }
    // Counts a run of frames down; true once the module has been static for longer than a block.
    bool idleAfter(int32_t frames)
    {
        idleCountdown -= frames;
        return idleCountdown < 0;
    }
};
