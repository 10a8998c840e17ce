// Single-section static filters side by side: up to four channels, each with its own section and
// coefficients. The reference filters each on its own; the SSE2 form gives each a lane of one
// float register.
#pragma once

#include <cstdint>

#include "dsp/eq/CK_BiQuad_Cascade.h"
#include "dsp/kernels/KernelVariant.h"

namespace ck_static_lanes {

using ck_cascade::StaticLane;

// `count` (1..4) channels over frames [first, end).
void reference(const StaticLane* lanes, int count, int32_t first, int32_t end);
void sse2(const StaticLane* lanes, int count, int32_t first, int32_t end);

} // namespace ck_static_lanes
