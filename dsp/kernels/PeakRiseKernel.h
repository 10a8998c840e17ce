// The level detector's window peak: a level that rises and tops the window's peak becomes the
// new peak. Noise makes the rise unpredictable, so the SSE2 form chooses by masks, not a branch.
#pragma once

#include <emmintrin.h>

#include "dsp/kernels/KernelVariant.h"

namespace ck_peak_rise {

inline float reference(float level, float previous, float windowPeak)
{
    return level > previous && level > windowPeak ? level : windowPeak;
}

inline float sse2(float level, float previous, float windowPeak)
{
    const __m128 l = _mm_set_ss(level), w = _mm_set_ss(windowPeak);
    const __m128 rises = _mm_cmpgt_ss(l, _mm_set_ss(previous));
    // max_ss(l, w) is l > w ? l : w.
    return _mm_cvtss_f32(_mm_or_ps(_mm_and_ps(rises, _mm_max_ss(l, w)), _mm_andnot_ps(rises, w)));
}

} // namespace ck_peak_rise
