// Offline rendering of an audio source through a VST 2.4 stereo effect, with the effect's latency
// compensated: the output lines up with the input sample for sample and has its length.
#pragma once

#include "host/HostedPlugin.h"
#include "host/PluginLibrary.h"
#include "tools/render/AudioFile.h"
#include "tools/render/Loudness.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace brelvik::render {

// A plug-in binary loaded as a DAW loads it, with one instance opened at a sample rate and block
// size and not yet resumed: the state in which hosts restore settings.
class EffectInstance {
public:
    // Throws std::runtime_error with the loader's or the plug-in's reason.
    EffectInstance(const std::string& path, int sampleRate, int blockSize);

    host::HostedPlugin& plugin() { return *plugin_; }
    int blockSize() const { return blockSize_; }

private:
    std::unique_ptr<host::PluginLibrary> library_;
    std::unique_ptr<host::HostedPlugin> plugin_; // declared last: closed before the library unloads
    int blockSize_;
};

struct RenderSettings {
    std::string label = "rendering"; // shown in front of the progress bar
    bool progress = true;             // a progress bar on a terminal for renders over a second
    const std::atomic<bool>* cancel = nullptr; // checked between blocks
    int unreportedDelay = 0; // frames of delay beyond the reported latency, removed as well
};

struct RenderCancelled : std::runtime_error {
    RenderCancelled() : std::runtime_error("interrupted; the output was not written") {}
};

struct RenderResult {
    int64_t frames = 0;
    int channels = 0;
    int sampleRate = 0;
    int latency = 0;         // frames the plug-in reports as its latency
    int unreportedDelay = 0; // further frames of delay (look-ahead)
    int delay() const { return latency + unreportedDelay; } // removed from the output
    LoudnessReport input{};
    LoudnessReport output{};
    int64_t nonFinite = 0; // NaN or infinite samples the plug-in produced
};

// Resumes the instance, renders the whole source into the sink and suspends it again. Mono
// sources feed both plug-in inputs and get the mean of both outputs back; sources with more than
// two channels are refused. The plug-in sees blocks of the instance's block size over the source
// followed by as many frames of silence as the whole delay, so the sink receives exactly the
// source's length.
// Throws std::runtime_error with a one-line reason.
RenderResult renderStream(EffectInstance& effect, AudioSource& source, AudioSink& sink,
                          const RenderSettings& settings = {});

} // namespace brelvik::render
