#include "dsp/dynamics/CrossoverSection4.h"

#include "dsp/dynamics/CrossoverPipeline.h"
#include "dsp/dynamics/CrossoverWide.h"
#include "platform/CpuFeatures.h"

#include <cmath>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSettleBelow = 1.0e-30;

inline void settleState(double& s)
{
    if (std::fabs(s) < kSettleBelow)
        s = 0.0;
}

// The two channels side by side. Each operation works lane by lane with the same IEEE double
// arithmetic as the scalar form, so both give identical bits.
#if defined(__SSE2__)
struct Pair {
    __m128d v;
};
inline Pair operator+(Pair x, Pair y) { return {_mm_add_pd(x.v, y.v)}; }
inline Pair operator-(Pair x, Pair y) { return {_mm_sub_pd(x.v, y.v)}; }
inline Pair operator*(Pair x, Pair y) { return {_mm_mul_pd(x.v, y.v)}; }
inline Pair broadcast(double x) { return {_mm_set1_pd(x)}; }
inline Pair loadPair(const double* p) { return {_mm_load_pd(p)}; }
inline void storePair(double* p, Pair x) { _mm_store_pd(p, x.v); }
inline Pair loadFloats(const float* a, const float* b)
{
    return {_mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(a), _mm_load_ss(b)))};
}
inline void storeFloats(float* a, float* b, Pair x)
{
    const __m128 f = _mm_cvtpd_ps(x.v);
    _mm_store_ss(a, f);
    _mm_store_ss(b, _mm_shuffle_ps(f, f, 1));
}
inline Pair roundedToFloat(Pair x) { return {_mm_cvtps_pd(_mm_cvtpd_ps(x.v))}; }
#else
struct Pair {
    double a, b;
};
inline Pair operator+(Pair x, Pair y) { return {x.a + y.a, x.b + y.b}; }
inline Pair operator-(Pair x, Pair y) { return {x.a - y.a, x.b - y.b}; }
inline Pair operator*(Pair x, Pair y) { return {x.a * y.a, x.b * y.b}; }
inline Pair broadcast(double x) { return {x, x}; }
inline Pair loadPair(const double* p) { return {p[0], p[1]}; }
inline void storePair(double* p, Pair x)
{
    p[0] = x.a;
    p[1] = x.b;
}
inline Pair loadFloats(const float* a, const float* b) { return {*a, *b}; }
inline void storeFloats(float* a, float* b, Pair x)
{
    *a = static_cast<float>(x.a);
    *b = static_cast<float>(x.b);
}
inline Pair roundedToFloat(Pair x)
{
    return {static_cast<float>(x.a), static_cast<float>(x.b)};
}
#endif

inline double roundedToFloat(double x) { return static_cast<float>(x); }

template <class V>
struct Lanes {
    V k, k2, a1, a2, a3, two;
};

inline Lanes<double> lanesOf(const CrossoverDesign& d, double)
{
    return {d.k, d.k2, d.a1, d.a2, d.a3, 2.0};
}

inline Lanes<Pair> lanesOf(const CrossoverDesign& d, Pair)
{
    return {broadcast(d.k), broadcast(d.k2), broadcast(d.a1), broadcast(d.a2), broadcast(d.a3), broadcast(2.0)};
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

void CrossoverDesign::design(double frequencyHz, double sampleRateHz)
{
    const double g = std::tan(kPi * frequencyHz / sampleRateHz);
    k = std::sqrt(2.0);
    k2 = 2.0 * k;
    a1 = 1.0 / (1.0 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

void CrossoverSection4::clear()
{
    first_ = Stage{};
    lowStage_ = Stage{};
    highStage_ = Stage{};
}

inline void CrossoverSection4::run(Stage& st, double in, double& v1, double& v2) const
{
    const double v3 = in - st.s2;
    v1 = design_.a1 * st.s1 + design_.a2 * v3;
    v2 = st.s2 + design_.a2 * st.s1 + design_.a3 * v3;
    st.s1 = 2.0 * v1 - st.s1;
    st.s2 = 2.0 * v2 - st.s2;
}

void CrossoverSection4::settle()
{
    for (Stage* st : {&first_, &lowStage_, &highStage_}) {
        settleState(st->s1);
        settleState(st->s2);
    }
}

void CrossoverSection4::split(const float* in, float* low, float* high, int32_t count)
{
    const double k = design_.k;
    for (int32_t i = 0; i < count; ++i) {
        const double x = in[i];
        double v1, v2;
        run(first_, x, v1, v2);
        const double lp = v2;
        const double hp = x - k * v1 - v2;
        run(lowStage_, lp, v1, v2);
        const double l = v2;
        run(highStage_, hp, v1, v2);
        const double h = hp - k * v1 - v2;
        low[i] = static_cast<float>(l);
        high[i] = static_cast<float>(h);
    }
    settle();
}

void CrossoverSection4::allpass(const float* in, float* out, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        const double x = in[i];
        double v1, v2;
        run(first_, x, v1, v2);
        out[i] = static_cast<float>(x - design_.k2 * v1);
    }
    settle();
}

void CrossoverBands3::clear()
{
    for (auto& stage : states_)
        for (auto& state : stage)
            state[0] = state[1] = 0.0;
}

void CrossoverBands3::settle()
{
    for (auto& stage : states_)
        for (auto& state : stage)
            for (double& s : state)
                settleState(s);
}

void CrossoverBands3::splitMono(const float* in, float* low, float* mid, float* high, int32_t count)
{
    const Lanes<double> lo = lanesOf(low_, 0.0), hi = lanesOf(high_, 0.0);
    StageState<double> st[kStages];
    for (int s = 0; s < kStages; ++s)
        st[s] = {states_[s][0][0], states_[s][1][0]};
    float* const bands[3] = {low, mid, high};
    splitFrames(
        st, lo, hi, count, [&](int32_t i) { return static_cast<double>(in[i]); },
        [&](int32_t i, int band, double v) { bands[band][i] = static_cast<float>(v); });
    for (int s = 0; s < kStages; ++s) {
        states_[s][0][0] = st[s].s1;
        states_[s][1][0] = st[s].s2;
    }
    settle();
}

CrossoverBands3::CrossoverBands3() : wide_(ck_wideRegistersAvailable()) {}

void CrossoverBands3::allowWideRegisters(bool allowed)
{
    wide_ = allowed && ck_wideRegistersAvailable();
}

void CrossoverBands3::splitStereo(const float* inA, const float* inB, float* const bandsA[3],
                                  float* const bandsB[3], int32_t count)
{
#if defined(BRELVIK_WIDE_KERNELS)
    if (wide_) {
        const auto coefficients = [](const CrossoverDesign& d) {
            return ck_crossover_wide::Coefficients{d.k, d.k2, d.a1, d.a2, d.a3};
        };
        ck_crossover_wide::splitStereo(states_, coefficients(low_), coefficients(high_), inA, inB, bandsA, bandsB,
                                       count);
        settle();
        return;
    }
#endif
    const Lanes<Pair> lo = lanesOf(low_, Pair{}), hi = lanesOf(high_, Pair{});
    StageState<Pair> st[kStages];
    for (int s = 0; s < kStages; ++s)
        st[s] = {loadPair(states_[s][0]), loadPair(states_[s][1])};
    splitFrames(
        st, lo, hi, count, [&](int32_t i) { return loadFloats(inA + i, inB + i); },
        [&](int32_t i, int band, Pair v) { storeFloats(bandsA[band] + i, bandsB[band] + i, v); });
    for (int s = 0; s < kStages; ++s) {
        storePair(states_[s][0], st[s].s1);
        storePair(states_[s][1], st[s].s2);
    }
    settle();
}
