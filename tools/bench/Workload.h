// The audio every binary is measured on: deterministic stereo noise, band-limited to roughly
// 30 Hz - 12 kHz like programme material, whose level steps between quiet and loud every second,
// so dynamics processors work through attack and release all the time.
#pragma once

#include <vector>

namespace brelvik::bench {

struct Workload {
    int sampleRate = 0;
    std::vector<float> left;
    std::vector<float> right;
    int frames() const { return static_cast<int>(left.size()); }
};

// The same samples on every call and platform for the same arguments.
Workload makeNoiseWorkload(int sampleRate, double seconds);

// Loud noise (the workload's loudest level) for `seconds`: what precedes the silence scenario.
Workload makeLoudNoise(int sampleRate, double seconds);

} // namespace brelvik::bench
