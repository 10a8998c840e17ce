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
        double lastIn = lastIn_, lastOut = lastOut_;
        for (int32_t i = 0; i < count; ++i) {
            const double in = samples[i];
            double out = in - lastIn + pole_ * lastOut;
            out = std::fabs(out) < kSilence ? 0.0 : out;
            lastIn = in;
            lastOut = out;
            samples[i] = static_cast<float>(out);
        }
        lastIn_ = lastIn;
        lastOut_ = lastOut;
    }

    // Two channels in one pass, each exactly as process() filters it alone; the two recursions
    // overlap, which halves the time a stereo run waits on them.
    static void processPair(CK_DcBlocker& first, float* a, CK_DcBlocker& second, float* b, int32_t count)
    {
        double inA = first.lastIn_, outA = first.lastOut_, inB = second.lastIn_, outB = second.lastOut_;
        for (int32_t i = 0; i < count; ++i) {
            const double xA = a[i], xB = b[i];
            double yA = xA - inA + first.pole_ * outA;
            double yB = xB - inB + second.pole_ * outB;
            yA = std::fabs(yA) < kSilence ? 0.0 : yA;
            yB = std::fabs(yB) < kSilence ? 0.0 : yB;
            inA = xA;
            inB = xB;
            outA = yA;
            outB = yB;
            a[i] = static_cast<float>(yA);
            b[i] = static_cast<float>(yB);
        }
        first.lastIn_ = inA;
        first.lastOut_ = outA;
        second.lastIn_ = inB;
        second.lastOut_ = outB;
    }

private:
    double pole_ = 1.0 - kTwoPi * kCornerHz / 44100.0;
    double lastIn_ = 0.0;
    double lastOut_ = 0.0;
};
