#include <gtest/gtest.h>

#include <cmath>

#include "DynamicsTestRig.h"
#include "dsp/dynamics/CK_DSP_Brelvik_ParamAdj.h"
#include "dsp/dynamics/CK_DSP_Compressor_AHR.h"
#include "support/TestModules.h"

namespace {

// A band envelope with its static gain, make-up and release as signals, attack and hold from
// events, and a recording module that sees its announcements.
struct Envelope {
    Envelope() : gain(rig.cappedBlockSize, 1.0f), makeUp(rig.cappedBlockSize, 1.0f), release(rig.cappedBlockSize, 5.0f)
    {
        ahr = rig.add<CK_DSP_Compressor_AHR>();
        listener = rig.add<RecordingModule>();
        ahr->setInput(0, gain.get());
        ahr->setInput(1, makeUp.get());
        ahr->setInput(4, release.get());
        rig.wire(ahr, 0, listener, 0);
        ahr->prepare();
        listener->prepare();
    }
    // Attack and hold in ms, band on.
    void start(float attackMs, float holdMs)
    {
        rig.param(ahr, 2, attackMs / 10.0f);
        rig.param(ahr, 3, holdMs / 10.0f);
        rig.param(ahr, 9, 0.1f);
    }
    // Runs blocks with the static gain given per absolute frame; answers the band gain.
    template <typename Gain>
    std::vector<float> run(int32_t frames, Gain g)
    {
        std::vector<float> out;
        const int32_t n = rig.cappedBlockSize;
        for (int32_t done = 0; done < frames; done += n) {
            for (int32_t i = 0; i < n; ++i)
                gain[i] = g(done + i);
            rig.runFrames(n);
            out.insert(out.end(), ahr->outputs[0], ahr->outputs[0] + n);
        }
        return out;
    }

    DynamicsRig rig;
    SignalBuffer gain, makeUp, release;
    CK_DSP_Compressor_AHR* ahr;
    RecordingModule* listener;
};

// exp(-600 / (time in volts x fs)): all but e^-6 of the way in the set time.
double coefficient(double volts, double fs = 44100.0)
{
    return std::exp(-600.0 / (volts * fs));
}

TEST(EnvelopeTest, ZeroAttackFollowsAReductionWithinOneSample)
{
    Envelope e;
    e.start(0.0f, 0.0f);
    const auto out = e.run(512, [](int32_t i) { return i < 300 ? 1.0f : 0.25f; });
    EXPECT_EQ(out[299], 1.0f);
    EXPECT_NEAR(out[300], 0.25f, 1e-6f);
    EXPECT_EQ(e.listener->handled.back().kind, 1);
}

TEST(EnvelopeTest, OneDeepSampleIsHeldForTheHoldLengthThenReleased)
{
    Envelope e;
    e.makeUp.fill(0.5f);
    e.start(0.0f, 10.0f);
    const int32_t hold = static_cast<int32_t>(441.0f * 1.0f + 1.0f); // int(u x 1.0 + 1)
    const int32_t deep = 1000;
    const auto out = e.run(6400, [&](int32_t i) { return i == deep ? 0.1f : 1.0f; });

    EXPECT_FLOAT_EQ(out[deep - 1], 0.5f); // make-up x 1.0
    for (int32_t i = deep; i < deep + hold; ++i)
        ASSERT_NEAR(out[static_cast<size_t>(i)], 0.05f, 1e-6f) << i - deep;
    const double rel = coefficient(5.0); // 50 ms
    for (int32_t k = 0; k < 4000; k += 250)
        ASSERT_NEAR(out[static_cast<size_t>(deep + hold + k)], 0.5 * (1.0 - 0.9 * std::pow(rel, k + 1)), 2e-5) << k;
}

TEST(EnvelopeTest, AttackIsFifteenSixteenthsOfThePinTime)
{
    Envelope e;
    e.start(10.0f, 0.0f);
    const auto out = e.run(1024, [](int32_t i) { return i < 500 ? 1.0f : 0.5f; });
    const double atk = coefficient(0.9375 * 1.0);
    for (int k = 0; k < 200; k += 20)
        ASSERT_NEAR(out[static_cast<size_t>(500 + k)], 0.5 + 0.5 * std::pow(atk, k + 1), 1e-5) << k;
}

TEST(EnvelopeTest, GainAboveUnityIsFollowedWithoutHold)
{
    Envelope e;
    e.start(0.0f, 100.0f); // a long hold that must not apply
    const auto out = e.run(2048, [](int32_t i) { return i == 600 ? 0.2f : (i > 600 ? 1.5f : 1.0f); });
    EXPECT_NEAR(out[600], 0.2f, 1e-6f);
    const double rel = coefficient(5.0);
    for (int k = 1; k < 1000; k += 111)
        ASSERT_NEAR(out[static_cast<size_t>(600 + k)], 1.5 - 1.3 * std::pow(rel, k), 2e-5) << k;
}

TEST(EnvelopeTest, ReleaseChangesTakeEffectAtTheNextBlockStart)
{
    Envelope e;
    e.start(0.0f, 0.0f);
    const int32_t n = e.rig.cappedBlockSize;
    e.run(4 * n, [n](int32_t i) { return i == 3 * n ? 0.01f : 1.0f; });
    // Mid-block the release signal changes to 5 ms, and an event splits the run right there.
    for (int32_t i = n / 2; i < n + 4; ++i)
        e.release[i] = 0.5f;
    e.rig.param(e.ahr, 3, 0.0f, e.rig.clock + static_cast<uint32_t>(n / 2));
    const float before = e.ahr->outputs[0][n - 1];
    const auto block = e.run(n, [](int32_t) { return 1.0f; });
    const double oldRel = coefficient(5.0), newRel = coefficient(0.5);
    EXPECT_NEAR(1.0 - block[static_cast<size_t>(n - 1)], (1.0 - before) * std::pow(oldRel, n), 1e-6);
    e.release.fill(0.5f);
    const auto next = e.run(n, [](int32_t) { return 1.0f; });
    EXPECT_NEAR(1.0 - next[10], (1.0 - block[static_cast<size_t>(n - 1)]) * std::pow(newRel, 11), 1e-6);
}

TEST(EnvelopeTest, InactiveBandOutputsExactlyOneAndRests)
{
    Envelope e;
    e.makeUp.fill(2.0f);
    e.start(0.0f, 0.0f);
    auto out = e.run(512, [](int32_t) { return 0.5f; });
    EXPECT_FLOAT_EQ(out.back(), 1.0f); // 2.0 x 0.5
    e.rig.param(e.ahr, 9, 0.0f);
    out = e.run(256, [](int32_t) { return 0.5f; });
    for (float v : out)
        ASSERT_EQ(v, 1.0f); // no make-up gain while off
    EXPECT_EQ(e.listener->handled.back().kind, 0);
    EXPECT_TRUE(e.ahr->flags & CK_ModuleBase::kFlagResting);

    // The disable pin switches it off as well.
    e.rig.param(e.ahr, 9, 0.1f);
    e.run(256, [](int32_t) { return 0.5f; });
    EXPECT_FLOAT_EQ(e.ahr->outputs[0][0], 1.0f);
    e.rig.param(e.ahr, 10, 0.1f);
    out = e.run(256, [](int32_t) { return 0.5f; });
    EXPECT_EQ(out.back(), 1.0f);
}

// The time shaper with a recorder on each of its three outputs.
struct Shaper {
    Shaper()
    {
        adj = rig.add<CK_DSP_Brelvik_ParamAdj>();
        for (int t = 0; t < 3; ++t) {
            sink[t] = rig.add<RecordingModule>();
            sink[t]->prepare();
            rig.wire(adj, t, sink[t], 2);
        }
        adj->prepare();
    }
    float last(int t) const { return sink[t]->handled.back().floatValue; }
    void run() { rig.runFrames(16); }

    DynamicsRig rig;
    CK_DSP_Brelvik_ParamAdj* adj;
    RecordingModule* sink[3];
};

TEST(EnvelopeTest, EveryContourMapsTheKnobOntoConstantBToAPlusB)
{
    const float top[3] = {50.0f, 50.0f, 200.0f}; // 500, 500, 2000 ms
    for (int32_t contour = 0; contour <= 7; ++contour) {
        Shaper s;
        for (int t = 0; t < 3; ++t) {
            s.rig.param(s.adj, 4 * t + 1, 30.0f + t); // constant A
            s.rig.param(s.adj, 4 * t + 2, 2.0f + t);  // constant B
            s.adj->postEvent(s.rig.clock, 4 * t + 3, 0, contour, contour / 10.0f, nullptr);
            s.rig.param(s.adj, 4 * t, 0.0f);
        }
        s.run();
        for (int t = 0; t < 3; ++t)
            EXPECT_FLOAT_EQ(s.last(t), 2.0f + t) << "contour " << contour << " time " << t;
        for (int t = 0; t < 3; ++t)
            s.rig.param(s.adj, 4 * t, top[t]);
        s.run();
        for (int t = 0; t < 3; ++t)
            EXPECT_FLOAT_EQ(s.last(t), 32.0f + 2.0f * t) << "contour " << contour << " time " << t;
        EXPECT_TRUE(s.adj->flags & CK_ModuleBase::kFlagResting);
    }
}

TEST(EnvelopeTest, ContourShapesBetweenTheEnds)
{
    // Shape values a quarter of the way along the knob.
    const float quarter[] = {0.25f, 0.0625f, 0.00390625f, 0.4375f, 0.375f, 0.4375f, 0.125f};
    for (int32_t contour = 0; contour < 7; ++contour) {
        Shaper s;
        s.adj->postEvent(s.rig.clock, 11, 0, contour, contour / 10.0f, nullptr);
        s.rig.param(s.adj, 9, 200.0f); // release constant A 2000 ms
        s.rig.param(s.adj, 8, 50.0f);  // release knob at 500 ms of 2000
        s.run();
        EXPECT_NEAR(s.last(2), 200.0f * quarter[contour], 1e-4f) << contour;
    }
    // A "Lin" contour with constant A at the top of the range reproduces the knob's own time.
    Shaper s;
    s.rig.param(s.adj, 1, 50.0f);
    s.rig.param(s.adj, 0, 2.0f);
    s.run();
    EXPECT_FLOAT_EQ(s.last(0), 2.0f);
}

} // namespace
