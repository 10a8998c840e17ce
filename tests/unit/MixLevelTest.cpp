// The parallel mixer with master gain, and the stereo level stage: exact results at the settings
// that must be transparent, resting once everything is static, and clean output at the extremes.
#include "StageTestRig.h"
#include "dsp/dynamics/CK_DSP_BrelvikSuite_Input.h"
#include "dsp/dynamics/CK_DSP_BrelvikSuite_Output.h"
#include "dsp/dynamics/CK_DSP_Delay_ST.h"
#include "dsp/dynamics/CK_DSP_FdB_to_VLevel.h"
#include "dsp/dynamics/CK_DSP_ST_Level.h"
#include "dsp/dynamics/CK_DSP_ST_Mix.h"

namespace {

// Source pins: 0, 1 wet; 2..7 dry bands (low A, low B, mid A, mid B, high A, high B); 8 mix share.
// The master gain comes from the dB converter, as in the graph.
TEST_F(StageRig, ParallelZeroIsTheProcessedSignalAndHundredTheBandSum)
{
    float share = 0.0f;
    source = add<TestSignalSource>(9);
    auto* gain = add<CK_DSP_FdB_to_VLevel>();
    auto* mix = add<CK_DSP_ST_Mix>();
    for (int pin = 0; pin < 8; ++pin)
        wire(source, pin, mix, pin < 2 ? pin : CK_DSP_ST_Mix::kFirstBandInput + pin - 2);
    wire(source, 8, mix, 4);
    wire(gain, 0, mix, 5);
    signal = [&share](int pin, uint32_t n) { return pin == 8 ? share : testNoise(pin, n); };
    subBlock = 45;
    prepareAll();
    owner.programChanged = -1; // the gain starts where the program puts it
    param(gain, 0, 0.0f);
    choice(mix, 6, 0);
    Capture out = run(700, mix);
    for (uint32_t n = 0; n < 700; ++n) {
        ASSERT_EQ(out.a[n], testNoise(0, n)) << n;
        ASSERT_EQ(out.b[n], testNoise(1, n)) << n;
    }

    share = 1.0f;
    owner.programChanged = -1;
    param(gain, 0, 0.6f); // +6 dB
    out = run(700, mix);
    const float h = gain->outputs[0][0];
    EXPECT_NEAR(h, 2.0f, 2e-7f);
    for (uint32_t i = 0; i < 700; ++i) {
        const uint32_t n = 700 + i;
        ASSERT_EQ(out.a[i], (testNoise(2, n) + testNoise(4, n) + testNoise(6, n)) * h) << n;
        ASSERT_EQ(out.b[i], (testNoise(3, n) + testNoise(5, n) + testNoise(7, n)) * h) << n;
    }
}

// The mixer with its own dry inputs 2 and 3 and every input announced static: it says so, rests
// once a whole block holds the final values, and wakes when an input starts changing.
TEST_F(StageRig, MixRestsWhenEveryInputIsStaticAndWakesOnAChange)
{
    source = add<TestSignalSource>(6);
    auto* mix = add<CK_DSP_ST_Mix>();
    sink = add<RecordingModule>();
    for (int pin = 0; pin < 6; ++pin) {
        wire(source, pin, mix, pin);
        announce(mix, pin, 0);
    }
    wire(mix, 0, sink, 0);
    signal = [](int pin, uint32_t) { return pin == 4 ? 0.5f : pin == 5 ? 1.0f : 0.25f * static_cast<float>(pin + 1); };
    prepareAll();
    run(128 + 64);
    EXPECT_TRUE(resting(mix));
    ASSERT_EQ(eventsAt(0).size(), 1u);
    EXPECT_EQ(eventsAt(0)[0].kind, 0);
    EXPECT_EQ(mix->outputs[0][7], 0.75f * 0.5f + 0.25f * 0.5f); // dry (pin 2) and wet (pin 0) at g = 0.5

    announce(mix, 4, 1);
    run(500);
    EXPECT_FALSE(resting(mix));
    ASSERT_EQ(eventsAt(0).size(), 2u);
    EXPECT_EQ(eventsAt(0)[1].kind, 1);
    EXPECT_EQ(eventsAt(0)[1].time, 128u + 64u);
}

TEST_F(StageRig, LevelStageCopiesAtUnityAndRestsWhenStaticallySilent)
{
    float level = 1.0f;
    source = add<TestSignalSource>(3); // 0, 1 audio; 2 level
    auto* stage = add<CK_DSP_ST_Level>();
    sink = add<RecordingModule>();
    for (int pin = 0; pin < 3; ++pin)
        wire(source, pin, stage, pin);
    wire(stage, 0, sink, 0);
    signal = [&level](int pin, uint32_t n) { return pin == 2 ? level : testNoise(pin, n); };
    prepareAll();
    run(300);
    EXPECT_TRUE(resting(stage)); // sleeps until its first event

    announce(stage, 0, 1);
    announce(stage, 1, 1);
    announce(stage, 2, 0);
    Capture out = run(500, stage);
    for (uint32_t i = 0; i < 500; ++i) {
        ASSERT_EQ(out.a[i], testNoise(0, 300 + i)) << i;
        ASSERT_EQ(out.b[i], testNoise(1, 300 + i)) << i;
    }
    EXPECT_EQ(eventsAt(0).at(0).kind, 1);

    level = 0.0f;
    announce(stage, 2, 0);
    out = run(400, stage);
    for (float x : out.a)
        ASSERT_EQ(x, 0.0f);
    EXPECT_TRUE(resting(stage));
    EXPECT_EQ(eventsAt(0).at(1).kind, 0);
    // The host copies whatever the buffers hold while the stage rests: every position is zero.
    for (int i = 0; i < owner.cappedBlockSize; ++i)
        ASSERT_EQ(stage->outputs[0][i], 0.0f);
}

// Input stage -> band mixer (+24 dB, ramping) -> output delay -> output stage, for silence and for
// a full-scale square wave, in stereo and in M/S: nothing non-finite or subnormal comes out.
TEST_F(StageRig, SilenceAndFullScaleStayClean)
{
    for (int mode : {0, 1}) {
        for (float amplitude : {0.0f, 1.0f}) {
            owner.destroyModules();
            source = add<TestSignalSource>(3); // 0, 1 host audio; 2 mix share
            auto* input = add<CK_DSP_BrelvikSuite_Input>();
            auto* gain = add<CK_DSP_FdB_to_VLevel>();
            auto* mix = add<CK_DSP_ST_Mix>();
            auto* delay = add<CK_DSP_Delay_ST>();
            auto* output = add<CK_DSP_BrelvikSuite_Output>();
            for (int c = 0; c < 2; ++c) {
                wire(source, c, input, c);
                wire(input, c, mix, c);
                for (int band = 0; band < 3; ++band) // the input stands in for the three bands
                    wire(input, c, mix, CK_DSP_ST_Mix::kFirstBandInput + 2 * band + c);
                wire(mix, c, delay, c);
                wire(delay, c, output, c);
                wire(source, c, output, 2 + c);
            }
            wire(source, 2, mix, 4);
            wire(gain, 0, mix, 5);
            signal = [amplitude](int pin, uint32_t n) { return pin == 2 ? 0.5f : (n / 50) % 2 ? amplitude : -amplitude; };
            prepareAll();
            choice(input, 2, mode);
            choice(mix, 6, mode);
            param(gain, 0, 2.4f);
            param(delay, 2, 0.2f);
            choice(output, 9, 0);
            const Capture out = run(3000, output);
            for (size_t n = 0; n < out.a.size(); ++n)
                ASSERT_TRUE(clean(out.a[n]) && clean(out.b[n])) << mode << " " << amplitude << " " << n;
        }
    }
}

} // namespace
