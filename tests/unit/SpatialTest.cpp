#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>

#include "dsp/spatial/CK_DSP_Spatial.h"
#include "support/SignalBench.h"
#include "support/TestModules.h"

namespace {

using S = CK_DSP_Spatial;

constexpr int kAudioPins[] = {S::kLowA, S::kLowB, S::kMidA, S::kMidB, S::kHighA, S::kHighB};
constexpr float kLowGain = 0.5f;
constexpr float kMidGain = 1.25f;
constexpr float kHighGain = 2.0f;

// One frame of the three bands after their gains, channel A and B.
struct Bands {
    float low[2];
    float mid[2];
    float high[2];
    float sum(int c) const { return low[c] + mid[c] + high[c]; }
};

struct SpatialTest : ::testing::Test {
    CK_ModuleOwner owner;
    CK_DSP_Spatial* spatial = nullptr;
    std::unique_ptr<SignalBench> bench;
    float amount = 0.0f;
    uint32_t runStart = 0;

    void SetUp() override
    {
        owner.sampleRateHz = 48000;
        owner.sampleRateKHz = 48.0f;
        owner.tables.compute(48000);
        spatial = new CK_DSP_Spatial(&owner);
        owner.addModule(spatial);
        bench = std::make_unique<SignalBench>(owner, spatial);
        for (int pin = 0; pin <= S::kAmount; ++pin)
            bench->feed(pin);
        spatial->prepare();
    }

    // Live audio on every band, the given treatment and a static amount x.
    void start(int headphone, int bandMode, int midSide, float x)
    {
        setAmount(x);
        for (const int pin : kAudioPins)
            bench->event(pin, 1);
        bench->event(S::kHeadphone, 0, headphone);
        bench->event(S::kBandMode, 0, bandMode);
        bench->event(S::kMidSide, 0, midSide);
        bench->event(S::kActive, 0, 10);
    }
    // A static amount: the module captures the value at the event's frame.
    void setAmount(float x)
    {
        amount = x;
        bench->hold(S::kAmount, x);
        bench->event(S::kAmount, 0);
    }
    void setShiftMs(float ms) { bench->event(S::kShift, 0, 0, ms / 10.0f); }

    float input(int pin, uint32_t frame) const
    {
        switch (pin) {
        case S::kLowGain: return kLowGain;
        case S::kMidGain: return kMidGain;
        case S::kHighGain: return kHighGain;
        case S::kAmount: return amount;
        default: return benchNoise(pin, frame);
        }
    }
    void run(int32_t frames)
    {
        runStart = owner.clock;
        bench->run(frames, [this](int pin, uint32_t frame) { return input(pin, frame); });
    }
    void run(int32_t frames, const SignalBench::Source& source)
    {
        runStart = owner.clock;
        bench->run(frames, source);
    }
    // The bands at frame i of the last run; in mid/side the side (channel B) carries no gain.
    Bands bands(size_t i, bool midSide) const
    {
        const uint32_t f = runStart + static_cast<uint32_t>(i);
        Bands b{};
        for (int c = 0; c < 2; ++c) {
            const bool gained = c == 0 || !midSide;
            b.low[c] = input(S::kLowA + c, f) * (gained ? kLowGain : 1.0f);
            b.mid[c] = input(S::kMidA + c, f) * (gained ? kMidGain : 1.0f);
            b.high[c] = input(S::kHighA + c, f) * (gained ? kHighGain : 1.0f);
        }
        return b;
    }
    float out(int c, size_t i) const { return bench->out[c][i]; }

    // Compares every frame of the last run with expected(bands) = {channel A, channel B}.
    template <typename Expected>
    void expectFrames(bool midSide, Expected expected, float tolerance = 2e-6f)
    {
        for (size_t i = 0; i < bench->out[0].size(); ++i) {
            const auto [a, b] = expected(bands(i, midSide));
            ASSERT_NEAR(out(0, i), a, tolerance) << "frame " << i;
            ASSERT_NEAR(out(1, i), b, tolerance) << "frame " << i;
        }
    }
    // Unit gains and a single 1.0 in the low band's channel A at frame `at`.
    SignalBench::Source impulse(uint32_t at) const
    {
        return [this, at](int pin, uint32_t frame) {
            if (pin == S::kAmount)
                return amount;
            if (pin == S::kLowGain || pin == S::kMidGain || pin == S::kHighGain)
                return 1.0f;
            return pin == S::kLowA && frame == at ? 1.0f : 0.0f;
        };
    }
};

using Pair = std::pair<float, float>;

TEST_F(SpatialTest, SpeakerMatrixOnLeftAndRight)
{
    start(0, 0, 0, 1.0f); // L' = 1.5 L - 0.5 R
    run(300);
    expectFrames(false, [](const Bands& b) {
        return Pair{1.5f * b.sum(0) - 0.5f * b.sum(1), 1.5f * b.sum(1) - 0.5f * b.sum(0)};
    });
    setAmount(-1.0f); // negative amounts feed the other channel in: L' = 1.25 L - 0.75 R
    run(200);
    expectFrames(false, [](const Bands& b) {
        return Pair{1.25f * b.sum(0) - 0.75f * b.sum(1), 1.25f * b.sum(1) - 0.75f * b.sum(0)};
    });
}

TEST_F(SpatialTest, MidSideSideOfEveryBandBypassesTheCompressorGains)
{
    start(0, 0, 1, 0.5f); // speaker: mid passes, side x (1 + x)
    run(200);
    expectFrames(true, [](const Bands& b) { return Pair{b.sum(0), 1.5f * b.sum(1)}; });

    bench->event(S::kActive, 0, 0); // bypassed: plain band sums
    run(200);
    expectFrames(true, [](const Bands& b) { return Pair{b.sum(0), b.sum(1)}; });

    bench->event(S::kActive, 0, 10); // headphone on the side only, shift 0: S' = S + |2x| S
    bench->event(S::kHeadphone, 0, 10);
    setShiftMs(0.0f);
    setAmount(-0.25f);
    run(200);
    expectFrames(true, [](const Bands& b) { return Pair{b.sum(0), 1.5f * b.sum(1)}; });
}

TEST_F(SpatialTest, HeadphoneShiftZeroReadsTheCurrentFrame)
{
    start(10, 0, 0, 0.25f); // e = 2x = 0.5, added to the same channel
    setShiftMs(0.0f);
    run(300);
    expectFrames(false, [](const Bands& b) {
        const float l = b.sum(0), r = b.sum(1), k = 0.4f * (l + r);
        return Pair{l + 0.5f * (l - k), r + 0.5f * (r - k)};
    });
}

TEST_F(SpatialTest, HeadphoneEchoArrivesShiftFramesLaterOnTheRightChannel)
{
    // Positive amounts add the echo to its own channel, negative ones to the opposite channel.
    for (const float x : {0.5f, -0.5f}) {
        start(10, 0, 0, x); // |e| = 1
        setShiftMs(1.0f);   // 48 frames at 48 kHz
        const uint32_t at = owner.clock + 100;
        run(400, impulse(at));
        EXPECT_EQ(spatial->shift(), 48);
        const float same = 1.0f - 0.4f, opposite = -0.4f; // dL - k and dR - k, k = 0.4 (dL + dR)
        for (size_t i = 0; i < 400; ++i) {
            const uint32_t f = runStart + static_cast<uint32_t>(i);
            const bool echo = f == at + 48;
            ASSERT_FLOAT_EQ(out(0, i), f == at ? 1.0f : echo ? (x > 0 ? same : -opposite) : 0.0f) << i;
            ASSERT_FLOAT_EQ(out(1, i), echo ? (x > 0 ? opposite : -same) : 0.0f) << i;
        }
    }
}

TEST_F(SpatialTest, StaticZeroAmountBypassesAndClearsTheDelayLines)
{
    start(10, 0, 0, 0.5f);
    setShiftMs(1.0f);
    run(1000); // the delay lines fill with noise

    setAmount(0.0f);
    run(500);
    expectFrames(false, [](const Bands& b) { return Pair{b.sum(0), b.sum(1)}; });

    // Back in headphone mode the first 48 frames find empty lines: no echo of what came before.
    setAmount(0.5f);
    run(48);
    expectFrames(false, [](const Bands& b) { return Pair{b.sum(0), b.sum(1)}; });
    const Bands echo = bands(0, false);
    run(1);
    const Bands now = bands(0, false);
    const float k = 0.4f * (echo.sum(0) + echo.sum(1));
    EXPECT_NEAR(out(0, 0), now.sum(0) + (echo.sum(0) - k), 2e-6f);
}

TEST_F(SpatialTest, BandModeTwoLeavesLowAndMidUntouched)
{
    start(0, 2, 0, 1.0f); // speaker on the high band only
    run(200);
    expectFrames(false, [](const Bands& b) {
        return Pair{b.low[0] + b.mid[0] + 1.5f * b.high[0] - 0.5f * b.high[1],
                    b.low[1] + b.mid[1] + 1.5f * b.high[1] - 0.5f * b.high[0]};
    });

    bench->event(S::kHeadphone, 0, 10); // headphone on the high band only, shift 0, e = 2
    setShiftMs(0.0f);
    run(200);
    expectFrames(false, [](const Bands& b) {
        const float k = 0.4f * (b.high[0] + b.high[1]);
        return Pair{b.sum(0) + 2.0f * (b.high[0] - k), b.sum(1) + 2.0f * (b.high[1] - k)};
    }, 1e-5f);
}

TEST_F(SpatialTest, ShiftStaysInsideTheDelayLine)
{
    struct Case {
        int32_t rate, length, longest; // longest: the shift of "HeadPhone ms" 100
    };
    for (const Case c : {Case{44100, 8192, 4410}, Case{48000, 8192, 4800}, Case{96000, 16384, 9600},
                         Case{192000, 32768, 19200}}) {
        CK_ModuleOwner o;
        o.sampleRateHz = c.rate;
        CK_DSP_Spatial s(&o);
        s.prepare();
        EXPECT_EQ(s.delayLength(), c.length) << c.rate;
        s.handleEvent(CK_Event{0, S::kShift, 0, 1000, 10.0f, nullptr, nullptr, nullptr}, 0);
        EXPECT_EQ(s.shift(), c.longest) << c.rate;
    }

    EXPECT_EQ(spatial->shift(), 1248); // the default, 26 ms
    for (const float wild : {1000.0f, 1.0e30f, INFINITY, -5.0f, NAN, -INFINITY}) {
        setShiftMs(wild);
        run(1);
        EXPECT_EQ(spatial->shift(), wild > 0.0f ? spatial->delayLength() - 1 : 0) << wild;
    }
    // The longest shift still reads inside the line: the echo returns delayLength - 1 frames later.
    start(10, 0, 0, 0.5f);
    setShiftMs(1000.0f);
    const uint32_t at = owner.clock + 10;
    run(spatial->delayLength() + 20, impulse(at));
    EXPECT_FLOAT_EQ(out(0, 10 + static_cast<size_t>(spatial->delayLength() - 1)), 0.6f);
}

TEST_F(SpatialTest, AnnouncesStaticOnlyAfterTheEchoAndThenRests)
{
    auto* probe = new RecordingModule(&owner);
    spatial->connect(probe, owner.addModule(probe), 0, 0);
    probe->prepare();

    start(0, 0, 0, 0.5f); // speaker
    run(256);
    ASSERT_EQ(probe->handled.size(), 1u);
    EXPECT_EQ(probe->handled[0].kind, 1);
    const uint32_t quietAt = owner.clock;
    for (const int pin : kAudioPins)
        bench->event(pin, 0);
    run(64);
    ASSERT_EQ(probe->handled.size(), 2u);
    EXPECT_EQ(probe->handled[1].kind, 0);
    EXPECT_EQ(probe->handled[1].time, quietAt);
    run(128); // a block of static output later the module rests
    EXPECT_TRUE(spatial->flags & CK_ModuleBase::kFlagResting);

    // Headphone: the output keeps changing while the delay lines empty (48 frames).
    for (const int pin : kAudioPins)
        bench->event(pin, 1);
    bench->event(S::kHeadphone, 0, 10);
    setShiftMs(1.0f);
    run(256);
    EXPECT_EQ(probe->handled.back().kind, 1);
    const uint32_t silentFrom = owner.clock;
    for (const int pin : kAudioPins)
        bench->event(pin, 0);
    run(32);
    EXPECT_EQ(probe->handled.back().kind, 1);
    run(600);
    EXPECT_EQ(probe->handled.back().kind, 0);
    EXPECT_GE(probe->handled.back().time, silentFrom + 48);
    EXPECT_TRUE(spatial->flags & CK_ModuleBase::kFlagResting);
}

TEST_F(SpatialTest, NoiseThenSilenceStaysFinite)
{
    for (const int headphone : {0, 10}) {
        start(headphone, 0, 0, 0.0f);
        bench->event(S::kAmount, 1); // the amount moves: treatment on
        setShiftMs(41.33f);
        const uint32_t quietFrom = owner.clock + 48000;
        run(96000, [&](int pin, uint32_t frame) {
            if (pin == S::kAmount) // sweeping the whole range
                return std::sin(static_cast<float>(frame) * 1e-4f);
            if (pin == S::kLowGain || pin == S::kMidGain || pin == S::kHighGain)
                return 1.5f;
            return frame < quietFrom ? benchNoise(pin, frame) : 0.0f;
        });
        for (int c = 0; c < 2; ++c)
            for (const float v : bench->out[c]) {
                ASSERT_TRUE(std::isfinite(v));
                ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL);
            }
        EXPECT_EQ(bench->out[0].back(), 0.0f);
    }
}

} // namespace
