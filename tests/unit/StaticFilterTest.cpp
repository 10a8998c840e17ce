// The static multi-section filter: stable designs for every shape over the frequency range, what
// the low- and high-pass shapes pass and stop, its switches, clearing and settling on silence.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/eq/CK_DSP_BiQuad_Static.h"
#include "support/EqTestSupport.h"

namespace {

using eqtest::Stream;

struct StaticRig {
    CK_ModuleOwner owner;
    eqtest::Driver drive{owner};
    CK_DSP_BiQuad_Static* filter = nullptr;
    Stream a, b, freq, res, gain;

    explicit StaticRig(int32_t rate = 44100)
    {
        drive.setRate(rate);
        filter = drive.add<CK_DSP_BiQuad_Static>();
        filter->setInput(0, a.data());
        filter->setInput(1, b.data());
        filter->setInput(2, freq.data());
        filter->setInput(3, res.data());
        filter->setInput(4, gain.data());
        drive.streams = {&a, &b, &freq, &res, &gain};
        drive.prepareAll();
        post(0, 1, 0); // live audio
    }
    void post(int pin, int kind, int32_t value)
    {
        filter->postEvent(owner.clock, pin, kind, value, static_cast<float>(value) * 0.1f, nullptr);
    }
    // A static design: type, frequency in Hz, resonance, section count.
    void design(int type, double hz, float r, int sections = 1)
    {
        const auto v = static_cast<float>(hz / 10.0);
        freq.value = [v](uint32_t) { return v; };
        res.value = [r](uint32_t) { return r; };
        post(5, 0, type);
        post(6, 0, sections - 1);
        post(2, 0, 0);
        post(3, 0, 0);
        drive.run(4);
    }
    std::vector<float> render(const std::vector<float>& x, int32_t chunk = 128)
    {
        return drive.render(a, x, filter->outputs[0], chunk);
    }
    bool routineIs(CK_ProcessRoutine r) const { return filter->processRoutine == r; }
};

const int kAllTypes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15};

// Sweeps the frequency over 20 Hz .. 20 480 Hz (past fs/2 at the two lower rates) on both axes
// and checks every coefficient set the running module designs.
TEST(StaticFilterTest, EveryShapeDesignsStableFiltersOverItsFrequencyRange)
{
    for (int32_t rate : {22050, 32000, 44100, 96000}) {
        StaticRig rig(rate);
        for (int linear : {1, 0}) {
            rig.post(7, 0, linear);
            for (int type : kAllTypes) {
                for (int sections : {1, 2, 8}) {
                    for (float r : {0.0f, 0.5f, 0.7f, 0.9f}) {
                        rig.design(type, 1000.0, r, sections);
                        rig.post(2, 1, 0); // the frequency moves: a new design every call
                        rig.freq.value = [linear](uint32_t t) {
                            const double hz = 20.0 * std::pow(1024.0, (t % 256) / 255.0);
                            return static_cast<float>(linear ? hz / 10.0 : std::log2(hz / 13.75) / 10.0);
                        };
                        int unstable = 0;
                        rig.drive.run(256 * 4, 4, [&](int32_t, int32_t, uint32_t) {
                            const CK_BiQuad& c = rig.filter->coefficients();
                            const bool finite = std::isfinite(c.b0) && std::isfinite(c.b1) && std::isfinite(c.b2);
                            unstable += finite && eqtest::stable(c.a1, c.a2) ? 0 : 1;
                        });
                        EXPECT_EQ(unstable, 0) << rate << " Hz, type " << type << ", " << sections
                                               << " sections, r " << r << (linear ? " linear" : " exponential");
                    }
                }
            }
        }
    }
}

// Steady gain at DC (constant input) and at fs/2 (alternating input), measured on the output.
double steadyGain(StaticRig& rig, bool nyquist)
{
    std::vector<float> x(8192);
    for (size_t n = 0; n < x.size(); ++n)
        x[n] = nyquist && (n & 1) ? -1.0f : 1.0f;
    const auto y = rig.render(x);
    return nyquist ? -y.back() : y.back();
}

TEST(StaticFilterTest, LowAndHighPassShapesPassAndStopWhatTheirNamesSay)
{
    const int lowPass[] = {1, 2, 3, 12, 14};
    const int highPass[] = {4, 5, 6, 13, 15};
    for (int sections : {1, 3}) {
        for (int type : lowPass) {
            StaticRig rig;
            rig.design(type, 1000.0, 0.5f, sections);
            EXPECT_NEAR(steadyGain(rig, false), 1.0, 1e-3) << "low-pass " << type << " at DC";
            EXPECT_NEAR(steadyGain(rig, true), 0.0, 1e-3) << "low-pass " << type << " at fs/2";
        }
        for (int type : highPass) {
            StaticRig rig;
            rig.design(type, 1000.0, 0.5f, sections);
            EXPECT_NEAR(steadyGain(rig, false), 0.0, 1e-3) << "high-pass " << type << " at DC";
            EXPECT_NEAR(std::fabs(steadyGain(rig, true)), 1.0, 1e-3) << "high-pass " << type << " at fs/2";
        }
    }
    // The inverted-polarity shapes really invert at fs/2 (one section).
    for (int type : {6, 13, 15}) {
        StaticRig rig;
        rig.design(type, 1000.0, 0.5f);
        EXPECT_NEAR(steadyGain(rig, true), -1.0, 1e-3) << type;
    }
}

TEST(StaticFilterTest, SwitchesAndClearingRestartFromSilence)
{
    const auto x = eqtest::noise(700);
    auto fresh = [&x]() {
        StaticRig rig;
        rig.design(1, 800.0, 0.6f, 2);
        return rig.render(x);
    };
    const auto expected = fresh();

    StaticRig rig;
    rig.design(1, 800.0, 0.6f, 2);
    EXPECT_EQ(rig.render(x), expected);

    rig.post(9, 0, 0); // switch A off while B is off: silence, history cleared
    EXPECT_EQ(rig.render(x), std::vector<float>(x.size(), 0.0f));
    rig.post(19, 0, 1); // switch B on alone resumes from cleared state
    EXPECT_EQ(rig.render(x), expected);

    rig.post(10, 0, 0); // run switch off: pass-through, and clearing requested
    EXPECT_EQ(rig.render(x), x);
    rig.post(10, 0, 1);
    EXPECT_EQ(rig.render(x), expected);

    rig.post(11, 0, 1); // clear trigger
    EXPECT_EQ(rig.render(x), expected);

    rig.post(5, 0, 0); // type 0 passes through
    EXPECT_EQ(rig.render(x), x);
}

TEST(StaticFilterTest, SameTypeAgainDoesNotRedesignAndCountsAreClamped)
{
    StaticRig rig;
    rig.design(2, 500.0, 0.5f);
    const CK_BiQuad before = rig.filter->coefficients();
    rig.freq.value = [](uint32_t) { return 300.0f; }; // moves without announcing itself
    rig.post(5, 0, 2);
    rig.drive.run(64);
    EXPECT_EQ(rig.filter->coefficients().a1, before.a1);
    rig.post(5, 0, 12);
    rig.drive.run(64);
    EXPECT_NE(rig.filter->coefficients().a1, before.a1);

    rig.post(6, 0, 20);
    rig.drive.run(4);
    EXPECT_EQ(rig.filter->sectionCount(), 8);
    rig.post(6, 0, -5);
    rig.drive.run(4);
    EXPECT_EQ(rig.filter->sectionCount(), 1);

    // Eight sections read the last entry of the resonance tables, as seven do.
    rig.design(4, 2000.0, 0.8f, 7);
    const CK_BiQuad seven = rig.filter->coefficients();
    rig.design(4, 2000.0, 0.8f, 8);
    EXPECT_EQ(rig.filter->coefficients().a2, seven.a2);
    EXPECT_EQ(rig.filter->sectionCount(), 8);
}

TEST(StaticFilterTest, SilentStaticInputSettlesToSilenceAndRests)
{
    using ck_detail::routineTrampoline;
    StaticRig rig;
    rig.design(7, 1000.0, 0.7f, 3);
    rig.render(eqtest::noise(300));
    rig.a.value = [](uint32_t) { return 0.0f; };
    rig.post(0, 0, 0);
    const CK_ProcessRoutine zero = &routineTrampoline<&CK_DSP_BiQuad_Static::zeroOutput>;
    int blocks = 0;
    while (!rig.routineIs(zero) && blocks < 200) {
        rig.drive.run(128);
        ++blocks;
    }
    ASSERT_TRUE(rig.routineIs(zero));
    EXPECT_GT(blocks, 1);
    rig.drive.run(300);
    EXPECT_TRUE(rig.filter->flags & CK_ModuleBase::kFlagResting);
    for (int i = 0; i < 128; ++i) {
        ASSERT_EQ(rig.filter->outputs[0][i], 0.0f);
        ASSERT_EQ(rig.filter->outputs[1][i], 0.0f);
    }
    rig.post(0, 1, 0);
    const auto x = eqtest::noise(256, 7u);
    EXPECT_NE(rig.render(x), std::vector<float>(x.size(), 0.0f));
}

TEST(StaticFilterTest, ChannelBRunsTheSameSectionsAsChannelA)
{
    StaticRig rig;
    rig.design(3, 1500.0, 0.4f, 4);
    const auto x = eqtest::noise(512, 3u);
    const uint32_t start = rig.owner.clock;
    rig.a.value = rig.b.value = [&x, start](uint32_t t) { return x[t - start]; };
    std::vector<float> left, right;
    rig.drive.run(512, 128, [&](int32_t p, int32_t n, uint32_t) {
        left.insert(left.end(), rig.filter->outputs[0] + p, rig.filter->outputs[0] + p + n);
        right.insert(right.end(), rig.filter->outputs[1] + p, rig.filter->outputs[1] + p + n);
    });
    EXPECT_EQ(left, right);
    EXPECT_NE(left, x);
}

} // namespace
