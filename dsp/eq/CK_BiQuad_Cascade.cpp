#include "dsp/eq/CK_BiQuad_Cascade.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ck_cascade {
namespace {

// The bands run skewed: at step t band k filters frame t - k, so within a step the bands do not
// wait for each other (band k takes what band k - 1 produced one step earlier) and their
// recursions overlap; with SSE2 two bands share each packed double operation. Each band still
// sees its frames in order, with its own history and the same operations as on its own.
template <int N>
void eqCascade(EqState* const* states, const EqCoefficients* coefficients, const float* x, float* y, int32_t first,
               int32_t end)
{
    // Bands padded to an even count; a padding band has zero coefficients and is never read.
    constexpr int P = (N + 1) / 2;
    EqCoefficients c[2 * P] = {};
    // Histories of the input are kept in double: the widening is exact, so this is the same value
    // the float history would give every time it is used.
    double x1[2 * P] = {}, x2[2 * P] = {}, y1[2 * P] = {}, y2[2 * P] = {};
    float carry[2 * P] = {};
    for (int b = 0; b < N; ++b) {
        c[b] = coefficients[b];
        x1[b] = states[b]->x1;
        x2[b] = states[b]->x2;
        y1[b] = states[b]->y1;
        y2[b] = states[b]->y2;
    }
    const auto band = [&](int b, float input) {
        const double in = input;
        const double out = c[b].b0 * in + c[b].b1 * x1[b] + c[b].b2 * x2[b] - c[b].a1 * y1[b] - c[b].a2 * y2[b] +
                           kEqDenormalGuard;
        x2[b] = x1[b];
        x1[b] = in;
        y2[b] = y1[b];
        y1[b] = out;
        carry[b] = static_cast<float>(out);
    };
    // Steps where some bands have no frame of this run: the first and the last N - 1.
    const auto partialStep = [&](int32_t t) {
        for (int b = N - 1; b >= 0; --b) {
            const int32_t m = t - b;
            if (m < first || m >= end)
                continue;
            band(b, b == 0 ? x[m] : carry[b - 1]);
            if (b == N - 1)
                y[m] = carry[b];
        }
    };
    const int32_t steady = first + N - 1;
    const int32_t last = end + N - 1;
    int32_t t = first;
    for (; t < steady && t < last; ++t)
        partialStep(t);
#if defined(__SSE2__)
    if (t < end) {
        __m128d b0[P], b1[P], b2[P], a1[P], a2[P], vx1[P], vx2[P], vy1[P], vy2[P], vc[P];
        for (int p = 0; p < P; ++p) {
            const int l = 2 * p, h = 2 * p + 1;
            b0[p] = _mm_setr_pd(c[l].b0, c[h].b0);
            b1[p] = _mm_setr_pd(c[l].b1, c[h].b1);
            b2[p] = _mm_setr_pd(c[l].b2, c[h].b2);
            a1[p] = _mm_setr_pd(c[l].a1, c[h].a1);
            a2[p] = _mm_setr_pd(c[l].a2, c[h].a2);
            vx1[p] = _mm_setr_pd(x1[l], x1[h]);
            vx2[p] = _mm_setr_pd(x2[l], x2[h]);
            vy1[p] = _mm_setr_pd(y1[l], y1[h]);
            vy2[p] = _mm_setr_pd(y2[l], y2[h]);
            vc[p] = _mm_setr_pd(carry[l], carry[h]);
        }
        const __m128d guard = _mm_set1_pd(kEqDenormalGuard);
        for (; t < end; ++t) {
            // Inputs from the previous step's outputs: band 2p reads band 2p - 1, band 2p + 1 reads 2p.
            __m128d in[P];
            in[0] = _mm_shuffle_pd(_mm_cvtps_pd(_mm_load_ss(x + t)), vc[0], 0);
#pragma GCC unroll 4
            for (int p = 1; p < P; ++p)
                in[p] = _mm_shuffle_pd(vc[p - 1], vc[p], 1);
#pragma GCC unroll 4
            for (int p = 0; p < P; ++p) {
                __m128d out = _mm_add_pd(_mm_mul_pd(b0[p], in[p]), _mm_mul_pd(b1[p], vx1[p]));
                out = _mm_add_pd(out, _mm_mul_pd(b2[p], vx2[p]));
                out = _mm_sub_pd(out, _mm_mul_pd(a1[p], vy1[p]));
                out = _mm_sub_pd(out, _mm_mul_pd(a2[p], vy2[p]));
                out = _mm_add_pd(out, guard);
                vx2[p] = vx1[p];
                vx1[p] = in[p];
                vy2[p] = vy1[p];
                vy1[p] = out;
                vc[p] = _mm_cvtps_pd(_mm_cvtpd_ps(out));
            }
            const __m128d lastPair = vc[(N - 1) / 2];
            const __m128d lastBand = (N - 1) % 2 == 0 ? lastPair : _mm_unpackhi_pd(lastPair, lastPair);
            _mm_store_ss(y + t - (N - 1), _mm_cvtpd_ps(lastBand));
        }
        for (int p = 0; p < P; ++p) {
            const int l = 2 * p, h = 2 * p + 1;
            _mm_storel_pd(&x1[l], vx1[p]);
            _mm_storeh_pd(&x1[h], vx1[p]);
            _mm_storel_pd(&x2[l], vx2[p]);
            _mm_storeh_pd(&x2[h], vx2[p]);
            _mm_storel_pd(&y1[l], vy1[p]);
            _mm_storeh_pd(&y1[h], vy1[p]);
            _mm_storel_pd(&y2[l], vy2[p]);
            _mm_storeh_pd(&y2[h], vy2[p]);
            carry[l] = _mm_cvtss_f32(_mm_cvtpd_ps(vc[p]));
            carry[h] = _mm_cvtss_f32(_mm_cvtpd_ps(_mm_unpackhi_pd(vc[p], vc[p])));
        }
    }
#else
    for (; t < end; ++t) {
#pragma GCC unroll 8
        for (int b = N - 1; b >= 0; --b)
            band(b, b == 0 ? x[t] : carry[b - 1]);
        y[t - (N - 1)] = carry[N - 1];
    }
#endif
    for (; t < last; ++t)
        partialStep(t);
    for (int b = 0; b < N; ++b)
        *states[b] = EqState{static_cast<float>(x1[b]), static_cast<float>(x2[b]), y1[b], y2[b]};
}

template <int N>
void staticCascade(StaticSection* s, const CK_BiQuad& c, const float* x, float* y, int32_t first, int32_t end)
{
    StaticSection v[N];
    for (int i = 0; i < N; ++i)
        v[i] = s[i];
    for (int32_t n = first; n < end; ++n) {
        float in = x[n];
#pragma GCC unroll 8
        for (int i = 0; i < N; ++i) {
            const float out = c.b0 * in + c.b1 * v[i].x1 + c.b2 * v[i].x2 - c.a1 * v[i].y1 - c.a2 * v[i].y2 +
                              kStaticDenormalGuard;
            v[i] = {in, v[i].x1, out, v[i].y1};
            in = out;
        }
        y[n] = in;
    }
    for (int i = 0; i < N; ++i)
        s[i] = v[i];
}

#if defined(__SSE2__)
// Channel A in lane 0, channel B in lane 1; packed single-precision operations round each lane
// exactly as the scalar ones do.
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
#endif

} // namespace

void runEqCascade(EqState* const* states, const EqCoefficients* coefficients, int bands, const float* x, float* y,
                  int32_t first, int32_t end)
{
    switch (bands) {
    case 1: eqCascade<1>(states, coefficients, x, y, first, end); break;
    case 2: eqCascade<2>(states, coefficients, x, y, first, end); break;
    case 3: eqCascade<3>(states, coefficients, x, y, first, end); break;
    case 4: eqCascade<4>(states, coefficients, x, y, first, end); break;
    case 5: eqCascade<5>(states, coefficients, x, y, first, end); break;
    default: break;
    }
}

void runStaticCascade(StaticSection* sections, int count, const CK_BiQuad& c, const float* x, float* y,
                      int32_t first, int32_t end)
{
    switch (count) {
    case 1: staticCascade<1>(sections, c, x, y, first, end); break;
    case 2: staticCascade<2>(sections, c, x, y, first, end); break;
    case 3: staticCascade<3>(sections, c, x, y, first, end); break;
    case 4: staticCascade<4>(sections, c, x, y, first, end); break;
    case 5: staticCascade<5>(sections, c, x, y, first, end); break;
    case 6: staticCascade<6>(sections, c, x, y, first, end); break;
    case 7: staticCascade<7>(sections, c, x, y, first, end); break;
    case 8: staticCascade<8>(sections, c, x, y, first, end); break;
    default: break;
    }
}

void runStaticCascadeStereo(StaticSection* a, StaticSection* b, int count, const CK_BiQuad& c, const float* xa,
                            const float* xb, float* ya, float* yb, int32_t first, int32_t end)
{
#if defined(__SSE2__)
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
#else
    runStaticCascade(a, count, c, xa, ya, first, end);
    runStaticCascade(b, count, c, xb, yb, first, end);
#endif
}

#if defined(__SSE2__)
namespace {

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
#endif

void runStaticSectionsInLanes(const StaticLane* lanes, int count, int32_t first, int32_t end)
{
#if defined(__SSE2__)
    switch (count) {
    case 1: staticSectionsInLanes<1>(lanes, first, end); break;
    case 2: staticSectionsInLanes<2>(lanes, first, end); break;
    case 3: staticSectionsInLanes<3>(lanes, first, end); break;
    case 4: staticSectionsInLanes<4>(lanes, first, end); break;
    default: break;
    }
#else
    for (int k = 0; k < count; ++k)
        runStaticCascade(lanes[k].section, 1, *lanes[k].coefficients, lanes[k].x, lanes[k].y, first, end);
#endif
}

} // namespace ck_cascade
