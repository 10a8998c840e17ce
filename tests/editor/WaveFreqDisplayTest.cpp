// The wave and frequency view fed by the output metering module: level history, four levels,
// spectrum on both axes and the oscilloscope, and the capture handed back after reading.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "dsp/metering/CK_DSP_Wave_Freq_Display.h"
#include "dsp/metering/CK_EditorPresence.h"
#include "editor/displays/CK_GUI_Wave_Freq_Display.h"
#include "tests/support/SignalBench.h"

namespace {

using Module = CK_DSP_Wave_Freq_Display;
using View = CK_GUI_Wave_Freq_Display;
constexpr int kW = 240, kH = 120;
constexpr int16_t kViewTag = 65;

// The effect's part: the module's reports reach the view (all at once here, as one tick's mailbox).
struct Owner : CK_ModuleOwner, CK_EditorPresence {
    bool editorOpen() const override { return true; }
    void showValue(int32_t control, const CK_LinkMessage& message) override
    {
        if (control == kViewTag)
            view->link(nullptr, message);
    }
    View* view = nullptr;
};

struct WaveFreqFixture : ::testing::Test {
    void build(int32_t mode)
    {
        owner.sampleRateHz = 48000;
        owner.sampleRateKHz = 48.0f;
        owner.tables.compute(48000);
        module = new Module(&owner);
        owner.addModule(module);
        module->setDisplayTarget(Module::kSlotWave, kViewTag, 0);
        bench = std::make_unique<SignalBench>(owner, module);
        for (int pin = 0; pin < 4; ++pin)
            bench->feed(pin);
        module->prepare();
        bench->event(Module::kMode, 0, mode);
        view.setSources(module->captureBuffer(), nullptr, 48000.0f);
        owner.view = &view;
    }
    void run(int32_t frames, float hz, float left = 0.5f, float right = 0.25f)
    {
        bench->run(frames, [=](int pin, uint32_t frame) {
            const float s = std::sin(6.28318531f * hz * static_cast<float>(frame) / 48000.0f);
            return pin == 0 ? left * s : pin == 1 ? right * s : 0.0f;
        });
        view.onFrameTick();
    }
    // The column where the drawn spectrum is highest.
    int peakColumn() const
    {
        const auto& s = view.spectrum();
        return static_cast<int>(
            std::min_element(s.begin(), s.end(), [](auto a, auto b) { return a.y < b.y; }) - s.begin());
    }
    Owner owner;
    Module* module = nullptr;
    std::unique_ptr<SignalBench> bench;
    View view{brelvik::gui::CRect::fromSize(0, 0, kW, kH)};
};

TEST_F(WaveFreqFixture, LevelHistoryScrollsMirroredAboutTheCentre)
{
    build(Module::kLevelsAndMax);
    run(4800, 1000.0f, 0.5f, 0.8f);
    EXPECT_EQ(view.kind(), View::kLevel);
    const auto& edge = view.levelEdge();
    ASSERT_EQ(edge.size(), static_cast<size_t>(kW + 1));
    EXPECT_NEAR(edge.back().y, 60.0 - static_cast<int>(60 * 0.8f), 1.0); // the larger channel peak
    EXPECT_EQ(edge.front().y, 60.0);                                     // not yet reached by the history
}

TEST_F(WaveFreqFixture, SpectrumPeaksAtTheSineOnALogAxis)
{
    build(Module::kSpectrum);
    for (int i = 0; i < 8; ++i)
        run(1024, 1000.0f);
    EXPECT_EQ(view.kind(), View::kSpectrum);
    EXPECT_EQ(module->captureBuffer()[Module::kCaptureLength], 0.0f); // handed back after reading
    const double logX = std::log2(1000.0 / 20.0) / 10.0 * kW;
    EXPECT_NEAR(peakColumn(), logX, 2.0);
}

// One module per fixture: the owner runs every module it was given.
TEST_F(WaveFreqFixture, SpectrumOfTheWaveCaptureOnALinearAxis)
{
    build(Module::kWave);
    for (int i = 0; i < 8; ++i)
        run(1024, 3000.0f);
    EXPECT_EQ(view.kind(), View::kWave);
    EXPECT_NEAR(peakColumn(), 3000.0 / 24000.0 * kW, 1.0);
    // The sine's bin stands more than 40 dB (1.5 pixels a dB) above an empty one.
    EXPECT_GT(
        view.spectrum()[static_cast<size_t>(kW - 5)].y - view.spectrum()[static_cast<size_t>(peakColumn())].y, 60.0);
}

TEST_F(WaveFreqFixture, ScopeDrawsBothChannelsOfTheTriggeredCapture)
{
    build(Module::kTriggered);
    run(2048, 480.0f, 0.5f, 0.25f);
    EXPECT_EQ(view.kind(), View::kScope);
    const auto& left = view.scopeTrace(0);
    const auto& right = view.scopeTrace(1);
    ASSERT_EQ(left.size(), static_cast<size_t>(kW + 1));
    // Triggered at a rising zero crossing: both traces start at the centre and first go up.
    EXPECT_NEAR(left[0].y, 60.0, 1.0);
    EXPECT_LT(left[10].y, 60.0);
    double top = 60.0, rightTop = 60.0;
    for (size_t i = 0; i < left.size(); ++i) {
        top = std::min(top, left[i].y);
        rightTop = std::min(rightTop, right[i].y);
    }
    EXPECT_NEAR(top, 60.0 - 60.0 * 0.5, 0.5);
    EXPECT_NEAR(rightTop, 60.0 - 60.0 * 0.25, 0.5);
}

TEST_F(WaveFreqFixture, FourLevelsStackFromTheirBaseLines)
{
    build(Module::kFourPeaks);
    const float peaks[4] = {1.0f, 0.1f, 0.01f, 0.0f}; // 0, -20, -35 after the law, floor
    view.setSources(nullptr, peaks, 48000.0f);
    view.link(nullptr, CK_LinkedView::valueMessage(View::kFourLevels, 0.0f));
    view.onFrameTick();
    const double perDb = 0.68 * kH / 50.0;
    const double expected[4] = {0.68 * kH - static_cast<int>(50 * perDb), 0.78 * kH - static_cast<int>(30 * perDb),
        0.89 * kH - static_cast<int>(15 * perDb), 0.999 * kH};
    const int shift = static_cast<int>(0.06 * (kW + 1));
    for (int t = 0; t < 4; ++t) {
        const auto& trace = view.fourLevelTrace(t);
        ASSERT_EQ(trace.size(), static_cast<size_t>(kW + 1 - 3 * shift));
        EXPECT_NEAR(trace.back().y, expected[t], 1e-3) << t;
        EXPECT_EQ(trace.front().x, t * shift);
    }
}

} // namespace
