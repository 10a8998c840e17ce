// The look-ahead and output delays: lengths by unit and sample rate, ring sizes, jumps without
// clearing, clearing on suspend and rebuild, the bound on the delay, and the silent state.
#include "StageTestRig.h"
#include "dsp/dynamics/CK_DSP_Delay_ST.h"

namespace {

// A stereo delay with the unit code the graph sends (6: stays in milliseconds). Channel A carries
// impulses, each measurement a new height so that older ones still in the ring are not mistaken
// for it; channel B carries the frame number.
struct DelayRig : StageRig {
    CK_DSP_Delay_ST* delay = nullptr;
    uint32_t impulseAt = 0;
    float impulse = 0.0f;

    void build(int32_t rateHz)
    {
        owner.destroyModules();
        owner.sampleRateHz = rateHz;
        source = add<TestSignalSource>(2);
        delay = add<CK_DSP_Delay_ST>();
        sink = add<RecordingModule>();
        for (int c = 0; c < 2; ++c) {
            wire(source, c, delay, c);
            wire(delay, c, sink, c);
        }
        signal = [this](int pin, uint32_t n) { return pin == 1 ? static_cast<float>(n + 1) : n == impulseAt ? impulse : 0.0f; };
        prepareAll();
        choice(delay, 3, 6);
    }
    // Frames from an impulse to its arrival at output A, or -1.
    int measure(int frames)
    {
        impulseAt = owner.clock;
        impulse += 1.0f;
        const Capture out = run(frames, delay);
        for (size_t n = 0; n < out.a.size(); ++n)
            if (out.a[n] == impulse)
                return static_cast<int>(n);
        return -1;
    }
};

TEST_F(DelayRig, LengthsByUnitAndSampleRate)
{
    build(44100);
    param(delay, 2, 1.0f); // "LookAhead ms" 10
    EXPECT_EQ(measure(600), 441);
    param(delay, 2, 0.0f);
    EXPECT_EQ(measure(10), 0);
    param(delay, 2, 0.2f); // the output delay
    EXPECT_EQ(measure(300), 88);
    choice(delay, 3, 2); // frames (volts x 10)
    param(delay, 2, 12.3f);
    EXPECT_EQ(measure(200), 123);
    choice(delay, 3, 0); // seconds (volts x 10)
    param(delay, 2, 0.0005f);
    EXPECT_EQ(measure(300), 220);

    build(48000);
    param(delay, 2, 0.2f);
    EXPECT_EQ(measure(300), 96);

    build(384000);
    param(delay, 2, 5.0f); // the largest look-ahead, 50 ms, at the highest rate
    EXPECT_EQ(measure(19300), 19200);
}

TEST(DelayRingSize, DependsOnTheSampleRate)
{
    EXPECT_EQ(CK_DSP_Delay_ST::ringSizeFor(4, 44100), 32768);
    EXPECT_EQ(CK_DSP_Delay_ST::ringSizeFor(4, 192000), 131072);
    EXPECT_EQ(CK_DSP_Delay_ST::ringSizeFor(4, 384000), 262144);
    EXPECT_EQ(CK_DSP_Delay_ST::ringSizeFor(0, 44100), 524288);
    EXPECT_EQ(CK_DSP_Delay_ST::ringSizeFor(11, 44100), 256);
    CK_ModuleOwner owner;
    for (int32_t rate : {48000, 96000}) { // 48 kHz is not above the threshold
        owner.sampleRateHz = rate;
        CK_DSP_Delay_ST delay(&owner);
        delay.prepare();
        EXPECT_EQ(delay.ringSize(), rate == 48000 ? 32768 : 65536);
    }
}

TEST_F(DelayRig, ChangeJumpsWithoutClearing)
{
    build(44100);
    param(delay, 2, 0.3f); // 132 frames
    run(1000);
    param(delay, 2, 0.1f, 5); // 44 frames, five frames into the next sub-block
    Capture out = run(200, delay);
    for (uint32_t i = 0; i < 200; ++i)
        ASSERT_EQ(out.b[i], static_cast<float>(1000 + i + 1 - (i < 5 ? 132 : 44))) << i;
    // Growing it again reads older frames that are still in the ring: no gap of zeros.
    param(delay, 2, 0.5f);
    out = run(10, delay);
    EXPECT_EQ(out.b[0], static_cast<float>(1200 + 1 - 220));
}

TEST_F(DelayRig, SuspendAndRebuildClearTheRings)
{
    build(44100);
    param(delay, 2, 0.2f);
    run(500);
    delay->clearState(); // suspend
    Capture out = run(100, delay);
    EXPECT_EQ(out.b[87], 0.0f);
    EXPECT_EQ(out.b[88], 501.0f);

    build(44100); // a rebuilt graph: new modules, fresh rings
    param(delay, 2, 0.2f);
    out = run(100, delay);
    EXPECT_EQ(out.b[87], 0.0f);
    EXPECT_EQ(out.b[88], 601.0f);
}

TEST_F(DelayRig, DelayIsBoundedToTheWrittenPartOfTheRing)
{
    build(44100);
    choice(delay, 3, 2);
    param(delay, 2, 1.0e6f); // ten million frames, far beyond the ring
    EXPECT_EQ(measure(32768 + 200), 32768 - 128);
    EXPECT_EQ(delay->delaySamples(), 32768 - 128);
    param(delay, 2, -5.0f); // a negative delay would read frames not yet written
    EXPECT_EQ(measure(10), 0);
}

TEST_F(DelayRig, InactiveIsSilentRestsAndComesBackClean)
{
    build(44100);
    param(delay, 2, 0.2f);
    run(300);
    choice(delay, 5, 0);
    Capture out = run(400, delay);
    EXPECT_EQ(out.a[0], 0.0f);
    EXPECT_EQ(out.b[399], 0.0f);
    EXPECT_TRUE(resting(delay));
    ASSERT_EQ(eventsAt(1).size(), 2u);
    EXPECT_EQ(eventsAt(1)[0].kind, 1);
    EXPECT_EQ(eventsAt(1)[1].kind, 0);

    choice(delay, 5, 1); // back with empty rings: nothing from before the pause
    out = run(100, delay);
    EXPECT_FALSE(resting(delay));
    EXPECT_EQ(out.b[87], 0.0f);
    EXPECT_EQ(out.b[88], 701.0f);
    EXPECT_EQ(eventsAt(1).back().kind, 1);
}

} // namespace
