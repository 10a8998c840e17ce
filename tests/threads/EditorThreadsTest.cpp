// The editor opens, ticks and closes on its window thread while the host sets parameters from
// another thread and the audio thread sends meter and curve messages: nothing but the window thread
// touches a view, so the thread sanitizer has nothing to report and the address sanitizer nothing to
// find after fifty open and close cycles.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "editor/CK_GUI_Editor.h"
#include "gui/CFrame.h"
#include "shell/CK_DSP_VST.h"

namespace {

TEST(EditorThreads, OpenTickCloseWhileTheHostAndTheAudioThreadFeedTheEditor)
{
    auto effect = std::make_unique<CK_DSP_VST>(nullptr);
    auto* editor = new CK_GUI_Editor(effect.get(), *effect);
    effect->setSampleRate(44100.0f);
    effect->setBlockSize(256);
    effect->resume();

    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> l(256), r(256), ol(256), orr(256);
        for (size_t i = 0; i < l.size(); ++i)
            l[i] = r[i] = 0.5f * std::sin(0.05f * static_cast<float>(i));
        float* in[2] = {l.data(), r.data()};
        float* out[2] = {ol.data(), orr.data()};
        while (!done.load())
            effect->processReplacing(in, out, 256);
    });
    std::thread host([&] {
        for (int i = 0; i < 100000; ++i)
            effect->setParameter(i % kHostParameterCount, static_cast<float>(i % 101) / 100.0f);
    });

    for (int cycle = 0; cycle < 50; ++cycle) {
        ASSERT_TRUE(editor->open(nullptr));
        for (int t = 0; t < 10; ++t)
            editor->tick();
        editor->getFrame()->flush();
        editor->close();
    }
    host.join();
    ASSERT_TRUE(editor->open(nullptr)); // the effect's destructor closes it
    done.store(true);
    audio.join();
    effect.reset();
}

} // namespace
