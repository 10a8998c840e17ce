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

TEST_F(EditorWindow, FiftyOpenAndCloseCyclesWhileAudioRuns)
{
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> in(256, 0.25f), outL(256), outR(256);
        const float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        while (!done.load())
            plugin().process(inputs, outputs, 256);
    });
    for (int cycle = 0; cycle < 50; ++cycle) {
        ASSERT_TRUE(plugin().openEditor(host_->parentHandle()));
        for (int i = 0; i < 3; ++i)
            plugin().idleEditor();
        plugin().closeEditor();
    }
    done.store(true);
    audio.join();
    EXPECT_EQ(host_->child(), 0u);
}

} // namespace
} // namespace brelvik::test
