#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "DynamicsTestRig.h"
#include "dsp/dynamics/CK_DSP_CompExp_Knee_Math.h"
#include "support/TestModules.h"

namespace {

// A gain computer fed a block of levels (dB/10), with its settings sent as parameter events.
struct Knee {
    Knee() : level(rig.cappedBlockSize)
    {
        knee = rig.add<CK_DSP_CompExp_Knee_Math>();
        listener = rig.add<RecordingModule>();
        knee->setInput(0, level.get());
        rig.wire(knee, 0, listener, 0);
        knee->prepare();
        listener->prepare();
    }

    // Threshold in dB, knee in percent, ratio.
    void set(float thresholdDb, float kneePercent, float ratio)
    {
        rig.param(knee, 1, thresholdDb / 10.0f);
        rig.param(knee, 2, kneePercent / 10.0f);
        rig.param(knee, 3, ratio / 10.0f);
    }

    // The gain change in dB for each level in dB, a block of levels at a time.
    std::vector<float> gains(const std::vector<float>& levelsDb)
    {
        const size_t n = static_cast<size_t>(rig.cappedBlockSize);
        std::vector<float> out;
        for (size_t first = 0; first < levelsDb.size(); first += n) {
            const size_t count = std::min(n, levelsDb.size() - first);
            for (size_t i = 0; i < n; ++i)
                level[static_cast<int32_t>(i)] = levelsDb[first + i % count] / 10.0f;
            rig.runFrames(static_cast<int32_t>(n));
            for (size_t i = 0; i < count; ++i)
                out.push_back(knee->outputs[0][i] * 10.0f);
        }
        return out;
    }
    float gain(float levelDb) { return gains({levelDb})[0]; }

    DynamicsRig rig;
    SignalBuffer level;
    CK_DSP_CompExp_Knee_Math* knee;
    RecordingModule* listener;
};

// The divisor that a gain change implies at a level (all dB/10): change = (x - T)/D + T - x.
float divisor(float levelDb, float thresholdDb, float changeDb)
{
    const float x = levelDb / 10.0f, t = thresholdDb / 10.0f - 0.0001f, g = changeDb / 10.0f;
    return (x - t) / (g + x - t);
}

TEST(KneeTest, HardKneeBringsMinusEightToMinusSeventeen)
{
    Knee k;
    k.set(-20.0f, 0.0f, 4.0f);
    EXPECT_NEAR(k.gain(-8.0f), -9.0f, 0.002f);
    EXPECT_EQ(k.gain(-30.0f), 0.0f); // below the threshold nothing changes
    EXPECT_NEAR(k.gain(0.0f), -15.0f, 0.002f);
}

TEST(KneeTest, HalfKneeRisesFromRatioOneAtThresholdToFullRatioAtFullScale)
{
    Knee k;
    k.set(-20.0f, 50.0f, 4.0f);
    EXPECT_NEAR(divisor(-19.99f, -20.0f, k.gain(-19.99f)), 1.0f, 0.01f);
    EXPECT_NEAR(divisor(0.0f, -20.0f, k.gain(0.0f)), 4.0f, 0.001f);
    EXPECT_NEAR(divisor(-10.0f, -20.0f, k.gain(-10.0f)), 2.5f, 0.001f); // (1 - q) R + q at q = 0.5
}

TEST(KneeTest, KneeShapesMeetAtFiftyPercentAndTheBowExceedsTheRatio)
{
    const std::vector<float> levels = {-35, -30, -25, -20, -15, -10, -5, -1, 0};
    Knee linear, bowed;
    linear.set(-40.0f, 49.99f, 6.0f);
    bowed.set(-40.0f, 50.01f, 6.0f);
    const auto a = linear.gains(levels), b = bowed.gains(levels);
    for (size_t i = 0; i < levels.size(); ++i)
        EXPECT_NEAR(a[i], b[i], 0.01f) << levels[i];

    // Knee 100 %: k = 1, h = 15; halfway to full scale (q = 0.5) the divisor is
    // (0.5 * 15 * R + R) * 0.5 + 0.5 = 17.5 for R = 4.
    Knee full;
    full.set(-20.0f, 100.0f, 4.0f);
    EXPECT_NEAR(divisor(-10.0f, -20.0f, full.gain(-10.0f)), 17.5f, 0.01f);
    EXPECT_NEAR(divisor(0.0f, -20.0f, full.gain(0.0f)), 4.0f, 0.001f);
}

TEST(KneeTest, RatioOneChangesNothing)
{
    Knee k;
    k.set(-40.0f, 0.0f, 1.0f);
    for (float g : k.gains({-60, -40, -39, -20, -6, 0}))
        EXPECT_NEAR(g, 0.0f, 1e-5f);
}

TEST(KneeTest, LevelsAboveFullScaleStayFinite)
{
    const std::vector<float> hot = {0.5f, 1, 2, 3, 5, 10, 20, 60};
    // Ratios of 1 and more never boost (beyond rounding); ratios below 1 boost, but finitely.
    for (float kneePercent : {0.0f, 30.0f, 50.0f, 75.0f, 100.0f}) {
        Knee compress, expand;
        compress.set(-40.0f, kneePercent, 4.0f);
        expand.set(-40.0f, kneePercent, 0.1f);
        const auto c = compress.gains(hot), e = expand.gains(hot);
        for (size_t i = 0; i < hot.size(); ++i) {
            EXPECT_TRUE(std::isfinite(c[i]) && c[i] <= 1e-4f) << kneePercent << "% at +" << hot[i] << " dB: " << c[i];
            EXPECT_TRUE(std::isfinite(e[i]) && e[i] >= 0.0f && e[i] < 10.0f * (hot[i] + 40.0f))
                << kneePercent << "% at +" << hot[i] << " dB: " << e[i];
        }
    }
    // At threshold 0 dB the quotient level / threshold stays finite.
    Knee zero;
    zero.set(0.0f, 0.0f, 4.0f);
    EXPECT_NEAR(zero.gain(-6.0f), 0.0f, 1e-6f);
    EXPECT_NEAR(zero.gain(8.0f), -6.0f, 0.01f);
}

TEST(KneeTest, UpwardExpansionNeverRisesMoreThanTwentyFourDecibels)
{
    std::vector<float> levels;
    for (float db = -60.0f; db <= 6.0f; db += 0.5f)
        levels.push_back(db);
    for (float ratio : {0.1f, 0.11f, 0.2f, 0.35f, 0.5f, 0.75f, 0.99f, 1.0f, 1.5f, 4.0f, 20.0f})
        for (float kneePercent = 0.0f; kneePercent <= 100.0f; kneePercent += 5.0f)
            for (float thresholdDb : {-40.0f, -20.0f, 0.0f}) {
                Knee k;
                k.set(thresholdDb, kneePercent, ratio);
                const std::vector<float> g = k.gains(levels);
                // Ratios of 1 and more never raise the level, so the bound never touches them.
                const float highest = ratio >= 1.0f ? 1e-4f : 24.0f + 1e-4f;
                for (size_t i = 0; i < levels.size(); ++i)
                    ASSERT_LE(g[i], highest) << "ratio " << ratio << " knee " << kneePercent << "% threshold "
                                             << thresholdDb << " level " << levels[i];
            }
    // Below the bound the expansion follows the law: hard knee, ratio 0.5, threshold -20 dB,
    // level -10 dB rises to 0 dB (+10 dB); level +6 dB would rise by 26 dB and stops at 24.
    Knee k;
    k.set(-20.0f, 0.0f, 0.5f);
    EXPECT_NEAR(k.gain(-10.0f), 10.0f, 0.01f);
    EXPECT_NEAR(k.gain(6.0f), 24.0f, 1e-4f);
}

TEST(KneeTest, InactiveBandGivesExactlyZeroAndRests)
{
    Knee k;
    k.set(-40.0f, 0.0f, 4.0f);
    EXPECT_LT(k.gain(-10.0f), -20.0f);
    k.rig.param(k.knee, 19, 0.0f);
    EXPECT_EQ(k.gain(-10.0f), 0.0f);
    for (int32_t i = 0; i < k.rig.cappedBlockSize; ++i)
        EXPECT_EQ(k.knee->outputs[0][i], 0.0f);
    EXPECT_EQ(k.listener->handled.back().kind, 0);
    k.gain(-10.0f);
    EXPECT_TRUE(k.knee->flags & CK_ModuleBase::kFlagResting);

    // Settings that arrive while inactive wait; switching on again computes with them.
    k.rig.param(k.knee, 3, 0.2f);
    k.gain(-10.0f);
    EXPECT_EQ(k.knee->outputs[0][0], 0.0f);
    k.rig.param(k.knee, 19, 0.1f);
    EXPECT_NEAR(k.gain(-10.0f), -15.0f, 0.002f);
    EXPECT_EQ(k.listener->handled.back().kind, 1);
}

TEST(KneeTest, StaticInputIsAnnouncedAndTheModuleRests)
{
    Knee k;
    k.set(-20.0f, 0.0f, 2.0f);
    k.knee->postEvent(k.rig.clock, 0, 0, 0, 0.0f, nullptr); // the level is static from here on
    EXPECT_NEAR(k.gain(-10.0f), -5.0f, 0.002f);
    EXPECT_EQ(k.listener->handled.back().kind, 0);
    k.gain(-10.0f);
    EXPECT_TRUE(k.knee->flags & CK_ModuleBase::kFlagResting);
    // A new setting wakes it, recomputes and announces the static value again.
    const size_t announcements = k.listener->handled.size();
    k.rig.param(k.knee, 3, 0.4f);
    EXPECT_NEAR(k.gain(-10.0f), -7.5f, 0.002f);
    EXPECT_EQ(k.listener->handled.size(), announcements + 1);
}

} // namespace
