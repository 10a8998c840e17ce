// Decibels (volts, dB / 10) to a linear level over a run of frames: 2^(dB / 6) from two tables,
// with the input limited to +-180 dB.
#pragma once

#include <cstdint>

#include "dsp/kernels/KernelVariant.h"

namespace ck_db_to_level {

// 512 steps per 6 dB: fraction[j] = 2^(j / 512), j = 0..512, and power[k] = 2^(k - 30),
// k = 0..60.
struct Tables {
    float fraction[513];
    float power[61];
};

// The reference, frame by frame; in and out must not overlap.
void reference(const Tables& tables, const float* in, float* out, int32_t count);
// Four frames at a time with the reference's operations (the lookups stay scalar); the rest frame
// by frame.
void sse2(const Tables& tables, const float* in, float* out, int32_t count);

} // namespace ck_db_to_level
