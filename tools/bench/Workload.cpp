#include "tools/bench/Workload.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace brelvik::bench {

namespace {

constexpr double kPi = 3.14159265358979323846;
// RMS levels in dBFS, one per second, cycling.
constexpr double kLevels[] = {-30.0, -18.0, -10.0, -24.0, -8.0, -36.0, -14.0, -20.0};
constexpr double kLoudLevel = -8.0;
constexpr double kRampSeconds = 0.005; // level changes glide with this time constant

class WhiteNoise {
public:
    explicit WhiteNoise(uint32_t seed) : state_(seed) {}
    // Uniform in [-1, 1): RMS 1/sqrt(3).
    double next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ / 2147483648.0 - 1.0;
    }

private:
    uint32_t state_;
};

// One-pole high-pass and two cascaded one-pole low-passes: noise with a programme-like band.
class BandLimit {
public:
    explicit BandLimit(int sampleRate)
        : highPole_(std::exp(-2.0 * kPi * 30.0 / sampleRate)), lowPole_(std::exp(-2.0 * kPi * 12000.0 / sampleRate))
    {
    }
    double process(double x)
    {
        const double high = highPole_ * (highState_ + x - previous_);
        previous_ = x;
        highState_ = high;
        low1_ = (1.0 - lowPole_) * high + lowPole_ * low1_;
        low2_ = (1.0 - lowPole_) * low1_ + lowPole_ * low2_;
        return low2_;
    }

private:
    double highPole_, lowPole_;
    double previous_ = 0.0, highState_ = 0.0, low1_ = 0.0, low2_ = 0.0;
};

template <typename LevelAt>
Workload makeNoise(int sampleRate, double seconds, LevelAt levelAt)
{
    Workload w;
    w.sampleRate = sampleRate;
    const auto frames = static_cast<size_t>(std::llround(seconds * sampleRate));
    std::vector<double> x(frames), y(frames);
    WhiteNoise a(0x2545F491u), b(0x9E3779B9u);
    BandLimit bandA(sampleRate), bandB(sampleRate);
    double power = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        x[i] = bandA.process(a.next());
        y[i] = bandB.process(b.next());
        power += x[i] * x[i];
    }
    const double unitRms = frames > 0 && power > 0.0 ? 1.0 / std::sqrt(power / frames) : 1.0;

    w.left.resize(frames);
    w.right.resize(frames);
    const double smoothing = 1.0 - std::exp(-1.0 / (kRampSeconds * sampleRate));
    double gain = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        const double target = std::pow(10.0, levelAt(i / static_cast<size_t>(sampleRate)) / 20.0) * unitRms;
        gain += (target - gain) * smoothing;
        // Partly correlated channels, like a stereo mix.
        w.left[i] = static_cast<float>(std::clamp(gain * x[i], -0.99, 0.99));
        w.right[i] = static_cast<float>(std::clamp(gain * (0.7 * x[i] + 0.7 * y[i]), -0.99, 0.99));
    }
    return w;
}

} // namespace

Workload makeNoiseWorkload(int sampleRate, double seconds)
{
    constexpr size_t kCount = sizeof kLevels / sizeof kLevels[0];
    return makeNoise(sampleRate, seconds, [](size_t second) { return kLevels[second % kCount]; });
}

Workload makeLoudNoise(int sampleRate, double seconds)
{
    return makeNoise(sampleRate, seconds, [](size_t) { return kLoudLevel; });
}

} // namespace brelvik::bench
