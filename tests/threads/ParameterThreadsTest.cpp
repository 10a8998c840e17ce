// The host changes parameters and programs from its own thread while the audio thread processes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "shell/CK_DSP_VST.h"
#include "support/TestGraph.h"
#include "support/TestModules.h"

namespace {

class ThreadedEffect : public CK_DSP_VST {
public:
    ThreadedEffect() : CK_DSP_VST(nullptr)
    {
        table_ = makeGraphTable({{6003, {}}, {6015, {{0, 0, 6003}, {1, 1, 6003}, {2, 0, 5}, {3, 0, 9}}}});
        setGraphTable(table_.data());
    }
    CK_ModuleBase* makeModule(int32_t id) override
    {
        if (id == 6003)
            return new TestAudioIn(this);
        return new PassThrough(this);
    }
    PassThrough* pass() { return static_cast<PassThrough*>(modules[1]); }

private:
    std::vector<uint8_t> table_;
};

TEST(ParameterThreads, ChangesFromAnotherThreadReachTheModulesWithoutRaces)
{
    ThreadedEffect fx;
    fx.setBlockSize(128);
    fx.resume();

    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> l(300), r(300), ol(300), orr(300);
        float* in[2] = {l.data(), r.data()};
        float* out[2] = {ol.data(), orr.data()};
        while (!done.load())
            fx.processReplacing(in, out, 300);
    });

    for (int i = 0; i < 20000; ++i) {
        fx.setParameter(5, static_cast<float>(i % 101) / 100.0f);
        fx.setParameter(9, static_cast<float>((i * 7) % 101) / 100.0f);
        if (i % 1000 == 0)
            fx.setProgram(i / 1000 % 12);
    }
    fx.setProgram(3);
    fx.setParameter(5, 0.75f); // -10 dB
    fx.setParameter(9, 0.5f);  // -20 dB
    done.store(true);
    audio.join();

    // The next processing call delivers the last values set.
    std::vector<float> l(64), r(64);
    float* io[2] = {l.data(), r.data()};
    fx.processReplacing(io, io, 64);
    EXPECT_FLOAT_EQ(fx.parameterVolts[5], -1.0f);
    EXPECT_FLOAT_EQ(fx.parameterVolts[9], -2.0f);
    EXPECT_FLOAT_EQ(fx.pass()->lastValue[2], -1.0f);
    EXPECT_FLOAT_EQ(fx.pass()->lastValue[3], -2.0f);
    EXPECT_EQ(fx.getProgram(), 3);
    EXPECT_EQ(fx.eventPool.heapFallbacks(), 0u);
}

TEST(ParameterThreads, StateRestoresAndMidiLearnWhileControllersPlay)
{
    ThreadedEffect fx;
    fx.setBlockSize(128);
    fx.resume();
    fx.setLearnedController(5, 7);

    // A bank and a program chunk, as a host saved them, with controller 7 learned for parameter 5.
    void* data = nullptr;
    const VstInt32 bankSize = fx.getChunk(&data, false);
    const std::vector<uint8_t> bank(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + bankSize);
    const VstInt32 programSize = fx.getChunk(&data, true);
    const std::vector<uint8_t> program(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + programSize);

    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> l(300), r(300), ol(300), orr(300);
        float* in[2] = {l.data(), r.data()};
        float* out[2] = {ol.data(), orr.data()};
        VstMidiEvent cc = {};
        cc.type = kVstMidiType;
        cc.byteSize = sizeof cc;
        cc.midiData[0] = static_cast<char>(0xB0);
        cc.midiData[1] = 7;
        VstEvents events = {};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&cc);
        for (int i = 0; !done.load(); ++i) {
            cc.deltaFrames = i % 300;
            cc.midiData[2] = static_cast<char>(i % 128);
            fx.processEvents(&events);
            fx.processReplacing(in, out, 300);
        }
    });
    std::thread learning([&] {
        for (int i = 0; !done.load(); ++i)
            fx.setLearnedController(9 + i % 4, i % 2 ? 7 : -1);
    });

    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> copy = i % 2 ? bank : program;
        fx.setChunk(copy.data(), static_cast<VstInt32>(copy.size()), i % 2 == 0);
    }
    done.store(true);
    audio.join();
    learning.join();
    EXPECT_EQ(fx.learnedController(5), 7);
    EXPECT_EQ(fx.eventPool.heapFallbacks(), 0u);
}

} // namespace
