// The peak meter: ballistics tick by tick, the scale messages, and what the bar draws from the
// plug-in's "PkBar.png".
#include <gtest/gtest.h>

#include <cmath>

#include "editor/displays/CK_GUI_dBMeter.h"
#include "gui/CFrame.h"
#include "tests/editor/DisplayTestSupport.h"

using namespace brelvik::gui;
using namespace brelvik::editor::test;

namespace {

// The control table's meter: 15 x 112 from "PkBar.png", four scales, continuous bar, -50 dB.
struct MeterFixture : ::testing::Test {
    void SetUp() override
    {
        bitmap = artwork("PkBar.png");
        ASSERT_NE(bitmap, nullptr);
        ASSERT_EQ(bitmap->getHeight(), 896);
        meter = new CK_GUI_dBMeter(CRect::fromSize(0, 0, 15, 112), bitmap, 4, -50.0f, 255, 0.0f, 0.0f);
        meter->link(&clip, CK_LinkedView::registerMessage(CK_GUI_dBMeter::kIdClip));
        meter->link(&readout, CK_LinkedView::registerMessage(CK_GUI_dBMeter::kIdReadout));
        frame.addView(meter);
    }
    void TearDown() override
    {
        if (bitmap)
            bitmap->forget();
    }
    // One tick; `peak` < 0 means no report arrived.
    void tick(float peak = -1.0f)
    {
        if (peak >= 0.0f)
            feed(*meter, 0, peak);
        meter->onFrameTick();
    }
    CFrame frame{40, 140};
    CBitmap* bitmap = nullptr;
    CK_GUI_dBMeter* meter = nullptr;
    LinkedKnob clip{nullptr, 107};
    LinkedKnob readout{nullptr, 109};
};

TEST_F(MeterFixture, OverloadHoldsClipsAndFallsWithGrowingSpeed)
{
    tick(std::pow(10.0f, 1.0f / 20.0f)); // +1 dBFS
    EXPECT_FLOAT_EQ(meter->shownLevel(), 0.0f);
    EXPECT_NEAR(meter->holdLevel(), 1.0f, 1e-4f);
    ASSERT_EQ(clip.messages.size(), 1u);
    EXPECT_EQ(clip.last().value, 1.0f);

    // Silence after it: the bar stays 3 ticks, then falls by 0.05, 0.10, 0.15 dB ...
    tick(0.0f);
    tick(0.0f);
    EXPECT_FLOAT_EQ(meter->shownLevel(), 0.0f);
    float expected = 0.0f, speed = 0.0f;
    for (int t = 3; t < 10; ++t) {
        tick(0.0f);
        speed += 0.05f;
        expected -= speed;
        EXPECT_NEAR(meter->shownLevel(), expected, 1e-4f) << "tick " << t;
    }
    // ... never below the level (silence sits at the bottom of the scale).
    for (int t = 10; t < 69; ++t)
        tick(0.0f);
    EXPECT_FLOAT_EQ(meter->shownLevel(), -50.0f);
    EXPECT_EQ(clip.messages.size(), 1u);
    tick(0.0f); // tick 69: the clip lamp has been lit for 70 ticks
    ASSERT_EQ(clip.messages.size(), 2u);
    EXPECT_EQ(clip.last().value, 0.0f);

    for (int t = 70; t < 149; ++t)
        tick(0.0f);
    EXPECT_NEAR(meter->holdLevel(), 1.0f, 1e-4f);
    tick(0.0f); // tick 149: held for 150 ticks
    EXPECT_EQ(meter->holdLevel(), CK_GUI_dBMeter::kNone);
}

TEST_F(MeterFixture, ReportsOfOneTickCountAsTheirMaximumAndFullScaleDoesNotClip)
{
    feed(*meter, 0, 0.25f);
    feed(*meter, 0, 0.5f);
    feed(*meter, 0, 0.125f);
    meter->onFrameTick();
    EXPECT_NEAR(meter->shownLevel(), 20.0f * std::log10(0.5f), 1e-4f);
    EXPECT_NEAR(readout.last().value, 20.0f * std::log10(0.5f), 1e-4f);
    tick(1.0f);
    EXPECT_FLOAT_EQ(meter->shownLevel(), 0.0f);
    EXPECT_TRUE(clip.messages.empty());
    // Below -30 dB the scale is compressed by half: -40 dB is drawn at -35 dB.
    EXPECT_FLOAT_EQ(CK_GUI_dBMeter::displayLevel(-40.0f), -35.0f);
    EXPECT_FLOAT_EQ(CK_GUI_dBMeter::displayLevel(-20.0f), -20.0f);
}

TEST_F(MeterFixture, ScaleMessagesSelectASectionAndOffsetTheReadout)
{
    feed(*meter, CK_GUI_dBMeter::kIdScale, 2.0f, 2); // "K14": index in the mode field
    EXPECT_EQ(meter->scaleIndex(), 2);
    meter->onFrameTick();
    EXPECT_FLOAT_EQ(meter->shownLevel(), -50.0f); // a scale message is never a peak
    EXPECT_TRUE(readout.messages.empty());
    tick(0.5f);
    ASSERT_EQ(readout.messages.size(), 1u);
    EXPECT_NEAR(readout.last().value, 20.0f * std::log10(0.5f) + 14.0f, 1e-4f);
    for (const auto& [index, offset] : {std::pair{1, 12.0f}, {3, 20.0f}, {0, 0.0f}}) {
        feed(*meter, CK_GUI_dBMeter::kIdScale, 0.0f, index);
        tick(0.0f);
        tick(2.0f); // above the held readout, so it is sent again
        EXPECT_NEAR(readout.last().value, 20.0f * std::log10(2.0f) + offset, 1e-4f) << index;
        for (int t = 0; t < 150; ++t)
            tick(0.0f);
    }
    feed(*meter, CK_GUI_dBMeter::kIdScale, 0.0f, 9);
    EXPECT_EQ(meter->scaleIndex(), 3);
}

// The rows of the bar match the strip: unlit above o(L), lit below, from the selected scale.
TEST_F(MeterFixture, BarRowsComeFromTheSelectedScaleOfTheStrip)
{
    EXPECT_EQ(meter->barOffset(0.0f), 0);
    EXPECT_EQ(meter->barOffset(-10.0f), 22); // 10 dB x 112 / 50 = 22.4 rows
    EXPECT_EQ(meter->barOffset(-50.0f), 112);

    feed(*meter, CK_GUI_dBMeter::kIdScale, 0.0f, 2);
    tick(std::pow(10.0f, -10.0f / 20.0f));
    frame.invalidateAll();
    frame.flush();
    const auto& buffer = frame.getBackBuffer();
    const uint32_t* strip = bitmap->pixels();
    const int x = 7, section = 2 * 224;
    for (int row : {0, 10, 21})
        EXPECT_EQ(buffer.at(x, row), strip[(section + row) * 15 + x]) << "unlit row " << row;
    for (int row : {22, 60, 111})
        EXPECT_EQ(buffer.at(x, row), strip[(section + 112 + row) * 15 + x]) << "lit row " << row;
}

TEST_F(MeterFixture, HoldLineStaysInsideTheMeter)
{
    frame.invalidateAll();
    frame.flush();
    const auto before = frame.getBackBuffer().pixels;
    tick(std::pow(10.0f, -90.0f / 20.0f)); // held at -60 dB after the law, below the scale
    ASSERT_GT(meter->holdLevel(), -80.0f);
    frame.invalidateAll();
    frame.flush();
    const auto& buffer = frame.getBackBuffer();
    EXPECT_EQ(buffer.at(7, 111), bitmap->pixels()[(112 + 111) * 15 + 7]);
    for (int row = 112; row < 140; ++row)
        EXPECT_EQ(buffer.at(7, row), before[static_cast<size_t>(row) * 40 + 7]) << row;
}

} // namespace
