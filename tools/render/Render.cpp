#include "tools/render/Render.h"

#include "host/HostedPlugin.h"
#include "tools/render/Progress.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace brelvik::render {

namespace {

void measure(const float* samples, int n, float& peak, int64_t* nonFinite = nullptr)
{
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(samples[i])) {
            if (nonFinite)
                ++*nonFinite;
            continue;
        }
        peak = std::max(peak, std::fabs(samples[i]));
    }
}

// Frames read and written per file access; the plug-in still sees blocks of settings.blockSize.
constexpr int kBlocksPerChunk = 64;

std::unique_ptr<host::HostedPlugin> startPlugin(const host::PluginLibrary& library, int sampleRate,
                                                int blockSize)
{
    host::HostOptions options;
    options.sampleRate = static_cast<float>(sampleRate);
    options.blockSize = blockSize;
    options.offline = true;

    std::string error;
    auto plugin = host::HostedPlugin::load(library, options, error);
    if (!plugin)
        throw std::runtime_error(error);
    const AEffect* effect = plugin->effect();
    if (effect->numInputs != 2 || effect->numOutputs != 2)
        throw std::runtime_error("'" + library.path() + "' has " + std::to_string(effect->numInputs) +
                                 " inputs and " + std::to_string(effect->numOutputs) +
                                 " outputs; only stereo effects can render files");
    plugin->open();
    plugin->setSampleRate(static_cast<float>(sampleRate));
    plugin->setBlockSize(blockSize);
    plugin->resume();
    return plugin;
}

} // namespace

RenderResult renderFile(AudioSource& source, const std::string& sourceName, const std::string& outputPath,
                        const RenderSettings& settings)
{
    const int channels = source.channels();
    if (channels != 1 && channels != 2)
        throw std::runtime_error("'" + sourceName + "' has " + std::to_string(channels) +
                                 " channels; only mono and stereo files can be rendered");

    std::string error;
    auto library = host::PluginLibrary::open(settings.pluginPath, error);
    if (!library)
        throw std::runtime_error(error);
    auto plugin = startPlugin(*library, source.sampleRate(), settings.blockSize);

    RenderResult result;
    result.effectName = plugin->effectName();
    result.channels = channels;
    result.sampleRate = source.sampleRate();
    result.latency = plugin->latency();

    AudioFileWriter writer(outputPath, source.format(), channels, source.sampleRate());

    const int chunk = settings.blockSize * kBlocksPerChunk;
    std::vector<float> inL(chunk), inR(chunk), outL(chunk), outR(chunk), mono(chunk);
    const std::vector<float*> readInto = channels == 2 ? std::vector<float*>{inL.data(), inR.data()}
                                                       : std::vector<float*>{inL.data()};
    Progress progress("rendering " + sourceName, source.frames());

    while (int n = source.read(readInto, chunk)) {
        if (channels == 1)
            std::copy_n(inL.data(), n, inR.data());
        measure(inL.data(), n, result.inputPeak);
        measure(inR.data(), n, result.inputPeak);
        host::renderInBlocks(*plugin, {inL.data(), inR.data()}, {outL.data(), outR.data()}, n,
                             settings.blockSize);
        measure(outL.data(), n, result.outputPeak, &result.nonFinite);
        measure(outR.data(), n, result.outputPeak, &result.nonFinite);
        if (channels == 1) {
            for (int i = 0; i < n; ++i)
                mono[i] = 0.5f * (outL[i] + outR[i]);
            writer.write({mono.data()}, n);
        } else {
            writer.write({outL.data(), outR.data()}, n);
        }
        result.frames += n;
        progress.update(result.frames);
    }

    plugin->suspend();
    plugin->close();
    writer.commit();
    return result;
}

} // namespace brelvik::render
