// Offline rendering of an audio source through a VST 2.4 stereo effect into an audio file.
#pragma once

#include "tools/render/AudioFile.h"

#include <cstdint>
#include <string>

namespace brelvik::render {

struct RenderSettings {
    std::string pluginPath;
    int blockSize = 512;
};

struct RenderResult {
    std::string effectName;
    int64_t frames = 0;
    int channels = 0;
    int sampleRate = 0;
    int latency = 0; // samples the output is delayed by
    float inputPeak = 0.0f;  // largest absolute sample, linear
    float outputPeak = 0.0f; // largest finite absolute sample written, linear
    int64_t nonFinite = 0;   // NaN or infinite samples the plug-in produced
};

// Mono sources feed both plug-in inputs and get the mean of both outputs back; sources with more
// than two channels are refused. The output has the source's channel count, rate and format and
// replaces `outputPath` only once complete. Throws std::runtime_error with a one-line reason.
RenderResult renderFile(AudioSource& source, const std::string& sourceName, const std::string& outputPath,
                        const RenderSettings& settings);

} // namespace brelvik::render
