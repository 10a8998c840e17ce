// Fourth-order Linkwitz-Riley crossovers: a low-pass and a high-pass whose sum is an all-pass.
// Each is the square of a second-order Butterworth filter, bilinear-transformed with prewarping at
// the crossover frequency, computed in double precision.
//
// The filters run as trapezoidal state-variable stages rather than as one fourth-order recursion:
// the transfer functions are the same, but the state-variable form stays well-behaved while the
// coefficients change. A fourth-order direct form answers a crossover jump from 1 kHz to 100 Hz
// with bursts 80 dB above the signal, which a program change or a quick knob move would produce.
//
// The all-pass (low-pass squared plus high-pass squared) equals the second-order all-pass of the
// same Butterworth prototype, (s^2 - k s + 1) / (s^2 + k s + 1), so it runs as one stage: the
// input minus 2k times the band-pass.
//
// States are not guarded per sample: after each run, a state below 1e-30 is set to zero. A run is
// at most 128 frames (the module buffers' length), and the fastest decay of these stages (pole
// radius 0.414, at a quarter of the sample rate) takes 727 samples from 1e-30 to the denormal
// range, so silence settles to exact zeros without ever passing through denormals.
#pragma once

#include <cstdint>

#include "dsp/kernels/CrossoverKernel.h"

// The coefficients of one crossover frequency.
struct CrossoverDesign {
    // Designs for a crossover frequency and sample rate (both in Hz); the caller keeps the
    // frequency between 0 and half the sample rate.
    void design(double frequencyHz, double sampleRateHz);

    double k = 0;  // damping, sqrt(2) for Butterworth
    double k2 = 0; // 2 k, the band-pass weight of the all-pass
    double a1 = 0; // 1 / (1 + g (g + k)), with g = tan(pi f / fs)
    double a2 = 0; // g a1
    double a3 = 0; // g a2
};

// One crossover section computed sample by sample: the straightforward form of the arithmetic
// that CrossoverBands3 computes for all sections of both channels at once.
class CrossoverSection4 {
public:
    // Designs the pair for a crossover frequency and sample rate (both in Hz). Only the
    // coefficients change: the states carry over, so a redesign while audio runs stays smooth.
    void design(double frequencyHz, double sampleRateHz) { design_.design(frequencyHz, sampleRateHz); }
    // Takes the coefficients of another section (designed for the same frequency).
    void copyDesign(const CrossoverSection4& other) { design_ = other.design_; }
    void setDesign(const CrossoverDesign& d) { design_ = d; }
    // Forgets the filter states and keeps the coefficients.
    void clear();

    // Splits count samples of `in` into `low` and `high`. Each input sample is read before the
    // outputs of that sample are written, so `low` or `high` may be `in` itself.
    void split(const float* in, float* low, float* high, int32_t count);
    // Passes count samples of `in` through the all-pass (low + high) into `out`, which may be `in`.
    void allpass(const float* in, float* out, int32_t count);

private:
    // One trapezoidal state-variable stage: two integrator states.
    struct Stage {
        double s1 = 0, s2 = 0;
    };
    // Runs a stage on one sample: v1 is the band-pass, v2 the low-pass.
    void run(Stage& st, double in, double& v1, double& v2) const;
    void settle();

    CrossoverDesign design_;
    // split: the first stage gives a Butterworth low-pass and high-pass, the second squares the
    // low-pass, the third the high-pass. allpass uses the first stage only.
    Stage first_, lowStage_, highStage_;
};

// The three-band split of one or two channels: a section at the low crossover splits the input;
// a section at the high crossover splits its high output into the mid and high bands; an all-pass
// at the high crossover gives the low band the phase of the other two. All sections run in one
// pass, channel B beside channel A (see ck_crossover).
// Gives bit for bit what the three CrossoverSection4 passes per channel give for the same runs.
class CrossoverBands3 {
public:
    CrossoverBands3();
    void setDesign(const CrossoverDesign& low, const CrossoverDesign& high)
    {
        low_ = low;
        high_ = high;
    }
    void clear();

    // Splits channel A only; channel B's states stay as they are.
    void splitMono(const float* in, float* low, float* mid, float* high, int32_t count);
    // Splits both channels. No output may alias another output or an input.
    void splitStereo(const float* inA, const float* inB, float* const bandsA[3], float* const bandsB[3],
                     int32_t count);
    // Makes splitStereo use the given form of the crossover kernel instead of the fastest one
    // (for tests); false, and no change, when this build does not carry it.
    bool useVariant(CK_KernelVariant variant);

private:
    void settle();

    CrossoverDesign low_, high_;
    // States per stage: [s1 or s2][channel].
    alignas(16) double states_[ck_crossover::kStages][2][2] = {};
    // The stereo form, chosen when the split is made.
    ck_crossover::Routine stereo_;
};
