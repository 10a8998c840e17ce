// Knobs, rotate knobs and sliders: easing, drag distances, the curved drag, wheel, double-click
// reset, alpha hit test, links.
#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_HVSlider.h"
#include "editor/controls/CK_Knob.h"
#include "editor/controls/CK_RotateKnob.h"

namespace brelvik::editor::test {
namespace {

using gui::kControl;
using gui::kLButton;
using gui::kShift;

constexpr gui::CPoint kCentre{119, 119};
const std::vector<std::string> kOneGesture{"begin 55", "set 55", "end 55"};

class KnobTest : public ControlTest {
protected:
    CK_Knob* knob(int style = CK_Knob::kPlain, int tag = kTagMasterGain)
    {
        return add(new CK_Knob(gui::CRect::fromSize(100, 100, 38, 38), context, tag, 101, 38, strip.get(), style));
    }
    void moveBy(int dx, int dy, uint32_t buttons = kLButton)
    {
        frame.mouseMoved({kCentre.x + dx, kCentre.y + dy}, buttons);
    }
    BitmapRef strip = stripBitmap(38, 38, 101);
};

TEST_F(KnobTest, HostValuesEaseTickByTickWhileDragsDrawAtOnce)
{
    CK_Knob* k = knob();
    k->setValue(1.0f);
    float expected = 0.0f;
    int ticks = 0;
    while (1.0f - expected >= 0.005f) {
        expected += 0.1f * (1.0f - expected);
        k->onFrameTick();
        ++ticks;
        ASSERT_FLOAT_EQ(k->getShownValue(), expected) << "tick " << ticks;
    }
    EXPECT_EQ(ticks, 51); // the first remainder below 0.005 is 0.9^51
    k->onFrameTick();
    EXPECT_EQ(k->getShownValue(), 1.0f);

    frame.mouseDown(kCentre, kLButton);
    moveBy(0, 30);
    EXPECT_FLOAT_EQ(k->getShownValue(), 0.5f);
}

TEST_F(KnobTest, FullRangeTakes60PixelsDoubledWithShiftTripledWithControl)
{
    for (auto [modifiers, pixels] : {std::pair{0u, 60}, {kShift, 120}, {kControl, 180}, {kShift | kControl, 360}}) {
        SCOPED_TRACE(pixels);
        context.calls.clear();
        CK_Knob* k = knob();
        frame.mouseDown(kCentre, kLButton | modifiers);
        moveBy(0, -pixels / 2, kLButton | modifiers);
        EXPECT_FLOAT_EQ(k->getValue(), 0.5f);
        moveBy(pixels / 4, -pixels * 3 / 4, kLButton | modifiers); // right counts as up
        moveBy(0, -2 * pixels, kLButton | modifiers);
        EXPECT_FLOAT_EQ(k->getValue(), 1.0f);
        frame.mouseUp(kCentre, 0);
        EXPECT_EQ(context.calls, (std::vector<std::string>{"begin 55", "set 55", "set 55", "end 55"}));
        frame.removeView(k);
    }
}

TEST_F(KnobTest, CurvedKnobMultipliesPerMoveAndSnapsToZeroBelowTheFloor)
{
    CK_Knob* k = knob(CK_Knob::kCurved);
    frame.mouseDown(kCentre, kLButton);
    moveBy(0, -1);
    EXPECT_FLOAT_EQ(k->getValue(), 0.000105f); // 0 -> 0.0001, then x 1.05
    moveBy(3, 0);                              // dx - dy = 2: up
    EXPECT_FLOAT_EQ(k->getValue(), 0.000105f * 1.05f);
    moveBy(3, -1, kLButton | kShift);
    EXPECT_FLOAT_EQ(k->getValue(), 0.000105f * 1.05f * 1.0125f);
    moveBy(3, -2, kLButton | kControl); // a quarter of 0.05
    EXPECT_FLOAT_EQ(k->getValue(), 0.000105f * 1.05f * 1.0125f * 1.0125f);
    moveBy(4, 1); // dx - dy = -3: down
    EXPECT_FLOAT_EQ(k->getValue(), 0.000105f * 1.05f * 1.0125f * 1.0125f * 0.95f);
    for (int i = 2; i < 5; ++i)
        moveBy(0, i);
    EXPECT_EQ(k->getValue(), 0.0f);
    frame.mouseUp(kCentre, 0);

    k->setValue(0.5f);
    ticks(100, *k);
    EXPECT_EQ(k->drawnFrame(), 93); // 100 x (1 - 0.5^4)
}

TEST_F(KnobTest, WheelStepsByTenthsOrHundredthsClampedAndBracketed)
{
    CK_Knob* k = knob();
    frame.mouseWheel(kCentre, 2.0f, 0);
    EXPECT_FLOAT_EQ(k->getValue(), 0.2f);
    frame.mouseWheel(kCentre, -1.0f, kShift);
    EXPECT_FLOAT_EQ(k->getValue(), 0.19f);
    frame.mouseWheel(kCentre, 20.0f, 0);
    EXPECT_FLOAT_EQ(k->getValue(), 1.0f);
    context.calls.clear();
    frame.mouseWheel(kCentre, 1.0f, 0);
    frame.mouseWheel(kCentre, -1.0f, 0);
    EXPECT_EQ(context.calls, kOneGesture);
}

TEST_F(KnobTest, DoubleClickRestoresTheProgramValueAndIgnoresTheRestOfTheGesture)
{
    CK_Knob* k = knob();
    context.effect.snapshot[kTagMasterGain] = 0.3f;
    k->setValue(0.8f);
    ticks(100, *k);
    click(kCentre);
    frame.mouseDown(kCentre, kLButton | gui::kDoubleClick);
    EXPECT_FLOAT_EQ(lastAutomated(), 0.3f);
    moveBy(0, -20);
    EXPECT_FLOAT_EQ(k->getValue(), 0.3f);
    frame.mouseUp(kCentre, 0);
    ticks(100, *k);
    frame.mouseDown(kCentre, kLButton);
    moveBy(0, -6);
    EXPECT_FLOAT_EQ(k->getValue(), 0.4f);
}

TEST_F(KnobTest, TransparentCornerDoesNotGrabAndRightClickLearnsHostParametersOnly)
{
    CK_Knob* k = knob();
    frame.mouseDown({100, 100}, kLButton);
    frame.mouseMoved({100, 50}, kLButton);
    EXPECT_EQ(k->getValue(), 0.0f);
    EXPECT_TRUE(context.calls.empty());
    frame.mouseDown(kCentre, gui::kRButton);
    frame.removeView(k);
    knob(CK_Knob::kPlain, kTagBypass);
    frame.mouseDown(kCentre, gui::kRButton);
    ASSERT_EQ(context.midiLearnRequests.size(), 1u);
    EXPECT_EQ(context.midiLearnRequests[0].first, kTagMasterGain);
}

TEST_F(KnobTest, LinkedViewsFollowTheValueAndTheirEditsReachTheHostAsGestures)
{
    CK_Knob* k = knob();
    LinkRecorder curve;
    k->link(&curve, CK_LinkedView::registerMessage(2));
    k->setValue(0.25f);
    ASSERT_EQ(curve.got.size(), 1u);
    EXPECT_EQ(curve.got[0].id, 2);
    EXPECT_TRUE(context.calls.empty());
    k->link(&curve, CK_LinkedView::valueMessage(2, 0.75f, CK_LinkMessage::kModeInteractive));
    EXPECT_FLOAT_EQ(k->getValue(), 0.75f);
    EXPECT_EQ(context.calls, kOneGesture);
}

TEST_F(KnobTest, RotateKnobTakes640PixelsAndSlidersTheirTravel)
{
    BitmapRef layers = stripBitmap(40, 40, 2);
    auto* rotate = add(new CK_Rotate_Knob(gui::CRect::fromSize(100, 100, 40, 40), context, kTagMasterGain, 2,
        layers.get(), -135.0f, 135.0f, 1.0f, false));
    frame.mouseDown({120, 120}, kLButton);
    frame.mouseMoved({120, 120 - 320}, kLButton);
    EXPECT_FLOAT_EQ(rotate->drawnAngle(), 0.0f);
    frame.mouseUp({120, 120}, 0);

    BitmapRef handle = stripBitmap(10, 20, 1);
    auto* slider = add(
        new CK_HV_Slider(gui::CRect::fromSize(200, 100, 10, 120), context, kTagParallel, handle.get(), true, false));
    frame.mouseDown({205, 150}, kLButton); // the track is not the handle
    EXPECT_EQ(context.calls.size(), 3u);
    frame.mouseDown({205, 210}, kLButton);
    frame.mouseMoved({205, 160}, kLButton);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
    EXPECT_EQ(slider->handleRect().top, 150);
}

} // namespace
} // namespace brelvik::editor::test
