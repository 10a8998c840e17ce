// The multi-band equaliser's cascade for two channels with equally many bands, each channel with
// its own coefficients. The reference filters each channel on its own; the SSE2 form runs the
// channels in the two lanes of double registers, the bands in passes of three; the wide form
// does the same with AVX-512's 32 registers, all five bands in one pass.
#pragma once

#include <cstdint>

#include "dsp/eq/CK_BiQuad_Cascade.h"
#include "dsp/kernels/KernelVariant.h"

namespace ck_eq_stereo {

using ck_cascade::EqCoefficients;
using ck_cascade::EqState;

// `bands` (1..5) bands per channel over frames [first, end) of xa, xb into ya, yb (in place when
// the same).
using Routine = void (*)(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
                         const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya,
                         float* yb, int32_t first, int32_t end);

void reference(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
               const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya, float* yb,
               int32_t first, int32_t end);
void sse2(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
          const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya, float* yb,
          int32_t first, int32_t end);
// Only in builds with the wide kernels, and only for processors that run them
// (ck_kernelVariantRuns(CK_KernelVariant::kWide)).
void wide(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
          const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya, float* yb,
          int32_t first, int32_t end);

// Every form this build carries.
const CK_KernelForms<Routine>& forms();

} // namespace ck_eq_stereo
