// The crossover split compiled for AVX-512: the same double operations per value as the SSE2
// form, four values to a register (two channels of two stages) instead of two.
#include "dsp/kernels/CrossoverKernel.h"

#if defined(__AVX512VL__)
#include <immintrin.h>

#include "dsp/kernels/CrossoverPipeline.h"

namespace ck_crossover {
namespace {

// Stage coefficients per lane.
struct Lanes {
    __m256d k, a1, a2, a3, two;
};

struct State {
    __m256d s1, s2;
};

// The first stage alone: channel A and B in one 128-bit register.
struct FirstStage {
    __m128d s1, s2;
};

Lanes lanes(const Coefficients& lowHalf, const Coefficients& highHalf)
{
    return {_mm256_setr_pd(lowHalf.k, lowHalf.k, highHalf.k, highHalf.k),
            _mm256_setr_pd(lowHalf.a1, lowHalf.a1, highHalf.a1, highHalf.a1),
            _mm256_setr_pd(lowHalf.a2, lowHalf.a2, highHalf.a2, highHalf.a2),
            _mm256_setr_pd(lowHalf.a3, lowHalf.a3, highHalf.a3, highHalf.a3), _mm256_set1_pd(2.0)};
}

// One trapezoidal state-variable stage, as in the two-lane form: v1 band-pass, v2 low-pass.
inline void runStage(State& st, __m256d in, const Lanes& c, __m256d& v1, __m256d& v2)
{
    const __m256d v3 = _mm256_sub_pd(in, st.s2);
    v1 = _mm256_add_pd(_mm256_mul_pd(c.a1, st.s1), _mm256_mul_pd(c.a2, v3));
    v2 = _mm256_add_pd(_mm256_add_pd(st.s2, _mm256_mul_pd(c.a2, st.s1)), _mm256_mul_pd(c.a3, v3));
    st.s1 = _mm256_sub_pd(_mm256_mul_pd(c.two, v1), st.s1);
    st.s2 = _mm256_sub_pd(_mm256_mul_pd(c.two, v2), st.s2);
}

inline void runFirstStage(FirstStage& st, __m128d in, const Coefficients& c, __m128d& v1, __m128d& v2)
{
    const __m128d a1 = _mm_set1_pd(c.a1), a2 = _mm_set1_pd(c.a2), a3 = _mm_set1_pd(c.a3), two = _mm_set1_pd(2.0);
    const __m128d v3 = _mm_sub_pd(in, st.s2);
    v1 = _mm_add_pd(_mm_mul_pd(a1, st.s1), _mm_mul_pd(a2, v3));
    v2 = _mm_add_pd(_mm_add_pd(st.s2, _mm_mul_pd(a2, st.s1)), _mm_mul_pd(a3, v3));
    st.s1 = _mm_sub_pd(_mm_mul_pd(two, v1), st.s1);
    st.s2 = _mm_sub_pd(_mm_mul_pd(two, v2), st.s2);
}

// in - k v1 - v2, lane by lane.
inline __m256d highPass(__m256d in, const Lanes& c, __m256d v1, __m256d v2)
{
    return _mm256_sub_pd(_mm256_sub_pd(in, _mm256_mul_pd(c.k, v1)), v2);
}

inline __m256d roundedToFloat(__m256d x)
{
    return _mm256_cvtps_pd(_mm256_cvtpd_ps(x));
}

inline void storeTwo(float* a, float* b, __m128 f)
{
    _mm_store_ss(a, f);
    _mm_store_ss(b, _mm_shuffle_ps(f, f, 1));
}

} // namespace

void wide(double (*states)[2][2], const Coefficients& low, const Coefficients& high, const float* inA,
          const float* inB, float* const bandsA[3], float* const bandsB[3], int32_t count)
{
    // Registers pair stages that share a pipeline step, channel A and B side by side in each half:
    // the first stage alone (in a 128-bit register), the low crossover's squaring stages 1 and 2, the
    // low band's all-pass 6 with the high crossover's first stage 3, and its squaring stages 4
    // and 5. Each group works a frame behind the group feeding it, so no frame waits on the whole
    // chain of stages.
    enum { kFirst = 0, kLowSquare = 1, kHighSquare = 4, kAllpass = 6, kHighFirst = 3 };
    const auto load = [&](int a, int b) {
        return State{_mm256_setr_pd(states[a][0][0], states[a][0][1], states[b][0][0], states[b][0][1]),
                     _mm256_setr_pd(states[a][1][0], states[a][1][1], states[b][1][0], states[b][1][1])};
    };
    const auto store = [&](const State& st, int a, int b) {
        alignas(32) double s1[4], s2[4];
        _mm256_store_pd(s1, st.s1);
        _mm256_store_pd(s2, st.s2);
        states[a][0][0] = s1[0];
        states[a][0][1] = s1[1];
        states[a][1][0] = s2[0];
        states[a][1][1] = s2[1];
        states[b][0][0] = s1[2];
        states[b][0][1] = s1[3];
        states[b][1][0] = s2[2];
        states[b][1][1] = s2[3];
    };
    FirstStage first{_mm_loadu_pd(states[kFirst][0]), _mm_loadu_pd(states[kFirst][1])};
    State lowSquares = load(kLowSquare, kLowSquare + 1);
    State splits = load(kAllpass, kHighFirst), highSquares = load(kHighSquare, kHighSquare + 1);
    const Lanes lo = lanes(low, low), hi = lanes(high, high);
    // The all-pass takes the high crossover's band-pass weight k2 and no low-pass term.
    const Lanes splitLanes = lanes({high.k2, 0, high.a1, high.a2, high.a3}, high);

    float* const lowA = bandsA[0];
    float* const midA = bandsA[1];
    float* const highA = bandsA[2];
    float* const lowB = bandsB[0];
    float* const midB = bandsB[1];
    float* const highB = bandsB[2];

    // Values handed from one group to the next, one step later.
    __m256d lowInputs = _mm256_setzero_pd();  // low-pass and high-pass of the first stage
    __m256d splitInputs = _mm256_setzero_pd(); // low and high split, rounded to floats
    __m256d highInputs = _mm256_setzero_pd();  // low-pass and high-pass of stage 3

    const auto step = [&](int32_t t, auto checked) {
        const auto runs = [&](int32_t delay) {
            return !decltype(checked)::value || (t - delay >= 0 && t - delay < count);
        };
        __m256d v1, v2;
        if (runs(3)) {
            runStage(highSquares, highInputs, hi, v1, v2);
            // Mid band: stage 4's low-pass; high band: stage 5's high-pass.
            const __m256d bands = _mm256_blend_pd(v2, highPass(highInputs, hi, v1, v2), 0xC);
            const __m128 f = _mm256_cvtpd_ps(bands);
            const int32_t i = t - 3;
            storeTwo(midA + i, midB + i, f);
            storeTwo(highA + i, highB + i, _mm_movehl_ps(f, f));
        }
        if (runs(2)) {
            runStage(splits, splitInputs, splitLanes, v1, v2);
            // Low half: the all-pass output split - k2 v1; high half: split - k v1, then - v2 for
            // the high-pass that feeds stages 4 and 5 with the low-pass v2.
            const __m256d t1 = _mm256_sub_pd(splitInputs, _mm256_mul_pd(splitLanes.k, v1));
            const int32_t i = t - 2;
            storeTwo(lowA + i, lowB + i, _mm256_cvtpd_ps(t1));
            highInputs = _mm256_permute2f128_pd(v2, _mm256_sub_pd(t1, v2), 0x31);
        }
        if (runs(1)) {
            runStage(lowSquares, lowInputs, lo, v1, v2);
            // Low split: stage 1's low-pass; high split: stage 2's high-pass; both as floats.
            splitInputs = roundedToFloat(_mm256_blend_pd(v2, highPass(lowInputs, lo, v1, v2), 0xC));
        }
        if (runs(0)) {
            const __m128d in = _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(inA + t), _mm_load_ss(inB + t)));
            __m128d w1, w2;
            runFirstStage(first, in, low, w1, w2);
            const __m128d hp = _mm_sub_pd(_mm_sub_pd(in, _mm_mul_pd(_mm_set1_pd(low.k), w1)), w2);
            lowInputs = _mm256_insertf128_pd(_mm256_castpd128_pd256(w2), hp, 1);
        }
    };
    ck_runPipelined<3>(count, step);

    _mm_storeu_pd(states[kFirst][0], first.s1);
    _mm_storeu_pd(states[kFirst][1], first.s2);
    store(lowSquares, kLowSquare, kLowSquare + 1);
    store(splits, kAllpass, kHighFirst);
    store(highSquares, kHighSquare, kHighSquare + 1);
}

} // namespace ck_crossover

#endif
