#include "dsp/eq/CK_BiQuad_Cascade.h"

#include "dsp/kernels/EqCascadeKernel.h"
#include "dsp/kernels/EqCascadeStereoKernel.h"
#include "dsp/kernels/StaticCascadeStereoKernel.h"
#include "dsp/kernels/StaticLanesKernel.h"

namespace ck_cascade {
namespace {

template <int N>
void staticCascade(StaticSection* s, const CK_BiQuad& c, const float* x, float* y, int32_t first, int32_t end)
{
    StaticSection v[N];
    for (int i = 0; i < N; ++i)
        v[i] = s[i];
    for (int32_t n = first; n < end; ++n) {
        float in = x[n];
#pragma GCC unroll 8
        for (int i = 0; i < N; ++i) {
            const float out = c.b0 * in + c.b1 * v[i].x1 + c.b2 * v[i].x2 - c.a1 * v[i].y1 - c.a2 * v[i].y2 +
                              kStaticDenormalGuard;
            v[i] = {in, v[i].x1, out, v[i].y1};
            in = out;
        }
        y[n] = in;
    }
    for (int i = 0; i < N; ++i)
        s[i] = v[i];
}

// The stereo form, chosen once when the plug-in is loaded.
const ck_eq_stereo::Routine kEqStereo = ck_eq_stereo::forms().fastest();

} // namespace

void runEqCascade(EqState* const* states, const EqCoefficients* coefficients, int bands, const float* x, float* y,
                  int32_t first, int32_t end)
{
    ck_eq_cascade::sse2(states, coefficients, bands, x, y, first, end);
}

void runEqCascadeStereo(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
                        const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya,
                        float* yb, int32_t first, int32_t end)
{
    kEqStereo(statesA, coefficientsA, statesB, coefficientsB, bands, xa, xb, ya, yb, first, end);
}

void runStaticCascade(StaticSection* sections, int count, const CK_BiQuad& c, const float* x, float* y,
                      int32_t first, int32_t end)
{
    switch (count) {
    case 1: staticCascade<1>(sections, c, x, y, first, end); break;
    case 2: staticCascade<2>(sections, c, x, y, first, end); break;
    case 3: staticCascade<3>(sections, c, x, y, first, end); break;
    case 4: staticCascade<4>(sections, c, x, y, first, end); break;
    case 5: staticCascade<5>(sections, c, x, y, first, end); break;
    case 6: staticCascade<6>(sections, c, x, y, first, end); break;
    case 7: staticCascade<7>(sections, c, x, y, first, end); break;
    case 8: staticCascade<8>(sections, c, x, y, first, end); break;
    default: break;
    }
}

void runStaticCascadeStereo(StaticSection* a, StaticSection* b, int count, const CK_BiQuad& c, const float* xa,
                            const float* xb, float* ya, float* yb, int32_t first, int32_t end)
{
    ck_static_stereo::sse2(a, b, count, c, xa, xb, ya, yb, first, end);
}

void runStaticSectionsInLanes(const StaticLane* lanes, int count, int32_t first, int32_t end)
{
    ck_static_lanes::sse2(lanes, count, first, end);
}

} // namespace ck_cascade
