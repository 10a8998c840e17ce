// The static filter's cascade for two channels with their own sections and one coefficient set:
// the reference filters each channel on its own; the SSE2 form runs channel A in lane 0 and B in
// lane 1 of float registers.
#pragma once

#include <cstdint>

#include "dsp/eq/CK_BiQuad_Cascade.h"
#include "dsp/kernels/KernelVariant.h"

namespace ck_static_stereo {

using ck_cascade::StaticSection;

// `count` (1..8) sections per channel over frames [first, end).
void reference(StaticSection* a, StaticSection* b, int count, const CK_BiQuad& c, const float* xa, const float* xb,
               float* ya, float* yb, int32_t first, int32_t end);
void sse2(StaticSection* a, StaticSection* b, int count, const CK_BiQuad& c, const float* xa, const float* xb,
          float* ya, float* yb, int32_t first, int32_t end);

} // namespace ck_static_stereo
