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
    // Bilinear transform, prewarped at the crossover frequency, of a squared second-order
    // Butterworth section.
    const double w = 2.0 * kPi * frequencyHz;
    const double k = w / std::tan(kPi * frequencyHz / sampleRateHz);
    const double r = std::sqrt(2.0);
    const double w2 = w * w, w3 = w2 * w, w4 = w2 * w2;
    const double k2 = k * k, k3 = k2 * k, k4 = k2 * k2;
    const double d = k4 + 2.0 * r * w * k3 + 4.0 * w2 * k2 + 2.0 * r * w3 * k + w4;

    a_[0] = 4.0 * (w4 + r * w3 * k - r * w * k3 - k4) / d;
    a_[1] = (6.0 * w4 - 8.0 * w2 * k2 + 6.0 * k4) / d;
    a_[2] = 4.0 * (w4 - r * w3 * k + r * w * k3 - k4) / d;
    a_[3] = (k4 - 2.0 * r * w3 * k + w4 - 2.0 * r * w * k3 + 4.0 * w2 * k2) / d;

    const double lp = w4 / d;
    bl_[0] = lp;
    bl_[1] = 4.0 * lp;
    bl_[2] = 6.0 * lp;
    bl_[3] = 4.0 * lp;
    bl_[4] = lp;

    const double hp = k4 / d;
    bh_[0] = hp;
    bh_[1] = -4.0 * hp;
    bh_[2] = 6.0 * hp;
    bh_[3] = -4.0 * hp;
    bh_[4] = hp;
}

void CrossoverSection4::copyDesign(const CrossoverSection4& other)
{
    std::copy(other.bl_, other.bl_ + 5, bl_);
    std::copy(other.a_, other.a_ + 4, a_);
    std::copy(other.bh_, other.bh_ + 5, bh_);
}

void CrossoverSection4::clear()
{
    x1_ = x2_ = x3_ = x4_ = 0;
    yl1_ = yl2_ = yl3_ = yl4_ = 0;
    yh1_ = yh2_ = yh3_ = yh4_ = 0;
}

inline void CrossoverSection4::step(double x, double& low, double& high)
{
    const double xs1 = x1_, xs2 = x2_, xs3 = x3_, xs4 = x4_;
    low = bl_[0] * x + bl_[1] * xs1 + bl_[2] * xs2 + bl_[3] * xs3 + bl_[4] * xs4
          - a_[0] * yl1_ - a_[1] * yl2_ - a_[2] * yl3_ - a_[3] * yl4_;
    low = flushed(low);
    high = bh_[0] * x + bh_[1] * xs1 + bh_[2] * xs2 + bh_[3] * xs3 + bh_[4] * xs4
           - a_[0] * yh1_ - a_[1] * yh2_ - a_[2] * yh3_ - a_[3] * yh4_;
    high = flushed(high);

    yl4_ = yl3_;
    yl3_ = yl2_;
    yl2_ = yl1_;
    yl1_ = low;
    yh4_ = yh3_;
    yh3_ = yh2_;
    yh2_ = yh1_;
    yh1_ = high;
    x4_ = x3_;
    x3_ = x2_;
    x2_ = x1_;
    x1_ = static_cast<float>(x);
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
