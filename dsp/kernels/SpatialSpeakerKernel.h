// The spatial stage's speaker treatment on the band sum: a static matrix on the treated part,
// plus the bypassing part. On a left/right pair A' = direct A + cross B (and B' alike); on a
// mid/side pair the mid and the side are scaled. The SSE2 form takes four frames at once.
#pragma once

#include <cstdint>

#include <emmintrin.h>

#include "dsp/kernels/SpatialBandSumKernel.h"

namespace ck_spatial {

// Positive x multiplies the side by 1 + x; negative x feeds x of the other channel in.
struct SpeakerLR {
    float direct;
    float cross;
};
inline SpeakerLR speakerLR(float x)
{
    if (x > 0.0f)
        return {1.0f + 0.5f * x, -0.5f * x};
    return {1.0f - 0.25f * x, 0.75f * x};
}

// Positive x widens the side, negative x lowers the mid.
struct SpeakerMS {
    float mid;
    float side;
};
inline SpeakerMS speakerMS(float x)
{
    if (x > 0.0f)
        return {1.0f, 1.0f + x};
    return {1.0f + x, 1.0f};
}

namespace speaker {

// Frames [first, first + count) with the amount x into outA and outB.
template <int BandMode, bool MidSide>
void reference(const Bands& in, float x, float* outA, float* outB, int32_t first, int32_t count)
{
    if constexpr (MidSide) {
        const SpeakerMS m = speakerMS(x);
        for (int32_t i = first; i < first + count; ++i) {
            const Frame f = frameAt<BandMode, true>(in, i);
            outA[i] = m.mid * f.pA + f.uA;
            outB[i] = m.side * f.pB + f.uB;
        }
    } else {
        const SpeakerLR m = speakerLR(x);
        for (int32_t i = first; i < first + count; ++i) {
            const Frame f = frameAt<BandMode, false>(in, i);
            outA[i] = m.direct * f.pA + m.cross * f.pB + f.uA;
            outB[i] = m.direct * f.pB + m.cross * f.pA + f.uB;
        }
    }
}

template <int BandMode, bool MidSide>
void sse2(const Bands& in, float x, float* outA, float* outB, int32_t first, int32_t count)
{
    int32_t i = first;
    const int32_t end = first + (count & ~3);
    if constexpr (MidSide) {
        const SpeakerMS m = speakerMS(x);
        const __m128 mid = _mm_set1_ps(m.mid);
        const __m128 side = _mm_set1_ps(m.side);
        for (; i < end; i += 4) {
            const Frames4 f = framesAt<BandMode, true>(in, i);
            _mm_storeu_ps(outA + i, _mm_add_ps(_mm_mul_ps(mid, f.pA), f.uA));
            _mm_storeu_ps(outB + i, _mm_add_ps(_mm_mul_ps(side, f.pB), f.uB));
        }
    } else {
        const SpeakerLR m = speakerLR(x);
        const __m128 direct = _mm_set1_ps(m.direct);
        const __m128 cross = _mm_set1_ps(m.cross);
        for (; i < end; i += 4) {
            const Frames4 f = framesAt<BandMode, false>(in, i);
            _mm_storeu_ps(outA + i, _mm_add_ps(_mm_add_ps(_mm_mul_ps(direct, f.pA), _mm_mul_ps(cross, f.pB)), f.uA));
            _mm_storeu_ps(outB + i, _mm_add_ps(_mm_add_ps(_mm_mul_ps(direct, f.pB), _mm_mul_ps(cross, f.pA)), f.uB));
        }
    }
    reference<BandMode, MidSide>(in, x, outA, outB, i, first + count - i);
}

template <CK_KernelVariant V, int BandMode, bool MidSide>
void run(const Bands& in, float x, float* outA, float* outB, int32_t first, int32_t count)
{
    static_assert(V == CK_KernelVariant::kReference || V == CK_KernelVariant::kSse2, "no such form");
    if constexpr (V == CK_KernelVariant::kSse2)
        sse2<BandMode, MidSide>(in, x, outA, outB, first, count);
    else
        reference<BandMode, MidSide>(in, x, outA, outB, first, count);
}

} // namespace speaker
} // namespace ck_spatial
