// The compressor's static gain law over a run of frames: from the detected level (dB/10) to the
// gain change that threshold, ratio and knee ask for.
#pragma once

#include <cstdint>

#include "dsp/kernels/KernelVariant.h"

namespace ck_knee_gain {

// The largest gain change, dB/10: ratios below 1 expand upwards, never by more than the make-up
// range, however far the level lies above the threshold.
constexpr float kMaxRise = 2.4f;

// Threshold, knee, bow, ratio and the divisor's floor, as the gain law reads them.
struct Law {
    float t, k, h, r, minDivisor;
};

// The reference, frame by frame; in and out must not overlap.
template <bool Bowed>
void reference(const float* in, float* out, int32_t count, const Law& law);
// Four frames at a time with the reference's operations; the rest frame by frame.
template <bool Bowed>
void sse2(const float* in, float* out, int32_t count, const Law& law);

} // namespace ck_knee_gain
