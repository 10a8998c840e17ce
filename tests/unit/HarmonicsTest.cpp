#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "dsp/enhance/CK_DSP_Synthetic_Harmonics.h"
#include "support/SignalBench.h"

namespace {

using H = CK_DSP_Synthetic_Harmonics;

struct HarmonicsTest : ::testing::Test {
    CK_ModuleOwner owner;
    CK_DSP_Synthetic_Harmonics* harmonics = nullptr;
    std::unique_ptr<SignalBench> bench;
    float band = 0.0f; // both band channels; the main signal is noise
    float amount = 0.0f;
    float envelope = 0.0f;
    uint32_t runStart = 0;

    void SetUp() override
    {
        harmonics = new CK_DSP_Synthetic_Harmonics(&owner);
        owner.addModule(harmonics);
        bench = std::make_unique<SignalBench>(owner, harmonics);
        const int inputs[] = {H::kMainA, H::kMainB, H::kBandA, H::kBandB, H::kAmount, H::kEnvelope};
        for (const int pin : inputs)
            bench->feed(pin);
        harmonics->prepare();
    }
    void start(int type, int dynamic)
    {
        bench->event(H::kMainA, 1);
        bench->event(H::kMainB, 1);
        bench->event(H::kType, 0, type);
        bench->event(H::kDynamic, 0, dynamic);
        bench->event(H::kEnable, 0, 10);
    }
    void run(int32_t frames)
    {
        runStart = owner.clock;
        bench->run(frames, [this](int pin, uint32_t frame) {
            switch (pin) {
            case H::kBandA:
            case H::kBandB: return band;
            case H::kAmount: return amount;
            case H::kEnvelope: return envelope;
            default: return benchNoise(pin, frame);
            }
        });
    }
    float mainIn(int c, size_t i) const { return benchNoise(H::kMainA + c, runStart + static_cast<uint32_t>(i)); }
    // The harmonics the module added at frame i of the last run, channel c.
    float added(int c, size_t i) const { return bench->out[c][i] - mainIn(c, i); }
    void expectMainOnly()
    {
        for (size_t i = 0; i < bench->out[0].size(); ++i)
            for (int c = 0; c < 2; ++c)
                ASSERT_EQ(bench->out[c][i], mainIn(c, i)) << "frame " << i;
    }
};

TEST_F(HarmonicsTest, ShaperCurve)
{
    EXPECT_EQ(H::shape(0.0f), 0.0f);
    EXPECT_EQ(H::shape(0.5f), 0.0f);
    EXPECT_EQ(H::shape(-0.5f), 0.0f);
    EXPECT_NEAR(H::shape(0.2f), 0.4998f, 1e-6f);
    EXPECT_NEAR(H::shape(1e-4f) / 1e-4f, 1.875f, 1e-3f);
    // Over-driven samples are held at full scale: bounded, never infinite.
    EXPECT_NEAR(H::shape(1.0f), -28.125f, 1e-4f);
    EXPECT_EQ(H::shape(1e9f), H::shape(1.0f));
    EXPECT_EQ(H::shape(-1e30f), H::shape(-1.0f));
    EXPECT_EQ(H::shape(std::nanf("")), 0.0f);

    // Through the module: Hard drives at the amount, so band 0.2 with amount 1 adds S(0.2), seen
    // in the first frame after the DC blocker is cleared.
    start(H::kHard, 0);
    amount = 1.0f;
    for (const auto& [b, s] : {std::pair{0.2f, 0.4998f}, std::pair{0.5f, 0.0f}, std::pair{-0.5f, 0.0f}}) {
        band = b;
        harmonics->clearState();
        run(64);
        for (int c = 0; c < 2; ++c)
            EXPECT_NEAR(added(c, 0), s, 1e-6f) << b;
    }
}

TEST_F(HarmonicsTest, NoAmountAndOffGiveTheMainSignalExactly)
{
    band = 0.3f;
    for (const int type : {H::kSoft, H::kHard}) {
        start(type, 0);
        amount = 0.0f;
        run(200);
        expectMainOnly();
    }
    amount = 1.0f;
    bench->event(H::kEnable, 0, 0); // "Psycho Bass" off
    run(200);
    expectMainOnly();
    bench->event(H::kEnable, 0, 10);
    bench->event(H::kType, 0, 0); // type 0 switches off too
    run(200);
    expectMainOnly();
}

TEST_F(HarmonicsTest, DriveByTypeAndDynamics)
{
    // Each case drives band 1.0 at 0.2, which adds S(0.2) = 0.4998.
    struct Case {
        int type, dynamic;
        float envelope, amount;
    };
    const Case cases[] = {
        {H::kHard, 0, 0.0f, 0.2f},        // Hard: d = a
        {H::kSoft, 0, 0.0f, 0.4f},        // Soft: d = a / 2
        {H::kHard, 10, 0.0f, 0.8f},       // dynamic Hard: a / 4 in silence
        {H::kHard, 10, 1.0f, 0.8f / 3},   // ... 3a / 4 at full level
        {H::kHard, 10, 2.0f, 0.8f / 3},   // ... and no more above it
        {H::kSoft, 10, 0.0f, 0.8f},       // dynamic Soft: a / 4 in silence
        {H::kSoft, 10, 1.0f, 0.4f},       // ... a / 2 at full level
    };
    // A constant band makes a constant (DC) product, which the DC blocker then removes: the first
    // frame after clearing it shows the shaper's output unchanged.
    band = 1.0f;
    for (const Case& c : cases) {
        start(c.type, c.dynamic);
        envelope = c.envelope;
        amount = c.amount;
        harmonics->clearState();
        run(64);
        for (int ch = 0; ch < 2; ++ch)
            EXPECT_NEAR(added(ch, 0), 0.4998f, 1e-5f) << c.type << " " << c.dynamic << " " << c.envelope;
    }
    bench->event(H::kType, 0, 3); // unknown types keep the current process
    harmonics->clearState();
    run(64);
    EXPECT_NEAR(added(0, 0), 0.4998f, 1e-5f);
}

TEST_F(HarmonicsTest, AddedHarmonicsCarryNoDc)
{
    // 60 Hz at -6 dBFS driven hard: the asymmetric shaper alone adds a DC of about 0.12.
    for (const int type : {H::kSoft, H::kHard}) {
        for (const int dynamic : {0, 10}) {
            harmonics->prepare();
            start(type, dynamic);
            amount = 1.0f;
            envelope = 0.5f;
            const uint32_t from = owner.clock;
            const int32_t seconds = 5, rate = owner.sampleRateHz;
            bench->run(seconds * rate, [&](int pin, uint32_t frame) {
                const float phase = 6.2831853f * 60.0f * static_cast<float>(frame - from) / static_cast<float>(rate);
                switch (pin) {
                case H::kAmount: return amount;
                case H::kEnvelope: return envelope;
                case H::kMainA:
                case H::kMainB: return 0.0f;
                default: return 0.5f * std::sin(phase);
                }
            });
            // The mean over the last four seconds, whole cycles of 60 Hz.
            for (int c = 0; c < 2; ++c) {
                double sum = 0.0;
                const size_t first = static_cast<size_t>(rate);
                for (size_t i = first; i < bench->out[c].size(); ++i)
                    sum += bench->out[c][i];
                const double dc = sum / static_cast<double>(bench->out[c].size() - first);
                EXPECT_LT(20.0 * std::log10(std::fabs(dc) + 1e-30), -60.0) << "type " << type << " dynamic " << dynamic;
            }
        }
    }
}

TEST(DcBlockerTest, APairOfChannelsFiltersEachExactlyAsAlone)
{
    std::vector<float> a(1000), b(1000);
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = 0.3f + 0.5f * std::sin(0.01f * static_cast<float>(i));
        b[i] = i < 500 ? -0.2f : 0.0f; // a step down to silence: the tail must settle to exact zeros
    }
    std::vector<float> aloneA = a, aloneB = b;
    CK_DcBlocker singleA, singleB, pairA, pairB;
    for (CK_DcBlocker* blocker : {&singleA, &singleB, &pairA, &pairB})
        blocker->setSampleRate(48000.0);
    for (int32_t first = 0; first < 1000; first += 125) { // in runs, as the module calls it
        singleA.process(aloneA.data() + first, 125);
        singleB.process(aloneB.data() + first, 125);
        CK_DcBlocker::processPair(pairA, a.data() + first, pairB, b.data() + first, 125);
    }
    EXPECT_EQ(0, std::memcmp(a.data(), aloneA.data(), a.size() * sizeof(float)));
    EXPECT_EQ(0, std::memcmp(b.data(), aloneB.data(), b.size() * sizeof(float)));
}

TEST_F(HarmonicsTest, NoiseThenDecayingSilenceStaysClean)
{
    for (const int dynamic : {0, 10}) {
        start(H::kHard, dynamic);
        const uint32_t quietFrom = owner.clock + 48000;
        bench->run(96000, [&](int pin, uint32_t frame) {
            const float decay = frame < quietFrom ? 1.0f : std::pow(0.998f, static_cast<float>(frame - quietFrom));
            const float tiny = decay < 1e-30f ? 0.0f : decay;
            switch (pin) {
            case H::kAmount: return 0.7f;
            case H::kEnvelope: return tiny;
            case H::kMainA:
            case H::kMainB: return frame < quietFrom ? 0.5f * benchNoise(pin, frame) : 0.0f;
            default: return 0.5f * benchNoise(pin, frame) * tiny;
            }
        });
        for (int c = 0; c < 2; ++c)
            for (const float v : bench->out[c]) {
                ASSERT_TRUE(std::isfinite(v));
                ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL) << "dynamic " << dynamic;
            }
        EXPECT_EQ(bench->out[0].back(), 0.0f);
    }
}

} // namespace
