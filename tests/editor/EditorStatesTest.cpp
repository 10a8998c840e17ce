// The whole window in the states a user sees, under Xvfb and offscreen: two editors driven by the
// same ticks, values and audio show the same pixels, in the window and in the offscreen render. The
// pictures are left in the test's temporary folder for review.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/CK_GUI_Editor.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/backend/PlatformWindow.h"
#include "shell/CK_DSP_VST.h"
#include "shell/ControlTable.h"
#include "support/X11TestHost.h"

namespace {

using brelvik::gui::CFrame;

constexpr int kBlock = 256;

struct Instance {
    Instance() : effect(new CK_DSP_VST(nullptr)), editor(new CK_GUI_Editor(effect.get(), *effect))
    {
        effect->setSampleRate(48000.0f);
        effect->setBlockSize(kBlock);
        effect->resume();
    }
    // Ticks the editor, playing a block of a deterministic mix before each tick when `play` is set.
    void run(int ticks, bool play)
    {
        std::vector<float> l(kBlock), r(kBlock), ol(kBlock), orr(kBlock);
        for (int t = 0; t < ticks; ++t) {
            if (play) {
                for (int i = 0; i < kBlock; ++i, ++sample) {
                    l[static_cast<size_t>(i)] = 0.7f * std::sin(0.013f * static_cast<float>(sample))
                                                * std::sin(0.0002f * static_cast<float>(sample));
                    r[static_cast<size_t>(i)] = 0.5f * std::sin(0.021f * static_cast<float>(sample));
                }
                float* in[2] = {l.data(), r.data()};
                float* out[2] = {ol.data(), orr.data()};
                effect->processReplacing(in, out, kBlock);
            }
            editor->tick();
        }
    }
    std::unique_ptr<CK_DSP_VST> effect;
    CK_GUI_Editor* editor;
    long sample = 0;
};

TEST(EditorStates, WindowAndOffscreenShowTheSamePixelsInEveryState)
{
    brelvik::test::X11TestHost host(1200, 300);
    if (!host.ready())
        GTEST_SKIP() << "no X server: Xvfb could not be started";
    Instance windowed, offscreen;
    ASSERT_TRUE(windowed.editor->open(host.parentHandle()));
    ASSERT_TRUE(offscreen.editor->open(nullptr));
    const ::Window child = host.child();
    ASSERT_TRUE(brelvik::test::X11TestHost::idleUntil([&] { windowed.editor->getFrame()->pumpEvents(); },
                                                      [&] { return host.viewable(child); }));

    const auto both = [&](const std::function<void(Instance&)>& action) {
        action(windowed);
        action(offscreen);
    };
    const auto everythingOn = [](Instance& i) {
        for (int32_t tag : {kTagLowActive, kTagMidActive, kTagHighActive, kTagEqActive, kTagEq1Active,
                            kTagEq2Active, kTagEq3Active, kTagEq4Active, kTagEq5Active, kTagSpatialActive})
            i.effect->setParameter(tag, 1.0f);
    };
    const auto editorValue = [](int32_t tag, float value) {
        return [tag, value](Instance& i) { i.effect->setParameterFromEditor(tag, toVolts(tag, value), false); };
    };
    const auto rightClickMasterGain = [](Instance& i) {
        CFrame& frame = *i.editor->getFrame();
        const brelvik::gui::CRect r = i.editor->control(kTagMasterGain)->getFrameRect();
        const brelvik::gui::CPoint centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        frame.mouseDown(centre, brelvik::gui::kRButton);
        frame.mouseUp(centre, {});
    };
    struct State {
        const char* name;
        std::function<void(Instance&)> action;
        bool play;
    };
    const std::vector<State> states = {
        {"program-0", [](Instance&) {}, false},
        {"everything-on-playing", everythingOn, true},
        {"settings-closed", editorValue(kTagSettingsButton, 0.0f), true},
        {"credits-open", editorValue(kTagCreditsButton, 1.0f), true},
        {"midi-learn", rightClickMasterGain, true},
        {"low-band-page", editorValue(kTagLowBandButton, 1.0f), true},
    };
    for (const State& state : states) {
        both(state.action);
        both([&](Instance& i) { i.run(120, state.play); });
        CFrame& frame = *windowed.editor->getFrame();
        frame.flush();
        offscreen.editor->getFrame()->flush();
        frame.getPlatformWindow()->sync();
        const std::vector<uint32_t> shot = host.screenshot(child, 1100, 176);
        ASSERT_EQ(shot.size(), 1100u * 176u);
        int differing = 0;
        for (int y = 0; y < 176; ++y)
            for (int x = 0; x < 1100; ++x)
                if (shot[static_cast<size_t>(y * 1100 + x)]
                    != (offscreen.editor->getFrame()->getBackBuffer().at(x, y) & 0xFFFFFFu))
                    ++differing;
        EXPECT_EQ(differing, 0) << state.name;
        std::string error;
        EXPECT_TRUE(offscreen.editor->getFrame()->renderToPng(
            ::testing::TempDir() + "editor-" + state.name + ".png", &error))
            << error;
    }
    EXPECT_EQ(windowed.editor->getFrame()->getPlatformWindow()->errorCount(), 0);
}

} // namespace
