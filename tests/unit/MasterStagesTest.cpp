// The master input stage (stereo / mid-side, equaliser engine enables, treble filter settings) and
// the end of the chain (output delay, bypass to the undelayed host input, final level stage).
#include <cfloat>

#include "StageTestRig.h"
#include "dsp/dynamics/CK_DSP_BrelvikSuite_Input.h"
#include "dsp/dynamics/CK_DSP_BrelvikSuite_Output.h"
#include "dsp/dynamics/CK_DSP_Delay_ST.h"
#include "dsp/dynamics/CK_DSP_ST_Level.h"
#include "dsp/dynamics/CK_DSP_ST_Mix.h"
#include "modules/CK_FixedValueModules.h"

namespace {

struct InputStage : StageRig {
    CK_DSP_BrelvikSuite_Input* input = nullptr;
    void SetUp() override
    {
        source = add<TestSignalSource>(2);
        input = add<CK_DSP_BrelvikSuite_Input>();
        sink = add<RecordingModule>();
        wire(source, 0, input, 0);
        wire(source, 1, input, 1);
        for (int pin : {0, 1, 9, 10, 14, 15})
            wire(input, pin, sink, pin);
        subBlock = 50; // sub-blocks that do not line up with groups of four
        prepareAll();
    }
};

TEST_F(InputStage, StereoIsAnExactCopyAndMidSideOfEqualChannelsHasNoSide)
{
    signal = testNoise;
    choice(input, 2, 0);
    Capture out = run(300, input);
    for (uint32_t n = 0; n < 300; ++n) {
        ASSERT_EQ(out.a[n], testNoise(0, n)) << n;
        ASSERT_EQ(out.b[n], testNoise(1, n)) << n;
    }
    EXPECT_EQ(eventsAt(0).at(0).kind, 1);
    EXPECT_EQ(eventsAt(1).at(0).kind, 1);

    signal = [](int, uint32_t n) { return testNoise(0, n); };
    choice(input, 2, 1);
    out = run(300, input);
    for (uint32_t n = 0; n < 300; ++n) {
        ASSERT_EQ(out.a[n], testNoise(0, 300 + n)) << n;
        ASSERT_EQ(out.b[n], 0.0f) << n;
    }
}

TEST_F(InputStage, ModeSwitchesEqualiserEnginesAndHighFilterSetsTheTrebleFilter)
{
    for (int mode : {1, 0, 2, 5}) { // 5 is no mode: nothing is sent
        choice(input, 2, mode);
        run(10);
    }
    const int32_t first[] = {1, 1, 0}, second[] = {0, 1, 1};
    ASSERT_EQ(eventsAt(14).size(), 3u);
    ASSERT_EQ(eventsAt(15).size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(eventsAt(14)[i].intValue, first[i]);
        EXPECT_EQ(eventsAt(15)[i].intValue, second[i]);
        EXPECT_EQ(eventsAt(14)[i].time, 10u * i);
    }

    choice(input, 9, 1); // Band Pass
    run(10);
    choice(input, 9, 0); // High Pass
    run(10);
    ASSERT_EQ(eventsAt(9).size(), 2u);
    EXPECT_EQ(eventsAt(9)[0].intValue, 7);
    EXPECT_FLOAT_EQ(eventsAt(10)[0].floatValue, 0.7f);
    EXPECT_EQ(eventsAt(9)[1].intValue, 4);
    EXPECT_EQ(eventsAt(10)[1].floatValue, 0.0f);
}

TEST_F(InputStage, MidSideDecodedByTheMixReturnsTheInput)
{
    auto* levels = add<TestSignalSource>(2); // mix share 0, master gain 1
    auto* mix = add<CK_DSP_ST_Mix>();
    wire(input, 0, mix, 0);
    wire(input, 1, mix, 1);
    wire(levels, 0, mix, 4);
    wire(levels, 1, mix, 5);
    std::fill(levels->outputs[1], levels->outputs[1] + 128, 1.0f);
    mix->prepare();
    signal = testNoise;
    choice(input, 2, 1);
    choice(mix, 6, 1);
    const Capture out = run(1000, mix);
    for (uint32_t n = 0; n < 1000; ++n) {
        const float l = testNoise(0, n), r = testNoise(1, n);
        const float tolerance = 2.0f * FLT_EPSILON * (std::fabs(l) + std::fabs(r));
        ASSERT_NEAR(out.a[n], l, tolerance) << n;
        ASSERT_NEAR(out.b[n], r, tolerance) << n;
    }
}

// As the graph wires it: processed signal -> 2 ms output delay -> output stage (bypass against the
// host input) -> final level stage at the constant 1.0.
TEST_F(StageRig, BypassGivesTheHostInputUndelayedOtherwiseTheDelayedMix)
{
    float ten = 10.0f;
    source = add<TestSignalSource>(4); // 0, 1 processed signal; 2, 3 host input
    auto* constants = add<CK_DSP_FixedValueToVolt>();
    auto* delay = add<CK_DSP_Delay_ST>();
    auto* output = add<CK_DSP_BrelvikSuite_Output>();
    auto* level = add<CK_DSP_ST_Level>();
    constants->setInput(0, &ten);
    for (int c = 0; c < 2; ++c) {
        wire(source, c, delay, c);
        wire(delay, c, output, c);
        wire(source, 2 + c, output, 2 + c);
        wire(output, c, level, c);
    }
    wire(constants, 0, level, 2);
    signal = testNoise;
    subBlock = 37;
    prepareAll();
    param(delay, 2, 0.2f);
    choice(delay, 3, 6); // not a unit code: milliseconds stay

    Capture out = run(100, level); // bypassed until the parameter arrives
    for (uint32_t n = 0; n < 100; ++n)
        ASSERT_EQ(out.a[n], testNoise(2, n)) << n;

    choice(output, 9, 0);
    out = run(900, level);
    for (uint32_t i = 0; i < 900; ++i) {
        ASSERT_EQ(out.a[i], testNoise(0, 100 + i - 88)) << i;
        ASSERT_EQ(out.b[i], testNoise(1, 100 + i - 88)) << i;
    }
    param(output, 9, 0.1f, 10); // bypass from frame 1010, inside a sub-block
    out = run(500, level);
    for (uint32_t i = 0; i < 500; ++i) {
        const uint32_t n = 1000 + i;
        ASSERT_EQ(out.a[i], i < 10 ? testNoise(0, n - 88) : testNoise(2, n)) << n;
        ASSERT_EQ(out.b[i], i < 10 ? testNoise(1, n - 88) : testNoise(3, n)) << n;
    }
}

} // namespace
