#include "dsp/kernels/EqCascadeKernel.h"

#include <emmintrin.h>

namespace ck_eq_cascade {
namespace {

using ck_cascade::kEqDenormalGuard;

// The bands run skewed: at step t band k filters frame t - k, so within a step the bands do not
// wait for each other (band k takes what band k - 1 produced one step earlier) and their
// recursions overlap; in the SSE2 form two bands share each packed double operation. Each band still
// sees its frames in order, with its own history and the same operations as on its own.
template <int N, bool Packed>
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
    if constexpr (Packed) {
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
    } else {
        for (; t < end; ++t) {
#pragma GCC unroll 8
            for (int b = N - 1; b >= 0; --b)
                band(b, b == 0 ? x[t] : carry[b - 1]);
            y[t - (N - 1)] = carry[N - 1];
        }
    }
    for (; t < last; ++t)
        partialStep(t);
    for (int b = 0; b < N; ++b)
        *states[b] = EqState{static_cast<float>(x1[b]), static_cast<float>(x2[b]), y1[b], y2[b]};
}

template <bool Packed>
void eqCascadeOf(EqState* const* states, const EqCoefficients* coefficients, int bands, const float* x, float* y,
                 int32_t first, int32_t end)
{
    switch (bands) {
    case 1: eqCascade<1, Packed>(states, coefficients, x, y, first, end); break;
    case 2: eqCascade<2, Packed>(states, coefficients, x, y, first, end); break;
    case 3: eqCascade<3, Packed>(states, coefficients, x, y, first, end); break;
    case 4: eqCascade<4, Packed>(states, coefficients, x, y, first, end); break;
    case 5: eqCascade<5, Packed>(states, coefficients, x, y, first, end); break;
    default: break;
    }
}

} // namespace

void reference(EqState* const* states, const EqCoefficients* coefficients, int bands, const float* x, float* y,
               int32_t first, int32_t end)
{
    eqCascadeOf<false>(states, coefficients, bands, x, y, first, end);
}

void sse2(EqState* const* states, const EqCoefficients* coefficients, int bands, const float* x, float* y,
          int32_t first, int32_t end)
{
    eqCascadeOf<true>(states, coefficients, bands, x, y, first, end);
}

} // namespace ck_eq_cascade
