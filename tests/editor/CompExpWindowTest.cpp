// The compressor curve view: its curve against the gain law the audio follows, the parameter
// mappings, and editing threshold, ratio and knee with the mouse through the linked knobs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "dsp/kernels/KneeGainKernel.h"
#include "editor/displays/CK_GUI_Comp_Exp_Window.h"
#include "gui/CFrame.h"
#include "tests/editor/DisplayTestSupport.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/gui/GuiTestSupport.h"

using namespace brelvik::gui;
using namespace brelvik::editor::test;
using Curve = CK_GUI_Comp_Exp_Window;

namespace {

// Output level (dB) of the compressor's kernel for an input level, with the knobs' normalised values
// turned into its law as the compressor module does.
float kernelOutputDb(float inputDb, float threshold, float ratio, float knee)
{
    const float t = -4.0f * (1.0f - threshold) - 0.0001f; // dB/10
    const float r = ratio * 19.9f + 0.1f;
    const bool bowed = knee > 0.5f;
    const float k = bowed ? 2.0f * (knee - 0.5f) : 2.0f * knee;
    const ck_knee_gain::Law law{t, k, 12.0f * k * k + 3.0f, r, std::max(std::min(r, 1.0f), 0.1f)};
    const float in = inputDb / 10.0f;
    float change = 0.0f;
    if (bowed)
        ck_knee_gain::reference<true>(&in, &change, 1, law);
    else
        ck_knee_gain::reference<false>(&in, &change, 1, law);
    return inputDb + 10.0f * change;
}

// The control table's view: 140 x 140 at (46, 6) in its band page, compressor on.
struct CurveFixture : ::testing::Test {
    void SetUp() override
    {
        curve = new Curve(CRect::fromSize(46, 6, 140, 140), nullptr, 0, true, false);
        for (int id = 0; id < 4; ++id)
            curve->link(&knobs[id], CK_LinkedView::registerMessage(id));
        frame.addView(curve);
    }
    void set(int id, float v) { feed(*curve, id, v); }
    // A drag in view coordinates: press at `from`, then move by each step.
    void drag(CPoint from, std::initializer_list<CPoint> steps, uint32_t modifiers = 0)
    {
        CPoint at = from + CPoint{46, 6};
        frame.mouseDown(at, kLButton | modifiers);
        for (const CPoint& d : steps) {
            at = at + d;
            frame.mouseMoved(at, kLButton | modifiers);
        }
        frame.mouseUp(at, kLButton | modifiers);
    }
    FakeEditorContext context;
    LinkedKnob knobs[4] = {{&context, 5}, {&context, 6}, {&context, 7}, {&context, 8}};
    CFrame frame{240, 160};
    Curve* curve = nullptr;
};

TEST_F(CurveFixture, ColumnsFollowTheCompressorsGainLaw)
{
    for (const float threshold : {0.9f, 0.5f, 0.2f})
        for (const float ratio : {0.0f, 0.1f, 0.5f, 1.0f})
            for (const float knee : {0.0f, 0.3f, 0.5f, 0.75f, 1.0f}) {
                set(Curve::kThreshold, threshold);
                set(Curve::kRatio, ratio);
                set(Curve::kKnee, knee);
                for (int i = 0; i < 140; ++i) {
                    const float in = static_cast<float>(i) * 40.0f / 140.0f - 40.0f;
                    const float y = std::clamp(-kernelOutputDb(in, threshold, ratio, knee) * 3.5f, -3.0f, 143.0f);
                    ASSERT_NEAR(curve->curveY(i), y, 1.0f)
                        << "column " << i << " threshold " << threshold << " ratio " << ratio << " knee " << knee;
                }
            }
}

TEST_F(CurveFixture, ParameterMappingsKneeCornerAndMakeUp)
{
    set(Curve::kThreshold, 0.25f);
    EXPECT_FLOAT_EQ(curve->thresholdDb(), -30.0f);
    EXPECT_FLOAT_EQ(curve->thresholdLineY(), 105.0f);
    set(Curve::kThreshold, 0.5f);
    set(Curve::kRatio, 1.0f); // 20:1
    EXPECT_NEAR(curve->outputDb(0.0f), -20.0f + 20.0f / 20.0f, 1e-4f);
    set(Curve::kRatio, 0.5f); // 10.05:1
    EXPECT_NEAR(curve->outputDb(-10.0f), -20.0f + 10.0f / 10.05f, 1e-4f);
    // Knee 0: a hard corner, the slope changes at once; a knee bends in gradually.
    const float hard = curve->outputDb(-19.0f) - curve->outputDb(-20.0f);
    EXPECT_NEAR(hard, 1.0f / 10.05f, 1e-3f);
    set(Curve::kKnee, 0.5f);
    EXPECT_GT(curve->outputDb(-19.0f) - curve->outputDb(-20.0f), 5.0f * hard);
    // Make-up 0.75 is +12 dB: the second curve is 42 pixels higher (while inside the overhang).
    set(Curve::kMakeUp, 0.75f);
    EXPECT_NEAR(curve->raisedCurveY(100), curve->curveY(100) - 42.0f, 1e-3f);
    set(Curve::kMakeUp, 0.5f);
    EXPECT_NEAR(curve->raisedCurveY(100), curve->curveY(100), 1e-3f);
}

TEST_F(CurveFixture, ThresholdDragsAtHalfAndQuarterSpeed)
{
    set(Curve::kThreshold, 0.5f); // line at y 70, threshold point at x 70
    for (const auto& [modifiers, share] :
        {std::pair{0u, 1.0f}, {uint32_t{kShift}, 0.5f}, {uint32_t{kControl}, 0.5f}, {kShift | kControl, 0.25f}}) {
        knobs[0].messages.clear();
        const float before = curve->threshold();
        drag({20, static_cast<int>(curve->thresholdLineY())}, {{0, 4}, {0, 4}}, modifiers);
        ASSERT_FALSE(knobs[0].messages.empty());
        EXPECT_EQ(knobs[0].messages.front().mode, CK_LinkMessage::kModeInteractive); // presents itself on press
        EXPECT_NEAR(knobs[0].last().value, before - 8.0f * share / 140.0f, 1e-5f) << modifiers;
        EXPECT_EQ(knobs[0].last().id, Curve::kThreshold);
        EXPECT_NEAR(curve->threshold(), knobs[0].last().value, 1e-6f);
    }
    // The knob's drag is one gesture for the host.
    ASSERT_GE(context.effect.edits.size(), 2u);
    EXPECT_EQ(context.effect.edits.front(), std::make_pair(5, true));
    EXPECT_EQ(context.effect.edits.back(), std::make_pair(5, false));
}

TEST_F(CurveFixture, RatioChangesOnlyWithVerticalMovement)
{
    set(Curve::kThreshold, 0.5f);
    set(Curve::kRatio, 0.5f);
    drag({110, 20}, {{6, 0}, {-3, 0}});
    ASSERT_EQ(knobs[1].messages.size(), 1u); // the press only
    EXPECT_FLOAT_EQ(curve->ratio(), 0.5f);
    drag({110, 20}, {{0, 1}, {0, -1}, {0, -1}});
    ASSERT_EQ(knobs[1].messages.size(), 5u);
    EXPECT_NEAR(knobs[1].messages[2].value, 0.55f, 1e-6f);
    EXPECT_NEAR(curve->ratio(), 0.5f * 1.1f * 0.9f * 0.9f, 1e-6f);
    drag({110, 20}, {{0, 5}, {0, 5}, {0, 5}, {0, 5}, {0, 5}, {0, 5}, {0, 5}, {0, 5}, {0, 5}, {0, 5}});
    EXPECT_FLOAT_EQ(curve->ratio(), 1.0f);
}

// The handle is hit where it is drawn, and dragging it right raises the knee, also without
// vertical movement.
TEST_F(CurveFixture, KneeHandleIsHitWhereItIsDrawn)
{
    set(Curve::kThreshold, 0.5f);
    set(Curve::kKnee, 0.25f);
    const CRect handle = curve->kneeHandle();
    const CPoint centre{(handle.left + handle.right) / 2, (handle.top + handle.bottom) / 2};
    EXPECT_EQ(centre.x, 88); // 70 + 70 x 0.25, rounded
    frame.invalidateAll();
    frame.flush();
    const auto pixel = brelvik::gui::test::channels(frame.getBackBuffer().at(46 + centre.x, 6 + centre.y));
    EXPECT_GT(pixel.r, 200);
    EXPECT_GT(pixel.a, 150);
    drag(centre, {{14, 0}});
    EXPECT_EQ(curve->dragTarget(), -1);
    EXPECT_EQ(knobs[2].last().id, Curve::kKnee);
    EXPECT_NEAR(curve->knee(), (static_cast<float>(centre.x) + 14.0f - 70.0f) / 70.01f, 1e-4f);
    EXPECT_GT(curve->knee(), 0.25f);
    // Outside the handle, the line and the ratio area, a click is not taken.
    CPoint below{46 + 130, 6 + 120};
    frame.mouseDown(below, kLButton);
    EXPECT_EQ(curve->dragTarget(), -1);
}

} // namespace
