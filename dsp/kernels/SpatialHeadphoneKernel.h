// The spatial stage's headphone treatment on the band sum: a delayed, partly mid-cancelled copy
// of the treated part added to the same channel (positive amount) or to the opposite channel
// (negative amount); in mid/side operation only the side goes through a delay line. The delay
// lines run backwards: each frame writes one slot below the previous one and reads `shift` slots
// above where it wrote.
//
// The SSE2 form moves four frames through the lines together: all four write, then all four
// read. Frame by frame, each frame reads its own slot (shift 0) or one written before it, and so
// it does in the group unless shift > length - 4, where a frame would read the slot a later frame
// of the group has just overwritten; then every frame takes the reference step. Groups whose
// written or read slots wrap around the end of the line take the reference step too.
#pragma once

#include <cmath>
#include <cstdint>

#include <emmintrin.h>

#include "dsp/kernels/SpatialBandSumKernel.h"

namespace ck_spatial {

// A positive amount adds the delayed signal to its own channel, a negative amount to the
// opposite one.
struct EchoMix {
    float same;
    float opposite;
};
inline EchoMix echoMix(float e)
{
    if (e > 0.0f)
        return {e, 0.0f};
    return {0.0f, e};
}

constexpr float kMidCancel = 0.4f;

// Two delay lines of mask + 1 slots (a power of two), the shift (0 .. mask) and the slot the
// latest frame was written to, which the kernel moves on.
struct DelayLines {
    float* a;
    float* b;
    int32_t mask;
    int32_t shift;
    int32_t writePos;
};

namespace headphone {

// One frame through the delay lines: the mix of a left/right pair, the gain of the side.
template <int BandMode, bool MidSide>
inline void step(const Bands& in, EchoMix mix, float gain, DelayLines& d, float* outA, float* outB, int32_t n)
{
    if constexpr (MidSide) {
        const Frame f = frameAt<BandMode, true>(in, n);
        d.writePos = (d.writePos - 1) & d.mask;
        d.b[d.writePos] = f.pB;
        const float delayed = d.b[(d.writePos + d.shift) & d.mask];
        outA[n] = f.pA + f.uA;
        outB[n] = f.pB + gain * delayed + f.uB;
    } else {
        const Frame f = frameAt<BandMode, false>(in, n);
        d.writePos = (d.writePos - 1) & d.mask;
        d.a[d.writePos] = f.pA;
        d.b[d.writePos] = f.pB;
        const int32_t read = (d.writePos + d.shift) & d.mask;
        const float k = kMidCancel * (d.a[read] + d.b[read]);
        const float sA = d.a[read] - k;
        const float sB = d.b[read] - k;
        outA[n] = f.pA + mix.same * sA + mix.opposite * sB + f.uA;
        outB[n] = f.pB + mix.same * sB + mix.opposite * sA + f.uB;
    }
}

// Frames [first, first + count) with the echo amount e into outA and outB.
template <int BandMode, bool MidSide>
void reference(const Bands& in, float e, DelayLines& d, float* outA, float* outB, int32_t first, int32_t count)
{
    const EchoMix mix = echoMix(e);
    const float gain = std::fabs(e);
    for (int32_t n = first; n < first + count; ++n)
        step<BandMode, MidSide>(in, mix, gain, d, outA, outB, n);
}

// The delay lines hold four consecutive frames in four adjacent slots, last frame first.
inline __m128 reversed(__m128 v)
{
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3));
}

template <int BandMode, bool MidSide>
void sse2(const Bands& in, float e, DelayLines& d, float* outA, float* outB, int32_t first, int32_t count)
{
    int32_t i = first;
    const int32_t end = d.shift <= d.mask - 3 ? first + (count & ~3) : first;
    const EchoMix mix = echoMix(e);
    const float sideGain = std::fabs(e);
    const __m128 gain = _mm_set1_ps(sideGain);
    const __m128 same = _mm_set1_ps(mix.same);
    const __m128 opposite = _mm_set1_ps(mix.opposite);
    const __m128 midCancel = _mm_set1_ps(kMidCancel);
    for (; i < end; i += 4) {
        const int32_t write = d.writePos - 4;
        const int32_t read = (write + d.shift) & d.mask;
        if (write < 0 || read > d.mask - 3) {
            for (int32_t n = i; n < i + 4; ++n)
                step<BandMode, MidSide>(in, mix, sideGain, d, outA, outB, n);
            continue;
        }
        const Frames4 f = framesAt<BandMode, MidSide>(in, i);
        d.writePos = write;
        if constexpr (MidSide) {
            _mm_storeu_ps(d.b + write, reversed(f.pB));
            const __m128 delayed = reversed(_mm_loadu_ps(d.b + read));
            _mm_storeu_ps(outA + i, _mm_add_ps(f.pA, f.uA));
            _mm_storeu_ps(outB + i, _mm_add_ps(_mm_add_ps(f.pB, _mm_mul_ps(gain, delayed)), f.uB));
        } else {
            _mm_storeu_ps(d.a + write, reversed(f.pA));
            _mm_storeu_ps(d.b + write, reversed(f.pB));
            const __m128 dA = reversed(_mm_loadu_ps(d.a + read));
            const __m128 dB = reversed(_mm_loadu_ps(d.b + read));
            const __m128 k = _mm_mul_ps(midCancel, _mm_add_ps(dA, dB));
            const __m128 sA = _mm_sub_ps(dA, k);
            const __m128 sB = _mm_sub_ps(dB, k);
            _mm_storeu_ps(outA + i,
                          _mm_add_ps(_mm_add_ps(_mm_add_ps(f.pA, _mm_mul_ps(same, sA)), _mm_mul_ps(opposite, sB)), f.uA));
            _mm_storeu_ps(outB + i,
                          _mm_add_ps(_mm_add_ps(_mm_add_ps(f.pB, _mm_mul_ps(same, sB)), _mm_mul_ps(opposite, sA)), f.uB));
        }
    }
    reference<BandMode, MidSide>(in, e, d, outA, outB, i, first + count - i);
}

template <CK_KernelVariant V, int BandMode, bool MidSide>
void run(const Bands& in, float e, DelayLines& d, float* outA, float* outB, int32_t first, int32_t count)
{
    static_assert(V == CK_KernelVariant::kReference || V == CK_KernelVariant::kSse2, "no such form");
    if constexpr (V == CK_KernelVariant::kSse2)
        sse2<BandMode, MidSide>(in, e, d, outA, outB, first, count);
    else
        reference<BandMode, MidSide>(in, e, d, outA, outB, first, count);
}

} // namespace headphone
} // namespace ck_spatial
