// First-order high-pass at a few hertz, y[n] = x[n] - x[n-1] + r * y[n-1]: removes the DC that an
// asymmetric wave-shaper puts among its even harmonics, and leaves audible frequencies alone.
#pragma once

#include <cmath>
#include <cstdint>

class CK_DcBlocker {
public:
    static constexpr double kCornerHz = 5.0;
    static constexpr double kTwoPi = 6.283185307179586;

    void setSampleRate(double sampleRate) { pole_ = 1.0 - kTwoPi * kCornerHz / sampleRate; }
    void reset() { lastIn_ = lastOut_ = 0.0; }

    // Below this (-200 dB) the filter's decaying tail is cut to exact silence, so that it settles
    // within a second and never reaches the denormal range.
    static constexpr double kSilence = 1.0e-10;

    // In place over `count` samples. A silent input from a cleared state stays exactly silent.
    void process(float* samples, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            samples[i] = step(samples[i]);
    }

    // Two channels in one pass, each exactly as process() filters it alone; the two recursions
    // overlap, which halves the time a stereo run waits on them.
    static void processPair(CK_DcBlocker& first, float* a, CK_DcBlocker& second, float* b, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            a[i] = first.step(a[i]);
            b[i] = second.step(b[i]);
        }
    }

    // Writes main + the filtered harmonics into out, so the harmonics join the signal in the same pass.
    void addTo(const float* harmonics, const float* main, float* out, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            out[i] = main[i] + step(harmonics[i]);
    }

    // addTo for two channels in one pass.
    static void addPairTo(CK_DcBlocker& first, const float* harmonicsA, const float* mainA, float* outA,
                          CK_DcBlocker& second, const float* harmonicsB, const float* mainB, float* outB,
                          int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            outA[i] = mainA[i] + first.step(harmonicsA[i]);
            outB[i] = mainB[i] + second.step(harmonicsB[i]);
        }
    }

private:
    float step(float sample)
    {
        const double in = sample;
        double out = in - lastIn_ + pole_ * lastOut_;
        out = std::fabs(out) < kSilence ? 0.0 : out;
        lastIn_ = in;
        lastOut_ = out;
        return static_cast<float>(out);
    }

    double pole_ = 1.0 - kTwoPi * kCornerHz / 44100.0;
    double lastIn_ = 0.0;
    double lastOut_ = 0.0;
};
