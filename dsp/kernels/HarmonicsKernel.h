// The per-frame arithmetic of the synthetic harmonics: the drive from amount and envelope, the
// wave-shaper and the sum with the main signal. The SSE2 form takes four frames at once; its
// packed operations are chosen so that every lane gives exactly the reference's result, NaN and
// signed zeros included.
#pragma once

#include <algorithm>
#include <cstdint>

#include <emmintrin.h>

#include "dsp/kernels/FlushTiny.h"
#include "dsp/kernels/KernelVariant.h"

namespace ck_harmonics {

enum Shape : int { kSoft = 1, kHard = 2 };

// Shaper: 10 u (u + 0.5)^2 (1 - (u + 0.5)^2) with u held to +-1; NaN gives 0.
inline float shape(float u)
{
    u = u > -1.0f ? u : (u <= -1.0f ? -1.0f : 0.0f);
    u = u < 1.0f ? u : 1.0f;
    const float v = u + 0.5f;
    const float v2 = v * v;
    return 10.0f * u * v2 * (1.0f - v2);
}

template <int ShapeType, bool Dynamic>
float drive(float amount, float envelope)
{
    constexpr float scale = ShapeType == kHard ? 1.0f : 0.5f;
    if constexpr (!Dynamic) {
        return scale * amount;
    } else {
        // The drive rises with the band level up to full level and stays there above it.
        const float below = 1.0f - std::clamp(envelope, 0.0f, 1.0f);
        const float below4 = (below * below) * (below * below);
        if constexpr (ShapeType == kHard)
            return amount * (0.75f - 0.5f * below4);
        else
            return scale * amount * (1.0f - 0.5f * below4);
    }
}

struct Inputs {
    const float* mainA;
    const float* mainB;
    const float* bandA;
    const float* bandB;
    const float* amount;
    const float* envelope;
};

namespace simd {

inline __m128 shape(__m128 u)
{
    const __m128 one = _mm_set1_ps(1.0f), minusOne = _mm_set1_ps(-1.0f);
    // u > -1 ? u : (u <= -1 ? -1 : 0)
    u = _mm_or_ps(_mm_and_ps(_mm_cmpgt_ps(u, minusOne), u), _mm_and_ps(_mm_cmple_ps(u, minusOne), minusOne));
    u = _mm_min_ps(u, one); // u < 1 ? u : 1
    const __m128 v = _mm_add_ps(u, _mm_set1_ps(0.5f));
    const __m128 v2 = _mm_mul_ps(v, v);
    return _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(_mm_set1_ps(10.0f), u), v2), _mm_sub_ps(one, v2));
}

inline __m128 flushTiny(__m128 x)
{
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), x);
    return _mm_andnot_ps(_mm_cmplt_ps(magnitude, _mm_set1_ps(1.0e-30f)), x);
}

template <int ShapeType, bool Dynamic>
__m128 drive(__m128 amount, __m128 envelope)
{
    const __m128 scale = _mm_set1_ps(ShapeType == kHard ? 1.0f : 0.5f);
    if constexpr (!Dynamic) {
        return _mm_mul_ps(scale, amount);
    } else {
        const __m128 one = _mm_set1_ps(1.0f);
        // std::clamp(e, 0, 1): e < 0 ? 0 : (1 < e ? 1 : e), NaN stays NaN.
        const __m128 clamped = _mm_min_ps(one, _mm_max_ps(_mm_setzero_ps(), envelope));
        const __m128 below = _mm_sub_ps(one, clamped);
        const __m128 below2 = _mm_mul_ps(below, below);
        const __m128 below4 = _mm_mul_ps(below2, below2);
        const __m128 half = _mm_set1_ps(0.5f);
        if constexpr (ShapeType == kHard)
            return _mm_mul_ps(amount, _mm_sub_ps(_mm_set1_ps(0.75f), _mm_mul_ps(half, below4)));
        else
            return _mm_mul_ps(_mm_mul_ps(scale, amount), _mm_sub_ps(one, _mm_mul_ps(half, below4)));
    }
}

} // namespace simd

// The reference: frames [first, first + count) into outA (and outB when stereo).
template <int ShapeType, bool Dynamic, bool WithMain, bool Stereo>
void reference(const Inputs& in, float* outA, float* outB, int32_t first, int32_t count)
{
    for (int32_t i = first; i < first + count; ++i) {
        const float d = drive<ShapeType, Dynamic>(in.amount[i], in.envelope[i]);
        const float addA = ck_flushTiny(shape(d * in.bandA[i]));
        outA[i] = WithMain ? in.mainA[i] + addA : addA;
        if constexpr (Stereo) {
            const float addB = ck_flushTiny(shape(d * in.bandB[i]));
            outB[i] = WithMain ? in.mainB[i] + addB : addB;
        }
    }
}

// Four frames at a time; the frames that do not fill a group of four take the reference.
template <int ShapeType, bool Dynamic, bool WithMain, bool Stereo>
void sse2(const Inputs& in, float* outA, float* outB, int32_t first, int32_t count)
{
    int32_t i = first;
    const int32_t end = first + count;
    for (; i + 4 <= end; i += 4) {
        const __m128 d = simd::drive<ShapeType, Dynamic>(_mm_loadu_ps(in.amount + i), _mm_loadu_ps(in.envelope + i));
        const __m128 addA = simd::flushTiny(simd::shape(_mm_mul_ps(d, _mm_loadu_ps(in.bandA + i))));
        _mm_storeu_ps(outA + i, WithMain ? _mm_add_ps(_mm_loadu_ps(in.mainA + i), addA) : addA);
        if constexpr (Stereo) {
            const __m128 addB = simd::flushTiny(simd::shape(_mm_mul_ps(d, _mm_loadu_ps(in.bandB + i))));
            _mm_storeu_ps(outB + i, WithMain ? _mm_add_ps(_mm_loadu_ps(in.mainB + i), addB) : addB);
        }
    }
    reference<ShapeType, Dynamic, WithMain, Stereo>(in, outA, outB, i, end - i);
}

} // namespace ck_harmonics
