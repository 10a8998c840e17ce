// The equaliser's coefficient module and the frequency tables it reads: measured responses of a
// peaking band running through a filter engine, the active and changing announcements, and lookups
// that stay inside the tables at low sample rates.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/eq/CK_DSP_BiQuad_Coeff.h"
#include "dsp/eq/CK_DSP_BiQuad_Multi_Engine.h"
#include "support/EqTestSupport.h"
#include "support/TestModules.h"

namespace {

using eqtest::BandRig;

double centreGainDb(float g)
{
    const double gp = static_cast<double>(g) + 0.5;
    return 20.0 * std::log10(gp / (1.001 - gp));
}

TEST(EqCoefficientTest, PeakingBandMeetsItsAnalogCentreGain)
{
    for (int32_t rate : {44100, 96000}) {
        for (double hz : {100.0, 1000.0, 10000.0}) {
            for (double db : {-15.0, -6.0, 6.0, 15.0}) {
                const double level = std::pow(10.0, db / 20.0);
                const auto g = static_cast<float>(1.001 * level / (1.0 + level) - 0.5);
                BandRig rig(rate);
                rig.setBand(hz, 0.5f, g);
                const auto h = rig.drive.render(rig.audio, eqtest::impulse(32768), rig.engine->outputs[0]);
                const double measured = eqtest::responseDb(h, hz, rate);
                EXPECT_NEAR(measured, centreGainDb(g), 0.1) << rate << " Hz, band at " << hz << " Hz, " << db << " dB";
                EXPECT_NEAR(measured, db, 0.1);
                // Far from the band the response returns to unity.
                EXPECT_NEAR(eqtest::responseDb(h, hz / 40.0, rate), 0.0, 0.25);
            }
        }
    }
}

TEST(EqCoefficientTest, GainInputOfHalfAThousandthIsTransparent)
{
    BandRig rig(44100);
    rig.setBand(1000.0, 0.8f, 0.0005f);
    EXPECT_EQ(rig.lastAnnounced(0), 1);
    const auto h = rig.drive.render(rig.audio, eqtest::impulse(8192), rig.engine->outputs[0]);
    for (double hz : {50.0, 500.0, 1000.0, 2000.0, 15000.0})
        EXPECT_NEAR(eqtest::responseDb(h, hz, 44100), 0.0, 0.001) << hz;
    const auto x = eqtest::noise(4096);
    const auto y = rig.drive.render(rig.audio, x, rig.engine->outputs[0]);
    for (size_t n = 0; n < x.size(); ++n)
        ASSERT_NEAR(y[n], x[n], 1e-5) << n;
}

TEST(EqCoefficientTest, StaticGainOfExactlyZeroReportsTheBandInactive)
{
    BandRig rig(44100);
    rig.setBand(1000.0, 0.5f, 0.3f);
    EXPECT_EQ(rig.lastAnnounced(0), 1);
    rig.setBand(1000.0, 0.5f, 0.0f);
    EXPECT_EQ(rig.lastAnnounced(0), 0);
    // With its only band inactive the engine copies the input exactly.
    const auto x = eqtest::noise(1000);
    EXPECT_EQ(rig.drive.render(rig.audio, x, rig.engine->outputs[0]), x);
    // While the gain moves the band counts as active whatever the value.
    rig.coeff->postEvent(rig.owner.clock, 2, 1, 0, 0.0f, nullptr);
    rig.drive.run(64);
    EXPECT_EQ(rig.lastAnnounced(0), 1);
}

TEST(EqCoefficientTest, DisabledBandZeroesItsCoefficientsAndReportsInactiveAndStatic)
{
    BandRig rig(44100);
    rig.coeff->postEvent(rig.owner.clock, 0, 1, 0, 0.0f, nullptr);
    rig.setBand(3000.0, 0.5f, 0.2f);
    rig.coeff->postEvent(rig.owner.clock, 0, 1, 0, 0.0f, nullptr);
    rig.drive.run(128);
    EXPECT_EQ(rig.lastAnnounced(1, true), 1);
    rig.coeff->postEvent(rig.owner.clock, 6, 0, 0, 0.0f, nullptr);
    rig.drive.run(256);
    for (int pin = 0; pin < 5; ++pin)
        for (int32_t i = 0; i < rig.owner.cappedBlockSize; ++i)
            ASSERT_EQ(rig.coeff->outputs[pin][i], 0.0f) << pin << " " << i;
    EXPECT_EQ(rig.lastAnnounced(0), 0);
    EXPECT_EQ(rig.lastAnnounced(1, true), 0);
    EXPECT_TRUE(rig.coeff->flags & CK_ModuleBase::kFlagResting);
    // Enabled again it designs the band and reports it.
    rig.coeff->postEvent(rig.owner.clock, 6, 0, 1, 0.1f, nullptr);
    rig.drive.run(256);
    EXPECT_EQ(rig.lastAnnounced(0), 1);
    EXPECT_GT(rig.lastCoefficients().b0, 1.0f);
}

TEST(EqCoefficientTest, PerBlockModeWritesOnlyPositionZero)
{
    BandRig rig(44100);
    rig.setBand(500.0, 0.5f, 0.2f);
    rig.coeff->postEvent(rig.owner.clock, 5, 0, 0, 0.0f, nullptr);
    rig.coeff->postEvent(rig.owner.clock, 0, 1, 0, 0.0f, nullptr);
    rig.drive.run(1);
    const CK_BiQuad before = rig.coefficientsAt(0);
    for (int pin = 0; pin < 5; ++pin)
        for (int32_t i = 1; i < rig.owner.cappedBlockSize; ++i)
            rig.coeff->outputs[pin][i] = 7.0f;
    rig.freq.value = [](uint32_t t) { return 100.0f + 0.5f * static_cast<float>(t % 1000); };
    rig.drive.run(300, 32);
    for (int pin = 0; pin < 5; ++pin)
        for (int32_t i = 1; i < rig.owner.cappedBlockSize; ++i)
            ASSERT_EQ(rig.coeff->outputs[pin][i], 7.0f) << pin << " " << i;
    EXPECT_NE(rig.coefficientsAt(0).b0, before.b0);
}

TEST(EqCoefficientTest, ResonanceRangeIndexIsClampedToTheTable)
{
    BandRig rig(44100);
    rig.coeff->postEvent(rig.owner.clock, 3, 0, 2, 0.2f, nullptr); // low-pass from Q
    rig.setBand(1000.0, 1.0f, 0.0f);
    auto designWithIndex = [&](int32_t index) {
        rig.coeff->postEvent(rig.owner.clock, 4, 0, index, 0.0f, nullptr);
        rig.drive.run(128);
        return rig.lastCoefficients();
    };
    const CK_BiQuad top = designWithIndex(7);
    const CK_BiQuad below = designWithIndex(6);
    const CK_BiQuad past = designWithIndex(12);
    const CK_BiQuad negative = designWithIndex(-3);
    const CK_BiQuad first = designWithIndex(0);
    EXPECT_NE(top.a2, below.a2);
    EXPECT_EQ(past.a2, top.a2);
    EXPECT_EQ(past.b0, top.b0);
    EXPECT_EQ(negative.a2, first.a2);
}

// At 22 050 and 32 000 Hz the frequency range reaches past the linear table; positions beyond it
// design the filter at the table's last usable entry, and every design stays finite and stable.
TEST(EqCoefficientTest, LookupsPastTheTableClampToItsLastInterval)
{
    for (int32_t rate : {22050, 32000}) {
        for (int type : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}) {
            BandRig rig(rate);
            rig.coeff->postEvent(rig.owner.clock, 3, 0, type, 0.0f, nullptr);
            rig.setBand(2047.0 * rate / 4096.0, 0.5f, 0.3f);
            const CK_BiQuad edge = rig.lastCoefficients();
            rig.setBand(20480.0, 0.5f, 0.3f);
            const CK_BiQuad top = rig.lastCoefficients();
            const float tolerance = 1e-3f * (std::fabs(edge.b0) + std::fabs(edge.b1) + 1.0f);
            EXPECT_NEAR(top.b0, edge.b0, tolerance) << rate << " type " << type;
            EXPECT_NEAR(top.b1, edge.b1, tolerance) << rate << " type " << type;
            EXPECT_NEAR(top.a1, edge.a1, 1e-3) << rate << " type " << type;
            EXPECT_NEAR(top.a2, edge.a2, 1e-3) << rate << " type " << type;
            // A sweep over the whole parameter range, past the table's end.
            rig.coeff->postEvent(rig.owner.clock, 0, 1, 0, 0.0f, nullptr);
            rig.freq.value = [](uint32_t t) { return 2.0f + static_cast<float>(t % 2048); };
            bool allStable = true;
            rig.drive.run(2048, 128, [&](int32_t p, int32_t n, uint32_t) {
                for (int32_t i = p; i < p + n; ++i) {
                    const CK_BiQuad c = rig.coefficientsAt(i);
                    allStable = allStable && std::isfinite(c.b0) && std::isfinite(c.b1) && std::isfinite(c.b2) &&
                                eqtest::stable(c.a1, c.a2);
                }
            });
            EXPECT_TRUE(allStable) << rate << " type " << type;
        }
    }
}

TEST(EqCoefficientTest, ExponentialAxisClampsBothEndsAndIgnoresNaN)
{
    BandRig rig(44100);
    rig.coeff->postEvent(rig.owner.clock, 7, 0, 0, 0.0f, nullptr);
    auto designAt = [&](float v) {
        rig.freq.value = [v](uint32_t) { return v; };
        rig.coeff->postEvent(rig.owner.clock, 0, 0, 0, 0.0f, nullptr);
        rig.drive.run(128);
        return rig.lastCoefficients();
    };
    rig.setBand(0.0, 0.5f, 0.3f);
    const CK_BiQuad top = designAt(1.3f);
    const CK_BiQuad beyond = designAt(5.0f);
    const CK_BiQuad bottom = designAt(-1.0f);
    const CK_BiQuad below = designAt(-4.0f);
    const CK_BiQuad nan = designAt(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(beyond.b0, top.b0);
    EXPECT_EQ(beyond.a2, top.a2);
    EXPECT_EQ(below.b0, bottom.b0);
    EXPECT_EQ(below.a1, bottom.a1);
    EXPECT_EQ(nan.a1, bottom.a1);
    // 1 kHz on the exponential axis: v = log2(1000 / 13.75) / 10.
    const float v1k = static_cast<float>(std::log2(1000.0 / 13.75) / 10.0);
    rig.freq.value = [v1k](uint32_t) { return v1k; };
    rig.coeff->postEvent(rig.owner.clock, 0, 0, 0, 0.0f, nullptr);
    const auto h = rig.drive.render(rig.audio, eqtest::impulse(16384), rig.engine->outputs[0]);
    EXPECT_NEAR(eqtest::responseDb(h, 1000.0, 44100), centreGainDb(0.3f), 0.1);
}

TEST(EqLookupTableTest, LinearEntryZeroRepeatsEntryOne)
{
    CK_ModuleOwner owner;
    owner.tables.compute(44100);
    const CK_LookupTables& t = owner.tables;
    EXPECT_EQ(t.unitTan[0], t.unitTan[1]);
    EXPECT_EQ(t.unitCot[0], t.unitCot[1]);
    EXPECT_EQ(t.unitSin[0], t.unitSin[1]);
    EXPECT_EQ(t.unitCos[0], t.unitCos[1]);
    EXPECT_FLOAT_EQ(t.unitTan[1024], 1.0f); // a quarter of the sample rate
    EXPECT_TRUE(std::isfinite(t.unitCot[0]));
}

TEST(EqLookupTableTest, ExponentialEntriesFromNyquistHoldNinetyNinePercentOfIt)
{
    CK_ModuleOwner owner;
    owner.tables.compute(44100);
    const CK_LookupTables& t = owner.tables;
    const double a = eqtest::kPi * 0.99 * 22050.0 / 44100.0;
    for (int i = 1839; i <= 2048; ++i) {
        ASSERT_EQ(t.warpTan[i], static_cast<float>(std::tan(a))) << i;
        ASSERT_EQ(t.warpCot[i], static_cast<float>(1.0 / std::tan(a))) << i;
        ASSERT_EQ(t.warpSin[i], static_cast<float>(std::sin(2.0 * a))) << i;
        ASSERT_EQ(t.warpCos[i], static_cast<float>(std::cos(2.0 * a))) << i;
    }
    // Entry 1838 still lies below fs/2 and keeps its own frequency.
    EXPECT_LT(CK_LookupTables::axisFrequency(1838), 22050.0);
    EXPECT_NE(t.warpTan[1838], t.warpTan[1839]);
    // 1000 Hz sits at 2048/23 x (log2(1000/13.75) + 10) on this axis.
    const double position = 2048.0 / 23.0 * (std::log2(1000.0 / 13.75) + 10.0);
    const int i = static_cast<int>(position);
    const double interpolated = t.warpTan[i] + (t.warpTan[i + 1] - t.warpTan[i]) * (position - i);
    EXPECT_NEAR(interpolated, std::tan(eqtest::kPi * 1000.0 / 44100.0), 1e-4);
}

} // namespace
