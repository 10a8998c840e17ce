#include "dsp/kernels/StaticCascadeStereoKernel.h"

#include <emmintrin.h>

namespace ck_static_stereo {
namespace {

using ck_cascade::kStaticDenormalGuard;

// Packed single-precision operations round each lane exactly as the scalar ones do.
template <int N>
void staticCascadeStereo(StaticSection* a, StaticSection* b, const CK_BiQuad& c, const float* xa, const float* xb,
                         float* ya, float* yb, int32_t first, int32_t end)
{
    const __m128 b0 = _mm_set1_ps(c.b0), b1 = _mm_set1_ps(c.b1), b2 = _mm_set1_ps(c.b2);
    const __m128 a1 = _mm_set1_ps(c.a1), a2 = _mm_set1_ps(c.a2), guard = _mm_set1_ps(kStaticDenormalGuard);
    __m128 x1[N], x2[N], y1[N], y2[N];
    for (int i = 0; i < N; ++i) {
        x1[i] = _mm_setr_ps(a[i].x1, b[i].x1, 0.0f, 0.0f);
        x2[i] = _mm_setr_ps(a[i].x2, b[i].x2, 0.0f, 0.0f);
        y1[i] = _mm_setr_ps(a[i].y1, b[i].y1, 0.0f, 0.0f);
        y2[i] = _mm_setr_ps(a[i].y2, b[i].y2, 0.0f, 0.0f);
    }
    for (int32_t n = first; n < end; ++n) {
        __m128 in = _mm_unpacklo_ps(_mm_load_ss(xa + n), _mm_load_ss(xb + n));
#pragma GCC unroll 8
        for (int i = 0; i < N; ++i) {
            __m128 out = _mm_add_ps(_mm_mul_ps(b0, in), _mm_mul_ps(b1, x1[i]));
            out = _mm_add_ps(out, _mm_mul_ps(b2, x2[i]));
            out = _mm_sub_ps(out, _mm_mul_ps(a1, y1[i]));
            out = _mm_sub_ps(out, _mm_mul_ps(a2, y2[i]));
            out = _mm_add_ps(out, guard);
            x2[i] = x1[i];
            x1[i] = in;
            y2[i] = y1[i];
            y1[i] = out;
            in = out;
        }
        _mm_store_ss(ya + n, in);
        _mm_store_ss(yb + n, _mm_shuffle_ps(in, in, _MM_SHUFFLE(1, 1, 1, 1)));
    }
    for (int i = 0; i < N; ++i) {
        alignas(16) float l[4][4];
        _mm_store_ps(l[0], x1[i]);
        _mm_store_ps(l[1], x2[i]);
        _mm_store_ps(l[2], y1[i]);
        _mm_store_ps(l[3], y2[i]);
        a[i] = {l[0][0], l[1][0], l[2][0], l[3][0]};
        b[i] = {l[0][1], l[1][1], l[2][1], l[3][1]};
    }
}

} // namespace

void reference(StaticSection* a, StaticSection* b, int count, const CK_BiQuad& c, const float* xa, const float* xb,
               float* ya, float* yb, int32_t first, int32_t end)
{
    ck_cascade::runStaticCascade(a, count, c, xa, ya, first, end);
    ck_cascade::runStaticCascade(b, count, c, xb, yb, first, end);
}

void sse2(StaticSection* a, StaticSection* b, int count, const CK_BiQuad& c, const float* xa, const float* xb,
          float* ya, float* yb, int32_t first, int32_t end)
{
    switch (count) {
    case 1: staticCascadeStereo<1>(a, b, c, xa, xb, ya, yb, first, end); break;
    case 2: staticCascadeStereo<2>(a, b, c, xa, xb, ya, yb, first, end); break;
    case 3: staticCascadeStereo<3>(a, b, c, xa, xb, ya, yb, first, end); break;
    case 4: staticCascadeStereo<4>(a, b, c, xa, xb, ya, yb, first, end); break;
    case 5: staticCascadeStereo<5>(a, b, c, xa, xb, ya, yb, first, end); break;
    case 6: staticCascadeStereo<6>(a, b, c, xa, xb, ya, yb, first, end); break;
    case 7: staticCascadeStereo<7>(a, b, c, xa, xb, ya, yb, first, end); break;
    case 8: staticCascadeStereo<8>(a, b, c, xa, xb, ya, yb, first, end); break;
    default: break;
    }
}

} // namespace ck_static_stereo
