// The stereo equaliser cascade's kernel: left in the low lane and right in the high lane of
// double registers, every band in a register of its own. The bands run skewed by one frame each
// (band k filters frame t - k at step t), so within a step no band waits for another, and a
// band's register depends on its own history and the band before it, never on itself through the
// cascade. Each lane computes exactly the operations of its channel's band run on its own, so
// both channels come out bit for bit as filtered one by one.
//
// Included by the two translation units that compile it, the SSE2 form and the wide form
// (AVX-512, whose 32 registers hold every value of five bands at once); everything here has
// internal linkage, so each keeps its own copy.
#pragma once

#include <type_traits>

#include <emmintrin.h>

#include "dsp/eq/CK_BiQuad_Cascade.h"

namespace ck_eq_stereo {

using ck_cascade::EqCoefficients;
using ck_cascade::EqState;
using ck_cascade::kEqDenormalGuard;
using ck_cascade::kMaxEqBands;

namespace {

template <int N>
void eqCascadeInLanes(EqState* const* statesA, const EqCoefficients* cA, EqState* const* statesB,
                      const EqCoefficients* cB, const float* xa, const float* xb, float* ya, float* yb,
                      int32_t first, int32_t end)
{
    __m128d b0[N], b1[N], b2[N], a1[N], a2[N], x1[N], x2[N], y1[N], y2[N], carry[N];
    for (int k = 0; k < N; ++k) {
        b0[k] = _mm_setr_pd(cA[k].b0, cB[k].b0);
        b1[k] = _mm_setr_pd(cA[k].b1, cB[k].b1);
        b2[k] = _mm_setr_pd(cA[k].b2, cB[k].b2);
        a1[k] = _mm_setr_pd(cA[k].a1, cB[k].a1);
        a2[k] = _mm_setr_pd(cA[k].a2, cB[k].a2);
        // Input histories are floats; widening them is exact.
        x1[k] = _mm_setr_pd(statesA[k]->x1, statesB[k]->x1);
        x2[k] = _mm_setr_pd(statesA[k]->x2, statesB[k]->x2);
        y1[k] = _mm_setr_pd(statesA[k]->y1, statesB[k]->y1);
        y2[k] = _mm_setr_pd(statesA[k]->y2, statesB[k]->y2);
        carry[k] = _mm_setzero_pd();
    }
    const __m128d guard = _mm_set1_pd(kEqDenormalGuard);
    // Later bands first, so each takes the output the band before it made one step earlier.
    const auto step = [&](int32_t t, auto checked) {
#pragma GCC unroll 8
        for (int k = N - 1; k >= 0; --k) {
            const int32_t m = t - k;
            if (decltype(checked)::value && (m < first || m >= end))
                continue;
            const __m128d in =
                k == 0 ? _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(xa + m), _mm_load_ss(xb + m))) : carry[k - 1];
            __m128d out = _mm_add_pd(_mm_mul_pd(b0[k], in), _mm_mul_pd(b1[k], x1[k]));
            out = _mm_add_pd(out, _mm_mul_pd(b2[k], x2[k]));
            out = _mm_sub_pd(out, _mm_mul_pd(a1[k], y1[k]));
            out = _mm_sub_pd(out, _mm_mul_pd(a2[k], y2[k]));
            out = _mm_add_pd(out, guard);
            x2[k] = x1[k];
            x1[k] = in;
            y2[k] = y1[k];
            y1[k] = out;
            const __m128 rounded = _mm_cvtpd_ps(out);
            carry[k] = _mm_cvtps_pd(rounded);
            if (k == N - 1) {
                _mm_store_ss(ya + m, rounded);
                _mm_store_ss(yb + m, _mm_shuffle_ps(rounded, rounded, 1));
            }
        }
    };
    const int32_t steady = first + N - 1;
    const int32_t last = end + N - 1;
    int32_t t = first;
    for (; t < steady && t < last; ++t)
        step(t, std::true_type{});
    for (; t < end; ++t)
        step(t, std::false_type{});
    for (; t < last; ++t)
        step(t, std::true_type{});
    alignas(16) double v[4][2];
    for (int k = 0; k < N; ++k) {
        _mm_store_pd(v[0], x1[k]);
        _mm_store_pd(v[1], x2[k]);
        _mm_store_pd(v[2], y1[k]);
        _mm_store_pd(v[3], y2[k]);
        *statesA[k] = EqState{static_cast<float>(v[0][0]), static_cast<float>(v[1][0]), v[2][0], v[3][0]};
        *statesB[k] = EqState{static_cast<float>(v[0][1]), static_cast<float>(v[1][1]), v[2][1], v[3][1]};
    }
}

// Runs the first n bands (1 <= n <= N) with the kernel built for exactly n.
template <int N>
void eqCascadeInLanesUpTo(int n, EqState* const* statesA, const EqCoefficients* cA, EqState* const* statesB,
                          const EqCoefficients* cB, const float* xa, const float* xb, float* ya, float* yb,
                          int32_t first, int32_t end)
{
    if (n == N)
        eqCascadeInLanes<N>(statesA, cA, statesB, cB, xa, xb, ya, yb, first, end);
    else if constexpr (N > 1)
        eqCascadeInLanesUpTo<N - 1>(n, statesA, cA, statesB, cB, xa, xb, ya, yb, first, end);
}

// FirstPass bands keep all their values in registers (three in 16 registers, five in 32); a
// longer cascade runs as a first pass of that many bands into a float buffer and a second pass of
// the rest. The buffer holds exactly the rounded output the next band takes in a single pass.
template <int FirstPass>
void eqCascadeStereoInPasses(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
                             const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb,
                             float* ya, float* yb, int32_t first, int32_t end)
{
    static_assert(2 * FirstPass >= kMaxEqBands, "two passes cover every band");
    constexpr int32_t kChunk = 128;
    const auto pass = [&](int offset, int n, const float* pa, const float* pb, float* qa, float* qb, int32_t from,
                          int32_t to) {
        eqCascadeInLanesUpTo<FirstPass>(n, statesA + offset, coefficientsA + offset, statesB + offset,
                                        coefficientsB + offset, pa, pb, qa, qb, from, to);
    };
    if (bands <= FirstPass) {
        pass(0, bands, xa, xb, ya, yb, first, end);
        return;
    }
    float midA[kChunk], midB[kChunk];
    for (int32_t from = first; from < end; from += kChunk) {
        const int32_t n = end - from < kChunk ? end - from : kChunk;
        pass(0, FirstPass, xa + from, xb + from, midA, midB, 0, n);
        pass(FirstPass, bands - FirstPass, midA, midB, ya + from, yb + from, 0, n);
    }
}

} // namespace
} // namespace ck_eq_stereo
