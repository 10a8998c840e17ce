#include "dsp/eq/CK_BiQuad_Cascade.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ck_cascade {
namespace {

// One channel of an equaliser cascade over frames [first, end).
struct EqChannel {
    EqState* const* states;
    const EqCoefficients* coefficients;
    const float* x;
    float* y;
};

// The bands run skewed: at step t band k filters frame t - k, so within a step the bands do not
// wait for each other (band k takes what band k - 1 produced one step earlier) and their
// recursions overlap; with SSE2 two bands share each packed double operation. C channels step
// together in one loop, which overlaps their recursions too. Each band still sees its frames in
// order, with its own history and the same operations as on its own.
template <int N, int C>
void eqCascade(const EqChannel* channels, int32_t first, int32_t end)
{
    // Bands padded to an even count; a padding band has zero coefficients and is never read.
    constexpr int P = (N + 1) / 2;
    EqCoefficients c[C][2 * P] = {};
    // Histories of the input are kept in double: the widening is exact, so this is the same value
    // the float history would give every time it is used.
    double x1[C][2 * P] = {}, x2[C][2 * P] = {}, y1[C][2 * P] = {}, y2[C][2 * P] = {};
    float carry[C][2 * P] = {};
    for (int ch = 0; ch < C; ++ch) {
        for (int b = 0; b < N; ++b) {
            c[ch][b] = channels[ch].coefficients[b];
            x1[ch][b] = channels[ch].states[b]->x1;
            x2[ch][b] = channels[ch].states[b]->x2;
            y1[ch][b] = channels[ch].states[b]->y1;
            y2[ch][b] = channels[ch].states[b]->y2;
        }
    }
    const auto band = [&](int ch, int b, float input) {
        const EqCoefficients& k = c[ch][b];
        const double in = input;
        const double out = k.b0 * in + k.b1 * x1[ch][b] + k.b2 * x2[ch][b] - k.a1 * y1[ch][b] - k.a2 * y2[ch][b] +
                           kEqDenormalGuard;
        x2[ch][b] = x1[ch][b];
        x1[ch][b] = in;
        y2[ch][b] = y1[ch][b];
        y1[ch][b] = out;
        carry[ch][b] = static_cast<float>(out);
    };
    // Steps where some bands have no frame of this run: the first and the last N - 1.
    const auto partialStep = [&](int32_t t) {
        for (int ch = 0; ch < C; ++ch) {
            for (int b = N - 1; b >= 0; --b) {
                const int32_t m = t - b;
                if (m < first || m >= end)
                    continue;
                band(ch, b, b == 0 ? channels[ch].x[m] : carry[ch][b - 1]);
                if (b == N - 1)
                    channels[ch].y[m] = carry[ch][b];
            }
        }
    };
    const int32_t steady = first + N - 1;
    const int32_t last = end + N - 1;
    int32_t t = first;
    for (; t < steady && t < last; ++t)
        partialStep(t);
#if defined(__SSE2__)
    if (t < end) {
        __m128d b0[C][P], b1[C][P], b2[C][P], a1[C][P], a2[C][P];
        __m128d vx1[C][P], vx2[C][P], vy1[C][P], vy2[C][P], vc[C][P];
        for (int ch = 0; ch < C; ++ch) {
            for (int p = 0; p < P; ++p) {
                const int l = 2 * p, h = 2 * p + 1;
                b0[ch][p] = _mm_setr_pd(c[ch][l].b0, c[ch][h].b0);
                b1[ch][p] = _mm_setr_pd(c[ch][l].b1, c[ch][h].b1);
                b2[ch][p] = _mm_setr_pd(c[ch][l].b2, c[ch][h].b2);
                a1[ch][p] = _mm_setr_pd(c[ch][l].a1, c[ch][h].a1);
                a2[ch][p] = _mm_setr_pd(c[ch][l].a2, c[ch][h].a2);
                vx1[ch][p] = _mm_setr_pd(x1[ch][l], x1[ch][h]);
                vx2[ch][p] = _mm_setr_pd(x2[ch][l], x2[ch][h]);
                vy1[ch][p] = _mm_setr_pd(y1[ch][l], y1[ch][h]);
                vy2[ch][p] = _mm_setr_pd(y2[ch][l], y2[ch][h]);
                vc[ch][p] = _mm_setr_pd(carry[ch][l], carry[ch][h]);
            }
        }
        const __m128d guard = _mm_set1_pd(kEqDenormalGuard);
        for (; t < end; ++t) {
#pragma GCC unroll 2
            for (int ch = 0; ch < C; ++ch) {
                // Inputs from the previous step's outputs: band 2p reads band 2p - 1, band 2p + 1
                // reads 2p.
                __m128d in[P];
                in[0] = _mm_shuffle_pd(_mm_cvtps_pd(_mm_load_ss(channels[ch].x + t)), vc[ch][0], 0);
#pragma GCC unroll 4
                for (int p = 1; p < P; ++p)
                    in[p] = _mm_shuffle_pd(vc[ch][p - 1], vc[ch][p], 1);
#pragma GCC unroll 4
                for (int p = 0; p < P; ++p) {
                    __m128d out = _mm_add_pd(_mm_mul_pd(b0[ch][p], in[p]), _mm_mul_pd(b1[ch][p], vx1[ch][p]));
                    out = _mm_add_pd(out, _mm_mul_pd(b2[ch][p], vx2[ch][p]));
                    out = _mm_sub_pd(out, _mm_mul_pd(a1[ch][p], vy1[ch][p]));
                    out = _mm_sub_pd(out, _mm_mul_pd(a2[ch][p], vy2[ch][p]));
                    out = _mm_add_pd(out, guard);
                    vx2[ch][p] = vx1[ch][p];
                    vx1[ch][p] = in[p];
                    vy2[ch][p] = vy1[ch][p];
                    vy1[ch][p] = out;
                    vc[ch][p] = _mm_cvtps_pd(_mm_cvtpd_ps(out));
                }
                const __m128d lastPair = vc[ch][(N - 1) / 2];
                const __m128d lastBand = (N - 1) % 2 == 0 ? lastPair : _mm_unpackhi_pd(lastPair, lastPair);
                _mm_store_ss(channels[ch].y + t - (N - 1), _mm_cvtpd_ps(lastBand));
            }
        }
        for (int ch = 0; ch < C; ++ch) {
            for (int p = 0; p < P; ++p) {
                const int l = 2 * p, h = 2 * p + 1;
                _mm_storel_pd(&x1[ch][l], vx1[ch][p]);
                _mm_storeh_pd(&x1[ch][h], vx1[ch][p]);
                _mm_storel_pd(&x2[ch][l], vx2[ch][p]);
                _mm_storeh_pd(&x2[ch][h], vx2[ch][p]);
                _mm_storel_pd(&y1[ch][l], vy1[ch][p]);
                _mm_storeh_pd(&y1[ch][h], vy1[ch][p]);
                _mm_storel_pd(&y2[ch][l], vy2[ch][p]);
                _mm_storeh_pd(&y2[ch][h], vy2[ch][p]);
                carry[ch][l] = _mm_cvtss_f32(_mm_cvtpd_ps(vc[ch][p]));
                carry[ch][h] = _mm_cvtss_f32(_mm_cvtpd_ps(_mm_unpackhi_pd(vc[ch][p], vc[ch][p])));
            }
        }
    }
#else
    for (; t < end; ++t) {
        for (int ch = 0; ch < C; ++ch) {
#pragma GCC unroll 8
            for (int b = N - 1; b >= 0; --b)
                band(ch, b, b == 0 ? channels[ch].x[t] : carry[ch][b - 1]);
            channels[ch].y[t - (N - 1)] = carry[ch][N - 1];
        }
    }
#endif
    for (; t < last; ++t)
        partialStep(t);
    for (int ch = 0; ch < C; ++ch)
        for (int b = 0; b < N; ++b)
            *channels[ch].states[b] =
                EqState{static_cast<float>(x1[ch][b]), static_cast<float>(x2[ch][b]), y1[ch][b], y2[ch][b]};
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
    const EqChannel channel{states, coefficients, x, y};
    switch (bands) {
    case 1: eqCascade<1, 1>(&channel, first, end); break;
    case 2: eqCascade<2, 1>(&channel, first, end); break;
    case 3: eqCascade<3, 1>(&channel, first, end); break;
    case 4: eqCascade<4, 1>(&channel, first, end); break;
    case 5: eqCascade<5, 1>(&channel, first, end); break;
    default: break;
    }
}

void runEqCascadeStereo(EqState* const* statesA, const EqCoefficients* coefficientsA, EqState* const* statesB,
                        const EqCoefficients* coefficientsB, int bands, const float* xa, const float* xb, float* ya,
                        float* yb, int32_t first, int32_t end)
{
    const EqChannel channels[2] = {{statesA, coefficientsA, xa, ya}, {statesB, coefficientsB, xb, yb}};
    switch (bands) {
    case 1: eqCascade<1, 2>(channels, first, end); break;
    case 2: eqCascade<2, 2>(channels, first, end); break;
    case 3: eqCascade<3, 2>(channels, first, end); break;
    case 4: eqCascade<4, 2>(channels, first, end); break;
    case 5: eqCascade<5, 2>(channels, first, end); break;
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

} // namespace ck_cascade
