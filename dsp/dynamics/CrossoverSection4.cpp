#include "dsp/dynamics/CrossoverSection4.h"

#include <algorithm>
#include <cmath>

namespace {

// Adding and subtracting this flushes vanishing filter values to zero instead of letting them
// decay through the denormal range.
constexpr double kDenormalGuard = static_cast<double>(1.0e-18f);
constexpr double kPi = 3.14159265358979323846;

inline double flushed(double v)
{
    return (v + kDenormalGuard) - kDenormalGuard;
}

} // namespace

void CrossoverSection4::design(double frequencyHz, double sampleRateHz)
{
    const double g = std::tan(kPi * frequencyHz / sampleRateHz);
    k_ = std::sqrt(2.0);
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

void CrossoverSection4::copyDesign(const CrossoverSection4& other)
{
    k_ = other.k_;
    a1_ = other.a1_;
    a2_ = other.a2_;
    a3_ = other.a3_;
}

void CrossoverSection4::clear()
{
    first_ = Stage{};
    lowStage_ = Stage{};
    highStage_ = Stage{};
}

inline void CrossoverSection4::step(double x, double& low, double& high)
{
    // Trapezoidal integration of a state-variable filter: v1 is the band-pass, v2 the low-pass,
    // and the high-pass is what remains of the input.
    auto run = [this](Stage& st, double in, double& lp, double& hp) {
        const double v3 = in - st.s2;
        const double v1 = a1_ * st.s1 + a2_ * v3;
        const double v2 = st.s2 + a2_ * st.s1 + a3_ * v3;
        st.s1 = flushed(2.0 * v1 - st.s1);
        st.s2 = flushed(2.0 * v2 - st.s2);
        lp = v2;
        hp = in - k_ * v1 - v2;
    };
    double lp1, hp1, unused;
    run(first_, x, lp1, hp1);
    run(lowStage_, lp1, low, unused);
    run(highStage_, hp1, unused, high);
    low = flushed(low);
    high = flushed(high);
}

void CrossoverSection4::split(const float* in, float* low, float* high, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        double l, h;
        step(in[i], l, h);
        low[i] = static_cast<float>(l);
        high[i] = static_cast<float>(h);
    }
}

void CrossoverSection4::allpass(const float* in, float* out, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        double l, h;
        step(in[i], l, h);
        out[i] = static_cast<float>(l + h);
    }
}
