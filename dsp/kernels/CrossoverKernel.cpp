#include "dsp/kernels/CrossoverKernel.h"

#include <emmintrin.h>

#include "dsp/kernels/CrossoverPipeline.h"

namespace ck_crossover {
namespace {

// The two channels side by side in the lanes of an SSE2 register. Each operation works lane by
// lane with the same IEEE double arithmetic as one channel in plain doubles, so both give
// identical bits.
struct Sse2Pair {
    __m128d v;

    static Sse2Pair broadcast(double x) { return {_mm_set1_pd(x)}; }
    // p is 16-byte aligned.
    static Sse2Pair load(const double* p) { return {_mm_load_pd(p)}; }
    static Sse2Pair loadFloats(const float* a, const float* b)
    {
        return {_mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(a), _mm_load_ss(b)))};
    }
};
inline Sse2Pair operator+(Sse2Pair x, Sse2Pair y) { return {_mm_add_pd(x.v, y.v)}; }
inline Sse2Pair operator-(Sse2Pair x, Sse2Pair y) { return {_mm_sub_pd(x.v, y.v)}; }
inline Sse2Pair operator*(Sse2Pair x, Sse2Pair y) { return {_mm_mul_pd(x.v, y.v)}; }
inline void store(double* p, Sse2Pair x) { _mm_store_pd(p, x.v); }
inline void storeFloats(float* a, float* b, Sse2Pair x)
{
    const __m128 f = _mm_cvtpd_ps(x.v);
    _mm_store_ss(a, f);
    _mm_store_ss(b, _mm_shuffle_ps(f, f, 1));
}
inline Sse2Pair roundedToFloat(Sse2Pair x) { return {_mm_cvtps_pd(_mm_cvtpd_ps(x.v))}; }

inline double roundedToFloat(double x) { return static_cast<float>(x); }

template <class V>
struct Lanes {
    V k, k2, a1, a2, a3, two;
};

inline Lanes<double> lanesOf(const Coefficients& d, double)
{
    return {d.k, d.k2, d.a1, d.a2, d.a3, 2.0};
}

inline Lanes<Sse2Pair> lanesOf(const Coefficients& d, Sse2Pair)
{
    using Pair = Sse2Pair;
    return {Pair::broadcast(d.k), Pair::broadcast(d.k2), Pair::broadcast(d.a1), Pair::broadcast(d.a2),
            Pair::broadcast(d.a3), Pair::broadcast(2.0)};
}

template <class V>
struct StageState {
    V s1, s2;
};

// One trapezoidal state-variable stage on one sample: v1 is the band-pass, v2 the low-pass, and
// the high-pass is what remains of the input, in - k v1 - v2.
template <class V>
inline void runStage(StageState<V>& st, V in, const Lanes<V>& c, V& v1, V& v2)
{
    const V v3 = in - st.s2;
    v1 = c.a1 * st.s1 + c.a2 * v3;
    v2 = st.s2 + c.a2 * st.s1 + c.a3 * v3;
    st.s1 = c.two * v1 - st.s1;
    st.s2 = c.two * v2 - st.s2;
}

// The three bands, frame by frame, in the order and precision of the section passes: the outputs
// of one section reach the next as floats, as through the module's buffers. Within a frame the
// stages form a chain of four; run as written, each frame would wait on that whole chain. So the
// stages go in four groups, each a frame behind the one feeding it: at step t the first stage
// takes frame t, the squaring stages of the low crossover frame t - 1, the high crossover's first
// stage and the all-pass frame t - 2, its squaring stages frame t - 3. Every stage still sees its
// frames in order with the same operations, so the bands come out bit for bit the same.
template <class V, class Load, class Store>
inline void splitFrames(StageState<V>* st, const Lanes<V>& lo, const Lanes<V>& hi, int32_t count, Load load,
                        Store store)
{
    V lp1{}, hp1{}, lowSplit{}, highSplit{}, lp2{}, hp2{};
    // Later groups go first, so each takes its input before the group feeding it overwrites it.
    const auto step = [&](int32_t t, auto checked) {
        const auto runs = [&](int32_t delay) {
            return !decltype(checked)::value || (t - delay >= 0 && t - delay < count);
        };
        V v1, v2;
        if (runs(3)) {
            runStage(st[4], lp2, hi, v1, v2);
            const V mid = v2;
            runStage(st[5], hp2, hi, v1, v2);
            store(t - 3, 1, mid);
            store(t - 3, 2, hp2 - hi.k * v1 - v2);
        }
        if (runs(2)) {
            runStage(st[3], highSplit, hi, v1, v2);
            lp2 = v2;
            hp2 = highSplit - hi.k * v1 - v2;
            runStage(st[6], lowSplit, hi, v1, v2);
            store(t - 2, 0, lowSplit - hi.k2 * v1);
        }
        if (runs(1)) {
            runStage(st[1], lp1, lo, v1, v2);
            lowSplit = roundedToFloat(v2);
            runStage(st[2], hp1, lo, v1, v2);
            highSplit = roundedToFloat(hp1 - lo.k * v1 - v2);
        }
        if (runs(0)) {
            const V x = load(t);
            runStage(st[0], x, lo, v1, v2);
            lp1 = v2;
            hp1 = x - lo.k * v1 - v2;
        }
    };
    ck_runPipelined<3>(count, step);
}

} // namespace

void mono(double (*states)[2][2], int channel, const Coefficients& low, const Coefficients& high, const float* in,
          float* bandLow, float* bandMid, float* bandHigh, int32_t count)
{
    const Lanes<double> lo = lanesOf(low, 0.0), hi = lanesOf(high, 0.0);
    StageState<double> st[kStages];
    for (int s = 0; s < kStages; ++s)
        st[s] = {states[s][0][channel], states[s][1][channel]};
    float* const bands[3] = {bandLow, bandMid, bandHigh};
    splitFrames(
        st, lo, hi, count, [&](int32_t i) { return static_cast<double>(in[i]); },
        [&](int32_t i, int band, double v) { bands[band][i] = static_cast<float>(v); });
    for (int s = 0; s < kStages; ++s) {
        states[s][0][channel] = st[s].s1;
        states[s][1][channel] = st[s].s2;
    }
}

void reference(double (*states)[2][2], const Coefficients& low, const Coefficients& high, const float* inA,
               const float* inB, float* const bandsA[3], float* const bandsB[3], int32_t count)
{
    mono(states, 0, low, high, inA, bandsA[0], bandsA[1], bandsA[2], count);
    mono(states, 1, low, high, inB, bandsB[0], bandsB[1], bandsB[2], count);
}

void sse2(double (*states)[2][2], const Coefficients& low, const Coefficients& high, const float* inA,
          const float* inB, float* const bandsA[3], float* const bandsB[3], int32_t count)
{
    using Pair = Sse2Pair;
    const Lanes<Pair> lo = lanesOf(low, Pair{}), hi = lanesOf(high, Pair{});
    StageState<Pair> st[kStages];
    for (int s = 0; s < kStages; ++s)
        st[s] = {Pair::load(states[s][0]), Pair::load(states[s][1])};
    splitFrames(
        st, lo, hi, count, [&](int32_t i) { return Pair::loadFloats(inA + i, inB + i); },
        [&](int32_t i, int band, Pair v) { storeFloats(bandsA[band] + i, bandsB[band] + i, v); });
    for (int s = 0; s < kStages; ++s) {
        store(states[s][0], st[s].s1);
        store(states[s][1], st[s].s2);
    }
}

const CK_KernelForms<Routine>& forms()
{
    static const CK_KernelForms<Routine> kForms{&reference, &sse2, CK_WIDE_FORM(wide)};
    return kForms;
}

} // namespace ck_crossover
