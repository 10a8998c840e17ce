// The stereo equaliser cascade compiled for AVX-512: the same operations as the SSE2 form, with
// 32 registers, so all five bands run in one pass.
#include "dsp/kernels/EqCascadeStereoKernel.h"

#if defined(__AVX512VL__)
#include "dsp/kernels/EqCascadeStereoLanes.h"

namespace ck_eq_stereo {

void wide(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
          const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya, float* yb,
          int32_t first, int32_t end)
{
    eqCascadeStereoInPasses<5>(statesA, coefficientsA, statesB, coefficientsB, bands, xa, xb, ya, yb, first, end);
}

} // namespace ck_eq_stereo
#endif
