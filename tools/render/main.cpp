// brelvik-render: masters an audio file (or a built-in demo mix) through the plug-in binary,
// loaded and driven the way a DAW drives it, with the plug-in's programs, preset files and
// parameters set from the command line.
#include "tools/render/DemoMix.h"
#include "tools/render/LoudnessTarget.h"
#include "tools/render/OutputFormat.h"
#include "tools/render/OutputTarget.h"
#include "tools/render/PluginDelay.h"
#include "tools/render/PluginParameters.h"
#include "tools/render/PluginState.h"
#include "tools/render/PresetLibrary.h"
#include "tools/render/Render.h"

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace brelvik::render;

constexpr const char* kUsage =
    "Usage: brelvik-render [OPTIONS] IN OUT\n"
    "       brelvik-render [OPTIONS] --demo OUT\n"
    "       brelvik-render [OPTIONS] --out-dir DIR IN...\n"
    "       brelvik-render [OPTIONS] --list-params | --list-programs | --list-presets |\n"
    "                                --save-preset F | --save-bank F\n"
    "       brelvik-render --analyze IN...\n"
    "\n"
    "Masters the mono or stereo audio file IN through the Brelvik_Suite plug-in, loaded and driven\n"
    "as a DAW drives it, and writes OUT: the same length, aligned sample for sample with IN (the\n"
    "plug-in's latency and look-ahead are compensated), in IN's format, rate and bit depth unless\n"
    "told otherwise. OUT appears only once it is complete; it may not be IN under any name, and\n"
    "an OUT that is a symlink is written through to its target. Any format libsndfile reads and\n"
    "writes will do (WAV, FLAC, AIFF, OGG, ...). A report of loudness and peaks follows.\n"
    "\n"
    "Settings, applied in this order:\n"
    "  --bank FILE.fxb       load a bank of programs (chunk or parameter form)\n"
    "  --program N           select program N, counted from 0 (or give its name)\n"
    "  --preset FILE.fxp     load a program file into the current program, or a mastering\n"
    "                        preset by name (see --list-presets)\n"
    "  --set NAME=VALUE      set a parameter by name or index, in its own units or by the label it\n"
    "                        shows, e.g. --set \"Low Thresh dB=-18\" --set \"Metering=RMS\";\n"
    "                        may be repeated; switches take Off or On\n"
    "  --name TEXT           name the current program (saved presets carry the name)\n"
    "Saving and listing, after the settings:\n"
    "  --save-preset FILE    save the current program as a .fxp file\n"
    "  --save-bank FILE      save all programs as a .fxb file\n"
    "  --save-form FORM      chunk (the plug-in's own state, as hosts save it) or params\n"
    "                        (a list of parameter values); default chunk\n"
    "  --force               let --save-preset and --save-bank replace a file that is not a\n"
    "                        preset of this plug-in\n"
    "  --list-programs       list the programs\n"
    "  --list-presets        list the mastering presets with what each is for\n"
    "  --list-params         list the parameters: index, name, value, range or labels\n"
    "Output file:\n"
    "  --format NAME         wav, flac, aiff, ogg, caf, w64, rf64, ... (default: OUT's extension,\n"
    "                        else IN's format)\n"
    "  --bits N              8, 16, 24 or 32-bit samples (32 or 64 with --float)\n"
    "  --float               floating-point samples\n"
    "Loudness:\n"
    "  --target-lufs L       set \"Master Gain dB\" so that OUT's integrated loudness is L LUFS\n"
    "                        (within 0.1 LU; measured, corrected and rendered again)\n"
    "  --ceiling DBTP        lower that gain so that OUT's true peak stays under DBTP; alone, it\n"
    "                        only ever lowers the gain\n"
    "  --analyze IN...       measure files without rendering: loudness, range, true and\n"
    "                        sample peak, DC and crest factor\n"
    "Rendering:\n"
    "  --out-dir DIR         master every IN into DIR under its own name; a failed file does\n"
    "                        not stop the others, a summary follows\n"
    "  --demo OUT            make an 8-second demo mix (drums, bass, pad; 48 kHz, 24-bit) and\n"
    "                        master it into OUT\n"
    "  --plugin PATH         plug-in binary (default: " BRELVIK_DEFAULT_PLUGIN_PATH ")\n"
    "  --block N             frames per processing call (default 512)\n"
    "  --allow-truncated     render what a truncated input holds (with a warning) instead of\n"
    "                        refusing it\n"
    "  --quiet               no progress bar\n"
    "  -h, --help            show this help\n"
    "\n"
    "Exit status: 0 done; 1 the work could not be done, or a file of a batch failed (the reason\n"
    "is on stderr); 2 the command line is wrong; 130 interrupted.\n";

constexpr const char* kUnusedParameter = "Unused"; // host indices that carry no parameter
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;
constexpr int kDefaultSampleRate = 48000;
constexpr int kMaxBlockSize = 1 << 16;

struct Arguments {
    std::string pluginPath = BRELVIK_DEFAULT_PLUGIN_PATH;
    bool demo = false;
    std::string input;
    std::string output;
    std::string bank;
    std::string program;
    std::string preset;
    std::vector<std::string> assignments;
    std::string savePreset;
    std::string saveBank;
    PresetForm saveForm = PresetForm::Chunk;
    bool listPrograms = false;
    bool listParams = false;
    FormatRequest format;
    int blockSize = 512;
    bool quiet = false;
    bool force = false;
    bool allowTruncated = false;
    std::string programName;
    bool listPresets = false;
    LoudnessGoal loudness;
    bool analyze = false;
    std::string outDir;
    std::vector<std::string> inputs; // --analyze and --out-dir
};

struct UsageError {
    std::string message;
};

double parseDecibels(const std::string& text, const char* option, double low, double high)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= low && value <= high))
        throw UsageError{std::string(option) + " takes a number from " + std::to_string(static_cast<int>(low)) +
                         " to " + std::to_string(static_cast<int>(high)) + ", not '" + text + "'"};
    return value;
}

int parseInteger(const std::string& text, const char* option)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 0 || value > kMaxBlockSize)
        throw UsageError{std::string(option) + " takes a whole number, not '" + text + "'"};
    return static_cast<int>(value);
}

Arguments parseArguments(int argc, char** argv)
{
    Arguments args;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string inlineValue;
        bool hasInline = false;
        if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
            inlineValue = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
            hasInline = true;
        }
        auto value = [&]() {
            if (hasInline)
                return inlineValue;
            if (i + 1 >= argc)
                throw UsageError{arg + " needs a value"};
            return std::string(argv[++i]);
        };
        auto flag = [&]() {
            if (hasInline)
                throw UsageError{arg + " takes no value"};
            return true;
        };

        if (arg == "--plugin")
            args.pluginPath = value();
        else if (arg == "--demo")
            args.demo = flag();
        else if (arg == "--bank")
            args.bank = value();
        else if (arg == "--program")
            args.program = value();
        else if (arg == "--preset")
            args.preset = value();
        else if (arg == "--set") {
            std::string assignment = value();
            if (assignment.find('=') == std::string::npos)
                throw UsageError{"--set takes NAME=VALUE, not '" + assignment + "'"};
            args.assignments.push_back(assignment);
        } else if (arg == "--save-preset")
            args.savePreset = value();
        else if (arg == "--save-bank")
            args.saveBank = value();
        else if (arg == "--save-form") {
            const std::string form = value();
            if (form == "chunk")
                args.saveForm = PresetForm::Chunk;
            else if (form == "params" || form == "parameters")
                args.saveForm = PresetForm::Parameters;
            else
                throw UsageError{"--save-form is chunk or params, not '" + form + "'"};
        } else if (arg == "--list-programs")
            args.listPrograms = flag();
        else if (arg == "--list-params")
            args.listParams = flag();
        else if (arg == "--format")
            args.format.container = value();
        else if (arg == "--bits") {
            const std::string bits = value();
            args.format.bits = parseInteger(bits, "--bits");
            if (args.format.bits != 8 && args.format.bits != 16 && args.format.bits != 24 && args.format.bits != 32 &&
                args.format.bits != 64)
                throw UsageError{"--bits takes 8, 16, 24 or 32 (64 with --float), not " + bits};
        }
        else if (arg == "--float")
            args.format.floatingPoint = flag();
        else if (arg == "--block") {
            args.blockSize = parseInteger(value(), "--block");
            if (args.blockSize == 0)
                throw UsageError{"--block must be at least 1"};
        } else if (arg == "--quiet" || arg == "-q")
            args.quiet = flag();
        else if (arg == "--name")
            args.programName = value();
        else if (arg == "--list-presets")
            args.listPresets = flag();
        else if (arg == "--target-lufs")
            args.loudness.targetLufs = parseDecibels(value(), "--target-lufs", -70.0, 0.0);
        else if (arg == "--ceiling")
            args.loudness.ceilingDbtp = parseDecibels(value(), "--ceiling", -40.0, 0.0);
        else if (arg == "--analyze")
            args.analyze = flag();
        else if (arg == "--out-dir")
            args.outDir = value();
        else if (arg == "--force")
            args.force = flag();
        else if (arg == "--allow-truncated")
            args.allowTruncated = flag();
        else if (arg.size() > 1 && arg[0] == '-')
            throw UsageError{"unknown option '" + arg + "'"};
        else
            positional.push_back(arg);
    }

    if (args.format.floatingPoint && args.format.bits != 0 && args.format.bits != 32 && args.format.bits != 64)
        throw UsageError{"floating-point samples have 32 or 64 bits, not " + std::to_string(args.format.bits)};
    if (!args.format.floatingPoint && args.format.bits == 64)
        throw UsageError{"64-bit samples are floating-point only (add --float)"};

    const bool standalone = args.listPrograms || args.listParams || args.listPresets || !args.savePreset.empty() ||
                            !args.saveBank.empty();
    if (args.analyze || !args.outDir.empty()) {
        if (positional.empty())
            throw UsageError{std::string(args.analyze ? "--analyze" : "--out-dir") + " needs at least one input file"};
        if (args.analyze && !args.outDir.empty())
            throw UsageError{"--analyze renders nothing; --out-dir has no use with it"};
        if (!args.outDir.empty() && (standalone || args.demo))
            throw UsageError{"--out-dir renders a batch; list, save or render the demo in a call of its own"};
        args.inputs = positional;
    } else if (args.demo) {
        if (positional.size() != 1)
            throw UsageError{"--demo takes exactly one output file"};
        args.output = positional[0];
    } else if (positional.size() == 2) {
        args.input = positional[0];
        args.output = positional[1];
    } else if (!(positional.empty() && standalone)) {
        throw UsageError{positional.size() == 1 ? "an output file is missing (or give --out-dir DIR)"
                                                : "expected an input and an output file (several inputs need --out-dir DIR)"};
    }
    return args;
}

std::atomic<bool> gInterrupted{false};

void onSignal(int)
{
    gInterrupted = true;
}

// An interrupted render removes its temporary file and exits instead of dying mid-write.
void catchInterrupts()
{
#if defined(_WIN32)
    // Windows has no sigaction; signal() catches Ctrl+C and termination requests there.
    for (int signal : {SIGINT, SIGTERM})
        ::signal(signal, onSignal);
#else
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
#endif
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

int findProgram(brelvik::host::HostedPlugin& plugin, const std::string& key)
{
    const int count = plugin.effect()->numPrograms;
    char* end = nullptr;
    const long number = std::strtol(key.c_str(), &end, 10);
    if (!key.empty() && *end == '\0') {
        if (number < 0 || number >= count)
            throw std::runtime_error("there is no program " + key + "; the plug-in has " + std::to_string(count) +
                                     (count > 0 ? " (0 to " + std::to_string(count - 1) + ")" : ""));
        return static_cast<int>(number);
    }
    for (int p = 0; p < count; ++p)
        if (lower(plugin.programNameIndexed(p)) == lower(key))
            return p;
    throw std::runtime_error("the plug-in has no program named '" + key + "' (see --list-programs)");
}

// What the render starts from (a program, or a preset file loaded into it) and what --set changed.
struct SettingsSummary {
    std::string base;
    std::vector<std::string> changes; // "Low Thresh dB -18.00000 (was -20.00000)"
};

SettingsSummary applySettings(brelvik::host::HostedPlugin& plugin, PluginParameters& parameters, const Arguments& args)
{
    if (!args.bank.empty())
        applyPreset(plugin, readPresetFile(args.bank), PresetKind::Bank, args.bank);
    if (!args.program.empty())
        plugin.setProgram(findProgram(plugin, args.program));
    std::string presetFile = args.preset;
    if (!args.preset.empty()) {
        // A bare name that is no file names a mastering preset; anything like a path is a file.
        struct stat status {};
        const bool bareName = args.preset.find_first_of("/\\.") == std::string::npos;
        if (bareName && stat(args.preset.c_str(), &status) != 0) {
            const std::optional<PresetEntry> entry = PresetLibrary(BRELVIK_PRESET_DIR).find(args.preset);
            if (!entry)
                throw std::runtime_error("there is no preset file or mastering preset named '" + args.preset +
                                         "' (--list-presets shows the presets)");
            presetFile = entry->path;
        }
        applyPreset(plugin, readPresetFile(presetFile), PresetKind::Program, presetFile);
    }

    SettingsSummary summary;
    summary.base = !args.preset.empty() ? "preset \"" + plugin.programName() + "\" (" + presetFile + ")"
                                        : "program " + std::to_string(plugin.getProgram()) + " \"" +
                                              plugin.programName() + "\"";
    std::vector<float> before(static_cast<size_t>(parameters.count()));
    std::vector<std::string> shownBefore(before.size());
    for (const std::string& assignment : args.assignments) {
        try {
            const int index = parameters.find(assignment.substr(0, assignment.find('=')));
            if (shownBefore[static_cast<size_t>(index)].empty()) {
                before[static_cast<size_t>(index)] = plugin.getParameter(index);
                const ParameterInfo info = parameters.describe(index);
                shownBefore[static_cast<size_t>(index)] = info.display + (info.unit.empty() ? "" : " " + info.unit);
            }
            parameters.assign(assignment);
        } catch (const UnknownParameter& e) {
            throw std::runtime_error("--set \"" + assignment + "\": " + e.what() + "; --list-params shows them all");
        } catch (const ParameterError& e) {
            throw std::runtime_error("--set \"" + assignment + "\": " + e.what());
        }
    }
    if (!args.programName.empty())
        plugin.setProgramName(args.programName);
    for (int i = 0; i < parameters.count(); ++i) {
        if (shownBefore[static_cast<size_t>(i)].empty() || plugin.getParameter(i) == before[static_cast<size_t>(i)])
            continue;
        const ParameterInfo info = parameters.describe(i);
        summary.changes.push_back(info.name + " " + info.display + (info.unit.empty() ? "" : " " + info.unit) +
                                  " (was " + shownBefore[static_cast<size_t>(i)] + ")");
    }
    return summary;
}

void listPrograms(brelvik::host::HostedPlugin& plugin)
{
    const int current = plugin.getProgram();
    std::printf("programs (* current):\n");
    for (int p = 0; p < plugin.effect()->numPrograms; ++p)
        std::printf("%c %3d  %s\n", p == current ? '*' : ' ', p, plugin.programNameIndexed(p).c_str());
}

void listParameters(PluginParameters& parameters)
{
    size_t width = 4;
    for (int i = 0; i < parameters.count(); ++i)
        width = std::max(width, parameters.name(i).size());
    const int w = static_cast<int>(width);
    std::printf("%3s  %-*s  %-12s  %s\n", "#", w, "name", "value", "range");
    for (int i = 0; i < parameters.count(); ++i) {
        if (parameters.name(i) == kUnusedParameter)
            continue;
        const ParameterInfo info = parameters.describe(i);
        const std::string value = info.display + (info.unit.empty() ? "" : " " + info.unit);
        std::printf("%3d  %-*s  %-12s  %s\n", i, w, info.name.c_str(), value.c_str(),
                    PluginParameters::describeRange(info).c_str());
    }
}

// The files the tool reads, which nothing it writes may replace.
std::vector<std::string> inputsOf(const Arguments& args)
{
    std::vector<std::string> inputs;
    for (const std::string* path : {&args.input, &args.bank, &args.preset})
        if (!path->empty())
            inputs.push_back(*path);
    return inputs;
}

// Where a preset or bank goes. An existing file is only replaced when it is a preset file of this
// plug-in, or with --force.
OutputTarget presetTarget(const std::string& path, const Arguments& args, int32_t pluginId)
{
    std::vector<std::string> protectedFiles = inputsOf(args);
    if (!args.output.empty())
        protectedFiles.push_back(args.output);
    const OutputTarget target = resolveOutputTarget(path, protectedFiles);
    if (!target.existed || args.force)
        return target;
    std::string reason;
    try {
        const PresetFile existing = readPresetFile(target.path);
        if (existing.pluginId == pluginId)
            return target;
        reason = "a preset for another plug-in (" + describePluginId(existing.pluginId) + ")";
    } catch (const PresetError&) {
        reason = "not a preset file";
    }
    throw TargetError("will not replace '" + path + "': it is " + reason + "; --force replaces it");
}

struct SaveTargets {
    std::string preset;
    std::string bank;
};

SaveTargets checkSaveTargets(brelvik::host::HostedPlugin& plugin, const Arguments& args)
{
    SaveTargets targets;
    if (!args.savePreset.empty())
        targets.preset = presetTarget(args.savePreset, args, plugin.effect()->uniqueID).path;
    if (!args.saveBank.empty())
        targets.bank = presetTarget(args.saveBank, args, plugin.effect()->uniqueID).path;
    return targets;
}

void saveFiles(brelvik::host::HostedPlugin& plugin, const Arguments& args, const SaveTargets& targets)
{
    PresetForm form = args.saveForm;
    if (form == PresetForm::Chunk && preferredForm(plugin) != PresetForm::Chunk)
        form = PresetForm::Parameters; // a plug-in without chunks can only be saved as values
    if (!targets.preset.empty()) {
        const PresetFile program = captureProgram(plugin, form);
        writePresetFile(targets.preset, program);
        std::printf("saved the current program to %s (%s)\n", args.savePreset.c_str(), describe(program).c_str());
    }
    if (!targets.bank.empty()) {
        const PresetFile bank = captureBank(plugin, form);
        writePresetFile(targets.bank, bank);
        std::printf("saved all %d programs to %s (%s)\n", bank.count, args.saveBank.c_str(), describe(bank).c_str());
    }
}

std::string level(double value, const char* unit, int width)
{
    char text[48];
    if (std::isfinite(value))
        std::snprintf(text, sizeof text, "%*.1f %s", width, value, unit);
    else
        std::snprintf(text, sizeof text, "%*s %s", width, value < 0 ? "-inf" : "inf", unit);
    return text;
}

void printLoudness(const char* what, const LoudnessReport& r)
{
    std::printf("  %-7s %s  %s  %s  %s\n", what, level(r.integratedLufs, "LUFS", 6).c_str(),
                level(r.rangeLu, "LU", 5).c_str(), level(r.truePeakDbtp, "dBTP", 6).c_str(),
                level(r.samplePeakDbfs, "dBFS", 6).c_str());
}

void printReport(const std::string& sourceName, const Arguments& args, int outputFormat,
                 brelvik::host::HostedPlugin& plugin, const SettingsSummary& settings, const RenderResult& r)
{
    std::printf("rendered %s (%s, %d Hz, %.2f s) through %s to %s (%s)\n", sourceName.c_str(),
                r.channels == 1 ? "mono" : "stereo", r.sampleRate, static_cast<double>(r.frames) / r.sampleRate,
                plugin.effectName().c_str(), args.output.c_str(), describeFormat(outputFormat).c_str());
    std::printf("%s%s; latency %d samples (%.2f ms) + look-ahead %d samples (%.2f ms), compensated\n",
                settings.base.c_str(), settings.changes.empty() ? "" : " with changes", r.latency,
                1000.0 * r.latency / r.sampleRate, r.unreportedDelay, 1000.0 * r.unreportedDelay / r.sampleRate);
    for (const std::string& change : settings.changes)
        std::printf("  changed: %s\n", change.c_str());
    std::printf("  %-7s %11s  %8s  %11s  %11s\n", "", "integrated", "range", "true peak", "sample peak");
    printLoudness("input", r.input);
    printLoudness("output", r.output);
}

// What a render of one file ends with, for a batch's summary.
struct RenderOutcome {
    LoudnessReport output{};
};

// The audio to master: the demo mix, the input file, or nothing (listing and saving only).
std::unique_ptr<AudioSource> openSource(const Arguments& args)
{
    if (args.demo) {
        DemoMix mix = makeDemoMix();
        return std::make_unique<BufferSource>(
            std::vector<std::vector<float>>{std::move(mix.left), std::move(mix.right)}, DemoMix::kSampleRate,
            SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    }
    if (!args.input.empty())
        return std::make_unique<FileSource>(args.input, args.allowTruncated);
    return nullptr;
}

void printGain(const LoudnessGoal& goal, const GainOutcome& gain, const LoudnessReport& output)
{
    char line[256];
    std::snprintf(line, sizeof line, "Master Gain set to %+.2f dB after %d measuring render%s", gain.gainDb,
                  gain.passes, gain.passes == 1 ? "" : "s");
    std::printf("%s", line);
    if (goal.targetLufs)
        std::printf("; target %.1f LUFS, reached %.1f LUFS", *goal.targetLufs, output.integratedLufs);
    if (goal.ceilingDbtp)
        std::printf("; ceiling %.1f dBTP, true peak %.1f dBTP", *goal.ceilingDbtp, output.truePeakDbtp);
    std::printf("\n");
    if (gain.ceilingDecided && goal.targetLufs)
        std::printf("the ceiling, not the target, decided the gain: the target is missed by %.1f LU\n",
                    *goal.targetLufs - output.integratedLufs);
    if (std::fabs(gain.missedByDb) >= 0.05)
        std::printf("the gain needed lies outside Master Gain's range: rendered at the limit, %.1f dB short\n",
                    std::fabs(gain.missedByDb));
}

// The measuring renders ended without meeting the goal, and neither the ceiling nor Master Gain's
// range explains it: a failure, not a master to hand out.
void checkGoalReached(const LoudnessGoal& goal, const GainOutcome& gain)
{
    constexpr double kTargetTolerance = 0.1; // LU, as promised
    constexpr double kCeilingTolerance = 0.01; // dB
    const bool atRangeLimit = std::fabs(gain.missedByDb) >= 0.05;
    char why[256];
    if (goal.ceilingDbtp && gain.last.truePeakDbtp > *goal.ceilingDbtp + kCeilingTolerance && !atRangeLimit) {
        std::snprintf(why, sizeof why, "the true peak stays at %.2f dBTP, above the ceiling of %.1f dBTP, after %d measuring renders",
                      gain.last.truePeakDbtp, *goal.ceilingDbtp, gain.passes);
        throw std::runtime_error(why);
    }
    if (goal.targetLufs && !gain.ceilingDecided && !atRangeLimit &&
        std::fabs(gain.last.integratedLufs - *goal.targetLufs) > kTargetTolerance) {
        std::snprintf(why, sizeof why, "the loudness settles at %.2f LUFS, not within 0.1 LU of the target %.1f LUFS, after %d measuring renders",
                      gain.last.integratedLufs, *goal.targetLufs, gain.passes);
        throw std::runtime_error(why);
    }
}

RenderOutcome renderOne(const Arguments& args)
{
    std::unique_ptr<AudioSource> source = openSource(args);
    auto* fileSource = dynamic_cast<FileSource*>(source.get()); // for its warnings
    const std::string sourceName = args.demo ? "demo mix" : args.input;

    ChosenFormat format;
    OutputTarget target;
    if (source) {
        target = resolveOutputTarget(args.output, inputsOf(args));
        if (source->channels() != 1 && source->channels() != 2)
            throw std::runtime_error("'" + sourceName + "' has " + std::to_string(source->channels()) +
                                     " channels; only mono and stereo files can be rendered");
        format = chooseOutputFormat(source->format(), args.output, args.format, source->channels(),
                                    source->sampleRate());
    }

    EffectInstance effect(args.pluginPath, source ? source->sampleRate() : kDefaultSampleRate, args.blockSize);
    brelvik::host::HostedPlugin& plugin = effect.plugin();
    PluginParameters parameters(plugin);
    const SettingsSummary summary = applySettings(plugin, parameters, args);
    const SaveTargets saveTargets = checkSaveTargets(plugin, args);
    if (!source) {
        saveFiles(plugin, args, saveTargets);
        if (args.listPrograms)
            listPrograms(plugin);
        if (args.listParams)
            listParameters(parameters);
        return {};
    }
    if (args.listPrograms)
        listPrograms(plugin);
    if (args.listParams)
        listParameters(parameters);

    if (!format.note.empty())
        std::fprintf(stderr, "brelvik-render: note: %s\n", format.note.c_str());
    AudioFileWriter writer(target.path, format.format, source->channels(), source->sampleRate());
    RenderSettings settings;
    settings.label = "mastering";
    settings.progress = !args.quiet;
    settings.cancel = &gInterrupted;
    settings.unreportedDelay = lookAheadFrames(plugin, parameters, source->sampleRate());
    std::optional<GainOutcome> gain;
    if (args.loudness.any()) {
        // Measuring renders go nowhere; the file is read again for each.
        gain = reachLoudness(plugin, parameters, args.loudness, [&] {
            NullSink nowhere;
            RenderSettings measuring = settings;
            measuring.label = "measuring";
            std::unique_ptr<AudioSource> again = openSource(args);
            return renderStream(effect, *again, nowhere, measuring).output;
        });
        settings.unreportedDelay = lookAheadFrames(plugin, parameters, source->sampleRate());
        checkGoalReached(args.loudness, *gain);
    }
    const RenderResult result = renderStream(effect, *source, writer, settings);
    writer.commit();
    // Saved once the render is in place, so that a failed render leaves no preset behind.
    saveFiles(plugin, args, saveTargets);
    if (fileSource && !fileSource->warning().empty())
        std::fprintf(stderr, "brelvik-render: warning: %s\n", fileSource->warning().c_str());

    printReport(sourceName, args, format.format, plugin, summary, result);
    if (gain)
        printGain(args.loudness, *gain, result.output);
    if (result.nonFinite > 0)
        std::fprintf(stderr, "brelvik-render: warning: the plug-in produced %lld NaN or infinite samples\n",
                     static_cast<long long>(result.nonFinite));
    if (writer.clippedSamples() > 0)
        std::fprintf(stderr, "brelvik-render: warning: %lld samples above full scale were clipped (%s); "
                             "--float keeps them\n",
                     static_cast<long long>(writer.clippedSamples()), describeFormat(format.format).c_str());
    if (!std::isfinite(result.output.samplePeakDbfs) && std::isfinite(result.input.samplePeakDbfs))
        std::fprintf(stderr, "brelvik-render: warning: the output is silent\n");
    return {result.output};
}

void listPresets()
{
    const std::vector<PresetEntry> presets = PresetLibrary(BRELVIK_PRESET_DIR).entries();
    size_t width = 4;
    for (const PresetEntry& p : presets)
        width = std::max(width, p.name.size());
    std::printf("mastering presets (--preset NAME):\n");
    for (const PresetEntry& p : presets)
        std::printf("  %-*s  %s\n", static_cast<int>(width), p.name.c_str(), p.description.c_str());
}

int analyzeFiles(const Arguments& args)
{
    int failed = 0;
    std::printf("%-30s %11s  %8s  %11s  %11s  %11s  %8s\n", "file", "integrated", "range", "true peak", "sample peak",
                "DC", "crest");
    for (const std::string& input : args.inputs) {
        try {
            FileSource source(input, args.allowTruncated);
            LoudnessMeter meter(source.channels(), source.sampleRate());
            constexpr int kChunk = 65536;
            std::vector<std::vector<float>> planar(static_cast<size_t>(source.channels()), std::vector<float>(kChunk));
            std::vector<float*> into;
            for (auto& channel : planar)
                into.push_back(channel.data());
            std::vector<float> interleaved;
            for (int n; (n = source.read(into, kChunk)) > 0;) {
                interleaved.resize(static_cast<size_t>(n) * planar.size());
                for (int i = 0; i < n; ++i)
                    for (size_t c = 0; c < planar.size(); ++c)
                        interleaved[static_cast<size_t>(i) * planar.size() + c] = planar[c][static_cast<size_t>(i)];
                meter.add(interleaved.data(), static_cast<size_t>(n));
            }
            const LoudnessReport r = meter.report();
            std::printf("%-30s %s  %s  %s  %s  %s  %s\n", input.c_str(), level(r.integratedLufs, "LUFS", 6).c_str(),
                        level(r.rangeLu, "LU", 5).c_str(), level(r.truePeakDbtp, "dBTP", 6).c_str(),
                        level(r.samplePeakDbfs, "dBFS", 6).c_str(), level(r.dcDbfs, "dBFS", 6).c_str(),
                        level(r.crestDb, "dB", 5).c_str());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "brelvik-render: %s\n", e.what());
            ++failed;
        }
    }
    return failed > 0 ? kExitFailure : 0;
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// OUT for IN in a batch: IN's name in the output folder, with --format's extension when given.
std::string batchOutput(const Arguments& args, const std::string& input)
{
    std::string name = baseName(input);
    if (!args.format.container.empty())
        name = name.substr(0, name.rfind('.')) + "." + args.format.container;
    return args.outDir + "/" + name;
}

int renderBatch(const Arguments& args)
{
    struct Row {
        std::string input, output, error;
        LoudnessReport report{};
    };
    std::vector<Row> rows;
    std::map<std::string, std::string> claimed; // output -> the input that writes it
    for (const std::string& input : args.inputs) {
        Arguments job = args;
        job.input = input;
        job.output = batchOutput(args, input);
        Row row{input, job.output, {}, {}};
        try {
            // Two inputs of one name (a/mix.wav, b/mix.wav) must not write over each other.
            const auto [earlier, isNew] = claimed.emplace(job.output, input);
            if (!isNew)
                throw std::runtime_error("'" + input + "' would write '" + job.output + "', which '" +
                                         earlier->second + "' writes in this batch");
            row.report = renderOne(job).output;
        } catch (const RenderCancelled&) {
            throw;
        } catch (const std::exception& e) {
            row.error = e.what();
            std::fprintf(stderr, "brelvik-render: %s\n", e.what());
        }
        rows.push_back(row);
    }
    int failed = 0;
    std::printf("\nbatch of %zu files into %s:\n", rows.size(), args.outDir.c_str());
    for (const Row& row : rows) {
        if (row.error.empty())
            std::printf("  done    %-30s %s  %s\n", row.input.c_str(), level(row.report.integratedLufs, "LUFS", 6).c_str(),
                        level(row.report.truePeakDbtp, "dBTP", 6).c_str());
        else
            std::printf("  FAILED  %-30s %s\n", row.input.c_str(), row.error.c_str());
        failed += !row.error.empty();
    }
    std::printf("%zu done, %d failed\n", rows.size() - static_cast<size_t>(failed), failed);
    return failed > 0 ? kExitFailure : 0;
}

int run(const Arguments& args)
{
    if (args.analyze)
        return analyzeFiles(args);
    if (args.listPresets)
        listPresets();
    if (!args.outDir.empty()) {
        struct stat status {};
        if (stat(args.outDir.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
            throw std::runtime_error("the output folder '" + args.outDir + "' does not exist");
        return renderBatch(args);
    }
    const bool onlyPresets = args.listPresets && args.input.empty() && !args.demo && !args.listParams &&
                             !args.listPrograms && args.savePreset.empty() && args.saveBank.empty();
    if (!onlyPresets)
        renderOne(args);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 1) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
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
        return kExitUsage;
    }

    catchInterrupts();
    try {
        return run(args);
    } catch (const RenderCancelled& e) {
        std::fprintf(stderr, "brelvik-render: %s\n", e.what());
        return kExitInterrupted;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "brelvik-render: out of memory\n");
        return kExitFailure;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brelvik-render: %s\n", e.what());
        return kExitFailure;
    }
}
