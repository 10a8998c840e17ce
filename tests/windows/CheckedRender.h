// Renders audio through the plug-in with every processing stage switched on, so that the outputs of
// two builds (Linux and Windows) can be compared sample for sample.
#pragma once

#include "host/PluginLibrary.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brelvik::check {

struct StereoAudio {
    int sampleRate = 44100;
    std::vector<float> left;
    std::vector<float> right;

    int64_t frames() const { return static_cast<int64_t>(left.size()); }
};

// Four seconds at 44.1 kHz: bass, mid and treble tones over filtered noise, different on the two
// sides, in half-second sections between -40 and -1 dBFS so that the compressors attack and release.
StereoAudio makeTestSignal();

// 32-bit float WAV files. Reading accepts any mono or stereo file libsndfile reads.
bool writeAudio(const std::string& path, const StereoAudio& audio, std::string& error);
bool readAudio(const std::string& path, StereoAudio& audio, std::string& error);

struct ParameterSetting {
    const char* name; // the parameter's name as the plug-in reports it
    float value;      // normalised
};

// Factory program 0 with all three compressor bands, the EQ (with five non-zero gains), the spatial
// imager in headphone mode and both enhancers and psychoacoustic stages switched on.
const std::vector<ParameterSetting>& everythingOn();

// A new instance of the library's plug-in, set to everythingOn(), renders `input` in blocks of 512
// frames at its sample rate. Answers false with a reason when the plug-in cannot be set up so.
bool renderEverythingOn(const host::PluginLibrary& library, const StereoAudio& input, StereoAudio& output,
                        std::string& error);

struct Difference {
    bool comparable = false;    // same rate and length
    int64_t differing = 0;      // samples that are not bit-identical
    int64_t nonFinite = 0;      // NaN or infinite samples in either
    double largest = 0.0;       // largest absolute difference
    int64_t largestFrame = 0;
    int largestChannel = 0;
};

Difference compareAudio(const StereoAudio& a, const StereoAudio& b);
// "-inf" for zero, else the level in dBFS with one decimal.
std::string dbfs(double linear);

} // namespace brelvik::check
