// The spatial stage's band sum: the three compressor bands with their gains, split into the part
// the stereo treatment works on (p) and the part that bypasses it (u), for channels A (left or
// mid) and B (right or side). Band mode 0 treats every band, 1 the mid and high bands, 2 the high
// band; in mid/side operation the side (B) carries no compressor gain. The SSE2 form takes four
// consecutive frames, lane k = frame i + k, with the reference's operations.
#pragma once

#include <cstdint>

#include <emmintrin.h>

#include "dsp/kernels/KernelVariant.h"

namespace ck_spatial {

struct Bands {
    const float* lowA;
    const float* lowB;
    const float* lowGain;
    const float* midA;
    const float* midB;
    const float* midGain;
    const float* highA;
    const float* highB;
    const float* highGain;
};

struct Frame {
    float pA, pB, uA, uB;
};

template <int BandMode, bool MidSide>
inline Frame frameAt(const Bands& in, int32_t i)
{
    const float gLow = in.lowGain[i];
    const float gMid = in.midGain[i];
    const float gHigh = in.highGain[i];
    const float lowA = in.lowA[i] * gLow;
    const float midA = in.midA[i] * gMid;
    const float highA = in.highA[i] * gHigh;
    // The side carries no compressor gain: the bands are compressed on their mid only.
    const float lowB = MidSide ? in.lowB[i] : in.lowB[i] * gLow;
    const float midB = MidSide ? in.midB[i] : in.midB[i] * gMid;
    const float highB = MidSide ? in.highB[i] : in.highB[i] * gHigh;
    if constexpr (BandMode == 0)
        return {lowA + midA + highA, lowB + midB + highB, 0.0f, 0.0f};
    else if constexpr (BandMode == 1)
        return {midA + highA, midB + highB, lowA, lowB};
    else
        return {highA, highB, lowA + midA, lowB + midB};
}

struct Frames4 {
    __m128 pA, pB, uA, uB;
};

template <int BandMode, bool MidSide>
inline Frames4 framesAt(const Bands& in, int32_t i)
{
    const __m128 gLow = _mm_loadu_ps(in.lowGain + i);
    const __m128 gMid = _mm_loadu_ps(in.midGain + i);
    const __m128 gHigh = _mm_loadu_ps(in.highGain + i);
    const __m128 lowA = _mm_mul_ps(_mm_loadu_ps(in.lowA + i), gLow);
    const __m128 midA = _mm_mul_ps(_mm_loadu_ps(in.midA + i), gMid);
    const __m128 highA = _mm_mul_ps(_mm_loadu_ps(in.highA + i), gHigh);
    const __m128 lowB = MidSide ? _mm_loadu_ps(in.lowB + i) : _mm_mul_ps(_mm_loadu_ps(in.lowB + i), gLow);
    const __m128 midB = MidSide ? _mm_loadu_ps(in.midB + i) : _mm_mul_ps(_mm_loadu_ps(in.midB + i), gMid);
    const __m128 highB = MidSide ? _mm_loadu_ps(in.highB + i) : _mm_mul_ps(_mm_loadu_ps(in.highB + i), gHigh);
    const __m128 zero = _mm_setzero_ps();
    if constexpr (BandMode == 0)
        return {_mm_add_ps(_mm_add_ps(lowA, midA), highA), _mm_add_ps(_mm_add_ps(lowB, midB), highB), zero, zero};
    else if constexpr (BandMode == 1)
        return {_mm_add_ps(midA, highA), _mm_add_ps(midB, highB), lowA, lowB};
    else
        return {highA, highB, _mm_add_ps(lowA, midA), _mm_add_ps(lowB, midB)};
}

namespace band_sum {

// The plain sum of all bands, frames [first, first + count), into outA and outB.
template <bool MidSide>
void reference(const Bands& in, float* outA, float* outB, int32_t first, int32_t count)
{
    for (int32_t i = first; i < first + count; ++i) {
        const Frame f = frameAt<0, MidSide>(in, i);
        outA[i] = f.pA;
        outB[i] = f.pB;
    }
}

template <bool MidSide>
void sse2(const Bands& in, float* outA, float* outB, int32_t first, int32_t count)
{
    int32_t i = first;
    for (const int32_t end = first + (count & ~3); i < end; i += 4) {
        const Frames4 f = framesAt<0, MidSide>(in, i);
        _mm_storeu_ps(outA + i, f.pA);
        _mm_storeu_ps(outB + i, f.pB);
    }
    reference<MidSide>(in, outA, outB, i, first + count - i);
}

template <CK_KernelVariant V, bool MidSide>
void run(const Bands& in, float* outA, float* outB, int32_t first, int32_t count)
{
    static_assert(V == CK_KernelVariant::kReference || V == CK_KernelVariant::kSse2, "no such form");
    if constexpr (V == CK_KernelVariant::kSse2)
        sse2<MidSide>(in, outA, outB, first, count);
    else
        reference<MidSide>(in, outA, outB, first, count);
}

} // namespace band_sum
} // namespace ck_spatial
