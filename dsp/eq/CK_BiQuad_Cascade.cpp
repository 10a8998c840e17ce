#include "dsp/eq/CK_BiQuad_Cascade.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <type_traits>
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

#if defined(__SSE2__)
inline __m128 blend(__m128 mask, __m128 a, __m128 b)
{
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

// Runs N sections of C channels (1 or 2) skewed by two frames: at step t section k filters frame
// t - 2k, taking the output section k - 1 gave two steps earlier. Within a step no section waits
// for another, and between steps the only chain is each section's own feedback, so the steps
// overlap. Packed single-precision operations round each lane exactly as the scalar ones do
// and each section sees its frames in order, so the output is the plain cascade's bit for bit.
// N * C is at most 8: two registers, which keeps every value in a register.
template <int N, int C>
void staticCascadeSkewed(StaticSection* const* s, const CK_BiQuad& c, const float* const* x, float* const* y,
                         int32_t first, int32_t end)
{
    // Section k of channel ch sits in register k % R at lane k / R * C + ch: its predecessor is at
    // the same lane of the register before, or for register 0 C lanes lower in the last register.
    // Lanes past the last section hold further sections of the same filter; their results are
    // dropped.
    static_assert(N * C <= 8, "at most two registers of sections");
    constexpr int R = (N * C + 3) / 4;
    constexpr int32_t D = 2 * (N - 1);
    const auto sectionAt = [](int r, int lane) { return lane / C * R + r; };
    const auto lanes = [&](float StaticSection::*field, int r) {
        const auto value = [&](int lane) {
            const int k = sectionAt(r, lane);
            return k < N ? s[lane % C][k].*field : 0.0f;
        };
        return _mm_setr_ps(value(0), value(1), value(2), value(3));
    };
    // Per lane the step at which its section reaches the run's first frame; never for the extra
    // sections.
    const auto delays = [&](int r) {
        const auto value = [&](int lane) { return sectionAt(r, lane) < N ? 2 * sectionAt(r, lane) : INT32_MAX; };
        return _mm_setr_epi32(value(0), value(1), value(2), value(3));
    };
    // feed: each lane's output of two steps back, the next section's input. While every section
    // runs it is y2; in the steps where some sections have no frame of this run (partial steps)
    // those keep their state, y2 included, so feed is kept apart there.
    __m128 x1[R], x2[R], y1[R], y2[R], feed[R];
#pragma GCC unroll 2
    for (int r = 0; r < R; ++r) {
        x1[r] = lanes(&StaticSection::x1, r);
        x2[r] = lanes(&StaticSection::x2, r);
        y1[r] = lanes(&StaticSection::y1, r);
        y2[r] = lanes(&StaticSection::y2, r);
        feed[r] = y2[r];
    }
    const __m128 b0 = _mm_set1_ps(c.b0), b1 = _mm_set1_ps(c.b1), b2 = _mm_set1_ps(c.b2);
    const __m128 a1 = _mm_set1_ps(c.a1), a2 = _mm_set1_ps(c.a2), guard = _mm_set1_ps(kStaticDenormalGuard);
    const auto step = [&](int32_t t, auto partial) __attribute__((always_inline)) {
        constexpr bool kPartial = decltype(partial)::value;
        __m128 input = _mm_setzero_ps();
        if (!kPartial || t < end) {
            input = _mm_load_ss(x[0] + t);
            if constexpr (C == 2)
                input = _mm_unpacklo_ps(input, _mm_load_ss(x[1] + t));
        }
        const __m128* from = kPartial ? feed : y2;
        __m128 in[R];
        if constexpr (C == 1)
            in[0] = _mm_move_ss(_mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(from[R - 1]), 4)), input);
        else
            in[0] = _mm_movelh_ps(input, from[R - 1]);
        if constexpr (R == 2)
            in[1] = from[0];
#pragma GCC unroll 2
        for (int r = 0; r < R; ++r) {
            __m128 out = _mm_add_ps(_mm_mul_ps(b0, in[r]), _mm_mul_ps(b1, x1[r]));
            out = _mm_add_ps(out, _mm_mul_ps(b2, x2[r]));
            out = _mm_sub_ps(out, _mm_mul_ps(a1, y1[r]));
            out = _mm_sub_ps(out, _mm_mul_ps(a2, y2[r]));
            out = _mm_add_ps(out, guard);
            if constexpr (kPartial) {
                const __m128 live =
                    _mm_castsi128_ps(_mm_andnot_si128(_mm_cmpgt_epi32(delays(r), _mm_set1_epi32(t - first)),
                                                      _mm_cmpgt_epi32(delays(r), _mm_set1_epi32(t - end))));
                feed[r] = y1[r];
                x2[r] = blend(live, x1[r], x2[r]);
                x1[r] = blend(live, in[r], x1[r]);
                y2[r] = blend(live, y1[r], y2[r]);
                y1[r] = blend(live, out, y1[r]);
            } else {
                x2[r] = x1[r];
                x1[r] = in[r];
                y2[r] = y1[r];
                y1[r] = out;
            }
        }
        // The last section's frame of this step, read only after this step's input: in place works.
        const int32_t m = t - D;
        if (!kPartial || m >= first) {
            constexpr int L = (N - 1) / R * C;
            const __m128 v = y1[(N - 1) % R];
            _mm_store_ss(y[0] + m, _mm_shuffle_ps(v, v, _MM_SHUFFLE(L, L, L, L)));
            if constexpr (C == 2)
                _mm_store_ss(y[1] + m, _mm_shuffle_ps(v, v, _MM_SHUFFLE(L + 1, L + 1, L + 1, L + 1)));
        }
    };
    const int32_t steady = first + D;
    const int32_t last = end + D;
    int32_t t = first;
    for (; t < steady; ++t)
        step(t, std::true_type{});
    if (t < end) {
        for (; t < end; ++t)
            step(t, std::false_type{});
        // Every section ran the last step, so y2 is again each one's output of two steps back.
#pragma GCC unroll 2
        for (int r = 0; r < R; ++r)
            feed[r] = y2[r];
    }
    for (; t < last; ++t)
        step(t, std::true_type{});
#pragma GCC unroll 2
    for (int r = 0; r < R; ++r) {
        alignas(16) float v[4][4];
        _mm_store_ps(v[0], x1[r]);
        _mm_store_ps(v[1], x2[r]);
        _mm_store_ps(v[2], y1[r]);
        _mm_store_ps(v[3], y2[r]);
#pragma GCC unroll 4
        for (int lane = 0; lane < 4; ++lane) {
            const int k = sectionAt(r, lane);
            if (k < N)
                s[lane % C][k] = {v[0][lane], v[1][lane], v[2][lane], v[3][lane]};
        }
    }
}

// Sections beyond two registers' worth run as a second cascade over the first one's output.
template <int N, int C>
void staticCascade(StaticSection* const* s, const CK_BiQuad& c, const float* const* x, float* const* y,
                   int32_t first, int32_t end)
{
    constexpr int kFirst = N * C <= 8 ? N : 8 / C;
    staticCascadeSkewed<kFirst, C>(s, c, x, y, first, end);
    if constexpr (kFirst < N) {
        StaticSection* rest[C];
        const float* restInput[C];
        for (int ch = 0; ch < C; ++ch) {
            rest[ch] = s[ch] + kFirst;
            restInput[ch] = y[ch];
        }
        staticCascadeSkewed<N - kFirst, C>(rest, c, restInput, y, first, end);
    }
}
#else
// Frame by frame, each channel on its own.
template <int N, int C>
void staticCascade(StaticSection* const* s, const CK_BiQuad& c, const float* const* x, float* const* y,
                   int32_t first, int32_t end)
{
    for (int ch = 0; ch < C; ++ch) {
        StaticSection v[N];
        for (int i = 0; i < N; ++i)
            v[i] = s[ch][i];
        for (int32_t n = first; n < end; ++n) {
            float in = x[ch][n];
            for (int i = 0; i < N; ++i) {
                const float out = c.b0 * in + c.b1 * v[i].x1 + c.b2 * v[i].x2 - c.a1 * v[i].y1 - c.a2 * v[i].y2 +
                                  kStaticDenormalGuard;
                v[i] = {in, v[i].x1, out, v[i].y1};
                in = out;
            }
            y[ch][n] = in;
        }
        for (int i = 0; i < N; ++i)
            s[ch][i] = v[i];
    }
}
#endif

template <int C>
void runStatic(StaticSection* const* s, int count, const CK_BiQuad& c, const float* const* x, float* const* y,
               int32_t first, int32_t end)
{
    switch (count) {
    case 1: staticCascade<1, C>(s, c, x, y, first, end); break;
    case 2: staticCascade<2, C>(s, c, x, y, first, end); break;
    case 3: staticCascade<3, C>(s, c, x, y, first, end); break;
    case 4: staticCascade<4, C>(s, c, x, y, first, end); break;
    case 5: staticCascade<5, C>(s, c, x, y, first, end); break;
    case 6: staticCascade<6, C>(s, c, x, y, first, end); break;
    case 7: staticCascade<7, C>(s, c, x, y, first, end); break;
    case 8: staticCascade<8, C>(s, c, x, y, first, end); break;
    default: break;
    }
}

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
    StaticSection* const s[1] = {sections};
    const float* const xs[1] = {x};
    float* const ys[1] = {y};
    runStatic<1>(s, count, c, xs, ys, first, end);
}

void runStaticCascadeStereo(StaticSection* a, StaticSection* b, int count, const CK_BiQuad& c, const float* xa,
                            const float* xb, float* ya, float* yb, int32_t first, int32_t end)
{
    StaticSection* const s[2] = {a, b};
    const float* const xs[2] = {xa, xb};
    float* const ys[2] = {ya, yb};
    runStatic<2>(s, count, c, xs, ys, first, end);
}

} // namespace ck_cascade
