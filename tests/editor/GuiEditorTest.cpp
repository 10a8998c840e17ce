// The editor's life cycle with the real effect: rectangle, open and close, the frame tick counted
// by the clock, values that reach views only on the window thread, and the window under Xvfb.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "editor/CK_GUI_Editor.h"
#include "editor/displays/CK_GUI_dBMeter.h"
#include "editor/images/CK_GUI_Image.h"
#include "editor/midilearn/CK_AssignMidiCC.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "gui/CViewContainer.h"
#include "gui/backend/PlatformWindow.h"
#include "shell/CK_DSP_VST.h"
#include "shell/ControlTable.h"
#include "support/X11TestHost.h"

namespace {

using brelvik::gui::CControl;
using brelvik::gui::CViewContainer;

struct EditedEffect {
    EditedEffect() : effect(new CK_DSP_VST(nullptr)), editor(new CK_GUI_Editor(effect.get(), *effect)) { }
    std::unique_ptr<CK_DSP_VST> effect; // deletes the editor it owns
    CK_GUI_Editor* editor;
};

TEST(GuiEditor, AnnouncesItselfWithTheBackgroundsRectangle)
{
    EditedEffect fx;
    EXPECT_TRUE(fx.effect->getAeffect()->flags & effFlagsHasEditor);
    EXPECT_EQ(fx.effect->getEditor(), fx.editor);
    ERect* rect = nullptr;
    ASSERT_EQ(fx.effect->dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 176);
    EXPECT_EQ(rect->right, 1100);
}

TEST(GuiEditor, TicksFollowTheClockAtAnyIdleRateAndStopWhenClosed)
{
    EditedEffect fx;
    CK_GUI_Editor& editor = *fx.editor;
    editor.idleAt(1000); // closed: nothing runs
    EXPECT_EQ(editor.tickCount(), 0u);
    ASSERT_TRUE(editor.open(nullptr));
    EXPECT_TRUE(fx.effect->editorOpen()); // the metering modules wake

    uint64_t now = 50000;
    for (int call = 0; call < 100; ++call, now += 40) // Ardour's idle rate
        editor.idleAt(now);
    // 3960 ms after the first tick: 1 + 3960 / 14 ticks, 2.86 per call.
    EXPECT_EQ(editor.tickCount(), 1u + 3960u / 14u);

    const uint64_t before = editor.tickCount();
    editor.idleAt(now + 1000); // a one-second stall
    EXPECT_EQ(editor.tickCount() - before, static_cast<uint64_t>(CK_GUI_Editor::kMaxTicksPerIdle));
    editor.idleAt(now + 1000 + 14);
    EXPECT_EQ(editor.tickCount() - before, static_cast<uint64_t>(CK_GUI_Editor::kMaxTicksPerIdle) + 1);

    fx.effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_FALSE(fx.effect->editorOpen());
    const uint64_t closed = editor.tickCount();
    editor.idleAt(now + 5000);
    EXPECT_EQ(editor.tickCount(), closed);
    ASSERT_TRUE(editor.open(nullptr));
    EXPECT_EQ(editor.tickCount(), 0u);
    editor.idleAt(now + 6000);
    EXPECT_EQ(editor.tickCount(), 1u);
}

TEST(GuiEditor, OpenShowsTheEffectsValuesAndSlidesTheSettingsPanelOpen)
{
    EditedEffect fx;
    fx.effect->setProgram(3);
    fx.effect->setParameter(kTagMasterGain, 0.3f);
    fx.effect->setParameterAutomated(kTagBypass, 1.0f); // editor-only: getParameter answers 0 for it
    for (int opening = 0; opening < 2; ++opening) {
        ASSERT_TRUE(fx.editor->open(nullptr));
        int shown = 0;
        for (int32_t tag = 0; tag < kHostParameterCount; ++tag)
            if (auto* control = dynamic_cast<CControl*>(fx.editor->control(tag))) {
                EXPECT_EQ(control->getValue(), fx.effect->getParameter(tag)) << "tag " << tag;
                ++shown;
            }
        EXPECT_GT(shown, 60);
        EXPECT_EQ(dynamic_cast<CControl*>(fx.editor->control(kTagBypass))->getValue(), 1.0f);

        CViewContainer* settings = fx.editor->panel(kPanelSettings);
        ASSERT_NE(settings, nullptr);
        EXPECT_EQ(settings->getViewSize().left, -363); // at rest until the first tick
        for (int t = 0; t < 100; ++t)
            fx.editor->tick();
        EXPECT_EQ(settings->getViewSize().left, 0);
        EXPECT_EQ(settings->getViewSize().top, 2);
        fx.effect->setParameterFromEditor(kTagSettingsButton, toVolts(kTagSettingsButton, 0.0f), false);
        for (int t = 0; t < 100; ++t)
            fx.editor->tick();
        EXPECT_EQ(settings->getViewSize().left, -363);
        fx.editor->close();
    }
}

TEST(GuiEditor, HostChangesReachTheWindowOnlyOnItsTick)
{
    EditedEffect fx;
    ASSERT_TRUE(fx.editor->open(nullptr));
    for (int t = 0; t < 100; ++t)
        fx.editor->tick();
    fx.editor->getFrame()->flush();
    auto* knob = dynamic_cast<CControl*>(fx.editor->control(kTagMasterGain));
    ASSERT_NE(knob, nullptr);
    const float before = knob->getValue();
    fx.effect->setParameter(kTagMasterGain, 0.8f); // the host's thread: nothing changes or draws here
    EXPECT_EQ(knob->getValue(), before);
    EXPECT_FALSE(fx.editor->getFrame()->hasInvalidAreas());
    fx.editor->tick();
    EXPECT_EQ(knob->getValue(), 0.8f);
    EXPECT_TRUE(fx.editor->getFrame()->hasInvalidAreas());
}

void controlChange(CK_DSP_VST& effect, int controller, int value)
{
    VstMidiEvent midi{};
    midi.type = kVstMidiType;
    midi.byteSize = sizeof midi;
    midi.midiData[0] = static_cast<char>(0xB0);
    midi.midiData[1] = static_cast<char>(controller);
    midi.midiData[2] = static_cast<char>(value);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&midi);
    effect.processEvents(&events);
    std::vector<float> l(256), r(256);
    float* io[2] = {l.data(), r.data()};
    effect.processReplacing(io, io, 256);
}

brelvik::gui::CPoint centreOf(const brelvik::gui::CRect& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(GuiEditor, MidiLearnFromARightClickToAControllerThatMovesTheKnob)
{
    EditedEffect fx;
    fx.effect->setSampleRate(44100.0f);
    fx.effect->setBlockSize(256);
    fx.effect->resume();
    ASSERT_TRUE(fx.editor->open(nullptr));
    for (int t = 0; t < 100; ++t)
        fx.editor->tick();
    brelvik::gui::CFrame& frame = *fx.editor->getFrame();
    auto* knob = dynamic_cast<CControl*>(fx.editor->control(kTagMasterGain));
    auto* learn = dynamic_cast<CK_AssignMidiCC*>(fx.editor->control(kTagMidiLearn));
    ASSERT_TRUE(knob && learn);

    const brelvik::gui::CPoint onKnob = centreOf(knob->getFrameRect());
    frame.mouseDown(onKnob, brelvik::gui::kRButton);
    frame.mouseUp(onKnob, {});
    EXPECT_EQ(learn->parameter(), kTagMasterGain);
    controlChange(*fx.effect, 74, 10);
    for (int t = 0; t < 12; ++t)
        fx.editor->tick();
    EXPECT_TRUE(learn->isVisible());
    EXPECT_EQ(learn->controller(), 74);
    const brelvik::gui::CPoint confirm = learn->localToFrame(centreOf(learn->confirmArea()));
    frame.mouseDown(confirm, brelvik::gui::kLButton);
    frame.mouseUp(confirm, {});
    EXPECT_EQ(fx.effect->learnedController(kTagMasterGain), 74);

    void* bank = nullptr; // the assignment travels with the bank
    const VstInt32 size = fx.effect->getChunk(&bank, false);
    CK_DSP_VST restored(nullptr);
    restored.setChunk(bank, size, false);
    restored.setProgram(0);
    EXPECT_EQ(restored.learnedController(kTagMasterGain), 74);

    controlChange(*fx.effect, 74, 127);
    fx.editor->tick();
    EXPECT_EQ(fx.effect->getParameter(kTagMasterGain), 1.0f);
    EXPECT_EQ(knob->getValue(), 1.0f);
}

TEST(GuiEditor, MeterScaleFromTheProcessingSideSwitchesLegendAndMeters)
{
    EditedEffect fx;
    fx.effect->setSampleRate(44100.0f);
    fx.effect->setBlockSize(256);
    fx.effect->resume();
    ASSERT_TRUE(fx.editor->open(nullptr));
    fx.effect->setParameter(kTagMeterType, 2.0f / 3.0f); // the third scale, K14
    std::vector<float> l(256, 0.1f), r(256, 0.1f);
    float* io[2] = {l.data(), r.data()};
    for (int block = 0; block < 20; ++block) {
        fx.effect->processReplacing(io, io, 256);
        fx.editor->tick();
    }
    auto* legend = dynamic_cast<CK_GUI_Image*>(fx.editor->control(kTagMeterScale));
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(legend->selectedFrame(), 2);
    for (int32_t tag : {kTagPeakMeterLeft, kTagPeakMeterRight}) {
        auto* meter = dynamic_cast<CK_GUI_dBMeter*>(fx.editor->control(tag));
        ASSERT_NE(meter, nullptr);
        EXPECT_EQ(meter->scaleIndex(), 2);
    }
}

TEST(GuiEditor, DeletingTheEffectWithTheEditorOpenClosesItFirst)
{
    auto effect = std::make_unique<CK_DSP_VST>(nullptr);
    auto* editor = new CK_GUI_Editor(effect.get(), *effect);
    ASSERT_TRUE(editor->open(nullptr));
    effect.reset(); // effClose without effEditClose: the sanitizers see any use after free
}

TEST(GuiEditor, WindowIsAChildOfTheHostsWindowShowingTheOffscreenPixels)
{
    brelvik::test::X11TestHost host(1200, 300);
    if (!host.ready())
        GTEST_SKIP() << "no X server: Xvfb could not be started";
    EditedEffect fx;
    ASSERT_EQ(fx.effect->dispatcher(effEditOpen, 0, 0, host.parentHandle(), 0.0f), 1) << fx.editor->openError();
    const ::Window child = host.child();
    ASSERT_TRUE(brelvik::test::X11TestHost::idleUntil([&] { fx.effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f); },
                                                      [&] { return host.viewable(child); }));
    int width = 0, height = 0;
    ASSERT_TRUE(host.size(child, width, height));
    EXPECT_EQ(width, 1100); // our own size, never the parent's
    EXPECT_EQ(height, 176);
    EXPECT_EQ(host.parentOf(child), host.parent());

    fx.editor->getFrame()->invalidateAll();
    fx.editor->getFrame()->flush();
    fx.editor->getFrame()->getPlatformWindow()->sync();
    const std::vector<uint32_t> shot = host.screenshot(child, width, height);
    ASSERT_EQ(shot.size(), 1100u * 176u);
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (shot[static_cast<size_t>(y * width + x)] != (fx.editor->getFrame()->getBackBuffer().at(x, y) & 0xFFFFFFu))
                ++differing;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(fx.editor->getFrame()->getPlatformWindow()->errorCount(), 0);
    fx.effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(host.child(), 0u);
}

} // namespace
