// One fourth-order Linkwitz-Riley crossover section: a low-pass and a high-pass that share their
// denominator, so that their sum is an all-pass. Coefficients and output histories are double
// precision; the input history is single precision like the samples it stores.
#pragma once

#include <cstdint>

class CrossoverSection4 {
public:
    // Designs the pair for a crossover frequency and sample rate (both in Hz). Only the
    // coefficients change: the histories carry over, so a redesign while audio runs stays smooth.
    // The caller keeps the frequency between 0 and half the sample rate.
    void design(double frequencyHz, double sampleRateHz);
    // Takes the coefficients of another section (designed for the same frequency).
    void copyDesign(const CrossoverSection4& other);
    // Forgets the histories and keeps the coefficients.
    void clear();

    // Splits count samples of `in` into `low` and `high`. Each input sample is read before the
    // outputs of that sample are written, so `low` or `high` may be `in` itself.
    void split(const float* in, float* low, float* high, int32_t count);
    // Passes count samples of `in` through the all-pass (low + high) into `out`, which may be `in`.
    void allpass(const float* in, float* out, int32_t count);

private:
    // Runs both recursions for one sample and shifts the histories.
    void step(double x, double& low, double& high);

    float x1_ = 0, x2_ = 0, x3_ = 0, x4_ = 0;
    double yl1_ = 0, yl2_ = 0, yl3_ = 0, yl4_ = 0;
    double yh1_ = 0, yh2_ = 0, yh3_ = 0, yh4_ = 0;
    double bl_[5] = {};
    double a_[4] = {};
    double bh_[5] = {};
};
