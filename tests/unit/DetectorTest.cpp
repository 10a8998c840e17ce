#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "DynamicsTestRig.h"
#include "dsp/dynamics/CK_DSP_Metering2.h"
#include "support/TestModules.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A band detector wired as in the graph: one or two channels, "Metering", "Sensitivity Hz" and the
// band's active switch, with its display on control 100 (sub-index 10). A recording module after
// it sees its announcements.
struct Detector {
    explicit Detector(bool stereo = false) : a(rig.cappedBlockSize), b(rig.cappedBlockSize)
    {
        det = rig.add<CK_DSP_Metering2>();
        listener = rig.add<RecordingModule>();
        det->setInput(0, a.get());
        if (stereo)
            det->setInput(1, b.get());
        rig.wire(det, 0, listener, 0);
        det->setDisplayTarget(0, 100, 10);
        det->prepare();
        listener->prepare();
    }

    // Parameter values as the effect sends them after prepare.
    void configure(int rms, float sensitivityHz)
    {
        DynamicsRig::param(det, 6, static_cast<float>(rms), rig.clock);
        DynamicsRig::param(det, 8, sensitivityHz / 10.0f, rig.clock);
        DynamicsRig::param(det, 9, 0.1f, rig.clock); // "Low Active" on (integer 1)
    }

    // Runs the signal through in blocks and answers the envelope.
    template <typename Signal>
    std::vector<float> run(int32_t frames, Signal signal)
    {
        std::vector<float> out;
        const int32_t n = rig.cappedBlockSize;
        for (int32_t done = 0; done < frames; done += n) {
            for (int32_t i = 0; i < n; ++i) {
                a[i] = signal(done + i);
                b[i] = 0.0f;
            }
            rig.runFrames(n);
            out.insert(out.end(), det->outputs[0], det->outputs[0] + n);
        }
        return out;
    }

    DynamicsRig rig;
    SignalBuffer a, b;
    CK_DSP_Metering2* det;
    RecordingModule* listener;
};

// Samples in t volts of time (10 ms units) at 44.1 kHz, as the detector counts them.
int32_t samplesFor(float volts)
{
    return static_cast<int32_t>(441.0f * volts + 1.0f);
}

TEST(DetectorTest, StepIsFollowedWithinOneSampleAndHeldForTheSensitivityPeriod)
{
    Detector d;
    d.configure(0, 20.0f); // peak, 20 Hz: hold and release 50 ms
    const int32_t hold = samplesFor(5.0f);
    const int32_t stepAt = 1000, stepEnd = 3000;
    const auto env = d.run(12800, [&](int32_t i) { return i >= stepAt && i < stepEnd ? 1.0f : 0.0f; });

    EXPECT_LT(env[stepAt - 1], 1e-6f);
    EXPECT_NEAR(env[stepAt], 1.0f, 1e-5f);
    // Held at full scale until the hold length has passed since the last loud sample...
    for (int32_t i = stepEnd; i < stepEnd + hold - 1; ++i)
        ASSERT_NEAR(env[static_cast<size_t>(i)], 1.0f, 1e-5f) << i - stepEnd;
    // ...then the release starts slowly and speeds up.
    const size_t releaseStart = static_cast<size_t>(stepEnd + hold - 1);
    EXPECT_LT(env[releaseStart], env[releaseStart - 1]);
    const float firstDrop = env[releaseStart - 1] - env[releaseStart];
    const float laterDrop = env[releaseStart + 99] - env[releaseStart + 100];
    EXPECT_GT(laterDrop, 10.0f * firstDrop);
    EXPECT_LT(env[releaseStart + 2 * static_cast<size_t>(hold)], 0.05f);
    // Silence settles at a tiny positive value, never a denormal.
    EXPECT_GT(env.back(), 0.0f);
    EXPECT_TRUE(std::isnormal(env.back()));
    EXPECT_LT(env.back(), 1e-6f);
}

TEST(DetectorTest, SteadyFullScaleSineReadsFullScaleInPeakAndRms)
{
    for (int rms : {0, 1}) {
        Detector d;
        d.configure(rms, 20.0f);
        const auto env = d.run(44100 / 2, [](int32_t i) { return float(std::sin(2.0 * kPi * 1000.0 * i / 44100.0)); });
        float lo = 10, hi = 0;
        for (size_t i = env.size() - 4410; i < env.size(); ++i) {
            lo = std::min(lo, env[i]);
            hi = std::max(hi, env[i]);
        }
        EXPECT_NEAR(lo, 1.0f, 0.01f) << "rms " << rms;
        EXPECT_NEAR(hi, 1.0f, 0.01f) << "rms " << rms;
    }
}

TEST(DetectorTest, LinkedChannelsTakeTheLouderOne)
{
    Detector d(true);
    d.configure(0, 20.0f);
    std::vector<float> env;
    for (int block = 0; block < 100; ++block) {
        for (int32_t i = 0; i < d.rig.cappedBlockSize; ++i) {
            d.a[i] = 0.1f;
            d.b[i] = -0.5f;
        }
        d.rig.runFrames(d.rig.cappedBlockSize);
    }
    EXPECT_NEAR(d.det->outputs[0][0], 0.5f, 1e-4f);
}

TEST(DetectorTest, RmsWindowAndSensitivityStayWithinTheRing)
{
    // A window pin of 1 s and a sensitivity of 1 Hz both ask for more than the 500 ms ring holds:
    // they are bounded to it, and RMS still reads a steady sine right.
    for (int variant = 0; variant < 2; ++variant) {
        Detector d;
        d.configure(1, variant == 0 ? 20.0f : 1.0f);
        if (variant == 0)
            DynamicsRig::param(d.det, 7, 100.0f, d.rig.clock);
        const auto env = d.run(44100, [](int32_t i) { return float(std::sin(2.0 * kPi * 100.0 * i / 44100.0)); });
        for (size_t i = env.size() - 4410; i < env.size(); ++i)
            ASSERT_NEAR(env[i], 1.0f, 0.02f) << "variant " << variant;
    }
}

TEST(DetectorTest, DisablingWritesZerosPostsZeroAndRests)
{
    Detector d;
    d.configure(0, 20.0f);
    d.run(2048, [](int32_t) { return 0.5f; });
    EXPECT_NEAR(d.det->outputs[0][0], 0.5f, 1e-4f);
    ASSERT_FALSE(d.listener->handled.empty());
    EXPECT_EQ(d.listener->handled.back().kind, 1); // the envelope changes every frame
    d.rig.shown.clear();

    DynamicsRig::param(d.det, 9, 0.0f, d.rig.clock + 10);
    const auto env = d.run(3 * 128, [](int32_t) { return 0.5f; });
    EXPECT_GT(env[9], 0.4f);
    for (size_t i = 10; i < env.size(); ++i)
        ASSERT_EQ(env[i], 0.0f) << i;
    ASSERT_FALSE(d.rig.shown.empty());
    EXPECT_EQ(d.rig.shown.back().value, 0.0f);
    EXPECT_EQ(d.rig.shown.back().control, 100);
    EXPECT_EQ(d.listener->handled.back().kind, 0); // static from here on
    EXPECT_TRUE(d.det->flags & CK_ModuleBase::kFlagResting);
    const size_t shownWhileResting = d.rig.shown.size();
    d.run(1024, [](int32_t) { return 0.5f; });
    EXPECT_EQ(d.rig.shown.size(), shownWhileResting);

    // Enabled again: it wakes and detects.
    DynamicsRig::param(d.det, 9, 0.1f, d.rig.clock);
    d.run(1024, [](int32_t) { return 0.5f; });
    EXPECT_NEAR(d.det->outputs[0][0], 0.5f, 1e-4f);
    EXPECT_EQ(d.listener->handled.back().kind, 1);
}

TEST(DetectorTest, DisplayShowsTheEnvelopeAboutSeventyTimesASecond)
{
    Detector d;
    d.configure(0, 20.0f);
    d.run(44100, [](int32_t) { return 0.25f; });
    EXPECT_GE(d.rig.shown.size(), 60u);
    EXPECT_LE(d.rig.shown.size(), 71u);
    for (size_t i = 1; i < d.rig.shown.size(); ++i)
        EXPECT_GE(d.rig.shown[i].clock - d.rig.shown[i - 1].clock, 630u); // int(441 * 1.4285715)
    EXPECT_EQ(d.rig.shown.back().control, 100);
    EXPECT_EQ(d.rig.shown.back().id, 10);
    EXPECT_NEAR(d.rig.shown.back().value, 0.25f, 1e-4f);
}

TEST(DetectorTest, SensitivityAnnouncesItsPeriod)
{
    Detector d;
    auto* periodListener = d.rig.add<RecordingModule>();
    periodListener->prepare();
    d.rig.wire(d.det, 1, periodListener, 3);
    d.configure(0, 20.0f);
    d.run(256, [](int32_t) { return 0.0f; });
    ASSERT_EQ(periodListener->handled.size(), 1u);
    EXPECT_EQ(periodListener->handled[0].pin, 3);
    EXPECT_FLOAT_EQ(periodListener->handled[0].floatValue, 5.0f); // 50 ms
}

} // namespace

namespace {

// Three band detectors on their own signals, alone or grouped; the same events reach both.
struct DetectorBands {
    explicit DetectorBands(bool grouped, bool stereo)
    {
        for (int k = 0; k < 3; ++k) {
            in[k] = std::make_unique<SignalBuffer>(rig.cappedBlockSize);
            inB[k] = std::make_unique<SignalBuffer>(rig.cappedBlockSize);
            det[k] = rig.add<CK_DSP_Metering2>();
            det[k]->setInput(0, in[k]->get());
            if (stereo)
                det[k]->setInput(1, inB[k]->get());
            det[k]->prepare();
            DynamicsRig::param(det[k], 9, 0.1f, 0);
        }
        const int32_t positions[3] = {0, 1, 2};
        if (grouped) {
            EXPECT_TRUE(rig.groupModules(positions, 3));
        }
    }
    DynamicsRig rig;
    std::unique_ptr<SignalBuffer> in[3], inB[3];
    CK_DSP_Metering2* det[3];
};

} // namespace

TEST(DetectorTest, DetectorsInLanesGiveTheEnvelopesTheyGiveAlone)
{
    // Every mode, peak and RMS, one and two channels, with settings changing inside blocks and
    // the bands in different modes for a while (so some run alone, some together).
    for (bool stereo : {false, true}) {
        DetectorBands alone(false, stereo), grouped(true, stereo);
        uint32_t seed = 5;
        const auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<float>(seed >> 8) / 16777216.0f;
        };
        for (int block = 0; block < 400; ++block) {
            // Sub-blocks never cross the end of the module buffers.
            const int32_t n = std::min(1 + (block * 37) % 128, alone.rig.cappedBlockSize - alone.rig.position);
            for (int k = 0; k < 3; ++k)
                for (int32_t i = 0; i < n; ++i) {
                    const float gain = (block / 40 + k) % 3 == 0 ? 0.01f : 0.8f;
                    const float x = gain * (2.0f * next() - 1.0f), y = gain * (2.0f * next() - 1.0f);
                    for (DetectorBands* b : {&alone, &grouped}) {
                        (*b->in[k])[b->rig.position + i] = x;
                        (*b->inB[k])[b->rig.position + i] = y;
                    }
                }
            if (block % 7 == 0) {
                const int k = block % 3;
                const int pin = 2 + (block / 7) % 4; // attack, hold, release, mode
                const float v = pin == 5 ? static_cast<float>((block / 21) % 3) / 10.0f : next() * 3.0f;
                const int rms = (block / 50) % 4 == 3 ? 1 : 0;
                for (DetectorBands* b : {&alone, &grouped}) {
                    DynamicsRig::param(b->det[k], pin, v, b->rig.clock + static_cast<uint32_t>(n / 2));
                    DynamicsRig::param(b->det[k], 6, rms / 10.0f, b->rig.clock);
                }
            }
            alone.rig.runFrames(n);
            grouped.rig.runFrames(n);
            for (int k = 0; k < 3; ++k)
                for (int32_t i = 0; i < n; ++i) {
                    const int32_t at = (alone.rig.position + alone.rig.cappedBlockSize - n) % alone.rig.cappedBlockSize + i;
                    ASSERT_EQ(alone.det[k]->outputs[0][at], grouped.det[k]->outputs[0][at])
                        << "stereo " << stereo << " block " << block << " band " << k << " frame " << i;
                }
        }
    }
}
