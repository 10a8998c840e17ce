#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "shell/CK_DSP_VST.h"
#include "support/TestGraph.h"
#include "support/TestModules.h"
#include "vst/VstStrings.h"

namespace {

// IDs of the product's ranges, mapped to test classes.
constexpr int16_t kInputId = 6003;
constexpr int16_t kPassId = 6015;

// An effect whose graph is an input module and a pass-through that listens to parameter 5.
class TestEffect : public CK_DSP_VST {
public:
    TestEffect() : CK_DSP_VST(nullptr)
    {
        table_ = makeGraphTable({{kInputId, {}}, {kPassId, {{0, 0, kInputId}, {1, 1, kInputId}, {2, 0, 5}}}});
        setGraphTable(table_.data());
    }
    CK_ModuleBase* makeModule(int32_t id) override
    {
        ++created;
        if (id == kInputId)
            return new TestAudioIn(this);
        return new PassThrough(this);
    }
    PassThrough* pass() { return static_cast<PassThrough*>(modules[1]); }

    int created = 0;

private:
    std::vector<uint8_t> table_;
};

struct Stereo {
    explicit Stereo(int frames) : left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames)) {}
    float* ptrs[2];
    float** get()
    {
        ptrs[0] = left.data();
        ptrs[1] = right.data();
        return ptrs;
    }
    std::vector<float> left, right;
};

void ramp(Stereo& s, float start)
{
    for (size_t i = 0; i < s.left.size(); ++i) {
        s.left[i] = start + static_cast<float>(i);
        s.right[i] = -(start + static_cast<float>(i));
    }
}

TEST(EffectDriver, SilenceBeforeTheFirstResume)
{
    TestEffect fx;
    Stereo in(256), out(256);
    ramp(in, 1.0f);
    std::fill(out.left.begin(), out.left.end(), 7.0f);
    std::fill(out.right.begin(), out.right.end(), 7.0f);
    fx.processReplacing(in.get(), out.get(), 256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(out.left[i], 0.0f);
        EXPECT_EQ(out.right[i], 0.0f);
    }
    EXPECT_EQ(fx.created, 0);
}

TEST(EffectDriver, HostBlocksAreCutIntoSubBlocksOfTheRing)
{
    TestEffect fx;
    fx.setBlockSize(512);
    fx.resume();
    Stereo in(300), out(300);
    ramp(in, 1.0f);
    fx.processReplacing(in.get(), out.get(), 300);
    EXPECT_EQ(fx.pass()->subBlocks, (std::vector<int32_t>{128, 128, 44}));
    EXPECT_EQ(fx.ringPosition(), 44u);
    EXPECT_EQ(fx.clock, 300u);
    EXPECT_EQ(out.left, in.left);
    EXPECT_EQ(out.right, in.right);

    fx.pass()->subBlocks.clear();
    ramp(in, 1000.0f);
    fx.processReplacing(in.get(), out.get(), 300);
    EXPECT_EQ(fx.pass()->subBlocks, (std::vector<int32_t>{84, 128, 88}));
    EXPECT_EQ(out.left, in.left);
}

TEST(EffectDriver, SmallHostBlockShrinksEveryBuffer)
{
    TestEffect fx;
    fx.setBlockSize(64);
    fx.resume();
    EXPECT_EQ(fx.builtBlockSize(), 64);
    EXPECT_EQ(fx.cappedBlockSize, 64);
    EXPECT_EQ(fx.pass()->blockSize, 64);
    Stereo in(200), out(200);
    ramp(in, 0.5f);
    fx.processReplacing(in.get(), out.get(), 200);
    EXPECT_EQ(fx.pass()->subBlocks, (std::vector<int32_t>{64, 64, 64, 8}));
    EXPECT_EQ(out.left, in.left);

    // A host that raises the block size without a resume keeps running on the buffers it has.
    fx.setBlockSize(1024);
    fx.pass()->subBlocks.clear();
    fx.processReplacing(in.get(), out.get(), 200);
    for (int32_t n : fx.pass()->subBlocks)
        EXPECT_LE(n, 64);
    EXPECT_EQ(out.left, in.left);
}

TEST(EffectDriver, ZeroAndNegativeFrameCountsDoNothing)
{
    TestEffect fx;
    fx.resume();
    Stereo in(8), out(8);
    fx.processReplacing(in.get(), out.get(), 0);
    fx.processReplacing(in.get(), out.get(), -5);
    fx.processReplacing(nullptr, out.get(), 8); // no inputs: treated as silence
    EXPECT_EQ(fx.clock, 8u);
    EXPECT_EQ(out.left, std::vector<float>(8, 0.0f));
}

TEST(EffectDriver, ResumeRebuildsOnlyWhenTheFormatChanged)
{
    TestEffect fx;
    fx.setSampleRate(44100.0f);
    fx.setBlockSize(256);
    fx.resume();
    EXPECT_EQ(fx.created, 2);
    EXPECT_EQ(fx.getAeffect()->initialDelay, 88);

    Stereo in(100), out(100);
    fx.processReplacing(in.get(), out.get(), 100);
    fx.suspend();
    EXPECT_EQ(fx.clock, 0u);
    EXPECT_EQ(fx.ringPosition(), 0u);
    EXPECT_EQ(fx.pass()->clears, 1);
    fx.resume();
    EXPECT_EQ(fx.created, 2); // kept
    EXPECT_EQ(fx.pass()->restarts, 1);

    fx.suspend();
    fx.setSampleRate(48000.0f);
    EXPECT_EQ(fx.tables.sampleRateHz, 48000); // tables follow at once
    fx.resume();
    EXPECT_EQ(fx.created, 4);
    EXPECT_EQ(fx.getAeffect()->initialDelay, 96);
    EXPECT_EQ(fx.builtSampleRate(), 48000);
}

TEST(EffectDriver, NonsenseRatesAndBlockSizesAreIgnored)
{
    TestEffect fx;
    fx.setSampleRate(48000.0f);
    fx.setSampleRate(0.0f);
    fx.setSampleRate(-44100.0f);
    fx.setSampleRate(NAN);
    EXPECT_EQ(fx.sampleRateHz, 48000);
    fx.setBlockSize(0);
    fx.setBlockSize(-1);
    fx.resume();
    EXPECT_EQ(fx.builtBlockSize(), 128);
}

TEST(EffectDriver, ParameterChangesArePostedAtTheClockOfTheNextProcessingCall)
{
    TestEffect fx;
    fx.resume();
    Stereo in(64), out(64);
    fx.processReplacing(in.get(), out.get(), 64);
    const int before = fx.pass()->events;

    fx.setParameter(5, 0.25f); // "Low Thresh dB": -40..0 -> -30 dB, -3 volts
    EXPECT_EQ(fx.pass()->events, before); // nothing reaches a module outside processing
    fx.processReplacing(in.get(), out.get(), 64);
    EXPECT_EQ(fx.pass()->events, before + 1);
    EXPECT_FLOAT_EQ(fx.pass()->lastValue[2], -3.0f);
    EXPECT_FLOAT_EQ(fx.parameterVolts[5], -3.0f);
    EXPECT_FLOAT_EQ(fx.getParameter(5), 0.25f);

    // Many changes between two calls collapse into the newest value.
    for (int i = 0; i <= 10; ++i)
        fx.setParameter(5, static_cast<float>(i) / 10.0f);
    fx.processReplacing(in.get(), out.get(), 64);
    EXPECT_EQ(fx.pass()->events, before + 2);
    EXPECT_FLOAT_EQ(fx.pass()->lastValue[2], 0.0f);
}

TEST(EffectDriver, ResumePushesEveryParameterToTheNewModules)
{
    TestEffect fx;
    fx.setParameter(5, 0.5f);
    fx.resume();
    EXPECT_EQ(fx.listenerCount(5), 1);
    EXPECT_EQ(fx.pass()->inputs[2], &fx.parameterVolts[5]);
    Stereo in(16), out(16);
    fx.processReplacing(in.get(), out.get(), 16);
    EXPECT_EQ(fx.pass()->events, 1);
    EXPECT_FLOAT_EQ(fx.pass()->lastValue[2], -2.0f);

    // A rebuild leaves the same listeners, positions and IDs.
    fx.suspend();
    fx.setBlockSize(32);
    fx.resume();
    EXPECT_EQ(fx.listenerCount(5), 1);
    EXPECT_EQ(fx.positionOfId(kInputId), 0);
    EXPECT_EQ(fx.positionOfId(kPassId), 1);
    EXPECT_EQ(fx.moduleCount, 2);
}

TEST(EffectDriver, ModuleMessagesAndValuesReachTheEditorMailboxIntact)
{
    TestEffect fx;
    std::vector<std::pair<int32_t, CK_LinkMessage>> got;
    auto take = [&] {
        got.clear();
        fx.editorMailbox().takeMessages([&](int32_t tag, const CK_LinkMessage& m) { got.emplace_back(tag, m); });
    };
    CK_LinkMessage scale; // a meter-scale message: scale index 2 in the mode field
    scale.mode = 2;
    scale.id = 110;
    scale.value = 0.2f;
    scale.payload = 2;
    fx.showValue(kTagPeakMeterLeft, scale);
    take();
    EXPECT_TRUE(got.empty()); // no editor attached
    fx.setEditorAttached(true);
    fx.showValue(kParameterCount, scale); // beyond the last tag
    CK_LinkMessage peak;
    for (float p : {0.5f, 0.9f, 0.25f}) {
        peak.value = p;
        fx.showValue(kTagPeakMeterLeft, peak);
    }
    fx.showValue(kTagPeakMeterLeft, scale);
    take();
    ASSERT_EQ(got.size(), 2u); // the scale message beside the peaks' maximum, not merged with them
    EXPECT_EQ(got[0].first, kTagPeakMeterLeft);
    EXPECT_EQ(got[0].second.mode, 2);
    EXPECT_EQ(got[0].second.id, 110);
    EXPECT_EQ(got[0].second.value, 0.2f);
    EXPECT_EQ(got[0].second.payload, 2);
    EXPECT_EQ(got[1].second.mode, 0);
    EXPECT_EQ(got[1].second.value, 0.9f);
    take();
    EXPECT_TRUE(got.empty()); // taken once

    peak.value = 0.1f; // the readout is no meter: its newest value counts, not the largest
    fx.showValue(kTagPeakReadout, scale);
    fx.showValue(kTagPeakReadout, peak);
    take();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].second.value, 0.1f);

    std::vector<std::tuple<int32_t, float, bool>> values;
    fx.setParameter(kTagMasterGain, 0.25f);
    fx.setParameter(kTagMasterGain, 0.75f);
    fx.setProgram(1);
    fx.editorMailbox().takeValues([&](int32_t tag, float v, bool load) { values.emplace_back(tag, v, load); });
    ASSERT_EQ(values.size(), static_cast<size_t>(kHostParameterCount));
    EXPECT_EQ(std::get<0>(values[kTagMasterGain]), kTagMasterGain);
    EXPECT_EQ(std::get<1>(values[kTagMasterGain]), fx.getParameter(kTagMasterGain));
    EXPECT_TRUE(std::get<2>(values[kTagMasterGain])); // changed during the program load
}

TEST(EffectDriver, EmptyGraphTableGivesSilence)
{
    TestEffect fx;
    const std::vector<uint8_t> empty = makeGraphTable({});
    fx.setGraphTable(empty.data());
    fx.resume();
    EXPECT_EQ(fx.moduleCount, 0);
    Stereo in(32), out(32);
    ramp(in, 1.0f);
    fx.processReplacing(in.get(), out.get(), 32);
    EXPECT_EQ(out.left, std::vector<float>(32, 0.0f));
}

TEST(EffectDriver, CanDoAnswersExactly)
{
    TestEffect fx;
    EXPECT_EQ(fx.canDo("receiveVstEvents"), 1);
    EXPECT_EQ(fx.canDo("receiveVstMidiEvents"), 1);
    EXPECT_EQ(fx.canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(fx.canDo("sendVstMidiEvent"), -1);
    EXPECT_EQ(fx.canDo("sendVstEvents"), -1);
    EXPECT_EQ(fx.canDo("offline"), -1);
    EXPECT_EQ(fx.canDo("bypass"), -1);
    EXPECT_EQ(fx.canDo("midiProgramNames"), -1);
    EXPECT_EQ(fx.canDo("receiveVstMidiEvent"), 0);
    EXPECT_EQ(fx.canDo("Bypass"), 0);
    EXPECT_EQ(fx.canDo("bypass "), 0);
    EXPECT_EQ(fx.canDo(""), 0);
    EXPECT_EQ(fx.canDo(nullptr), 0);
}

TEST(Float2String, FixedWidthWithTruncatedFraction)
{
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {0.0f, "0.000000"},   {0.2f, "0.200000"},   {0.7f, "0.699999"},   {20.0f, "20.00000"},
        {-10.0f, "-10.0000"}, {1000.0f, "1000.000"}, {20480.0f, "20480.00"}, {1234567.0f, "1234567."},
        {-0.5f, "-0.50000"},  {1e8f, "Huge!"},      {-1e8f, "-Huge!"},
    };
    for (const auto& c : cases) {
        char text[16];
        std::memset(text, 'x', sizeof text);
        float2string(c.value, text, kVstMaxParamStrLen);
        EXPECT_STREQ(text, c.text) << c.value;
    }
    char small[4];
    float2string(1000.0f, small, 3);
    EXPECT_STREQ(small, "100");
}

} // namespace
