// Driving the plug-in binary through a host's life cycle: loading and unloading, latency, processing
// at the edges (before the first resume, empty blocks, MIDI ahead of a block), and the host
// library's own errors for binaries it cannot use.
#include "tests/integration/LoadedPlugin.h"

#include <dlfcn.h>
#include <link.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace brelvik::test {
namespace {

TEST_F(BuiltPlugin, LatencyIsTwoMillisecondsAtTheCurrentRate)
{
    plugin().open();
    plugin().setSampleRate(44100.0f);
    plugin().setBlockSize(512);
    plugin().resume();
    EXPECT_EQ(plugin().latency(), 88);

    plugin().suspend();
    plugin().setSampleRate(48000.0f);
    plugin().resume();
    EXPECT_EQ(plugin().latency(), 96);
}

// Two channels of `frames` samples, followed by a guard region the plug-in must not write.
struct StereoBuffers {
    static constexpr int kGuard = 16;
    static constexpr float kGarbage = 1234.5f;

    explicit StereoBuffers(int frames) : frames(frames)
    {
        for (int c = 0; c < 2; ++c) {
            in[c].resize(frames + kGuard);
            out[c].assign(frames + kGuard, kGarbage);
            for (int i = 0; i < frames; ++i)
                in[c][i] = 0.5f * std::sin(0.05f * i + c);
        }
    }
    const float* inputs[2] = {nullptr, nullptr};
    float* outputs[2] = {nullptr, nullptr};

    void process(host::HostedPlugin& plugin)
    {
        for (int c = 0; c < 2; ++c) {
            inputs[c] = in[c].data();
            outputs[c] = out[c].data();
        }
        plugin.process(inputs, outputs, frames);
    }

    int frames;
    std::vector<float> in[2];
    std::vector<float> out[2];
};

TEST_F(BuiltPlugin, OutputsSilenceBeforeTheFirstResume)
{
    plugin().open();
    plugin().setSampleRate(44100.0f);
    plugin().setBlockSize(256);
    StereoBuffers buffers(256);
    buffers.process(plugin());
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < buffers.frames; ++i)
            ASSERT_EQ(buffers.out[c][i], 0.0f) << "channel " << c << " frame " << i;
        for (int i = buffers.frames; i < buffers.frames + StereoBuffers::kGuard; ++i)
            ASSERT_EQ(buffers.out[c][i], StereoBuffers::kGarbage) << "wrote past the block, channel " << c;
    }
}

TEST_F(BuiltPlugin, EmptyBlocksChangeNothing)
{
    plugin().open();
    plugin().setSampleRate(48000.0f);
    plugin().setBlockSize(512);
    StereoBuffers empty(0);
    empty.process(plugin());
    plugin().resume();
    empty.process(plugin());
    for (int c = 0; c < 2; ++c)
        for (float v : empty.out[c])
            EXPECT_EQ(v, StereoBuffers::kGarbage);

    StereoBuffers block(512);
    block.process(plugin());
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < block.frames; ++i)
            ASSERT_TRUE(std::isfinite(block.out[c][i])) << "channel " << c << " frame " << i;
}

TEST_F(BuiltPlugin, TakesMidiBeforeABlock)
{
    plugin().open();
    plugin().setSampleRate(48000.0f);
    plugin().setBlockSize(128);
    plugin().resume();
    // More events than VstEvents declares, so the plug-in must read the array by numEvents.
    std::vector<host::MidiMessage> messages;
    for (int i = 0; i < 6; ++i)
        messages.push_back({i * 20, 0xB0, static_cast<uint8_t>(20 + i), 64});
    plugin().sendMidi(messages);
    StereoBuffers block(128);
    block.process(plugin());
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < block.frames; ++i)
            ASSERT_TRUE(std::isfinite(block.out[c][i]));
}

TEST(PluginLoading, LoadsAgainAfterClosing)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        LoadedPlugin loaded = loadBuiltPlugin();
        ASSERT_NE(loaded.plugin, nullptr);
        host::HostedPlugin& plugin = *loaded.plugin;
        EXPECT_EQ(plugin.effect()->magic, kEffectMagic);
        plugin.open();
        plugin.setSampleRate(44100.0f);
        plugin.setBlockSize(64);
        plugin.resume();
        StereoBuffers block(64);
        block.process(plugin);
        plugin.close();
        EXPECT_EQ(plugin.effect(), nullptr);
        EXPECT_THROW(plugin.dispatch(effGetVstVersion), std::logic_error);
    }
}

TEST(PluginLoading, InstancesSideBySideAreIndependent)
{
    std::string error;
    auto library = host::PluginLibrary::open(BRELVIK_PLUGIN_PATH, error);
    ASSERT_NE(library, nullptr) << error;
    auto a = host::HostedPlugin::load(*library, {}, error);
    auto b = host::HostedPlugin::load(*library, {}, error);
    ASSERT_NE(a, nullptr) << error;
    ASSERT_NE(b, nullptr) << error;
    ASSERT_NE(a->effect(), b->effect());
    EXPECT_NE(a->effect()->object, b->effect()->object);
    // Each instance's callbacks reached its own host object.
    EXPECT_GE(a->record().wantMidi, 1);
    EXPECT_EQ(a->record().wantMidi, b->record().wantMidi);

    for (auto* p : {a.get(), b.get()}) {
        p->open();
        p->setSampleRate(44100.0f);
        p->setBlockSize(256);
        p->resume();
    }
    const float before = b->getParameter(0);
    const float changed = before < 0.5f ? 1.0f : 0.0f;
    a->setParameter(0, changed);
    StereoBuffers blockA(256), blockB(256);
    blockA.process(*a);
    blockB.process(*b);
    EXPECT_NE(a->getParameter(0), before) << "parameter 0 did not take the new value";
    EXPECT_EQ(b->getParameter(0), before) << "a parameter change leaked into the other instance";

    a->close();
    blockB.process(*b);
    EXPECT_TRUE(std::isfinite(blockB.out[0][0]));
}

TEST(HostLibrary, ExplainsBinariesItCannotLoad)
{
    std::string error;
    EXPECT_EQ(host::PluginLibrary::open("/nonexistent/Plugin.so", error), nullptr);
    EXPECT_NE(error.find("/nonexistent/Plugin.so"), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;

    const std::string text = ::testing::TempDir() + "not-a-plugin.so";
    std::FILE* f = std::fopen(text.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("plain text\n", f);
    std::fclose(f);
    error.clear();
    EXPECT_EQ(host::PluginLibrary::open(text, error), nullptr);
    EXPECT_NE(error.find("cannot load plug-in"), std::string::npos) << error;
    std::remove(text.c_str());

    // A real shared library without either entry name: the C maths library this test links.
    void* libm = dlopen("libm.so.6", RTLD_LAZY);
    ASSERT_NE(libm, nullptr);
    link_map* map = nullptr;
    ASSERT_EQ(dlinfo(libm, RTLD_DI_LINKMAP, &map), 0);
    const std::string libmPath = map->l_name;
    dlclose(libm);
    error.clear();
    EXPECT_EQ(host::PluginLibrary::open(libmPath, error), nullptr);
    EXPECT_NE(error.find("exports neither VSTPluginMain nor main"), std::string::npos) << error;
}

TEST(HostLibrary, FindsTheEntryPointUnderItsModernName)
{
    std::string error;
    auto library = host::PluginLibrary::open(BRELVIK_PLUGIN_PATH, error);
    ASSERT_NE(library, nullptr) << error;
    EXPECT_EQ(library->entryName(), "VSTPluginMain");
}

} // namespace
} // namespace brelvik::test
