// Loudness and peak measurement after EBU R 128 / ITU-R BS.1770 (libebur128): integrated
// loudness, loudness range, true peak and sample peak of interleaved float audio.
#pragma once

#include <ebur128.h>

#include <cstddef>
#include <vector>

namespace brelvik::render {

struct LoudnessReport {
    double integratedLufs; // -inf for silence or audio shorter than one 400 ms block
    double rangeLu;        // 0 when there is too little audio to tell
    double truePeakDbtp;   // -inf for silence
    double samplePeakDbfs; // -inf for silence
    double dcDbfs;         // the largest channel mean, -inf when there is none
    double crestDb;        // sample peak over RMS (all channels), 0 for silence
};

class LoudnessMeter {
public:
    // A mono signal counts as dual mono: one channel heard on both speakers, as the render plays
    // it. Throws std::runtime_error when libebur128 refuses the format.
    LoudnessMeter(int channels, int sampleRate);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // Samples that are not finite are counted as silence, so one bad sample does not void the
    // whole measurement.
    void add(const float* interleaved, size_t frames);
    LoudnessReport report() const;

private:
    ebur128_state* state_;
    int channels_;
    std::vector<double> sums_; // per channel, for the DC
    double squares_ = 0.0;     // over all channels, for the RMS
    size_t frames_ = 0;
};

} // namespace brelvik::render
