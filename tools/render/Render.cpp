#include "tools/render/Render.h"

#include "tools/render/Progress.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace brelvik::render {

namespace {

// Frames read and written per file access; the plug-in still sees blocks of the block size.
constexpr int kBlocksPerChunk = 64;

int64_t countNonFinite(const float* samples, int n)
{
    int64_t count = 0;
    for (int i = 0; i < n; ++i)
        count += !std::isfinite(samples[i]);
    return count;
}

void interleave(const std::vector<const float*>& planar, int frames, std::vector<float>& out)
{
    const size_t channels = planar.size();
    out.resize(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (size_t c = 0; c < channels; ++c)
            out[static_cast<size_t>(i) * channels + c] = planar[c][i];
}

} // namespace

EffectInstance::EffectInstance(const std::string& path, int sampleRate, int blockSize) : blockSize_(blockSize)
{
    if (blockSize <= 0)
        throw std::runtime_error("the block size must be positive");
    std::string error;
    library_ = host::PluginLibrary::open(path, error);
    if (!library_)
        throw std::runtime_error(error);

    host::HostOptions options;
    options.sampleRate = static_cast<float>(sampleRate);
    options.blockSize = blockSize;
    options.offline = true;
    plugin_ = host::HostedPlugin::load(*library_, options, error);
    if (!plugin_)
        throw std::runtime_error(error);
    plugin_->open();
    plugin_->setSampleRate(static_cast<float>(sampleRate));
    plugin_->setBlockSize(blockSize);
}

RenderResult renderStream(EffectInstance& effect, AudioSource& source, AudioSink& sink,
                          const RenderSettings& settings)
{
    host::HostedPlugin& plugin = effect.plugin();
    const int channels = source.channels();
    if (channels != 1 && channels != 2)
        throw std::runtime_error("the input has " + std::to_string(channels) +
                                 " channels; only mono and stereo files can be rendered");
    const AEffect* info = plugin.effect();
    if (info->numInputs != 2 || info->numOutputs != 2)
        throw std::runtime_error("the plug-in has " + std::to_string(info->numInputs) + " inputs and " +
                                 std::to_string(info->numOutputs) + " outputs; only stereo effects can render files");

    RenderResult result;
    result.channels = channels;
    result.sampleRate = source.sampleRate();

    plugin.resume();
    // Plug-ins report their latency when resumed.
    result.latency = std::max(0, plugin.latency());
    result.unreportedDelay = std::max(0, settings.unreportedDelay);
    const int latency = result.delay();

    const int blockSize = effect.blockSize();
    const int chunk = blockSize * kBlocksPerChunk;
    std::vector<float> inL(chunk), inR(chunk), outL(chunk), outR(chunk), mono(chunk);
    std::vector<float> interleaved;
    const std::vector<float*> readInto = channels == 2 ? std::vector<float*>{inL.data(), inR.data()}
                                                       : std::vector<float*>{inL.data()};
    LoudnessMeter inputMeter(channels, result.sampleRate);
    LoudnessMeter outputMeter(channels, result.sampleRate);
    Progress progress(settings.label, source.frames(), result.sampleRate, settings.progress);

    int64_t framesRead = 0; // input frames taken from the source
    int64_t fed = 0;        // frames given to the plug-in: the input, then the silent tail
    int64_t tailLeft = latency;
    bool sourceDone = false;
    for (;;) {
        if (settings.cancel && settings.cancel->load())
            throw RenderCancelled();

        int got = 0;
        while (!sourceDone && got < chunk) {
            std::vector<float*> at(readInto);
            for (float*& p : at)
                p += got;
            const int n = source.read(at, chunk - got);
            sourceDone = n == 0;
            got += n;
        }
        // Once the input ends, the plug-in gets silence until its delayed output has come out.
        int frames = got;
        if (sourceDone) {
            const int tail = static_cast<int>(std::min<int64_t>(chunk - got, tailLeft));
            std::fill_n(inL.data() + got, tail, 0.0f);
            std::fill_n(inR.data() + got, tail, 0.0f);
            tailLeft -= tail;
            frames += tail;
        }
        if (frames == 0)
            break;
        if (channels == 1)
            std::copy_n(inL.data(), got, inR.data());

        interleave(std::vector<const float*>(readInto.begin(), readInto.end()), got, interleaved);
        inputMeter.add(interleaved.data(), static_cast<size_t>(got));
        framesRead += got;

        host::renderInBlocks(plugin, {inL.data(), inR.data()}, {outL.data(), outR.data()}, frames, blockSize);

        // The first `latency` frames out of the plug-in precede the input's first frame.
        const int skip = static_cast<int>(std::clamp<int64_t>(latency - fed, 0, frames));
        const int keep = static_cast<int>(std::min<int64_t>(frames - skip, framesRead - result.frames));
        fed += frames;
        if (keep <= 0)
            continue;
        const float* left = outL.data() + skip;
        const float* right = outR.data() + skip;
        result.nonFinite += countNonFinite(left, keep) + countNonFinite(right, keep);
        std::vector<const float*> written;
        if (channels == 1) {
            for (int i = 0; i < keep; ++i)
                mono[i] = 0.5f * (left[i] + right[i]);
            written = {mono.data()};
        } else {
            written = {left, right};
        }
        sink.write(written, keep);
        interleave(written, keep, interleaved);
        outputMeter.add(interleaved.data(), static_cast<size_t>(keep));
        result.frames += keep;
        progress.update(result.frames);
    }

    plugin.suspend();
    result.input = inputMeter.report();
    result.output = outputMeter.report();
    return result;
}

} // namespace brelvik::render
