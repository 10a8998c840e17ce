// The per-frame arithmetic of the enhancer: the gain from amount and band envelope in each mode,
// and the main signal plus the band times that gain. The SSE2 form takes four frames at once with
// the same operations in the same order, so every lane gives exactly the reference's result.
#pragma once

#include <algorithm>
#include <cstdint>

#include <emmintrin.h>

#include "dsp/kernels/FlushTiny.h"
#include "dsp/kernels/KernelVariant.h"

namespace ck_enhancer {

template <int Mode>
float gain(float amount, float envelope)
{
    if constexpr (Mode == 0) {
        return amount * envelope * envelope;
    } else if constexpr (Mode == 1) {
        return 0.75f * amount * envelope;
    } else {
        // Saturates at full level: louder bands keep the full-level gain instead of losing it
        // again as the parabola turns down past e = 1.
        const float below = 1.0f - std::clamp(envelope, 0.0f, 1.0f);
        return 0.65f * amount * (1.0f - below * below);
    }
}

struct Inputs {
    const float* mainA;
    const float* mainB;
    const float* bandA;
    const float* bandB;
    const float* envelope;
    const float* amount;
};

namespace simd {

template <int Mode>
__m128 gain(__m128 amount, __m128 envelope)
{
    if constexpr (Mode == 0) {
        return _mm_mul_ps(_mm_mul_ps(amount, envelope), envelope);
    } else if constexpr (Mode == 1) {
        return _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(0.75f), amount), envelope);
    } else {
        const __m128 one = _mm_set1_ps(1.0f);
        // std::clamp(e, 0, 1): e < 0 ? 0 : (1 < e ? 1 : e), NaN stays NaN.
        const __m128 below = _mm_sub_ps(one, _mm_min_ps(one, _mm_max_ps(_mm_setzero_ps(), envelope)));
        return _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(0.65f), amount), _mm_sub_ps(one, _mm_mul_ps(below, below)));
    }
}

inline __m128 flushTiny(__m128 x)
{
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), x);
    return _mm_andnot_ps(_mm_cmplt_ps(magnitude, _mm_set1_ps(1.0e-30f)), x);
}

} // namespace simd

// The reference: frames [first, first + count) into outA (and outB when stereo).
template <int Mode, bool Stereo>
void reference(const Inputs& in, float* outA, float* outB, int32_t first, int32_t count)
{
    for (int32_t i = first; i < first + count; ++i) {
        const float g = gain<Mode>(in.amount[i], in.envelope[i]);
        outA[i] = in.mainA[i] + ck_flushTiny(in.bandA[i] * g);
        if constexpr (Stereo)
            outB[i] = in.mainB[i] + ck_flushTiny(in.bandB[i] * g);
    }
}

// Four frames at a time; the frames that do not fill a group of four take the reference.
template <int Mode, bool Stereo>
void sse2(const Inputs& in, float* outA, float* outB, int32_t first, int32_t count)
{
    int32_t i = first;
    const int32_t end = first + count;
    for (; i + 4 <= end; i += 4) {
        const __m128 g = simd::gain<Mode>(_mm_loadu_ps(in.amount + i), _mm_loadu_ps(in.envelope + i));
        _mm_storeu_ps(outA + i,
                      _mm_add_ps(_mm_loadu_ps(in.mainA + i), simd::flushTiny(_mm_mul_ps(_mm_loadu_ps(in.bandA + i), g))));
        if constexpr (Stereo)
            _mm_storeu_ps(outB + i, _mm_add_ps(_mm_loadu_ps(in.mainB + i),
                                               simd::flushTiny(_mm_mul_ps(_mm_loadu_ps(in.bandB + i), g))));
    }
    reference<Mode, Stereo>(in, outA, outB, i, end - i);
}

} // namespace ck_enhancer
