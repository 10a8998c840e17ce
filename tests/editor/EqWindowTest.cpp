// The EQ view: its sketch of the curve, the band-split regions, editing through the linked
// controls, and its texts.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/displays/CK_GUI_EQ_Window.h"
#include "gui/CFrame.h"
#include "tests/editor/DisplayTestSupport.h"
#include "tests/editor/EditorTestSupport.h"

using namespace brelvik::gui;
using namespace brelvik::editor::test;
using Eq = CK_GUI_EQ_Window;

namespace {

constexpr int kW = 294, kH = 140, kCentre = 70;

float valueOfHz(float hz)
{
    return (hz - 20.0f) / 20460.0f;
}

// The control table's view: 294 x 140 at (23, 20), five bands and three compressor bands.
struct EqFixture : ::testing::Test {
    void SetUp() override
    {
        eq = new Eq(CRect::fromSize(23, 20, kW, kH), nullptr, 0x35, 0);
        for (int i = 0; i < 22; ++i)
            if (i < 20 || i >= Eq::kSplit)
                eq->link(&links[i], CK_LinkedView::registerMessage(i));
        frame.addView(eq);
    }
    // A drag in view coordinates.
    void drag(CPoint from, std::initializer_list<CPoint> steps, uint32_t buttons = kLButton)
    {
        CPoint at = from + CPoint{23, 20};
        frame.mouseDown(at, buttons);
        for (const CPoint& d : steps) {
            at = at + d;
            frame.mouseMoved(at, buttons);
        }
        frame.mouseUp(at, buttons);
    }
    CPoint handleCentre(int band)
    {
        const CRect r = eq->handle(band);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    FakeEditorContext context;
    LinkedKnob links[22] = {{&context, 0}, {&context, 1}, {&context, 2}, {&context, 3}, {&context, 4}, {&context, 5},
        {&context, 6}, {&context, 7}, {&context, 8}, {&context, 9}, {&context, 10}, {&context, 11}, {&context, 12},
        {&context, 13}, {&context, 14}, {&context, 15}, {&context, 16}, {&context, 17}, {&context, 18}, {&context, 19},
        {&context, 20}, {&context, 21}};
    CFrame frame{340, 180};
    Eq* eq = nullptr;
};

TEST_F(EqFixture, FlatBandsAddNothingAndBoostsSpreadByWidth)
{
    for (const int row : eq->curve())
        ASSERT_EQ(row, kCentre);
    EXPECT_EQ(handleCentre(0), (CPoint{static_cast<int>(293 * 0.5f), kCentre}));

    feed(*eq, Eq::kFreq + 1, valueOfHz(1000.0f));
    feed(*eq, Eq::kGain + 1, 0.75f); // +7.5 dB: 35 pixels up
    const int c = static_cast<int>(293.0f * Eq::logPosition(1000.0f));
    EXPECT_NEAR(Eq::logPosition(1000.0f), std::log10(50.0f) / std::log10(1024.0f), 1e-5f);
    EXPECT_EQ(handleCentre(1), (CPoint{c, kCentre - 35}));
    // Other bands sit at the centre (gain 0.5) at their default position: one handle shares the column.
    const std::vector<int> narrow = eq->curve();
    EXPECT_EQ(narrow[c], kCentre - 35);
    EXPECT_EQ(narrow[c + 1], kCentre - 35); // the first neighbour takes the full offset
    const float shrink = (0.07f + 0.00008f) / std::pow(0.0025f * kW, 2.0f);
    EXPECT_EQ(narrow[c + 2], static_cast<int>(kCentre - 35.0f * (1.0f - shrink)));
    EXPECT_EQ(narrow[c - 2], narrow[c + 2]);
    EXPECT_EQ(narrow[c + 40], kCentre);

    feed(*eq, Eq::kWidth + 1, 0.3f); // wider
    EXPECT_LT(eq->curve()[c + 40], kCentre);

    // Filters the sketch cannot show add nothing and keep their handle; inactive bands too.
    const CRect kept = eq->handle(1);
    feed(*eq, Eq::kActive + 1, 0.0f);
    for (const int row : eq->curve())
        ASSERT_EQ(row, kCentre);
    feed(*eq, Eq::kActive + 1, 1.0f);
    eq->link(nullptr, CK_LinkedView::valueMessage(Eq::kType + 1, 3.0f)); // no control: the value itself, +1
    feed(*eq, Eq::kGain + 1, 1.0f);
    for (const int row : eq->curve())
        ASSERT_EQ(row, kCentre);
    EXPECT_EQ(eq->handle(1), kept);
}

TEST_F(EqFixture, HandleDragsEditFrequencyGainAndWidth)
{
    feed(*eq, Eq::kGain, 0.5f);
    const CPoint h = handleCentre(0);
    drag(h, {{10, -14}});
    ASSERT_FALSE(links[Eq::kFreq].messages.empty());
    const float position = 0.5f + 10.0f / kW;
    EXPECT_NEAR(links[Eq::kFreq].last().value, valueOfHz(20.0f * std::exp2(10.0f * position)), 1e-6f);
    EXPECT_EQ(links[Eq::kFreq].last().mode, CK_LinkMessage::kModeInteractive);
    EXPECT_NEAR(links[Eq::kGain].last().value, 0.6f, 1e-6f);
    EXPECT_TRUE(links[Eq::kWidth].messages.empty());
    EXPECT_TRUE(eq->texts().empty()); // released

    // The right button drags the width (narrower to the right) instead of the frequency.
    const size_t frequencyReports = links[Eq::kFreq].messages.size();
    drag(handleCentre(0), {{-14, 0}}, kRButton);
    EXPECT_EQ(links[Eq::kFreq].messages.size(), frequencyReports);
    EXPECT_TRUE(links[Eq::kWidth].messages.empty()); // already the narrowest
    drag(handleCentre(0), {{14, 0}}, kRButton | kShift | kControl);
    EXPECT_NEAR(links[Eq::kWidth].last().value, 1.0f - 2.0f * 3.5f / kW, 1e-6f);

    // To the right edge: 20480 Hz, value 1.
    drag(handleCentre(0), {{400, 0}});
    EXPECT_FLOAT_EQ(links[Eq::kFreq].last().value, 1.0f);
    // A click beside every handle is not taken.
    CPoint empty{23 + 5, 20 + 5};
    frame.mouseDown(empty, kLButton);
    EXPECT_TRUE(eq->texts().empty());
}

TEST_F(EqFixture, SelectedBandPrintsItsValues)
{
    feed(*eq, Eq::kFreq + 2, valueOfHz(1000.0f));
    feed(*eq, Eq::kGain + 2, 0.6f);
    feed(*eq, Eq::kWidth + 2, 0.5f);
    CPoint at = handleCentre(2) + CPoint{23, 20};
    frame.mouseDown(at, kLButton);
    const std::vector<std::string> texts = eq->texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Freq: 1000 (Hz)");
    EXPECT_EQ(texts[1], "Gain: 3.00 (dB)");
    EXPECT_EQ(texts[2], "Width: 55.0");
    frame.mouseUp(at, kLButton);
}

TEST_F(EqFixture, SplitRegionsAndCrossoverMarkers)
{
    feed(*eq, Eq::kMode, 1.0f);
    feed(*eq, Eq::kSplit, valueOfHz(200.0f));
    feed(*eq, Eq::kSplit + 1, valueOfHz(3000.0f));
    const int m0 = static_cast<int>(293.0f * Eq::logPosition(200.0f));
    const int m1 = static_cast<int>(293.0f * Eq::logPosition(3000.0f));
    EXPECT_EQ(eq->markerX(0), m0);
    const int s = kW * 4 / 100, t = kW * 16 / 100; // 11 and 47
    auto corners = [](const std::vector<CPointF>& p) {
        std::vector<int> out;
        for (const CPointF& q : p)
            out.insert(out.end(), {static_cast<int>(q.x), static_cast<int>(q.y)});
        return out;
    };
    EXPECT_EQ(corners(eq->region(0)), (std::vector<int>{0, 0, m0 - s, 0, m0 - s + t, kH, 0, kH}));
    EXPECT_EQ(corners(eq->region(1)), (std::vector<int>{m0 + s, 0, m1 - s, 0, m1 - s + t, kH, m0 + s - t, kH}));
    EXPECT_EQ(corners(eq->region(2)), (std::vector<int>{m1 + s, 0, kW, 0, kW, kH, m1 + s - t, kH}));

    // The high crossover is chosen right of the midpoint between the markers; dragged left past the
    // low one at a quarter of the speed, it stops there.
    drag({m1 + 20, 70}, {{-800, 0}}, kLButton | kShift | kControl);
    EXPECT_NEAR(links[Eq::kSplit + 1].last().value, valueOfHz(200.0f), 1e-4f);
    // The low one, dragged right past the high one, stops at it.
    feed(*eq, Eq::kSplit + 1, valueOfHz(3000.0f));
    drag({m0 + 5, 70}, {{200, 0}});
    EXPECT_NEAR(links[Eq::kSplit].last().value, valueOfHz(3000.0f), 1e-4f);

    feed(*eq, Eq::kSplit, valueOfHz(200.0f));
    CPoint at{23 + m0, 20 + 70};
    frame.mouseDown(at, kLButton);
    ASSERT_EQ(eq->texts().size(), 1u);
    EXPECT_EQ(eq->texts()[0], "Band 1: 200 (Hz)");
    frame.mouseUp(at, kLButton);
}

} // namespace
