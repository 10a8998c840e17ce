#include "tests/windows/CheckedRender.h"

#include "host/HostedPlugin.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace brelvik::check {

namespace {

constexpr int kBlockSize = 512;

float eqGain(float decibels)
{
    return (decibels + 15.0f) / 30.0f; // the EQ gains run from -15 to +15 dB
}

} // namespace

StereoAudio makeTestSignal()
{
    constexpr double kPi = 3.14159265358979323846;
    StereoAudio audio;
    const int rate = audio.sampleRate;
    const int64_t frames = 4 * static_cast<int64_t>(rate);
    audio.left.resize(static_cast<size_t>(frames));
    audio.right.resize(static_cast<size_t>(frames));
    const double sectionLevels[] = {-30, -6, -18, -3, -40, -12, -1, -24};

    uint32_t seed = 0x2545F491u;
    auto white = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
    };
    double noiseL = 0.0, noiseR = 0.0;
    for (int64_t n = 0; n < frames; ++n) {
        const double t = static_cast<double>(n) / rate;
        const double gain = std::pow(10.0, sectionLevels[(n * 2 / rate) % 8] / 20.0);
        const double shared = white();
        noiseL += 0.1 * (0.7 * shared + 0.3 * white() - noiseL);
        noiseR += 0.1 * (0.7 * shared + 0.3 * white() - noiseR);
        const double bass = 0.45 * std::sin(2 * kPi * 55 * t);
        const double mid = 0.2 * std::sin(2 * kPi * 440 * t);
        const double presence = 0.1 * std::sin(2 * kPi * 2500 * t);
        const double air = 0.05 * std::sin(2 * kPi * 9000 * t);
        audio.left[static_cast<size_t>(n)] =
            static_cast<float>(gain * (bass + mid + presence + air + 0.6 * noiseL) / 1.1);
        audio.right[static_cast<size_t>(n)] =
            static_cast<float>(gain * (bass + 0.8 * mid - presence + 0.5 * air + 0.6 * noiseR) / 1.1);
    }
    return audio;
}

bool writeAudio(const std::string& path, const StereoAudio& audio, std::string& error)
{
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    std::vector<float> interleaved(static_cast<size_t>(audio.frames()) * 2);
    for (size_t i = 0; i < audio.left.size(); ++i) {
        interleaved[2 * i] = audio.left[i];
        interleaved[2 * i + 1] = audio.right[i];
    }
    const bool complete = sf_writef_float(file, interleaved.data(), audio.frames()) == audio.frames();
    sf_close(file);
    if (!complete)
        error = "cannot write '" + path + "'";
    return complete;
}

bool readAudio(const std::string& path, StereoAudio& audio, std::string& error)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels != 1 && info.channels != 2) {
        sf_close(file);
        error = "'" + path + "' has " + std::to_string(info.channels) + " channels";
        return false;
    }
    std::vector<float> interleaved(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t frames = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    audio.sampleRate = info.samplerate;
    audio.left.resize(static_cast<size_t>(frames));
    audio.right.resize(static_cast<size_t>(frames));
    for (size_t i = 0; i < audio.left.size(); ++i) {
        audio.left[i] = interleaved[i * static_cast<size_t>(info.channels)];
        audio.right[i] = interleaved[i * static_cast<size_t>(info.channels) + (info.channels - 1)];
    }
    return true;
}

const std::vector<ParameterSetting>& everythingOn()
{
    static const std::vector<ParameterSetting> settings = {
        {"Low Active", 1.0f},      {"Mid Active", 1.0f},      {"High Active", 1.0f},
        {"EQ Active", 1.0f},       {"Eq 1 Gain dB", eqGain(4.0f)}, {"Eq 2 Gain dB", eqGain(-3.0f)},
        {"Eq 3 Gain dB", eqGain(2.5f)}, {"Eq 4 Gain dB", eqGain(-2.0f)}, {"Eq 5 Gain dB", eqGain(3.0f)},
        {"HeadPhone", 1.0f},       {"Spatial Active", 1.0f},  {"Bass On", 1.0f},
        {"High On", 1.0f},         {"Psycho Bass", 1.0f},     {"Psycho High", 1.0f},
    };
    return settings;
}

bool renderEverythingOn(const host::PluginLibrary& library, const StereoAudio& input, StereoAudio& output,
                        std::string& error)
{
    host::HostOptions options;
    options.sampleRate = static_cast<float>(input.sampleRate);
    options.blockSize = kBlockSize;
    options.offline = true;
    std::unique_ptr<host::HostedPlugin> plugin = host::HostedPlugin::load(library, options, error);
    if (!plugin)
        return false;
    plugin->open();
    plugin->setSampleRate(static_cast<float>(input.sampleRate));
    plugin->setBlockSize(kBlockSize);
    plugin->setProgram(0);

    const int count = plugin->effect()->numParams;
    for (const ParameterSetting& setting : everythingOn()) {
        int index = 0;
        while (index < count && plugin->parameterName(index) != setting.name)
            ++index;
        if (index == count) {
            error = std::string("the plug-in has no parameter \"") + setting.name + "\"";
            return false;
        }
        plugin->setParameter(index, setting.value);
    }

    plugin->resume();
    output.sampleRate = input.sampleRate;
    output.left.assign(input.left.size(), 0.0f);
    output.right.assign(input.right.size(), 0.0f);
    host::renderInBlocks(*plugin, {input.left.data(), input.right.data()}, {output.left.data(), output.right.data()},
                         input.frames(), kBlockSize);
    plugin->close();
    return true;
}

Difference compareAudio(const StereoAudio& a, const StereoAudio& b)
{
    Difference d;
    d.comparable = a.sampleRate == b.sampleRate && a.frames() == b.frames();
    if (!d.comparable)
        return d;
    const std::vector<float>* channels[2][2] = {{&a.left, &b.left}, {&a.right, &b.right}};
    for (int c = 0; c < 2; ++c) {
        const std::vector<float>& x = *channels[c][0];
        const std::vector<float>& y = *channels[c][1];
        for (size_t i = 0; i < x.size(); ++i) {
            if (!std::isfinite(x[i]) || !std::isfinite(y[i])) {
                ++d.nonFinite;
                continue;
            }
            if (x[i] == y[i])
                continue;
            ++d.differing;
            const double difference = std::fabs(static_cast<double>(x[i]) - static_cast<double>(y[i]));
            if (difference > d.largest) {
                d.largest = difference;
                d.largestFrame = static_cast<int64_t>(i);
                d.largestChannel = c;
            }
        }
    }
    return d;
}

std::string dbfs(double linear)
{
    if (linear <= 0.0)
        return "-inf dBFS";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(linear));
    return text;
}

} // namespace brelvik::check
