#include "dsp/kernels/DbToLevelKernel.h"

#include <emmintrin.h>

namespace ck_db_to_level {

void reference(const Tables& tables, const float* in, float* out, int32_t count)
{
    const float* fraction = tables.fraction;
    const float* power = tables.power;
    for (int32_t i = 0; i < count; ++i) {
        // Limit to +-18 volts; written so that NaN ends at the floor.
        float x = in[i] > -18.0f ? in[i] : -18.0f;
        x = x < 18.0f ? x : 18.0f;
        const auto y = static_cast<float>((static_cast<double>(x) + 18.0) * 853.3333333333334);
        const auto h = static_cast<int32_t>(y);
        const float f = y - static_cast<float>(h);
        const int32_t j = h & 511;
        out[i] = (fraction[j] + (fraction[j + 1] - fraction[j]) * f) * power[h >> 9];
    }
}

void sse2(const Tables& tables, const float* in, float* out, int32_t count)
{
    const float* fraction = tables.fraction;
    const float* power = tables.power;
    int32_t i = 0;
    // max/min keep the reference's operand order so that NaN ends at the floor; the scaling runs
    // in double precision.
    const __m128 floor = _mm_set1_ps(-18.0f), ceiling = _mm_set1_ps(18.0f);
    const __m128d offset = _mm_set1_pd(18.0), scale = _mm_set1_pd(853.3333333333334);
    for (; i + 4 <= count; i += 4) {
        const __m128 x = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(in + i), floor), ceiling);
        const __m128 low = _mm_cvtpd_ps(_mm_mul_pd(_mm_add_pd(_mm_cvtps_pd(x), offset), scale));
        const __m128 high = _mm_cvtpd_ps(_mm_mul_pd(_mm_add_pd(_mm_cvtps_pd(_mm_movehl_ps(x, x)), offset), scale));
        const __m128 y = _mm_movelh_ps(low, high);
        const __m128i h = _mm_cvttps_epi32(y);
        const __m128 f = _mm_sub_ps(y, _mm_cvtepi32_ps(h));
        alignas(16) int32_t hs[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(hs), h);
        alignas(16) float f0[4], f1[4], p[4];
        for (int k = 0; k < 4; ++k) {
            const int32_t j = hs[k] & 511;
            f0[k] = fraction[j];
            f1[k] = fraction[j + 1];
            p[k] = power[hs[k] >> 9];
        }
        const __m128 a = _mm_load_ps(f0);
        const __m128 r = _mm_mul_ps(_mm_add_ps(a, _mm_mul_ps(_mm_sub_ps(_mm_load_ps(f1), a), f)), _mm_load_ps(p));
        _mm_storeu_ps(out + i, r);
    }
    reference(tables, in + i, out + i, count - i);
}

} // namespace ck_db_to_level
