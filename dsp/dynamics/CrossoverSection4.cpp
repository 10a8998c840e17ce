#include "dsp/dynamics/CrossoverSection4.h"

#include "dsp/kernels/CrossoverKernel.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSettleBelow = 1.0e-30;

inline void settleState(double& s)
{
    if (std::fabs(s) < kSettleBelow)
        s = 0.0;
}

ck_crossover::Coefficients coefficientsOf(const CrossoverDesign& d)
{
    return {d.k, d.k2, d.a1, d.a2, d.a3};
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
    ck_crossover::mono(states_, 0, coefficientsOf(low_), coefficientsOf(high_), in, low, mid, high, count);
    settle();
}

CrossoverBands3::CrossoverBands3() : stereo_(ck_crossover::forms().fastest()) {}

bool CrossoverBands3::useVariant(CK_KernelVariant variant)
{
    const ck_crossover::Routine routine = ck_crossover::forms().of(variant);
    if (routine)
        stereo_ = routine;
    return routine != nullptr;
}

void CrossoverBands3::splitStereo(const float* inA, const float* inB, float* const bandsA[3],
                                  float* const bandsB[3], int32_t count)
{
    stereo_(states_, coefficientsOf(low_), coefficientsOf(high_), inA, inB, bandsA, bandsB, count);
    settle();
}
