#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "dsp/enhance/CK_DSP_Enhancer_Ctrl.h"
#include "support/SignalBench.h"
#include "support/TestModules.h"

namespace {

using E = CK_DSP_Enhancer_Ctrl;

struct EnhancerTest : ::testing::Test {
    CK_ModuleOwner owner;
    CK_DSP_Enhancer_Ctrl* enhancer = nullptr;
    std::unique_ptr<SignalBench> bench;
    float envelope = 0.0f;
    float amount = 0.0f;

    void SetUp() override
    {
        enhancer = new CK_DSP_Enhancer_Ctrl(&owner);
        owner.addModule(enhancer);
        bench = std::make_unique<SignalBench>(owner, enhancer);
        const int inputs[] = {E::kMainA, E::kMainB, E::kBandA, E::kBandB, E::kEnvelope, E::kAmount};
        for (const int pin : inputs)
            bench->feed(pin);
        enhancer->prepare();
    }
    void start(int mode)
    {
        bench->event(E::kMainA, 1);
        bench->event(E::kMainB, 1);
        bench->event(E::kMode, 0, mode);
        bench->event(E::kEnable, 0, 10);
    }
    float input(int pin, uint32_t frame) const
    {
        switch (pin) {
        case E::kEnvelope: return envelope;
        case E::kAmount: return amount;
        default: return benchNoise(pin, frame);
        }
    }
    void run(int32_t frames)
    {
        runStart = owner.clock;
        bench->run(frames, [this](int pin, uint32_t frame) { return input(pin, frame); });
    }
    float mainIn(int c, size_t i) const { return benchNoise(E::kMainA + c, runStart + static_cast<uint32_t>(i)); }
    float band(int c, size_t i) const { return benchNoise(E::kBandA + c, runStart + static_cast<uint32_t>(i)); }

    uint32_t runStart = 0;
};

TEST_F(EnhancerTest, NoAmountOrNoEnvelopeLeavesTheMainSignalExactly)
{
    for (const int mode : {0, 1, 2}) {
        start(mode);
        for (const auto& [e, a] : {std::pair{0.8f, 0.0f}, std::pair{0.0f, 10.0f}}) {
            envelope = e;
            amount = a;
            run(300);
            for (size_t i = 0; i < 300; ++i)
                for (int c = 0; c < 2; ++c)
                    ASSERT_EQ(bench->out[c][i], mainIn(c, i)) << "mode " << mode << " frame " << i;
        }
    }
}

TEST_F(EnhancerTest, FullEnvelopeAndFullAmountGiveTheModeGains)
{
    envelope = 1.0f;
    amount = 10.0f;
    const float gains[] = {10.0f, 7.5f, 6.5f};
    for (const int mode : {0, 1, 2}) {
        start(mode);
        run(200);
        for (size_t i = 0; i < 200; ++i)
            for (int c = 0; c < 2; ++c)
                ASSERT_NEAR(bench->out[c][i], mainIn(c, i) + gains[mode] * band(c, i), 1e-5f) << mode;
    }

    // Half level: a e^2, 0.75 a e, 0.65 a (1 - (1 - e)^2) with a = 4, e = 0.5.
    envelope = 0.5f;
    amount = 4.0f;
    const float halfGains[] = {1.0f, 1.5f, 1.95f};
    for (const int mode : {0, 1, 2}) {
        start(mode);
        run(64);
        EXPECT_NEAR(bench->out[0][10], mainIn(0, 10) + halfGains[mode] * band(0, 10), 1e-5f) << mode;
    }

    // Above full level "Dense" keeps its full-level gain instead of turning down again.
    amount = 10.0f;
    start(2);
    for (const float hot : {1.5f, 2.0f, 3.0f}) {
        envelope = hot;
        run(64);
        EXPECT_NEAR(bench->out[0][5], mainIn(0, 5) + 6.5f * band(0, 5), 1e-5f) << hot;
    }
}

TEST_F(EnhancerTest, OffPassesTheMainSignalAndGoesSilentWhenItIsStatic)
{
    auto* probe = new RecordingModule(&owner);
    enhancer->connect(probe, owner.addModule(probe), 0, 0);
    probe->prepare();

    envelope = 1.0f;
    amount = 10.0f;
    start(1);
    bench->event(E::kEnable, 0, 0);
    run(300);
    for (size_t i = 0; i < 300; ++i)
        for (int c = 0; c < 2; ++c)
            ASSERT_EQ(bench->out[c][i], mainIn(c, i));
    ASSERT_EQ(probe->handled.size(), 1u);
    EXPECT_EQ(probe->handled[0].kind, 1);

    bench->event(E::kMainA, 0);
    bench->event(E::kMainB, 0);
    run(300);
    EXPECT_EQ(bench->out[0].back(), 0.0f);
    EXPECT_EQ(bench->out[1].back(), 0.0f);
    ASSERT_EQ(probe->handled.size(), 2u);
    EXPECT_EQ(probe->handled[1].kind, 0);
    EXPECT_TRUE(enhancer->flags & CK_ModuleBase::kFlagResting);

    // Unknown modes keep the current process once enabled again.
    bench->event(E::kMainA, 1);
    bench->event(E::kEnable, 0, 10);
    bench->event(E::kMode, 0, 5);
    run(64);
    EXPECT_NEAR(bench->out[0][3], mainIn(0, 3) + 7.5f * band(0, 3), 1e-5f);
}

TEST_F(EnhancerTest, NoiseThenDecayingSilenceStaysClean)
{
    for (const int mode : {0, 1, 2}) {
        start(mode);
        const uint32_t quietFrom = owner.clock + 48000;
        runStart = owner.clock;
        bench->run(96000, [&](int pin, uint32_t frame) {
            // After the noise, band and envelope decay towards the smallest normal floats.
            const float decay = frame < quietFrom ? 1.0f : std::pow(0.999f, static_cast<float>(frame - quietFrom));
            const float tiny = decay < 1e-30f ? 0.0f : decay;
            switch (pin) {
            case E::kEnvelope: return tiny;
            case E::kAmount: return 10.0f;
            case E::kMainA:
            case E::kMainB: return frame < quietFrom ? benchNoise(pin, frame) : 0.0f;
            default: return benchNoise(pin, frame) * tiny;
            }
        });
        for (int c = 0; c < 2; ++c)
            for (const float v : bench->out[c]) {
                ASSERT_TRUE(std::isfinite(v));
                ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL) << "mode " << mode;
            }
    }
}

} // namespace
