// The equaliser cascade for two channels: the SSE2 build of the kernel, or its AVX-512 build
// where the processor has it.
#include "dsp/eq/CK_BiQuad_Cascade.h"

#include "platform/CpuFeatures.h"

#if defined(__SSE2__)
#include "dsp/eq/CK_BiQuad_CascadeStereoKernel.h"
#endif

namespace ck_cascade {
#if defined(BRELVIK_WIDE_KERNELS)
namespace {

// Decided once when the plug-in is loaded.
const bool kWide = ck_wideRegistersAvailable();

} // namespace
#endif

void runEqCascadeStereo(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
                        const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya,
                        float* yb, int32_t first, int32_t end)
{
#if defined(__SSE2__)
#if defined(BRELVIK_WIDE_KERNELS)
    if (kWide) {
        runEqCascadeStereoWide(statesA, coefficientsA, statesB, coefficientsB, bands, xa, xb, ya, yb, first, end);
        return;
    }
#endif
    runEqCascadeStereoNarrow(statesA, coefficientsA, statesB, coefficientsB, bands, xa, xb, ya, yb, first, end);
#else
    runEqCascade(statesA, coefficientsA, bands, xa, ya, first, end);
    runEqCascade(statesB, coefficientsB, bands, xb, yb, first, end);
#endif
}

#if defined(__SSE2__)
void runEqCascadeStereoNarrow(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
                              const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb,
                              float* ya, float* yb, int32_t first, int32_t end)
{
    eqCascadeStereoInPasses<3>(statesA, coefficientsA, statesB, coefficientsB, bands, xa, xb, ya, yb, first, end);
}
#endif

} // namespace ck_cascade
