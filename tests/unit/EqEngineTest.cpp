// The five-band filter engine: band switches and their histories, the pass-through and zero
// routines, settling on silence, and click-free sweeps of a band while audio runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "dsp/eq/CK_DSP_BiQuad_Multi_Engine.h"
#include "support/EqTestSupport.h"

namespace {

using eqtest::Stream;

// An engine whose coefficient streams the test writes itself.
struct EngineRig {
    CK_ModuleOwner owner;
    eqtest::Driver drive{owner};
    CK_DSP_BiQuad_Multi_Engine* engine = nullptr;
    Stream audio;
    Stream coefficients[5][5];

    EngineRig()
    {
        engine = drive.add<CK_DSP_BiQuad_Multi_Engine>();
        engine->setInput(0, audio.data());
        drive.streams.push_back(&audio);
        for (int band = 0; band < 5; ++band)
            for (int k = 0; k < 5; ++k) {
                engine->setInput(9 + 10 * band + k, coefficients[band][k].data());
                drive.streams.push_back(&coefficients[band][k]);
            }
        drive.prepareAll();
        post(0, 1, 0); // live audio
    }
    void post(int pin, int kind, int32_t value)
    {
        engine->postEvent(owner.clock, pin, kind, value, static_cast<float>(value) * 0.1f, nullptr);
    }
    void setBand(int band, const CK_BiQuad& c)
    {
        const float values[5] = {c.b0, c.b1, c.b2, c.a1, c.a2};
        for (int k = 0; k < 5; ++k) {
            const float v = values[k];
            coefficients[band][k].value = [v](uint32_t) { return v; };
        }
        post(9 + 10 * band, 0, 0);
        post(14 + 10 * band, 0, 1);
    }
    std::vector<float> render(const std::vector<float>& x, int32_t chunk = 128)
    {
        return drive.render(audio, x, engine->outputs[0], chunk);
    }
    bool routineIs(CK_ProcessRoutine r) const { return engine->processRoutine == r; }
};

constexpr CK_BiQuad kBandOne = {0.2f, 0.3f, 0.1f, -0.9f, 0.3f};
constexpr CK_BiQuad kBandTwo = {0.5f, -0.2f, 0.1f, 0.4f, 0.2f};

// A direct-form biquad with explicit history, to say what the engine's cascade should output.
struct Reference {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    float step(const CK_BiQuad& c, float x)
    {
        const double y = c.b0 * static_cast<double>(x) + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return static_cast<float>(y);
    }
};

TEST(EqEngineTest, BandSwitchedOffClearsOnlyItsOwnHistory)
{
    EngineRig rig;
    rig.setBand(0, kBandOne);
    rig.setBand(1, kBandTwo);
    const auto x = eqtest::noise(2000);
    const std::vector<float> first(x.begin(), x.begin() + 1000), second(x.begin() + 1000, x.end());
    auto y = rig.render(first);
    rig.post(24, 0, 0); // band 2 off and straight back on
    rig.post(24, 0, 1);
    const auto y2 = rig.render(second);
    y.insert(y.end(), y2.begin(), y2.end());

    Reference one, two, oneCleared;
    double worst = 0.0, differenceIfBothCleared = 0.0;
    for (size_t n = 0; n < x.size(); ++n) {
        if (n == 1000) {
            two = Reference{};
            oneCleared = Reference{};
        }
        const float a = one.step(kBandOne, x[n]);
        const float expected = two.step(kBandTwo, a);
        worst = std::max(worst, std::fabs(static_cast<double>(y[n]) - expected));
        if (n >= 1000 && n < 1010) {
            Reference twoCopy = two;
            const float bothCleared = twoCopy.step(kBandTwo, oneCleared.step(kBandOne, x[n]));
            differenceIfBothCleared = std::max(differenceIfBothCleared, std::fabs(static_cast<double>(bothCleared) - expected));
        }
    }
    EXPECT_LT(worst, 1e-5);
    EXPECT_GT(differenceIfBothCleared, 1e-3); // the comparison would see a cleared band 1
}

TEST(EqEngineTest, CopiesTheInputUnchangedWithoutActiveBandsOrWithASwitchOff)
{
    EngineRig rig;
    const auto x = eqtest::noise(600);
    EXPECT_EQ(rig.render(x), x) << "no band active";

    rig.setBand(2, kBandOne);
    EXPECT_NE(rig.render(x), x) << "filtering";

    rig.post(3, 0, 0);
    EXPECT_EQ(rig.render(x), x) << "master off";
    rig.post(3, 0, 1);
    rig.post(5, 0, 0);
    EXPECT_EQ(rig.render(x), x) << "channel off";

    // Back on, the band starts from silence.
    rig.post(5, 0, 1);
    const auto y = rig.render(x);
    Reference fresh;
    for (size_t n = 0; n < x.size(); ++n)
        ASSERT_NEAR(y[n], fresh.step(kBandOne, x[n]), 1e-6) << n;

    // Disabled, the engine outputs silence.
    rig.post(2, 0, 0);
    EXPECT_EQ(rig.render(x), std::vector<float>(x.size(), 0.0f));
}

TEST(EqEngineTest, SilentStaticInputSettlesAfterAFullBlockWithinTheTolerance)
{
    EngineRig rig;
    using ck_detail::routineTrampoline;
    const CK_ProcessRoutine filter = &routineTrampoline<&CK_DSP_BiQuad_Multi_Engine::filter>;
    const CK_ProcessRoutine constant = &routineTrampoline<&CK_DSP_BiQuad_Multi_Engine::constantOutput>;
    // A slowly decaying resonance: poles at radius 0.999.
    rig.setBand(0, {0.01f, 0.0f, -0.01f, -1.99f * 0.999f, 0.998001f});
    rig.setBand(4, kBandTwo);
    rig.render(eqtest::noise(256));
    rig.post(0, 0, 0); // the input holds still at 0.0
    rig.audio.value = [](uint32_t) { return 0.0f; };

    const float* out = rig.engine->outputs[0];
    int blocks = 0;
    bool settled = false;
    while (!settled && blocks < 400) {
        ASSERT_TRUE(rig.routineIs(filter)) << "block " << blocks;
        rig.drive.run(128);
        ++blocks;
        double deviation = 0.0;
        for (int i = 1; i < 128; ++i)
            deviation = std::max(deviation, std::fabs(static_cast<double>(out[i]) - out[0]));
        settled = deviation <= 1e-12;
        if (!settled) {
            EXPECT_TRUE(rig.routineIs(filter)) << "settled early, block " << blocks;
        }
    }
    ASSERT_TRUE(settled);
    EXPECT_GT(blocks, 100); // the tail really was long
    EXPECT_TRUE(rig.routineIs(constant));
    rig.drive.run(300);
    EXPECT_TRUE(rig.engine->flags & CK_ModuleBase::kFlagResting);
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(out[i], 0.0f) << i;

    // Live audio wakes the engine and it filters again.
    rig.post(0, 1, 0);
    const auto x = eqtest::noise(256, 99u);
    EXPECT_NE(rig.render(x), std::vector<float>(x.size(), 0.0f));
    EXPECT_TRUE(rig.routineIs(filter));
}

// A band swept from 100 Hz to 10 kHz in 2048 frames (faster than any parameter glide) while a sine
// runs through it. Measure: the largest sample-to-sample step of the output, against the steepest
// step a steady sine can take at the band's peak gain (amplitude x peak gain x 2 pi f / fs), and the
// largest second difference against the sine's sharpest bend (the same with (2 pi f / fs)^2), which
// shows a discontinuity in the slope.
TEST(EqEngineTest, SweepingABandWhileAudioRunsMakesNoClicks)
{
    for (int32_t rate : {44100, 96000}) {
        eqtest::BandRig rig(rate);
        const double peak = std::pow(10.0, 15.0 / 20.0);
        const auto g = static_cast<float>(1.001 * peak / (1.0 + peak) - 0.5);
        rig.setBand(100.0, 0.5f, g);

        const double amplitude = 0.15, hz = 2000.0;
        std::vector<float> x(8192);
        for (size_t n = 0; n < x.size(); ++n)
            x[n] = static_cast<float>(amplitude * std::sin(2.0 * eqtest::kPi * hz * n / rate));
        const uint32_t start = rig.owner.clock + 2048;
        rig.freq.value = [start](uint32_t t) {
            const double progress = std::clamp((static_cast<double>(t) - start) / 2048.0, 0.0, 1.0);
            return static_cast<float>(10.0 * std::pow(100.0, progress));
        };
        rig.coeff->postEvent(start, 0, 1, 0, 0.0f, nullptr);
        rig.coeff->postEvent(start + 2048, 0, 0, 0, 0.0f, nullptr);
        const auto y = rig.drive.render(rig.audio, x, rig.engine->outputs[0], 64);

        // Steepest slope and sharpest bend of a steady sine at the band's peak gain.
        const double w = 2.0 * eqtest::kPi * hz / rate;
        const double slopeBound = amplitude * peak * w;
        const double bendBound = amplitude * peak * w * w;
        double slope = 0.0, bend = 0.0;
        for (size_t n = 2; n < y.size(); ++n) {
            slope = std::max(slope, std::fabs(static_cast<double>(y[n]) - y[n - 1]));
            bend = std::max(bend, std::fabs(static_cast<double>(y[n]) - 2.0 * y[n - 1] + y[n - 2]));
        }
        EXPECT_LT(slope, slopeBound) << rate;
        EXPECT_LT(bend, 1.05 * bendBound) << rate;
        EXPECT_GT(slope, 0.5 * slopeBound) << rate; // the band did pass over the sine
        for (float v : y)
            ASSERT_TRUE(std::isfinite(v));
    }
}

} // namespace
