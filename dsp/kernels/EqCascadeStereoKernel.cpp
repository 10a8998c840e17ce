#include "dsp/kernels/EqCascadeStereoKernel.h"

#include "dsp/kernels/EqCascadeKernel.h"
#include "dsp/kernels/EqCascadeStereoLanes.h"

namespace ck_eq_stereo {

void reference(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
               const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya, float* yb,
               int32_t first, int32_t end)
{
    ck_eq_cascade::reference(statesA, coefficientsA, bands, xa, ya, first, end);
    ck_eq_cascade::reference(statesB, coefficientsB, bands, xb, yb, first, end);
}

void sse2(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
          const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya, float* yb,
          int32_t first, int32_t end)
{
    eqCascadeStereoInPasses<3>(statesA, coefficientsA, statesB, coefficientsB, bands, xa, xb, ya, yb, first, end);
}

const CK_KernelForms<Routine>& forms()
{
    static const CK_KernelForms<Routine> kForms{&reference, &sse2, CK_WIDE_FORM(wide)};
    return kForms;
}

} // namespace ck_eq_stereo
