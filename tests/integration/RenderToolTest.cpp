// brelvik-render run as a user runs it, checked against the plug-in's own output: the rendered
// file must hold exactly what the plug-in produces through the host library, moved earlier by the
// latency the plug-in reports, and have the input's length. A fixture plug-in that is a pure delay
// makes the alignment visible to the sample whatever the real processing does.
#include "tests/integration/LoadedPlugin.h"

#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace brelvik::test {
namespace {

using Planar = std::vector<std::vector<float>>;

struct Audio {
    Planar channels;
    int sampleRate = 0;
    int format = 0;
    int64_t frames() const { return channels.empty() ? 0 : static_cast<int64_t>(channels[0].size()); }
};

void writeAudio(const std::string& path, const Planar& channels, int sampleRate,
                int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT)
{
    SF_INFO info{};
    info.channels = static_cast<int>(channels.size());
    info.samplerate = sampleRate;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> interleaved;
    for (size_t i = 0; i < channels[0].size(); ++i)
        for (const auto& c : channels)
            interleaved.push_back(c[i]);
    EXPECT_EQ(sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(channels[0].size())),
              static_cast<sf_count_t>(channels[0].size()));
    sf_close(file);
}

Audio readAudio(const std::string& path)
{
    Audio audio;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        ADD_FAILURE() << "cannot read " << path << ": " << sf_strerror(nullptr);
        return audio;
    }
    std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    audio.sampleRate = info.samplerate;
    audio.format = info.format;
    audio.channels.assign(static_cast<size_t>(info.channels), std::vector<float>(static_cast<size_t>(info.frames)));
    for (sf_count_t i = 0; i < info.frames; ++i)
        for (int c = 0; c < info.channels; ++c)
            audio.channels[static_cast<size_t>(c)][static_cast<size_t>(i)] =
                interleaved[static_cast<size_t>(i * info.channels + c)];
    return audio;
}

// Deterministic test signal: an impulse, then a noise burst, then silence.
Planar testSignal(int channels, int frames)
{
    Planar out(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames), 0.0f));
    uint32_t state = 0x1234567u;
    for (int c = 0; c < channels; ++c) {
        out[static_cast<size_t>(c)][static_cast<size_t>(std::min(100, frames / 2))] = 0.9f;
        for (int i = frames / 4; i < frames / 2; ++i) {
            state = state * 1664525u + 1013904223u;
            out[static_cast<size_t>(c)][static_cast<size_t>(i)] = 0.5f * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
        }
    }
    return out;
}

float peak(const Planar& channels)
{
    float largest = 0.0f;
    for (const auto& c : channels)
        for (float v : c)
            largest = std::max(largest, std::fabs(v));
    return largest;
}

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The look-ahead frames the report says were compensated beyond the reported latency.
size_t reportedLookAhead(const std::string& report)
{
    const size_t at = report.find("look-ahead ");
    return at == std::string::npos ? 0 : static_cast<size_t>(std::stoul(report.substr(at + 11)));
}

class RenderTool : public ::testing::Test {
protected:
    // Tests may run in parallel processes: each keeps its files apart.
    std::string path(const std::string& name) const
    {
        return ::testing::TempDir() + "render-tool-" + std::to_string(getpid()) + "-" + name;
    }

    ToolRun render(const std::vector<std::string>& args)
    {
        std::string command = quoted(BRELVIK_RENDER_PATH);
        for (const std::string& a : args)
            command += " " + quoted(a);
        command += " >" + quoted(path("stdout")) + " 2>" + quoted(path("stderr"));
        ToolRun run;
        const int status = std::system(command.c_str());
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = slurp(path("stdout"));
        run.err = slurp(path("stderr"));
        return run;
    }

    void TearDown() override
    {
        for (const char* name : {"in.wav", "out.wav", "stdout", "stderr"})
            std::remove(path(name).c_str());
    }
};

// Renders through the host library directly, the way brelvik-render feeds the plug-in: the input
// followed by `latency` frames of silence, in blocks of 512.
Planar renderDirectly(const Planar& input, int sampleRate, const std::function<void(host::HostedPlugin&)>& settings,
                      int& latency)
{
    LoadedPlugin loaded = loadBuiltPlugin();
    host::HostedPlugin& plugin = *loaded.plugin;
    plugin.open();
    plugin.setSampleRate(static_cast<float>(sampleRate));
    plugin.setBlockSize(512);
    settings(plugin);
    plugin.resume();
    latency = plugin.latency();
    const size_t total = input[0].size() + static_cast<size_t>(latency);
    Planar in(2, std::vector<float>(total, 0.0f)), out(2, std::vector<float>(total, 0.0f));
    for (size_t c = 0; c < 2; ++c)
        std::copy(input[input.size() == 1 ? 0 : c].begin(), input[input.size() == 1 ? 0 : c].end(), in[c].begin());
    host::renderInBlocks(plugin, {in[0].data(), in[1].data()}, {out[0].data(), out[1].data()},
                         static_cast<int64_t>(total), 512);
    return out;
}

TEST_F(RenderTool, RemovesTheLatencyOfAPureDelayExactly)
{
    // Lengths that are not whole blocks, and the latency's own length.
    for (int frames : {10007, 512, 37, 1}) {
        for (int channels : {2, 1}) {
            SCOPED_TRACE(std::to_string(channels) + " channels, " + std::to_string(frames) + " frames");
            const Planar input = testSignal(channels, frames);
            writeAudio(path("in.wav"), input, 44100);
            const ToolRun run = render({"--plugin", BRELVIK_DELAY_PLUGIN_PATH, path("in.wav"), path("out.wav")});
            ASSERT_EQ(run.exitCode, 0) << run.err;
            EXPECT_NE(run.out.find("latency 37 samples"), std::string::npos) << run.out;
            const Audio output = readAudio(path("out.wav"));
            ASSERT_EQ(output.channels.size(), input.size());
            ASSERT_EQ(output.frames(), frames);
            for (size_t c = 0; c < input.size(); ++c)
                EXPECT_EQ(output.channels[c], input[c]) << "channel " << c;
        }
    }
}

TEST_F(RenderTool, BlockSizeAndSettingsReachThePlugin)
{
    const Planar input = testSignal(2, 3000);
    writeAudio(path("in.wav"), input, 48000);
    const ToolRun run = render({"--plugin", BRELVIK_DELAY_PLUGIN_PATH, "--block", "64", "--set", "Gain=0.5", path("in.wav"),
                            path("out.wav")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio output = readAudio(path("out.wav"));
    ASSERT_EQ(output.frames(), 3000);
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i < 3000; ++i)
            ASSERT_EQ(output.channels[c][i], 0.5f * input[c][i]) << "channel " << c << " frame " << i;
}

TEST_F(RenderTool, OutputIsThePluginsOwnOutputAlignedToTheInput)
{
    const Planar input = testSignal(2, 20000);
    writeAudio(path("in.wav"), input, 48000);
    const ToolRun run = render({"--plugin", BRELVIK_PLUGIN_PATH, "--program", "3", "--set", "Master Gain dB=6", "--set",
                            "Metering=RMS", path("in.wav"), path("out.wav")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    int latency = 0;
    const Planar reference = renderDirectly(input, 48000,
                                            [](host::HostedPlugin& p) {
                                                p.setProgram(3);
                                                p.setParameter(55, 0.625f); // (6 + 24) / 48
                                                p.setParameter(20, 1.0f);
                                            },
                                            latency);
    EXPECT_EQ(latency, 96) << "2 ms at 48 kHz";
    ASSERT_GT(peak(reference), 0.0f) << "a silent plug-in would make this comparison empty";
    const Audio output = readAudio(path("out.wav"));
    ASSERT_EQ(output.frames(), 20000);
    const size_t delay = static_cast<size_t>(latency) + reportedLookAhead(run.out);
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i + delay < reference[c].size(); ++i)
            ASSERT_EQ(output.channels[c][i], reference[c][i + delay])
                << "channel " << c << " frame " << i;
}

// Where an impulse's response begins: the first frame from `from` on above a tenth of the impulse.
// (The chain with every section off is not a plain wire: its all-pass filters spread the impulse
// over the following frames.)
size_t onset(const std::vector<float>& samples, size_t from)
{
    size_t at = from;
    while (at < samples.size() && std::fabs(samples[at]) <= 0.05f)
        ++at;
    return at;
}

TEST_F(RenderTool, OutputLinesUpWithTheInputForEveryLookAhead)
{
    // The look-ahead delays the audio beyond the latency the plug-in reports: int(ms / 10 * fs / 100).
    struct Case {
        int sampleRate;
        const char* lookAheadMs;
        int lookAheadFrames;
    };
    const Case cases[] = {{44100, "0", 0},   {44100, "10", 441},  {44100, "50", 2205},
                          {96000, "0", 0},   {96000, "10", 960},  {96000, "50", 4800}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sampleRate) + " Hz, look-ahead " + c.lookAheadMs + " ms");
        const size_t frames = static_cast<size_t>(c.sampleRate) / 2;
        const size_t early = 50, late = frames - 30;
        Planar input(2, std::vector<float>(frames, 0.0f));
        for (auto& channel : input)
            channel[early] = channel[late] = 0.5f;
        writeAudio(path("in.wav"), input, c.sampleRate);
        const ToolRun run = render({"--plugin", BRELVIK_PLUGIN_PATH, "--set", std::string("LookAhead ms=") + c.lookAheadMs,
                                    path("in.wav"), path("out.wav")});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find("look-ahead " + std::to_string(c.lookAheadFrames) + " samples"), std::string::npos)
            << run.out;
        const Audio output = readAudio(path("out.wav"));
        ASSERT_EQ(output.frames(), static_cast<int64_t>(frames));
        for (const auto& channel : output.channels) {
            EXPECT_EQ(onset(channel, 0), early);
            EXPECT_EQ(onset(channel, frames / 2), late);
        }
    }
}

TEST_F(RenderTool, SyntheticHarmonicsAddNoDc)
{
    // 60 Hz at -6 dBFS through "Psycho Bass" (and "Psycho High"), every harmonics setting: the
    // mean over the last four of five seconds stays below -60 dBFS.
    constexpr int kRate = 48000;
    Planar input(2, std::vector<float>(5 * kRate));
    for (auto& channel : input)
        for (size_t i = 0; i < channel.size(); ++i)
            channel[i] = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * 60.0 * static_cast<double>(i) / kRate));
    writeAudio(path("in.wav"), input, kRate);
    for (const char* band : {"Bass", "High"})
        for (const char* shape : {"Soft", "Hard"})
            for (const char* mode : {"0", "10"}) {
                const std::string b = band, lowOrHigh = b == "Bass" ? "Lo" : "Hi", modeName = b == "Bass" ? "PsyBass" : "PsyHigh";
                SCOPED_TRACE(b + " " + shape + " mode " + mode);
                const ToolRun run = render({"--plugin", BRELVIK_PLUGIN_PATH, "--float", "--set", b + " On=10", "--set",
                                            "Psycho " + b + "=10", "--set", "Psycho " + b + " %=100", "--set",
                                            lowOrHigh + " Harmonics=" + shape, "--set", modeName + " Mode=" + mode,
                                            path("in.wav"), path("out.wav")});
                ASSERT_EQ(run.exitCode, 0) << run.err;
                const Audio output = readAudio(path("out.wav"));
                for (const auto& channel : output.channels) {
                    double sum = 0.0;
                    for (size_t i = kRate; i < channel.size(); ++i)
                        sum += channel[i];
                    const double dc = sum / static_cast<double>(channel.size() - kRate);
                    EXPECT_LT(20.0 * std::log10(std::fabs(dc) + 1e-30), -60.0);
                }
            }
}

TEST_F(RenderTool, MonoIsRenderedAsTwoEqualChannelsAndWrittenAsTheirMean)
{
    const Planar input = testSignal(1, 6000);
    writeAudio(path("in.wav"), input, 44100);
    const ToolRun run = render({"--plugin", BRELVIK_PLUGIN_PATH, path("in.wav"), path("out.wav")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    int latency = 0;
    const Planar reference = renderDirectly(input, 44100, [](host::HostedPlugin&) {}, latency);
    EXPECT_EQ(latency, 88) << "2 ms at 44.1 kHz";
    ASSERT_GT(peak(reference), 0.0f) << "a silent plug-in would make this comparison empty";
    const Audio output = readAudio(path("out.wav"));
    ASSERT_EQ(output.channels.size(), 1u);
    ASSERT_EQ(output.frames(), 6000);
    const size_t delay = static_cast<size_t>(latency) + reportedLookAhead(run.out);
    for (size_t i = 0; i + delay < reference[0].size(); ++i) {
        const size_t at = i + delay;
        ASSERT_EQ(output.channels[0][i], 0.5f * (reference[0][at] + reference[1][at])) << "frame " << i;
    }
}

} // namespace
} // namespace brelvik::test
