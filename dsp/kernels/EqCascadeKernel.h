// The multi-band equaliser's cascade for one channel: up to five bands in series, run skewed so
// that their recursions overlap. The SSE2 form pairs the bands in packed double operations.
#pragma once

#include <cstdint>

#include "dsp/eq/CK_BiQuad_Cascade.h"
#include "dsp/kernels/KernelVariant.h"

namespace ck_eq_cascade {

using ck_cascade::EqCoefficients;
using ck_cascade::EqState;

// `bands` (1..5) bands in series over frames [first, end) of x into y (in place when x == y).
void reference(EqState* const* states, const EqCoefficients* coefficients, int bands, const float* x, float* y,
               int32_t first, int32_t end);
void sse2(EqState* const* states, const EqCoefficients* coefficients, int bands, const float* x, float* y,
          int32_t first, int32_t end);

} // namespace ck_eq_cascade
