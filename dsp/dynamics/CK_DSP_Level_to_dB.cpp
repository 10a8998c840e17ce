#include "dsp/dynamics/CK_DSP_Level_to_dB.h"

#include <array>
#include <cfloat>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// dB / 10 of the factors the level is normalised by.
constexpr float kVolts16 = 2.40824f;    // x 16
constexpr float kVolts256 = 4.81648f;   // x 256
constexpr float kVolts65536 = 9.63296f; // x 65536
constexpr float kTwoPow30 = 1.0f / (1 << 30);
constexpr float kTwoPow16 = 1.0f / (1 << 16);
constexpr float kTwoPow8 = 1.0f / (1 << 8);

} // namespace

CK_DSP_Level_to_dB::CK_DSP_Level_to_dB(CK_ModuleOwner* moduleOwner) : CK_ModuleStd(moduleOwner)
{
    allocateOutput(0);
#if defined(__SSE2__)
    prepareTables();
#endif
}

void CK_DSP_Level_to_dB::prepare()
{
    rest(); // sleeps until the first event
    state.reset();
    inputChanging = 0;
    previousInput = -10000.0f;
    previousResult = kFloorVolts;
}

void CK_DSP_Level_to_dB::handleEvent(const CK_Event& e, int32_t)
{
    if (e.pin != 0)
        return;
    inputChanging = e.kind != 0 ? 1 : 0;
    state.want(inputChanging);
    state.idleCountdown = blockSize;
    useRoutine<&CK_DSP_Level_to_dB::convert>();
}

float CK_DSP_Level_to_dB::normalise(float b, float& d)
{
    d = 0.0f;
    if (b >= 1.0f) {
        while (b > 16.0f) {
            b *= 0.0625f;
            d += kVolts16;
        }
    } else {
        if (b < kTwoPow16) {
            b *= 65536.0f;
            d = -kVolts65536;
        }
        if (b < kTwoPow8) {
            b *= 256.0f;
            d -= kVolts256;
        }
        while (b < 1.0f) {
            b *= 16.0f;
            d -= kVolts16;
        }
    }
    return b;
}

float CK_DSP_Level_to_dB::toVolts(float b, const float* log)
{
    if (!(b > kTwoPow30))
        return kFloorVolts;
    if (b > FLT_MAX)
        b = FLT_MAX; // +inf: keeps the normalising loop finite

    float d;
    b = normalise(b, d);
    const float e = (b - 1.0f) * 160.0f;
    const auto j = static_cast<int32_t>(e);
    if (j >= 2400)
        return log[2400] + d;
    return log[j] + (log[j + 1] - log[j]) * (e - static_cast<float>(j)) + d;
}

void CK_DSP_Level_to_dB::convert(int32_t firstFrame, int32_t count)
{
    state.announce(*this, state.wanted, 1);
    if (!inputChanging && state.idleAfter(count))
        rest();

    const float* in = signalOrSilence(inputs[0]) + firstFrame;
    float* out = outputs[0] + firstFrame;
    const float* log = owner->tables.log;
    int32_t i = 0;
#if defined(__SSE2__)
    i = convertGroups(in, out, count, log);
    if (i > 0 && in[i - 1] != previousInput) {
        previousInput = in[i - 1];
        previousResult = out[i - 1];
    }
#endif
    for (; i < count; ++i) {
        // Detector levels often repeat (held peaks, silence): reuse the last result.
        if (in[i] != previousInput) {
            previousInput = in[i];
            previousResult = toVolts(in[i], log);
        }
        out[i] = previousResult;
    }
}

#if defined(__SSE2__)
namespace {

// The normalising steps depend only on the level's binary exponent and, for the "above 16" test,
// on whether the level is an exact power of two. One entry per case holds the power of two the
// steps multiply by (every step is exact, so one multiplication gives the same level) and the
// offset they add up, summed in the same order as the steps themselves.
struct NormalisingStep {
    float scale;
    float offset;
};
constexpr int kFirstExponent = -30;
constexpr int kExponents = 128 - kFirstExponent;

const NormalisingStep* normalisingSteps()
{
    static const auto steps = [] {
        std::array<NormalisingStep, 2 * kExponents> t{};
        for (int e = 0; e < kExponents; ++e)
            for (int exact = 0; exact < 2; ++exact) {
                const float level = std::ldexp(exact ? 1.0f : 1.5f, e + kFirstExponent);
                float offset;
                const float normalised = CK_DSP_Level_to_dB::normalise(level, offset);
                t[static_cast<size_t>(2 * e + exact)] = {normalised / level, offset};
            }
        return t;
    }();
    return steps.data();
}

} // namespace

void CK_DSP_Level_to_dB::prepareTables()
{
    normalisingSteps();
}

int32_t CK_DSP_Level_to_dB::convertGroups(const float* in, float* out, int32_t count, const float* log)
{
    // toVolts for four levels at once: the normalising steps come from the table above, levels
    // without a logarithm take the floor at the end.
    const NormalisingStep* steps = normalisingSteps();
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128i biasedFirst = _mm_set1_epi32(127 + kFirstExponent);
    const __m128i mantissa = _mm_set1_epi32(0x7fffff);
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 level = _mm_loadu_ps(in + i);
        const __m128 valid = _mm_cmpgt_ps(level, _mm_set1_ps(kTwoPow30));
        const __m128 b = _mm_or_ps(_mm_and_ps(valid, _mm_min_ps(level, _mm_set1_ps(FLT_MAX))), _mm_andnot_ps(valid, one));
        const __m128i bits = _mm_castps_si128(b);
        const __m128i exponent = _mm_sub_epi32(_mm_srli_epi32(bits, 23), biasedFirst);
        const __m128i exact = _mm_cmpeq_epi32(_mm_and_si128(bits, mantissa), _mm_setzero_si128());
        const __m128i index = _mm_sub_epi32(_mm_add_epi32(exponent, exponent), exact);
        alignas(16) int32_t is[4];
        alignas(16) float scale[4], offset[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(is), index);
        for (int k = 0; k < 4; ++k) {
            scale[k] = steps[is[k]].scale;
            offset[k] = steps[is[k]].offset;
        }
        const __m128 normalised = _mm_mul_ps(b, _mm_load_ps(scale));
        const __m128 e = _mm_mul_ps(_mm_sub_ps(normalised, one), _mm_set1_ps(160.0f));
        const __m128i j = _mm_cvttps_epi32(e);
        const __m128 f = _mm_sub_ps(e, _mm_cvtepi32_ps(j));
        alignas(16) int32_t js[4];
        alignas(16) float l0[4], l1[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(js), j);
        for (int k = 0; k < 4; ++k) {
            // At the table's end the step is zero, which leaves log[2400] exactly.
            const int32_t at = js[k] < 2400 ? js[k] : 2400;
            l0[k] = log[at];
            l1[k] = log[js[k] < 2400 ? at + 1 : at];
        }
        const __m128 a = _mm_load_ps(l0);
        const __m128 v = _mm_add_ps(_mm_add_ps(a, _mm_mul_ps(_mm_sub_ps(_mm_load_ps(l1), a), f)), _mm_load_ps(offset));
        _mm_storeu_ps(out + i, _mm_or_ps(_mm_and_ps(valid, v), _mm_andnot_ps(valid, _mm_set1_ps(kFloorVolts))));
    }
    return i;
}
#endif
