// The spectrum of a 1024-sample capture for display: Hann window, FFT, magnitudes per bin and
// per 1/48-octave band from 20 Hz, in display dB (quiet values compressed, each smoothed over
// successive captures).
#pragma once

#include <complex>
#include <vector>

class CK_SpectrumAnalyser {
public:
    static constexpr int kSize = 1024;
    static constexpr int kBins = kSize / 2;
    static constexpr int kBands = 480;
    static constexpr float kOctaves = 10.0f;
    static constexpr float kLowestHz = 20.0f;

    CK_SpectrumAnalyser();

    // Analyses kSize samples; with `bands` the band levels are updated too.
    void analyse(const float* samples, float sampleRate, bool bands);
    float binDb(int bin) const { return binDb_[static_cast<size_t>(bin)]; }
    float bandDb(int band) const { return bandDb_[static_cast<size_t>(band)]; }
    float magnitude(int bin) const { return magnitude_[static_cast<size_t>(bin)]; }

private:
    void transform();
    float integrate(float from, float to) const;

    std::vector<float> window_;
    std::vector<std::complex<float>> work_;
    std::vector<std::complex<float>> twiddle_;
    std::vector<float> magnitude_; // kBins + 1: the Nyquist term last
    std::vector<float> binDb_;
    std::vector<float> bandDb_;
};
