#include <gtest/gtest.h>

#include <vector>

#include "modules/CK_DSP_Float_to_Volt.h"
#include "modules/CK_DSP_GUItoV_Glide.h"
#include "modules/CK_DSP_Host_AudioIn.h"
#include "modules/CK_FixedValueModules.h"
#include "support/TestModules.h"

namespace {

// A glide at 48 kHz (30 ms = 1440 frames, 100 ms hold = 4800 frames) feeding a recorder that sees
// the control buffer on its pin 0 and the events of both glide outputs.
struct GlideFixture : ::testing::Test {
    CK_ModuleOwner owner;
    CK_DSP_GUItoV_Glide* glide = nullptr;
    RecordingModule* sink = nullptr;
    std::vector<float> trace; // the control buffer, frame by frame

    void SetUp() override
    {
        owner.sampleRateHz = 48000;
        glide = new CK_DSP_GUItoV_Glide(&owner);
        sink = new RecordingModule(&owner);
        owner.addModule(glide);
        owner.addModule(sink);
        glide->connect(sink, 1, 0, 0);
        glide->connect(sink, 1, 1, 1);
        glide->prepare();
        sink->prepare();
    }
    void post(int pin, float volts) { glide->postEvent(owner.clock, pin, 0, roundedValue(volts), volts, nullptr); }
    void run(int frames)
    {
        while (frames > 0) {
            const auto position = static_cast<int32_t>(owner.clock % 128);
            const int n = std::min(frames, 128 - position);
            owner.runModules(position, n);
            for (int i = 0; i < n; ++i)
                trace.push_back(glide->outputs[0][position + i]);
            owner.clock += static_cast<uint32_t>(n);
            frames -= n;
        }
    }
    std::vector<RecordingModule::Handled> eventsOn(int pin) const
    {
        std::vector<RecordingModule::Handled> out;
        for (const auto& h : sink->handled)
            if (h.pin == pin)
                out.push_back(h);
        return out;
    }
};

using Glide = GlideFixture;

TEST_F(Glide, RampReachesItsTargetExactlyWithoutOvershoot)
{
    post(0, 0.5f);
    run(2048);
    ASSERT_EQ(eventsOn(0).size(), 1u);
    EXPECT_EQ(eventsOn(0)[0].kind, 1); // starts changing, from 0
    EXPECT_EQ(eventsOn(0)[0].floatValue, 0.0f);
    // 1440 frames of rise, every frame at most the target, then exactly the target.
    for (size_t i = 0; i < trace.size(); ++i) {
        EXPECT_LE(trace[i], 0.5f) << i;
        if (i > 0 && i < 1440) {
            EXPECT_GT(trace[i], trace[i - 1]) << i;
        }
    }
    EXPECT_NEAR(trace[719], 0.25f, 1e-4f);
    for (size_t i = 1440; i < trace.size(); ++i)
        EXPECT_EQ(trace[i], 0.5f) << i;

    // A falling ramp mirrors it.
    trace.clear();
    post(0, -0.3f);
    run(2048);
    for (float v : trace)
        EXPECT_GE(v, -0.3f);
    EXPECT_EQ(trace.back(), -0.3f);
}

TEST_F(Glide, SettlesAnnouncesAndRestsAfterGlidePlusHold)
{
    post(0, 1.0f);
    run(1440 + 4800 + 256);
    const auto events = eventsOn(0);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].kind, 0);
    EXPECT_EQ(events[1].intValue, 0);
    EXPECT_EQ(events[1].floatValue, 0.0f);
    EXPECT_GT(events[1].time, 1440u + 4800u);
    EXPECT_LE(events[1].time, 1440u + 4800u + 128u);
    EXPECT_TRUE(glide->flags & CK_ModuleBase::kFlagResting);
}

TEST_F(Glide, NewValueDuringARampRestartsFromTheCurrentValue)
{
    post(0, 1.0f);
    run(720); // half way: about 0.5
    const float halfway = trace.back();
    post(0, 0.0f);
    run(1440);
    // One kind-1 announcement for the whole movement; the new ramp takes the full glide time.
    ASSERT_EQ(eventsOn(0).size(), 1u);
    EXPECT_NEAR(trace[720 + 719], halfway / 2.0f, 1e-3f);
    EXPECT_EQ(trace.back(), 0.0f);
}

TEST_F(Glide, JumpsRightAfterAProgramChange)
{
    owner.programChanged = -1;
    post(0, 0.7f);
    run(8);
    owner.programChanged = 0;
    const auto events = eventsOn(0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, 0);
    EXPECT_FLOAT_EQ(events[0].floatValue, 0.7f);
    for (float v : trace)
        EXPECT_EQ(v, 0.7f);
}

TEST_F(Glide, SameValueTwiceSendsNothingTheSecondTime)
{
    post(0, 0.2f);
    run(3000);
    const size_t before = sink->handled.size();
    post(0, 0.2f);
    run(3000);
    EXPECT_EQ(sink->handled.size(), before);
}

TEST_F(Glide, OnOffOutputSendsOncePerChange)
{
    post(0, 0.5f);
    run(64);
    post(0, 0.6f);
    run(64);
    post(0, 0.0f);
    run(64);
    post(0, 0.0f);
    run(64);
    post(0, 0.1f);
    run(64);
    const auto onOff = eventsOn(1);
    ASSERT_EQ(onOff.size(), 3u);
    EXPECT_EQ(onOff[0].intValue, 1);
    EXPECT_EQ(onOff[0].floatValue, 1.0f);
    EXPECT_EQ(onOff[1].intValue, 0);
    EXPECT_EQ(onOff[1].floatValue, 0.0f);
    EXPECT_EQ(onOff[2].intValue, 1);
}

TEST_F(Glide, ScaleOffsetAndGlideTimeInputs)
{
    post(9, 0.1f);   // scale 1
    post(10, 0.5f);  // offset 5
    post(0, 0.25f);
    post(1, 0.0f);   // no glide: immediate, still announced as changing
    run(16);
    EXPECT_EQ(trace.back(), 5.25f);
    const auto events = eventsOn(0);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().kind, 1);
}

TEST(GlideWidthMode, MapsWidthVoltsOntoZeroToOne)
{
    CK_ModuleOwner owner;
    CK_DSP_GUItoV_Glide glide(&owner);
    glide.setInput(19, nullptr); // the marker pin is wired, whatever it points to
    glide.prepare();
    owner.programChanged = -1;
    glide.handleEvent(CK_Event{0, 0, 0, 100, 10.0f, nullptr, nullptr, nullptr}, 0);
    EXPECT_EQ(glide.target, 0.0f);
    glide.handleEvent(CK_Event{0, 0, 0, 10, 1.0f, nullptr, nullptr, nullptr}, 0);
    EXPECT_EQ(glide.target, 1.0f);
}

TEST(FloatToVolt, WritesScaledValueAnnouncesItAndRests)
{
    CK_ModuleOwner owner;
    auto* ftv = new CK_DSP_Float_to_Volt(&owner);
    auto* sink = new RecordingModule(&owner);
    owner.addModule(ftv);
    owner.addModule(sink);
    ftv->connect(sink, 1, 0, 0);
    ftv->connect(sink, 1, 1, 1);
    ftv->prepare();
    sink->prepare();
    ftv->postEvent(0, 9, 0, 20, 2.0f, nullptr); // scale 20
    ftv->postEvent(0, 0, 0, 3, 0.3f, nullptr);
    for (int b = 0; b < 3; ++b) {
        owner.runModules(0, 128);
        owner.clock += 128;
    }
    EXPECT_FLOAT_EQ(ftv->outputs[0][100], 6.0f);
    EXPECT_TRUE(ftv->flags & CK_ModuleBase::kFlagResting);
    ASSERT_EQ(sink->handled.size(), 2u);
    EXPECT_EQ(sink->handled[0].pin, 0);
    EXPECT_EQ(sink->handled[0].intValue, 6);
    EXPECT_EQ(sink->handled[1].pin, 1);
    EXPECT_EQ(sink->handled[1].intValue, 1);
}

TEST(FixedValues, ConstantsBecomeVoltBuffersAndOneAnnouncementEach)
{
    CK_ModuleOwner owner;
    owner.cappedBlockSize = 64;
    static const float ten = 10.0f, two = 2.0f;
    auto* volts = new CK_DSP_FixedValueToVolt(&owner);
    auto* events = new CK_DSP_FixedValueToINT_FLOAT(&owner);
    auto* sink = new RecordingModule(&owner);
    owner.addModule(volts);
    owner.addModule(events);
    owner.addModule(sink);
    volts->setInput(3, &ten);
    events->setInput(41, &two);
    EXPECT_EQ(volts->pinCount, 4);
    EXPECT_EQ(volts->outputs[0], nullptr);
    for (int i = 0; i < 64 + 4; ++i)
        EXPECT_EQ(volts->outputs[3][i], 1.0f);
    EXPECT_EQ(events->outputs[41], nullptr);

    volts->connect(sink, 2, 3, 0);
    events->connect(sink, 2, 41, 1);
    EXPECT_EQ(sink->inputs[1], nullptr); // event-only outputs have no buffer
    volts->prepare();
    events->prepare();
    sink->prepare();
    owner.runModules(0, 64);
    ASSERT_EQ(sink->handled.size(), 2u);
    EXPECT_EQ(sink->handled[0].intValue, 10);
    EXPECT_FLOAT_EQ(sink->handled[0].floatValue, 1.0f);
    EXPECT_EQ(sink->handled[1].intValue, 2);
    EXPECT_FLOAT_EQ(sink->handled[1].floatValue, 0.2f);
    EXPECT_TRUE(volts->flags & CK_ModuleBase::kFlagResting);
    EXPECT_TRUE(events->flags & CK_ModuleBase::kFlagResting);
}

TEST(HostAudioIn, RegistersItsBuffersAndAnnouncesLiveAudio)
{
    CK_ModuleOwner owner;
    auto* in = new CK_DSP_Host_AudioIn(&owner);
    auto* sink = new RecordingModule(&owner);
    owner.addModule(in);
    owner.addModule(sink);
    EXPECT_EQ(owner.hostInput[0], in->outputs[0]);
    EXPECT_EQ(owner.hostInput[1], in->outputs[1]);
    in->connect(sink, 1, 0, 0);
    in->connect(sink, 1, 1, 1);
    in->prepare();
    sink->prepare();
    owner.hostInput[0][5] = 0.25f;
    owner.runModules(0, 16);
    EXPECT_EQ(sink->outputs[1][5], 0.25f); // the reader sees the host's frame directly
    ASSERT_EQ(sink->handled.size(), 2u);
    EXPECT_EQ(sink->handled[0].kind, 1);
    EXPECT_EQ(sink->handled[1].pin, 1);
    EXPECT_TRUE(in->flags & CK_ModuleBase::kFlagResting);
    owner.destroyModules();
    EXPECT_EQ(owner.hostInput[0], nullptr);
}

} // namespace
