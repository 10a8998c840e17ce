#include "tools/bench/EditorBench.h"

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

#include "editor/CK_GUI_Editor.h"
#include "gui/CFrame.h"
#include "host/HostedPlugin.h"
#include "tools/inprocess/InProcessPlugin.h"
#include "tools/render/PluginParameters.h"

namespace brelvik::bench {
namespace {

constexpr int kOpenRounds = 10;
constexpr int kRedrawRounds = 50;
constexpr int kHostIdleMs = 15; // a host idling its editors about 60 times a second
constexpr int kAudioRounds = 3;

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return 1e3 * static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_nsec);
}

double wallMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

uint64_t clockMs()
{
    return static_cast<uint64_t>(wallMs());
}

// Plays the workload on its own thread, paced to real time or as fast as it goes.
class AudioPlayer {
public:
    AudioPlayer(host::HostedPlugin& plugin, const Workload& noise, int block, bool realTime)
        : plugin_(plugin), noise_(noise), block_(block), realTime_(realTime), outL_(static_cast<size_t>(block)),
          outR_(static_cast<size_t>(block))
    {
    }
    void operator()()
    {
        const double start = threadCpuMs();
        const double wallStart = wallMs();
        const double blockMs = 1e3 * block_ / noise_.sampleRate;
        float* outputs[2] = {outL_.data(), outR_.data()};
        int played = 0;
        for (int done = 0; !stop_.load(); done = (done + block_) % (noise_.frames() - block_)) {
            const float* inputs[2] = {noise_.left.data() + done, noise_.right.data() + done};
            plugin_.process(inputs, outputs, block_);
            played += block_;
            if (realTime_) {
                const double ahead = wallStart + blockMs * played / block_ - wallMs();
                if (ahead > 0)
                    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<int64_t>(ahead * 1e3)));
            } else if (played >= noise_.frames()) {
                break;
            }
        }
        cpuMs_ = threadCpuMs() - start;
        frames_ = played;
    }
    void stop() { stop_.store(true); }
    double nsPerFrame() const { return 1e6 * cpuMs_ / frames_; }

private:
    host::HostedPlugin& plugin_;
    const Workload& noise_;
    int block_;
    bool realTime_;
    std::vector<float> outL_, outR_;
    std::atomic<bool> stop_{false};
    double cpuMs_ = 0.0;
    int frames_ = 1;
};

// The audio thread's cost over the whole workload, with the window thread idling the editor (when
// open) as a host would meanwhile; the fastest of a few rounds.
double audioNsPerFrame(host::HostedPlugin& plugin, CK_GUI_Editor* openEditor, const Workload& noise, int block)
{
    double best = 1e300;
    for (int round = 0; round < kAudioRounds; ++round) {
        AudioPlayer player(plugin, noise, block, false);
        std::atomic<bool> finished{false};
        std::thread audio([&] {
            player();
            finished.store(true);
        });
        while (!finished.load()) {
            if (openEditor)
                openEditor->idleAt(clockMs());
            std::this_thread::sleep_for(std::chrono::milliseconds(kHostIdleMs));
        }
        audio.join();
        best = std::min(best, player.nsPerFrame());
    }
    return best;
}

} // namespace

bool runEditorBench(const EditorBenchOptions& options, const Workload& noise)
{
    try {
        host::HostOptions hostOptions;
        hostOptions.sampleRate = static_cast<float>(options.rate);
        hostOptions.blockSize = options.block;
        std::string error;
        auto plugin = host::HostedPlugin::load(tools::inProcessPluginEntry, "Brelvik_Suite (linked in)", hostOptions, error);
        if (!plugin)
            throw std::runtime_error(error);
        plugin->open();
        plugin->setSampleRate(static_cast<float>(options.rate));
        plugin->setBlockSize(options.block);
        plugin->setProgram(0);
        render::PluginParameters parameters(*plugin);
        for (const std::string& setting : options.settings)
            parameters.assign(setting);
        plugin->resume();
        CK_GUI_Editor* editor = tools::editorOf(plugin->effect());
        if (!editor)
            throw std::runtime_error("the plug-in has no editor");

        double openMs = 0.0, openWorstMs = 0.0;
        for (int i = 0; i < kOpenRounds; ++i) {
            const double start = wallMs();
            if (!editor->open(nullptr))
                throw std::runtime_error("the editor did not open: " + editor->openError());
            const double took = wallMs() - start;
            openMs += took / kOpenRounds;
            openWorstMs = std::max(openWorstMs, took);
            if (i + 1 < kOpenRounds)
                editor->close();
        }

        gui::CFrame* frame = editor->getFrame();
        double redrawMs = 0.0;
        for (int i = 0; i < kRedrawRounds; ++i) {
            const double start = threadCpuMs();
            frame->invalidateAll();
            frame->flush();
            redrawMs += (threadCpuMs() - start) / kRedrawRounds;
        }

        // Steady state: audio in real time, the host idling the editor.
        AudioPlayer player(*plugin, noise, options.block, true);
        std::thread audio(std::ref(player));
        const uint64_t ticksBefore = editor->tickCount();
        const double cpuStart = threadCpuMs();
        const double end = wallMs() + 1e3 * options.seconds;
        while (wallMs() < end) {
            editor->idleAt(clockMs());
            std::this_thread::sleep_for(std::chrono::milliseconds(kHostIdleMs));
        }
        const double windowCpuMs = threadCpuMs() - cpuStart;
        const uint64_t ticks = editor->tickCount() - ticksBefore;
        player.stop();
        audio.join();
        const double perTickMs = windowCpuMs / static_cast<double>(std::max<uint64_t>(ticks, 1));
        const double coreShare = 100.0 * windowCpuMs / (1e3 * options.seconds);

        const double withEditor = audioNsPerFrame(*plugin, editor, noise, options.block);
        editor->close();
        const double withoutEditor = audioNsPerFrame(*plugin, nullptr, noise, options.block);
        plugin->suspend();

        auto verdict = [](bool met) { return met ? "met" : "NOT MET"; };
        std::printf("\neditor (window thread; program 0 with every section on, audio playing in real time, "
                    "idled every %d ms for %g s)\n",
                    kHostIdleMs, options.seconds);
        std::printf("  open (every bitmap decoded, every view built): %.1f ms on average, %.1f ms at worst  "
                    "(<= 100 ms: %s)\n",
                    openMs, openWorstMs, verdict(openWorstMs <= 100.0));
        std::printf("  full-window redraw: %.2f ms  (<= 4 ms: %s)\n", redrawMs, verdict(redrawMs <= 4.0));
        std::printf("  steady state: %.3f ms CPU per tick over %llu ticks, %.1f %% of one core  (<= 0.3 ms: %s)\n",
                    perTickMs, static_cast<unsigned long long>(ticks), coreShare, verdict(perTickMs <= 0.3));
        std::printf("  audio thread with the editor open: %.1f ns/frame, closed: %.1f ns/frame, %.3f x  "
                    "(<= 1.05 x: %s)\n",
                    withEditor, withoutEditor, withEditor / withoutEditor, verdict(withEditor <= 1.05 * withoutEditor));
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brelvik-bench: editor: %s\n", e.what());
        return false;
    }
}

} // namespace brelvik::bench
