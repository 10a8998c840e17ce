#include "dsp/kernels/KneeGainKernel.h"

#include <algorithm>

#include <emmintrin.h>

namespace ck_knee_gain {

template <bool Bowed>
void reference(const float* in, float* out, int32_t count, const Law& law)
{
    const float t = law.t, k = law.k, h = law.h, r = law.r;
    for (int32_t i = 0; i < count; ++i) {
        // Written so that a NaN level counts as below the threshold.
        const float x = in[i] > t ? in[i] : t;
        const float q = x / t; // 1 at the threshold, 0 at full scale
        float d;
        if constexpr (Bowed)
            d = (q * k * h * r + r) * (1.0f - q) + q;
        else
            d = (1.0f - q * k) * r + q * k;
        d = std::max(d, law.minDivisor);
        const float change = (x - t) / d + t - x;
        out[i] = change < kMaxRise ? change : kMaxRise;
    }
}

template <bool Bowed>
void sse2(const float* in, float* out, int32_t count, const Law& law)
{
    int32_t i = 0;
    // max keeps the operand order of the reference, so NaN is handled alike.
    const __m128 vt = _mm_set1_ps(law.t), vk = _mm_set1_ps(law.k), vh = _mm_set1_ps(law.h), vr = _mm_set1_ps(law.r);
    const __m128 vMin = _mm_set1_ps(law.minDivisor), one = _mm_set1_ps(1.0f), maxRise = _mm_set1_ps(kMaxRise);
    for (; i + 4 <= count; i += 4) {
        const __m128 x = _mm_max_ps(_mm_loadu_ps(in + i), vt);
        const __m128 q = _mm_div_ps(x, vt);
        __m128 d;
        if constexpr (Bowed)
            d = _mm_add_ps(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_mul_ps(_mm_mul_ps(q, vk), vh), vr), vr),
                                      _mm_sub_ps(one, q)),
                           q);
        else
            d = _mm_add_ps(_mm_mul_ps(_mm_sub_ps(one, _mm_mul_ps(q, vk)), vr), _mm_mul_ps(q, vk));
        d = _mm_max_ps(vMin, d);
        const __m128 change = _mm_sub_ps(_mm_add_ps(_mm_div_ps(_mm_sub_ps(x, vt), d), vt), x);
        // min takes the bound when the change is NaN, as the reference's comparison does.
        _mm_storeu_ps(out + i, _mm_min_ps(change, maxRise));
    }
    reference<Bowed>(in + i, out + i, count - i, law);
}

template void reference<false>(const float*, float*, int32_t, const Law&);
template void reference<true>(const float*, float*, int32_t, const Law&);
template void sse2<false>(const float*, float*, int32_t, const Law&);
template void sse2<true>(const float*, float*, int32_t, const Law&);

} // namespace ck_knee_gain
