// The built plug-in's editor in a window of our X11 test host under Xvfb, driven through the editor
// opcodes as a host drives it: size, a child window of the host's, the same pixels as the offscreen
// snapshot of the same state, and open and close cycles while audio runs.
#include "tests/integration/LoadedPlugin.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "gui/CBitmap.h"
#include "resources/artwork/TableReading.h"
#include "shell/ParameterTags.h"
#include "support/X11TestHost.h"

namespace brelvik::test {
namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 176;

class EditorWindow : public BuiltPlugin {
protected:
    void SetUp() override
    {
        BuiltPlugin::SetUp();
        host_ = std::make_unique<X11TestHost>(1200, 300);
        if (!host_->ready())
            GTEST_SKIP() << "no X server: Xvfb could not be started";
        plugin().open();
        plugin().setSampleRate(48000.0f);
        plugin().setBlockSize(256);
        plugin().resume();
    }
    void idleFor(int milliseconds)
    {
        X11TestHost::idleUntil([&] { plugin().idleEditor(); }, [] { return false; }, 15, milliseconds);
    }
    std::unique_ptr<X11TestHost> host_;
};

TEST_F(EditorWindow, OpensAsAChildOfTheHostsWindowWithTheSnapshotsPixels)
{
    int width = 0, height = 0;
    ASSERT_TRUE(plugin().editorSize(width, height));
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    ASSERT_TRUE(plugin().openEditor(host_->parentHandle()));
    const ::Window child = host_->child();
    ASSERT_TRUE(X11TestHost::idleUntil([&] { plugin().idleEditor(); }, [&] { return host_->viewable(child); }));
    EXPECT_EQ(host_->parentOf(child), host_->parent());
    ASSERT_TRUE(host_->size(child, width, height));
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);

    idleFor(3000); // panels come to rest
    XSync(host_->display(), False);
    const std::vector<uint32_t> shot = host_->screenshot(child, kWidth, kHeight);
    plugin().closeEditor();
    EXPECT_EQ(host_->child(), 0u);

    const std::string png = ::testing::TempDir() + "editor-snapshot.png";
    const std::string command = std::string(BRELVIK_SNAPSHOT_PATH) + " --ticks 300 " + png + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream file(png, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string error;
    gui::SharedPointer<gui::CBitmap> snapshot
        = gui::SharedPointer<gui::CBitmap>::adopt(gui::CBitmap::fromPng(bytes.data(), bytes.size(), &error));
    ASSERT_TRUE(snapshot) << error;
    ASSERT_EQ(shot.size(), static_cast<size_t>(kWidth * kHeight));
    int differing = 0;
    for (size_t i = 0; i < shot.size(); ++i)
        if (shot[i] != (snapshot->pixels()[i] & 0xFFFFFFu))
            ++differing;
    EXPECT_EQ(differing, 0);
    std::remove(png.c_str());
}

TEST_F(EditorWindow, OpenAndCloseCyclesWhileAudioAutomationAndControllersRun)
{
    // Controllers arrive on the audio thread while the window reads the last one received.
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> in(256, 0.25f), outL(256), outR(256);
        const float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        for (int block = 0; !done.load(); ++block) {
            plugin().sendMidi({{block % 256, 0xB0, 7, static_cast<uint8_t>(block % 128)}});
            plugin().process(inputs, outputs, 256);
        }
    });
    std::thread automation([&] {
        for (int i = 0; !done.load(); ++i)
            plugin().setParameter(i % 83, static_cast<float>(i % 101) / 100.0f);
    });
    for (int cycle = 0; cycle < 200; ++cycle) {
        ASSERT_TRUE(plugin().openEditor(host_->parentHandle()));
        for (int i = 0; i < 3; ++i)
            plugin().idleEditor();
        plugin().closeEditor();
    }
    done.store(true);
    audio.join();
    automation.join();
    EXPECT_EQ(host_->child(), 0u);
}

TEST_F(EditorWindow, HostWindowDestroyedFirstOrNoEditorCloseAtAll)
{
    ASSERT_TRUE(plugin().openEditor(host_->parentHandle()));
    idleFor(100);
    XDestroyWindow(host_->display(), host_->parent());
    XSync(host_->display(), False);
    idleFor(100); // the editor notices and closes itself
    plugin().closeEditor();

    X11TestHost second(1200, 300);
    ASSERT_TRUE(plugin().openEditor(second.parentHandle()));
    idleFor(100);
    plugin().close(); // effClose without effEditClose
    EXPECT_EQ(second.child(), 0u);
}

// Where the window shows a view of the table: its rectangle in window coordinates, for views that
// lie in the window itself (not on a panel).
CK_Rect windowRectOf(int tag, CK_ViewKind kind)
{
    for (const CK_PlacedView& view : ck_placedViews())
        if (view.tag == tag && view.kind == kind && view.parent < 0)
            return view.rect;
    return {};
}

TEST_F(EditorWindow, MouseDragsAndClicksReachTheHostAsOneGestureEach)
{
    ASSERT_TRUE(plugin().openEditor(host_->parentHandle()));
    const ::Window child = host_->child();
    ASSERT_TRUE(X11TestHost::idleUntil([&] { plugin().idleEditor(); }, [&] { return host_->viewable(child); }));
    idleFor(200);

    // "Master Gain dB": 60 px for the whole range, so 30 px up is half of it.
    const CK_Rect knob = windowRectOf(kTagMasterGain, CK_ViewKind::Knob);
    ASSERT_GT(knob.width, 0);
    plugin().setParameter(kTagMasterGain, 0.25f);
    idleFor(1000); // the knob eases there (a click while it moves would stop it where it is drawn)
    plugin().clearRecord();
    const int x = knob.x + knob.width / 2, y = knob.y + knob.height / 2;
    host_->moveTo(child, x, y);
    idleFor(50);
    host_->button(1, true);
    idleFor(50);
    for (int step = 1; step <= 6; ++step) {
        host_->moveTo(child, x, y - 5 * step);
        idleFor(30);
    }
    host_->button(1, false);
    idleFor(100);
    EXPECT_NEAR(plugin().getParameter(kTagMasterGain), 0.75f, 1e-4f);
    host::HostRecord record = plugin().record();
    ASSERT_GE(record.gestures.size(), 3u);
    EXPECT_EQ(record.gestures.front(), std::make_pair('b', int{kTagMasterGain}));
    EXPECT_EQ(record.gestures.back(), std::make_pair('e', int{kTagMasterGain}));
    for (size_t i = 1; i + 1 < record.gestures.size(); ++i)
        EXPECT_EQ(record.gestures[i], std::make_pair('a', int{kTagMasterGain}));

    // An LED switch of the window toggles its parameter with one click.
    const CK_PlacedView* led = nullptr;
    for (const CK_PlacedView& view : ck_placedViews())
        if (view.kind == CK_ViewKind::LedSwitch && view.parent < 0 && view.tag >= 0 && view.tag < kHostParameterCount)
            led = &view;
    ASSERT_NE(led, nullptr);
    const float before = plugin().getParameter(led->tag);
    plugin().clearRecord();
    host_->moveTo(child, led->rect.x + led->rect.width / 2, led->rect.y + led->rect.height / 2);
    idleFor(50);
    host_->button(1, true);
    idleFor(50);
    host_->button(1, false);
    idleFor(100);
    EXPECT_EQ(plugin().getParameter(led->tag), before > 0.5f ? 0.0f : 1.0f) << "switch of tag " << led->tag;
    record = plugin().record();
    ASSERT_EQ(record.gestures.size(), 3u);
    EXPECT_EQ(record.gestures[0].first, 'b');
    EXPECT_EQ(record.gestures[1].first, 'a');
    EXPECT_EQ(record.gestures[2].first, 'e');
    plugin().closeEditor();
}

} // namespace
} // namespace brelvik::test
