#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "dsp/metering/CK_DSP_Wave_Freq_Display.h"
#include "dsp/metering/CK_EditorPresence.h"
#include "support/SignalBench.h"

namespace {

using W = CK_DSP_Wave_Freq_Display;

// Stands in for the effect: records what reaches the editor controls and says whether an editor
// is open.
struct MeterOwner : CK_ModuleOwner, CK_EditorPresence {
    struct Shown {
        int32_t control;
        CK_LinkMessage message;
        uint32_t clock;
    };
    bool editorOpen() const override { return open; }
    void showValue(int32_t control, const CK_LinkMessage& message) override
    {
        shown.push_back({control, message, clock});
    }
    std::vector<Shown> to(int32_t control) const
    {
        std::vector<Shown> result;
        for (const Shown& s : shown)
            if (s.control == control)
                result.push_back(s);
        return result;
    }

    bool open = true;
    std::vector<Shown> shown;
};

// The controls of the product's editor that the output meter feeds.
constexpr int16_t kLeftMeter = 105;
constexpr int16_t kRightMeter = 106;
constexpr int16_t kScaleImage = 104;
constexpr int16_t kReadout = 109;

struct OutputMeteringTest : ::testing::Test {
    MeterOwner owner;
    W* meter = nullptr;
    std::unique_ptr<SignalBench> bench;

    void build(std::initializer_list<std::pair<int, int16_t>> extraTargets = {})
    {
        owner.sampleRateHz = 48000;
        owner.sampleRateKHz = 48.0f;
        owner.tables.compute(48000);
        meter = new W(&owner);
        owner.addModule(meter);
        meter->setDisplayTarget(W::kSlotLeft, kLeftMeter, 0);
        meter->setDisplayTarget(W::kSlotRight, kRightMeter, 0);
        meter->setDisplayTarget(W::kSlotScale, kScaleImage, 0);
        meter->setDisplayTarget(W::kSlotHeldPeak, kReadout, 0);
        for (const auto& [slot, control] : extraTargets)
            meter->setDisplayTarget(slot, control, 0);
        bench = std::make_unique<SignalBench>(owner, meter);
        for (int pin = 0; pin < 4; ++pin)
            bench->feed(pin);
        meter->prepare();
    }
    void run(int32_t frames, const SignalBench::Source& source) { bench->run(frames, source); }
};

// +-a alternating: peak a on every block.
SignalBench::Source squares(float left, float right)
{
    return [=](int pin, uint32_t frame) {
        const float sign = frame % 2 ? -1.0f : 1.0f;
        return sign * (pin == 0 ? left : pin == 1 ? right : 0.0f);
    };
}

TEST_F(OutputMeteringTest, PeaksReachTheMetersAboutSeventyTimesASecond)
{
    build();
    run(48000, squares(0.5f, 0.25f));
    const auto left = owner.to(kLeftMeter);
    const auto right = owner.to(kRightMeter);
    ASSERT_EQ(left.size(), right.size());
    // One report per int(480 x 1.4285715) = 685 frames at most, made at the end of a block.
    EXPECT_GE(left.size(), 60u);
    EXPECT_LE(left.size(), 71u);
    for (size_t i = 0; i < left.size(); ++i) {
        EXPECT_EQ(left[i].message.value, 0.5f);
        EXPECT_EQ(right[i].message.value, 0.25f);
        if (i > 0) {
            EXPECT_GE(left[i].clock - left[i - 1].clock, 685u - 128u);
        }
    }
}

TEST_F(OutputMeteringTest, ClosedEditorMeansNoWorkAndNoReports)
{
    build();
    owner.open = false;
    meter->captureBuffer()[W::kCaptureLength] = 3.0f;
    run(128 * 200, squares(0.9f, 0.9f));
    EXPECT_TRUE(owner.shown.empty());
    EXPECT_EQ(meter->captureBuffer()[W::kCaptureLength], 0.0f);

    // Nothing measured while closed shows up after opening.
    owner.open = true;
    run(2000, squares(0.1f, 0.2f));
    ASSERT_FALSE(owner.to(kLeftMeter).empty());
    EXPECT_EQ(owner.to(kLeftMeter).front().message.value, 0.1f);
    ASSERT_FALSE(owner.to(kReadout).empty());
    EXPECT_NEAR(owner.to(kReadout).front().message.value, 20.0f * std::log10(0.2f), 1e-4f);
}

TEST_F(OutputMeteringTest, ReadoutHoldsAPeakFor180ReportsUnlessAHigherOneArrives)
{
    build();
    const uint32_t burstEnd = 128;
    auto signal = [&](int pin, uint32_t frame) {
        if (pin > 1)
            return 0.0f;
        return frame < burstEnd ? 0.5f : (frame % 2 ? -0.25f : 0.25f);
    };
    run(768 * 200, signal);
    const auto readout = owner.to(kReadout);
    const auto reports = owner.to(kLeftMeter);
    ASSERT_EQ(readout.size(), 2u);
    EXPECT_NEAR(readout[0].message.value, -6.0206f, 1e-4f);
    EXPECT_NEAR(readout[1].message.value, -12.0412f, 1e-4f);
    // The second value appears with the 181st report.
    ASSERT_GT(reports.size(), 181u);
    EXPECT_EQ(readout[0].clock, reports[0].clock);
    EXPECT_EQ(readout[1].clock, reports[180].clock);

    // A higher peak shows at once.
    run(768, squares(0.8f, 0.0f));
    const auto after = owner.to(kReadout);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_NEAR(after[2].message.value, 20.0f * std::log10(0.8f), 1e-4f);
}

TEST_F(OutputMeteringTest, SilenceReadsMinus180PlusTheMeterScaleOffset)
{
    const float offsets[] = {0.0f, 12.0f, 14.0f, 20.0f};
    for (int type = 0; type < 4; ++type) {
        owner.destroyModules();
        owner.shown.clear();
        build();
        bench->event(W::kMeterType, 0, type, 0.1f * static_cast<float>(type));
        run(2000, [](int, uint32_t) { return 0.0f; });

        // The scale goes to both meters (id 110) and to the scale image (id 104), its index in the
        // mode field, so a meter tells it from a peak.
        for (const int16_t control : {kLeftMeter, kRightMeter, kScaleImage}) {
            const auto shown = owner.to(control);
            ASSERT_FALSE(shown.empty());
            EXPECT_EQ(shown.front().message.mode, type) << control;
            EXPECT_EQ(shown.front().message.id, control == kScaleImage ? 104 : 110) << control;
        }
        const auto readout = owner.to(kReadout);
        ASSERT_EQ(readout.size(), 1u);
        EXPECT_FLOAT_EQ(readout[0].message.value, -180.0f + offsets[type]) << type;
    }
    // Out-of-range meter types use the nearest scale.
    bench->event(W::kMeterType, 0, 9, 0.9f);
    run(128, [](int, uint32_t) { return 0.0f; });
    EXPECT_EQ(owner.to(kScaleImage).back().message.mode, 3);
}

TEST_F(OutputMeteringTest, CaptureIsNotOverwrittenUntilTheEditorTookIt)
{
    build({{W::kSlotWave, 50}});
    bench->event(W::kPeakEnable, 0, 0); // capture reports only
    bench->event(W::kMode, 0, W::kWave);
    auto ramp = [](int pin, uint32_t frame) { return pin == 0 ? static_cast<float>(frame) : -1.0f; };
    run(1024, ramp);
    const float* capture = meter->captureBuffer();
    EXPECT_EQ(capture[W::kCaptureLength], 3.0f);
    for (int i = 0; i < W::kCaptureLength; ++i)
        ASSERT_EQ(capture[i], static_cast<float>(i));
    ASSERT_EQ(owner.to(50).size(), 1u);
    EXPECT_EQ(meter->lastReport().kind, W::kWave);
    EXPECT_EQ(meter->lastReport().payload, capture);

    run(2048, ramp);
    EXPECT_EQ(capture[0], 0.0f); // still the first capture
    EXPECT_EQ(owner.to(50).size(), 1u);

    meter->captureBuffer()[W::kCaptureLength] = 0.0f; // the editor took it
    const auto resumeAt = static_cast<float>(owner.clock);
    run(1024, ramp);
    EXPECT_EQ(capture[0], resumeAt);
    EXPECT_EQ(capture[W::kCaptureLength], 3.0f);
}

TEST_F(OutputMeteringTest, TriggeredCaptureStartsAtARisingZeroCrossing)
{
    build({{W::kSlotWave, 50}});
    bench->event(W::kPeakEnable, 0, 0);
    bench->event(W::kMode, 0, W::kTriggered);
    const float kTwoPi = 6.28318531f;
    auto wave = [&](int pin, uint32_t frame) {
        const float phase = kTwoPi * static_cast<float>(static_cast<int32_t>(frame) - 37) / 100.0f;
        return pin == 0 ? std::sin(phase) : pin == 1 ? 0.001f * static_cast<float>(frame) : 0.0f;
    };
    run(1024, wave);
    const float* capture = meter->captureBuffer();
    ASSERT_EQ(capture[W::kCaptureLength], 5.0f);
    for (int i = 0; i < W::kTriggeredLength; ++i) {
        ASSERT_EQ(capture[i], wave(0, 37u + static_cast<uint32_t>(i))) << i;
        ASSERT_EQ(capture[W::kTriggeredLength + i], wave(1, 37u + static_cast<uint32_t>(i))) << i;
    }
    EXPECT_EQ(meter->lastReport().kind, W::kTriggered);
}

TEST_F(OutputMeteringTest, RmsOfASineReadsItsPeakAndOddWindowsStaySafe)
{
    build({{W::kSlotRmsLeft, 60}, {W::kSlotRmsRight, 61}});
    const float kTwoPi = 6.28318531f;
    auto sine = [&](int pin, uint32_t frame) {
        const float a = pin == 0 ? 0.5f : pin == 1 ? 0.25f : 0.0f;
        return a * std::sin(kTwoPi * static_cast<float>(frame % 480) / 480.0f);
    };
    run(24000, sine);
    EXPECT_EQ(meter->rmsWindow(), 9600);
    EXPECT_NEAR(owner.to(60).back().message.value, 0.5f, 1e-3f);
    EXPECT_NEAR(owner.to(61).back().message.value, 0.25f, 1e-3f);

    for (const float window : {0.0f, -3.0f, NAN, 1.0e9f}) {
        bench->event(W::kRmsWindow, 0, 0, window);
        run(2000, sine);
        EXPECT_GE(meter->rmsWindow(), 2);
        EXPECT_LE(meter->rmsWindow(), 48000);
        EXPECT_TRUE(std::isfinite(owner.to(60).back().message.value)) << window;
    }
}

} // namespace
