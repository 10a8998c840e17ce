// A short synthetic mix to master when no recording is at hand: drum-like transients (kick,
// snare, hi-hat), a bass line and a stereo pad, so every band of the processor has something to do.
#pragma once

#include <vector>

namespace brelvik::render {

struct DemoMix {
    static constexpr int kSampleRate = 48000;
    static constexpr double kSeconds = 8.0;

    std::vector<float> left;
    std::vector<float> right;
};

// Deterministic: the same samples on every call.
DemoMix makeDemoMix();

} // namespace brelvik::render
