#include "dsp/kernels/StaticLanesKernel.h"

#include <emmintrin.h>

namespace ck_static_lanes {
namespace {

using ck_cascade::kStaticDenormalGuard;
using ck_cascade::StaticSection;

// Lane k is channel k: packed single-precision operations round each lane exactly as the scalar
// section does. Lanes beyond C stay silent.
template <int C>
void staticSectionsInLanes(const StaticLane* lanes, int32_t first, int32_t end)
{
    alignas(16) float b0[4] = {}, b1[4] = {}, b2[4] = {}, a1[4] = {}, a2[4] = {};
    alignas(16) float x1[4] = {}, x2[4] = {}, y1[4] = {}, y2[4] = {};
    const float* x[C];
    float* y[C];
    for (int k = 0; k < C; ++k) {
        const CK_BiQuad& c = *lanes[k].coefficients;
        const StaticSection& s = *lanes[k].section;
        b0[k] = c.b0;
        b1[k] = c.b1;
        b2[k] = c.b2;
        a1[k] = c.a1;
        a2[k] = c.a2;
        x1[k] = s.x1;
        x2[k] = s.x2;
        y1[k] = s.y1;
        y2[k] = s.y2;
        x[k] = lanes[k].x;
        y[k] = lanes[k].y;
    }
    const __m128 vb0 = _mm_load_ps(b0), vb1 = _mm_load_ps(b1), vb2 = _mm_load_ps(b2);
    const __m128 va1 = _mm_load_ps(a1), va2 = _mm_load_ps(a2), guard = _mm_set1_ps(kStaticDenormalGuard);
    __m128 vx1 = _mm_load_ps(x1), vx2 = _mm_load_ps(x2), vy1 = _mm_load_ps(y1), vy2 = _mm_load_ps(y2);
    for (int32_t n = first; n < end; ++n) {
        const __m128 in = _mm_setr_ps(x[0][n], C > 1 ? x[C > 1 ? 1 : 0][n] : 0.0f, C > 2 ? x[C > 2 ? 2 : 0][n] : 0.0f,
                                      C > 3 ? x[C > 3 ? 3 : 0][n] : 0.0f);
        __m128 out = _mm_add_ps(_mm_mul_ps(vb0, in), _mm_mul_ps(vb1, vx1));
        out = _mm_add_ps(out, _mm_mul_ps(vb2, vx2));
        out = _mm_sub_ps(out, _mm_mul_ps(va1, vy1));
        out = _mm_sub_ps(out, _mm_mul_ps(va2, vy2));
        out = _mm_add_ps(out, guard);
        vx2 = vx1;
        vx1 = in;
        vy2 = vy1;
        vy1 = out;
        alignas(16) float v[4];
        _mm_store_ps(v, out);
        for (int k = 0; k < C; ++k)
            y[k][n] = v[k];
    }
    _mm_store_ps(x1, vx1);
    _mm_store_ps(x2, vx2);
    _mm_store_ps(y1, vy1);
    _mm_store_ps(y2, vy2);
    for (int k = 0; k < C; ++k)
        *lanes[k].section = {x1[k], x2[k], y1[k], y2[k]};
}

} // namespace

void reference(const StaticLane* lanes, int count, int32_t first, int32_t end)
{
    for (int k = 0; k < count; ++k)
        ck_cascade::runStaticCascade(lanes[k].section, 1, *lanes[k].coefficients, lanes[k].x, lanes[k].y, first, end);
}

void sse2(const StaticLane* lanes, int count, int32_t first, int32_t end)
{
    switch (count) {
    case 1: staticSectionsInLanes<1>(lanes, first, end); break;
    case 2: staticSectionsInLanes<2>(lanes, first, end); break;
    case 3: staticSectionsInLanes<3>(lanes, first, end); break;
    case 4: staticSectionsInLanes<4>(lanes, first, end); break;
    default: break;
    }
}

} // namespace ck_static_lanes
