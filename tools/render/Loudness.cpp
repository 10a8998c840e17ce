#include "tools/render/Loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace brelvik::render {

namespace {

double decibels(double linear)
{
    return linear > 0.0 ? 20.0 * std::log10(linear) : -HUGE_VAL;
}

} // namespace

LoudnessMeter::LoudnessMeter(int channels, int sampleRate)
    : state_(ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(sampleRate),
                          EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK | EBUR128_MODE_SAMPLE_PEAK)),
      channels_(channels), sums_(static_cast<size_t>(channels), 0.0)
{
    if (!state_)
        throw std::runtime_error("cannot measure loudness of " + std::to_string(channels) + " channels at " +
                                 std::to_string(sampleRate) + " Hz");
    if (channels == 1)
        ebur128_set_channel(state_, 0, EBUR128_DUAL_MONO);
}

LoudnessMeter::~LoudnessMeter()
{
    ebur128_destroy(&state_);
}

void LoudnessMeter::add(const float* interleaved, size_t frames)
{
    const size_t samples = frames * static_cast<size_t>(channels_);
    for (size_t i = 0; i < samples; ++i) {
        const double v = std::isfinite(interleaved[i]) ? interleaved[i] : 0.0;
        sums_[i % static_cast<size_t>(channels_)] += v;
        squares_ += v * v;
    }
    frames_ += frames;
    if (std::all_of(interleaved, interleaved + samples, [](float v) { return std::isfinite(v); })) {
        ebur128_add_frames_float(state_, interleaved, frames);
        return;
    }
    std::vector<float> cleaned(interleaved, interleaved + samples);
    for (float& v : cleaned)
        if (!std::isfinite(v))
            v = 0.0f;
    ebur128_add_frames_float(state_, cleaned.data(), frames);
}

LoudnessReport LoudnessMeter::report() const
{
    LoudnessReport r{-HUGE_VAL, 0.0, -HUGE_VAL, -HUGE_VAL, -HUGE_VAL, 0.0};
    double value = 0.0;
    if (ebur128_loudness_global(state_, &value) == EBUR128_SUCCESS)
        r.integratedLufs = value;
    if (ebur128_loudness_range(state_, &value) == EBUR128_SUCCESS)
        r.rangeLu = value;
    double truePeak = 0.0, samplePeak = 0.0;
    for (int c = 0; c < channels_; ++c) {
        if (ebur128_true_peak(state_, static_cast<unsigned>(c), &value) == EBUR128_SUCCESS)
            truePeak = std::max(truePeak, value);
        if (ebur128_sample_peak(state_, static_cast<unsigned>(c), &value) == EBUR128_SUCCESS)
            samplePeak = std::max(samplePeak, value);
    }
    r.truePeakDbtp = decibels(truePeak);
    r.samplePeakDbfs = decibels(samplePeak);
    if (frames_ > 0) {
        double dc = 0.0;
        for (double sum : sums_)
            dc = std::max(dc, std::fabs(sum) / static_cast<double>(frames_));
        r.dcDbfs = decibels(dc);
        const double rms = std::sqrt(squares_ / static_cast<double>(frames_ * static_cast<size_t>(channels_)));
        r.crestDb = rms > 0.0 ? decibels(samplePeak / rms) : 0.0;
    }
    return r;
}

} // namespace brelvik::render
