// brelvik-bench: the CPU cost of VST 2 binaries side by side. Every binary renders the same
// deterministic workload on an audio thread of its own, driven as a host drives it; the bench
// measures that thread's CPU time and counts the heap allocations it makes after a warm-up.
#include "host/HostedPlugin.h"
#include "host/PluginLibrary.h"
#include "tools/bench/AllocationCounter.h"
#if BRELVIK_BENCH_EDITOR
#include "tools/bench/EditorBench.h"
#endif
#include "tools/bench/Workload.h"
#include "tools/render/PluginParameters.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace brelvik;
using bench::AllocationCounts;

constexpr const char* kUsage =
    "Usage: brelvik-bench [OPTIONS] [PLUGIN.so ...]\n"
    "\n"
    "Renders the same workload through each VST 2 binary and prints the audio thread's CPU time\n"
    "per frame, the real-time factor, the ratio to every other binary and the heap allocations\n"
    "made on the audio thread after a warm-up. Without binaries: the Brelvik_Suite plug-in of this\n"
    "build and the installed peers (ZaMultiCompX2 from zam-plugins, the LSP stereo multiband\n"
    "compressor from lsp-plugins-vst).\n"
    "\n"
    "Workload: stereo band-limited noise whose level changes every second. Brelvik_Suite runs the\n"
    "scenarios program0 (factory program 0), all-on (every section active), automation (all-on\n"
    "with parameters swept every block) and silence (all-on, digital silence after loud noise);\n"
    "other binaries run on their defaults, on noise and in the silence scenario.\n"
    "\n"
    "  --seconds S     length of the measured workload (default 60)\n"
    "  --rate HZ       sample rate (default 48000)\n"
    "  --block N       frames per processing call (default 512)\n"
    "  --repeat N      measure in N rounds, every binary in turn, and keep each one's\n"
    "                  fastest round (default 3)\n"
    "  --scenario NAME run only this scenario of Brelvik_Suite (program0, all-on, automation,\n"
    "                  silence, editor); may be repeated\n"
    "  --no-peers      without binaries given: measure Brelvik_Suite alone\n"
    "  -h, --help      show this help\n";

const char* const kPeerPaths[] = {"/usr/lib/vst/ZaMultiCompX2-vst.so", "/usr/lib/vst/lsp-plugins/mb-compressor-stereo.so"};
constexpr const char* kTargetPeer = "ZaMultiCompX2";
constexpr VstInt32 kBrelvikId = vstFourCC('B', 'r', 'S', 't');
constexpr double kWarmUpSeconds = 1.0;
constexpr double kLoudSeconds = 5.0;
// Automation sweeps these parameters through most of their range, one step per block.
const char* const kSweptParameters[] = {"Low Thresh dB", "Eq 3 Gain dB", "Master Gain dB"};
constexpr double kSweepPeriodSeconds = 2.0;
constexpr const char* kEditorScenario = "editor";

const std::vector<std::string> kEverythingOn = {
    "Low Active=1",    "Mid Active=1",     "High Active=1",   "EQ Active=1",      "Eq1 Active=1",
    "Eq2 Active=1",    "Eq3 Active=1",     "Eq4 Active=1",    "Eq5 Active=1",     "Eq 1 Gain dB=3",
    "Eq 2 Gain dB=-2", "Eq 3 Gain dB=1.5", "Eq 4 Gain dB=-1", "Eq 5 Gain dB=2",   "HeadPhone=10",
    "Spatial Active=10", "Bass On=10",     "High On=10",      "Psycho Bass=10",   "Psycho High=10",
};

struct Scenario {
    std::string key;
    std::string title;
    int program = -1;
    std::vector<std::string> settings;
    bool automation = false;
    bool silenceAfterLoud = false;
};

std::vector<Scenario> brelvikScenarios()
{
    return {
        {"program0", "program 0", 0, {}, false, false},
        {"all-on", "everything on", 0, kEverythingOn, false, false},
        {"automation", "automation", 0, kEverythingOn, true, false},
        {"silence", "silence after loud", 0, kEverythingOn, false, true},
    };
}

std::vector<Scenario> peerScenarios()
{
    return {
        {"defaults", "defaults", -1, {}, false, false},
        {"silence", "silence after loud", -1, {}, false, true},
    };
}

struct Options {
    std::vector<std::string> binaries;
    bool peers = true;
    double seconds = 60.0;
    int rate = 48000;
    int block = 512;
    int repeat = 3;
    std::vector<std::string> scenarios;
};

struct UsageError {
    std::string message;
};

double parseNumber(const std::string& text, const std::string& option, double low, double high)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= low && value <= high))
        throw UsageError{option + " takes a number from " + std::to_string(static_cast<long long>(low)) + " to " +
                         std::to_string(static_cast<long long>(high)) + ", not '" + text + "'"};
    return value;
}

Options parseOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() {
            if (i + 1 >= argc)
                throw UsageError{arg + " needs a value"};
            return std::string(argv[++i]);
        };
        if (arg == "--seconds")
            o.seconds = parseNumber(value(), arg, 0.01, 3600);
        else if (arg == "--rate")
            o.rate = static_cast<int>(parseNumber(value(), arg, 8000, 384000));
        else if (arg == "--block")
            o.block = static_cast<int>(parseNumber(value(), arg, 1, 8192));
        else if (arg == "--repeat")
            o.repeat = static_cast<int>(parseNumber(value(), arg, 1, 100));
        else if (arg == "--scenario") {
            const std::string key = value();
            const auto all = brelvikScenarios();
            if (key != kEditorScenario
                && std::none_of(all.begin(), all.end(), [&](const Scenario& s) { return s.key == key; }))
                throw UsageError{"unknown scenario '" + key + "' (program0, all-on, automation, silence, editor)"};
            o.scenarios.push_back(key);
        } else if (arg == "--no-peers")
            o.peers = false;
        else if (arg.size() > 1 && arg[0] == '-')
            throw UsageError{"unknown option '" + arg + "'"};
        else
            o.binaries.push_back(arg);
    }
    return o;
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Binary {
    std::string path;
    std::string name;
    bool ours = false;
    std::unique_ptr<host::PluginLibrary> library;
};

struct Row {
    const Binary* binary = nullptr;
    std::string scenario;
    std::string key;
    double nsPerFrame = 0.0;
    AllocationCounts counts;
    std::string error;
};

// The audio thread: a warm-up, then one measured pass.
class AudioThreadRun {
public:
    AudioThreadRun(host::HostedPlugin& plugin, const Scenario& scenario, const Options& options,
                   const bench::Workload& noise, const bench::Workload& loud, std::vector<int> swept)
        : plugin_(plugin), scenario_(scenario), options_(options), noise_(noise), loud_(loud), swept_(std::move(swept)),
          outL_(static_cast<size_t>(options.block)), outR_(static_cast<size_t>(options.block)),
          silence_(static_cast<size_t>(options.block), 0.0f)
    {
    }

    void operator()()
    {
        const int warmUp = std::min(noise_.frames(), static_cast<int>(kWarmUpSeconds * options_.rate));
        play(noise_.left.data(), noise_.right.data(), warmUp, 1);

        bench::CountingScope counting;
        if (scenario_.silenceAfterLoud)
            play(loud_.left.data(), loud_.right.data(), loud_.frames(), 1);
        const double start = threadCpuSeconds();
        if (scenario_.silenceAfterLoud)
            play(silence_.data(), silence_.data(), noise_.frames(), 0);
        else
            play(noise_.left.data(), noise_.right.data(), noise_.frames(), 1);
        seconds_ = threadCpuSeconds() - start;
        counts_ = bench::countedOnThisThread();
    }

    double seconds() const { return seconds_; }
    AllocationCounts counts() const { return counts_; }

private:
    // `stride` 0 plays the same block of input over and over (silence).
    void play(const float* left, const float* right, int frames, int stride)
    {
        const int block = options_.block;
        const float* inputs[2];
        float* outputs[2] = {outL_.data(), outR_.data()};
        for (int done = 0; done < frames; done += block) {
            const int n = std::min(block, frames - done);
            inputs[0] = left + static_cast<ptrdiff_t>(done) * stride;
            inputs[1] = right + static_cast<ptrdiff_t>(done) * stride;
            if (scenario_.automation)
                sweep();
            plugin_.process(inputs, outputs, n);
        }
    }

    void sweep()
    {
        const double step = static_cast<double>(options_.block) / (kSweepPeriodSeconds * options_.rate);
        phase_ = std::fmod(phase_ + step, 1.0);
        for (size_t k = 0; k < swept_.size(); ++k) {
            const double p = std::fmod(phase_ + static_cast<double>(k) / static_cast<double>(swept_.size()), 1.0);
            const double triangle = p < 0.5 ? 2.0 * p : 2.0 - 2.0 * p;
            plugin_.setParameter(swept_[k], static_cast<float>(0.2 + 0.6 * triangle));
        }
    }

    host::HostedPlugin& plugin_;
    const Scenario& scenario_;
    const Options& options_;
    const bench::Workload& noise_;
    const bench::Workload& loud_;
    std::vector<int> swept_;
    std::vector<float> outL_, outR_, silence_;
    double phase_ = 0.0;
    double seconds_ = 0.0;
    AllocationCounts counts_;
};

Row measure(const Binary& binary, const Scenario& scenario, const Options& options, const bench::Workload& noise,
            const bench::Workload& loud)
{
    Row row;
    row.binary = &binary;
    row.scenario = scenario.title;
    row.key = scenario.key;
    try {
        host::HostOptions hostOptions;
        hostOptions.sampleRate = static_cast<float>(options.rate);
        hostOptions.blockSize = options.block;
        std::string error;
        auto plugin = host::HostedPlugin::load(*binary.library, hostOptions, error);
        if (!plugin)
            throw std::runtime_error(error);
        const AEffect* effect = plugin->effect();
        if (effect->numInputs != 2 || effect->numOutputs != 2)
            throw std::runtime_error("not a stereo effect (" + std::to_string(effect->numInputs) + " in, " +
                                     std::to_string(effect->numOutputs) + " out)");
        plugin->open();
        plugin->setSampleRate(static_cast<float>(options.rate));
        plugin->setBlockSize(options.block);
        if (scenario.program >= 0)
            plugin->setProgram(scenario.program);
        render::PluginParameters parameters(*plugin);
        for (const std::string& setting : scenario.settings)
            parameters.assign(setting);
        std::vector<int> swept;
        if (scenario.automation)
            for (const char* name : kSweptParameters)
                swept.push_back(parameters.find(name));
        plugin->resume();

        AudioThreadRun run(*plugin, scenario, options, noise, loud, swept);
        std::thread audio(std::ref(run));
        audio.join();
        plugin->suspend();

        row.nsPerFrame = 1e9 * run.seconds() / noise.frames();
        row.counts = run.counts();
    } catch (const std::exception& e) {
        row.error = e.what();
    }
    return row;
}

std::string fixed(double value, int decimals)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

const Row* findRow(const std::vector<Row>& rows, const Binary* binary, const std::string& key)
{
    for (const Row& r : rows)
        if (r.binary == binary && r.key == key && r.error.empty())
            return &r;
    return nullptr;
}

// The row other binaries are compared with: Brelvik_Suite's program 0, a peer's defaults.
const Row* referenceRow(const std::vector<Row>& rows, const Binary* binary)
{
    for (const Row& r : rows)
        if (r.binary == binary && r.error.empty())
            return &r;
    return nullptr;
}

void printTable(const std::vector<Row>& rows, const std::vector<Binary>& binaries, const Options& options, bool counting)
{
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> header = {"binary", "scenario", "ns/frame", "x realtime"};
    for (const Binary& b : binaries)
        header.push_back("/ " + b.name);
    header.push_back("allocs");
    header.push_back("frees");
    table.push_back(header);
    for (const Row& r : rows) {
        std::vector<std::string> line = {r.binary->name, r.scenario};
        if (!r.error.empty()) {
            line.push_back("failed: " + r.error);
            table.push_back(line);
            continue;
        }
        line.push_back(fixed(r.nsPerFrame, 1));
        line.push_back(fixed(1e9 / (r.nsPerFrame * options.rate), 1));
        for (const Binary& b : binaries) {
            const Row* reference = referenceRow(rows, &b);
            line.push_back(reference ? fixed(r.nsPerFrame / reference->nsPerFrame, 2) : "-");
        }
        line.push_back(counting ? std::to_string(r.counts.allocations) : "n/a");
        line.push_back(counting ? std::to_string(r.counts.frees) : "n/a");
        table.push_back(line);
    }

    std::vector<size_t> widths(header.size(), 0);
    for (const auto& line : table)
        if (line.size() == header.size())
            for (size_t c = 0; c < line.size(); ++c)
                widths[c] = std::max(widths[c], line[c].size());
    for (const auto& line : table) {
        std::string text;
        for (size_t c = 0; c < line.size(); ++c) {
            const bool left = c < 2 || line.size() < header.size();
            const int w = line.size() < header.size() && c == 2 ? 0 : static_cast<int>(widths[c]);
            char cell[256];
            std::snprintf(cell, sizeof cell, left ? "%-*s" : "%*s", w, line[c].c_str());
            text += (c ? "  " : "") + std::string(cell);
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        std::printf("%s\n", text.c_str());
    }
}

void printTargets(const std::vector<Row>& rows, const std::vector<Binary>& binaries, bool counting)
{
    const Binary* ours = nullptr;
    const Binary* peer = nullptr;
    for (const Binary& b : binaries) {
        if (b.ours && !ours)
            ours = &b;
        if (b.name == kTargetPeer)
            peer = &b;
    }
    if (!ours)
        return;
    std::printf("\ntargets for %s:\n", ours->name.c_str());
    auto verdict = [](bool met) { return met ? "met" : "NOT MET"; };
    const Row* program0 = findRow(rows, ours, "program0");
    const Row* allOn = findRow(rows, ours, "all-on");
    const Row* silence = findRow(rows, ours, "silence");
    const Row* reference = peer ? findRow(rows, peer, "defaults") : nullptr;
    if (reference && allOn)
        std::printf("  everything on <= %s: %s x  %s\n", kTargetPeer,
                    fixed(allOn->nsPerFrame / reference->nsPerFrame, 2).c_str(),
                    verdict(allOn->nsPerFrame <= reference->nsPerFrame));
    if (reference && program0)
        std::printf("  program 0 <= 0.4 x %s: %s x  %s\n", kTargetPeer,
                    fixed(program0->nsPerFrame / reference->nsPerFrame, 2).c_str(),
                    verdict(program0->nsPerFrame <= 0.4 * reference->nsPerFrame));
    if (silence && allOn)
        std::printf("  silence after loud <= everything on (noise): %s x  %s\n",
                    fixed(silence->nsPerFrame / allOn->nsPerFrame, 2).c_str(),
                    verdict(silence->nsPerFrame <= allOn->nsPerFrame));
    if (counting) {
        uint64_t total = 0;
        for (const Row& r : rows)
            if (r.binary == ours && r.error.empty())
                total += r.counts.allocations + r.counts.frees;
        std::printf("  no heap allocations on the audio thread: %llu  %s\n", static_cast<unsigned long long>(total),
                    verdict(total == 0));
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    try {
        for (int i = 1; i < argc; ++i)
            if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
                std::fputs(kUsage, stdout);
                return 0;
            }
        options = parseOptions(argc, argv);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "brelvik-bench: %s (see brelvik-bench --help)\n", e.message.c_str());
        return 2;
    }

    std::vector<std::string> paths = options.binaries;
    if (paths.empty()) {
        paths.push_back(BRELVIK_DEFAULT_PLUGIN_PATH);
        if (options.peers)
            for (const char* peer : kPeerPaths)
                if (access(peer, R_OK) == 0)
                    paths.push_back(peer);
    }

    bool failed = false;
    std::vector<Binary> binaries;
    for (const std::string& path : paths) {
        Binary b;
        b.path = path;
        std::string error;
        b.library = host::PluginLibrary::open(path, error);
        if (!b.library) {
            std::fprintf(stderr, "brelvik-bench: %s\n", error.c_str());
            failed = true;
            continue;
        }
        host::HostOptions probeOptions;
        auto probe = host::HostedPlugin::load(*b.library, probeOptions, error);
        if (!probe) {
            std::fprintf(stderr, "brelvik-bench: %s\n", error.c_str());
            failed = true;
            continue;
        }
        b.name = probe->effectName();
        if (b.name.empty())
            b.name = path.substr(path.find_last_of('/') + 1);
        b.ours = probe->effect()->uniqueID == kBrelvikId;
        probe.reset();
        binaries.push_back(std::move(b));
    }

    const bool counting = bench::allocationCountingWorks();
    const bench::Workload noise = bench::makeNoiseWorkload(options.rate, options.seconds);
    const bench::Workload loud = bench::makeLoudNoise(options.rate, kLoudSeconds);
    std::printf("workload: %g s of stereo band-limited noise, level changing every second, %d Hz, blocks of %d; "
                "audio-thread CPU time, fastest of %d\n",
                options.seconds, options.rate, options.block, options.repeat);
    std::printf("allocation counting: %s\n\n", counting ? "on" : "unavailable in this build");
    std::fflush(stdout);

    struct Job {
        const Binary* binary;
        Scenario scenario;
    };
    std::vector<Job> jobs;
    for (const Binary& b : binaries)
        for (const Scenario& s : b.ours ? brelvikScenarios() : peerScenarios())
            if (!b.ours || options.scenarios.empty() ||
                std::find(options.scenarios.begin(), options.scenarios.end(), s.key) != options.scenarios.end())
                jobs.push_back({&b, s});

    // Rounds take every job in turn, so a spell of load on the machine touches all binaries alike;
    // each row keeps its fastest round and the allocations of all of them.
    std::vector<Row> rows(jobs.size());
    for (int round = 0; round < options.repeat; ++round) {
        for (size_t j = 0; j < jobs.size(); ++j) {
            Row& row = rows[j];
            if (round > 0 && !row.error.empty())
                continue;
            const Row pass = measure(*jobs[j].binary, jobs[j].scenario, options, noise, loud);
            if (round == 0 || !pass.error.empty()) {
                row.binary = pass.binary;
                row.scenario = pass.scenario;
                row.key = pass.key;
                row.error = pass.error;
                row.nsPerFrame = pass.nsPerFrame;
            }
            row.nsPerFrame = std::min(row.nsPerFrame, pass.nsPerFrame);
            row.counts.allocations += pass.counts.allocations;
            row.counts.frees += pass.counts.frees;
        }
    }
    for (const Row& row : rows)
        failed = failed || !row.error.empty();
    printTable(rows, binaries, options, counting);
    printTargets(rows, binaries, counting);
#if BRELVIK_BENCH_EDITOR
    const bool editorWanted = options.scenarios.empty()
                              || std::find(options.scenarios.begin(), options.scenarios.end(), kEditorScenario)
                                     != options.scenarios.end();
    if (options.binaries.empty() && editorWanted) {
        bench::EditorBenchOptions editorOptions;
        editorOptions.rate = options.rate;
        editorOptions.block = options.block;
        editorOptions.seconds = std::min(options.seconds, 10.0);
        editorOptions.settings = kEverythingOn;
        failed = !bench::runEditorBench(editorOptions, noise) || failed;
    }
#endif
    return failed ? 1 : 0;
}
