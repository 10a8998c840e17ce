// brelvik-render: renders an audio file (or a built-in demo mix) through the plug-in binary,
// loaded and driven the way a DAW drives it.
#include "tools/render/DemoMix.h"
#include "tools/render/Render.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>
#include <string>

namespace {

using namespace brelvik::render;

constexpr const char* kUsage =
    "Usage: brelvik-render [--plugin PATH] IN OUT\n"
    "       brelvik-render [--plugin PATH] --demo OUT\n"
    "\n"
    "Renders the mono or stereo audio file IN through the Brelvik_Suite plug-in and writes OUT\n"
    "in IN's format, sample rate and channel count. The plug-in runs in blocks of 512 frames at\n"
    "IN's sample rate. OUT appears only once it is complete.\n"
    "\n"
    "  --plugin PATH  plug-in binary to load (default: " BRELVIK_DEFAULT_PLUGIN_PATH ")\n"
    "  --demo OUT     make an 8-second demo mix (drums, bass, pad; 48 kHz, 24-bit WAV) and\n"
    "                 render it to OUT\n"
    "  -h, --help     show this help\n";

struct Arguments {
    std::string pluginPath = BRELVIK_DEFAULT_PLUGIN_PATH;
    bool demo = false;
    std::string input;
    std::string output;
};

struct UsageError {
    std::string message;
};

Arguments parseArguments(int argc, char** argv)
{
    Arguments args;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* option) {
            if (i + 1 >= argc)
                throw UsageError{std::string(option) + " needs a value"};
            return std::string(argv[++i]);
        };
        if (arg == "--plugin")
            args.pluginPath = value("--plugin");
        else if (arg.rfind("--plugin=", 0) == 0)
            args.pluginPath = arg.substr(std::strlen("--plugin="));
        else if (arg == "--demo")
            args.demo = true;
        else if (arg.size() > 1 && arg[0] == '-')
            throw UsageError{"unknown option '" + arg + "'"};
        else
            positional.push_back(arg);
    }
    if (args.demo) {
        if (positional.size() != 1)
            throw UsageError{"--demo takes exactly one output file"};
        args.output = positional[0];
    } else {
        if (positional.size() != 2)
            throw UsageError{"expected an input and an output file"};
        args.input = positional[0];
        args.output = positional[1];
    }
    return args;
}

std::string decibels(float linear)
{
    if (linear <= 0.0f)
        return "-inf dBFS";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(linear));
    return text;
}

std::string describe(const RenderResult& r)
{
    char text[512];
    std::snprintf(text, sizeof text, "%s, %d Hz, %.2f s", r.channels == 1 ? "mono" : "stereo", r.sampleRate,
                  static_cast<double>(r.frames) / r.sampleRate);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }

    Arguments args;
    try {
        args = parseArguments(argc, argv);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "brelvik-render: %s (see brelvik-render --help)\n", e.message.c_str());
        return 2;
    }

    try {
        std::unique_ptr<AudioSource> source;
        std::string sourceName;
        if (args.demo) {
            DemoMix mix = makeDemoMix();
            source = std::make_unique<BufferSource>(std::vector<std::vector<float>>{std::move(mix.left),
                                                                                    std::move(mix.right)},
                                                    DemoMix::kSampleRate, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
            sourceName = "demo mix";
        } else {
            source = std::make_unique<FileSource>(args.input);
            sourceName = args.input;
        }

        RenderSettings settings;
        settings.pluginPath = args.pluginPath;
        RenderResult result = renderFile(*source, sourceName, args.output, settings);

        std::printf("rendered %s (%s) through %s to %s\n", sourceName.c_str(), describe(result).c_str(),
                    result.effectName.c_str(), args.output.c_str());
        std::printf("peak level: input %s, output %s\n", decibels(result.inputPeak).c_str(),
                    decibels(result.outputPeak).c_str());
        if (result.nonFinite > 0)
            std::fprintf(stderr, "brelvik-render: warning: the plug-in produced %lld NaN or infinite samples\n",
                         static_cast<long long>(result.nonFinite));
        if (result.outputPeak == 0.0f && result.inputPeak > 0.0f)
            std::fprintf(stderr, "brelvik-render: warning: the output is silent\n");
        if (result.latency > 0)
            std::printf("the output is delayed by the plug-in's latency of %d samples (%.2f ms)\n", result.latency,
                        1000.0 * result.latency / result.sampleRate);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brelvik-render: %s\n", e.what());
        return 1;
    }
}
