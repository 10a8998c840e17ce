// brelvik-snapshot: the editor rendered offscreen, in a given state, to a PNG. For the README,
// reviews and tests: no window and no X server needed.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "editor/CK_GUI_Editor.h"
#include "gui/CFrame.h"
#include "host/HostedPlugin.h"
#include "shell/CK_DSP_VST.h"
#include "tools/render/DemoMix.h"
#include "tools/render/PluginParameters.h"
#include "tools/render/PluginState.h"
#include "tools/render/PresetFile.h"
#include "tools/inprocess/InProcessPlugin.h"

namespace {

constexpr int kDefaultTicks = 100;
constexpr int kBlock = 256;

const char* const kUsage =
    "usage: brelvik-snapshot [--program N] [--preset FILE] [--set NAME=VALUE]... [--ticks N] [--play] OUT.png\n"
    "  Renders the plug-in's editor offscreen after N frame ticks (default 100, 14 ms each) and writes it\n"
    "  to OUT.png (1100 x 176).\n"
    "  --program N      select factory program N (0-11) first\n"
    "  --preset FILE    load a program (.fxp) or bank (.fxb) file\n"
    "  --set NAME=VALUE set a parameter by name or index, in its own units or labels (repeatable)\n"
    "  --ticks N        frame ticks to run before the picture (panels slide, knobs ease)\n"
    "  --play           run a demo mix through the plug-in while ticking, so the meters move\n";

struct Arguments {
    int program = -1;
    std::string preset;
    std::vector<std::string> sets;
    int ticks = kDefaultTicks;
    bool play = false;
    std::string out;
};

[[noreturn]] void usageError(const std::string& message)
{
    std::fprintf(stderr, "brelvik-snapshot: %s\n%s", message.c_str(), kUsage);
    std::exit(2);
}

int wholeNumber(const std::string& option, const char* text, int low, int high)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high)
        usageError(option + " wants a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    return static_cast<int>(value);
}

Arguments parse(int argc, char** argv)
{
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc)
                usageError(a + " needs a value");
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (a == "--program") {
            args.program = wholeNumber(a, value(), 0, CK_DSP_VST::kNumPrograms - 1);
        } else if (a == "--preset") {
            args.preset = value();
        } else if (a == "--set") {
            args.sets.emplace_back(value());
        } else if (a == "--ticks") {
            args.ticks = wholeNumber(a, value(), 0, 100000);
        } else if (a == "--play") {
            args.play = true;
        } else if (!a.empty() && a[0] == '-') {
            usageError("unknown option " + a);
        } else if (args.out.empty()) {
            args.out = a;
        } else {
            usageError("one output file only");
        }
    }
    if (args.out.empty())
        usageError("no output file");
    return args;
}

// Plays the demo mix in a loop, 14 ms at a time.
class Player {
public:
    explicit Player(brelvik::host::HostedPlugin& plugin) : plugin_(plugin), mix_(brelvik::render::makeDemoMix()) { }
    void playOneTick()
    {
        int frames = brelvik::render::DemoMix::kSampleRate * CK_GUI_Editor::kTickMs / 1000;
        while (frames > 0) {
            const int n = std::min({frames, kBlock, static_cast<int>(mix_.left.size() - position_)});
            const float* in[2] = {mix_.left.data() + position_, mix_.right.data() + position_};
            float* out[2] = {left_, right_};
            plugin_.process(in, out, n);
            position_ = (position_ + static_cast<size_t>(n)) % mix_.left.size();
            frames -= n;
        }
    }

private:
    brelvik::host::HostedPlugin& plugin_;
    brelvik::render::DemoMix mix_;
    size_t position_ = 0;
    float left_[kBlock];
    float right_[kBlock];
};

int run(const Arguments& args)
{
    brelvik::host::HostOptions options;
    options.sampleRate = brelvik::render::DemoMix::kSampleRate;
    options.blockSize = kBlock;
    std::string error;
    auto plugin = brelvik::host::HostedPlugin::load(brelvik::tools::inProcessPluginEntry, "Brelvik_Suite", options, error);
    if (!plugin) {
        std::fprintf(stderr, "brelvik-snapshot: %s\n", error.c_str());
        return 1;
    }
    plugin->open();
    plugin->setSampleRate(options.sampleRate);
    plugin->setBlockSize(kBlock);
    plugin->resume();

    if (args.program >= 0)
        plugin->setProgram(args.program);
    if (!args.preset.empty()) {
        const brelvik::render::PresetFile preset = brelvik::render::readPresetFile(args.preset);
        brelvik::render::applyPreset(*plugin, preset, preset.kind, args.preset);
    }
    brelvik::render::PluginParameters parameters(*plugin);
    for (const std::string& assignment : args.sets)
        parameters.assign(assignment);

    CK_GUI_Editor* editor = brelvik::tools::editorOf(plugin->effect());
    if (!editor || !editor->open(nullptr)) {
        std::fprintf(stderr, "brelvik-snapshot: the editor did not open%s%s\n", editor ? ": " : "",
                     editor ? editor->openError().c_str() : "");
        return 1;
    }
    Player player(*plugin);
    for (int t = 0; t < args.ticks; ++t) {
        if (args.play)
            player.playOneTick();
        editor->tick();
    }
    brelvik::gui::CFrame* frame = editor->getFrame();
    if (!frame->renderToPng(args.out, &error)) {
        std::fprintf(stderr, "brelvik-snapshot: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s: %d x %d, program %d \"%s\", %d ticks (%.2f s)%s\n", args.out.c_str(), frame->getWidth(),
                frame->getHeight(), plugin->getProgram(), plugin->programName().c_str(), args.ticks,
                args.ticks * CK_GUI_Editor::kTickMs / 1000.0, args.play ? " with the demo mix playing" : "");
    for (const std::string& assignment : args.sets)
        std::printf("  set %s\n", assignment.c_str());
    editor->close();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const Arguments args = parse(argc, argv);
    try {
        return run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brelvik-snapshot: %s\n", e.what());
        return 1;
    }
}
