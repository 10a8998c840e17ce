// Knobs, rotate knobs and sliders: easing, drag distances, the curved drag, wheel, double-click
// reset, alpha hit test, links, MIDI learn.
#include <cmath>

#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_HVSlider.h"
#include "editor/controls/CK_Knob.h"
#include "editor/controls/CK_RotateKnob.h"

namespace brelvik::editor::test {
namespace {

using gui::kControl;
using gui::kDoubleClick;
using gui::kLButton;
using gui::kShift;

constexpr int kTag = kTagMasterGain;
constexpr gui::CPoint kCentre{119, 119};

class KnobTest : public ControlTest {
protected:
    CK_Knob* knob(int style = CK_Knob::kPlain)
    {
        return add(new CK_Knob(gui::CRect::fromSize(100, 100, 38, 38), context, kTag, 101, 38, strip.get(), style));
    }
    // Drags from the centre by (dx, dy) with `buttons` held throughout.
    void drag(int dx, int dy, uint32_t buttons = kLButton)
    {
        frame.mouseDown(kCentre, kLButton);
        frame.mouseMoved({kCentre.x + dx, kCentre.y + dy}, buttons);
    }

    BitmapRef strip{stripBitmap(38, 38, 101)};
};

TEST_F(KnobTest, HostValuesEaseTickByTickAndSnapOnceCloserThanTheSettleDistance)
{
    CK_Knob* k = knob();
    k->setValue(1.0f);
    EXPECT_EQ(k->getShownValue(), 0.0f); // nothing moves outside the tick
    float expected = 0.0f;
    int ticks = 0;
    while (1.0f - expected >= 0.005f) {
        expected += 0.1f * (1.0f - expected);
        k->onFrameTick();
        ++ticks;
        ASSERT_FLOAT_EQ(k->getShownValue(), expected) << "tick " << ticks;
        ASSERT_LT(k->getShownValue(), 1.0f);
    }
    k->onFrameTick();
    EXPECT_EQ(k->getShownValue(), 1.0f);
    EXPECT_EQ(ticks, 51); // 0.9^51 is the first remainder below 0.005: about 0.7 s of 14 ms ticks
}

TEST_F(KnobTest, DragDistanceForTheFullRangeFollowsTheModifiers)
{
    const struct {
        uint32_t modifiers;
        int pixels;
    } cases[] = {{0, 60}, {kShift, 120}, {kControl, 180}, {kShift | kControl, 360}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pixels);
        CK_Knob* k = knob();
        frame.mouseDown(kCentre, kLButton | c.modifiers);
        frame.mouseMoved({kCentre.x, kCentre.y - c.pixels / 2}, kLButton | c.modifiers);
        EXPECT_FLOAT_EQ(k->getValue(), 0.5f);
        EXPECT_FLOAT_EQ(k->getShownValue(), 0.5f); // drawn at once, no easing
        frame.mouseMoved({kCentre.x + c.pixels / 4, kCentre.y - c.pixels * 3 / 4}, kLButton | c.modifiers);
        EXPECT_FLOAT_EQ(k->getValue(), 1.0f); // right counts as up
        frame.mouseMoved({kCentre.x, kCentre.y - 2 * c.pixels}, kLButton | c.modifiers);
        EXPECT_FLOAT_EQ(k->getValue(), 1.0f);
        frame.mouseUp({0, 0}, 0);
        frame.removeView(k);
    }
}

TEST_F(KnobTest, ADragIsOneGestureWithOneAutomationPerChangedValue)
{
    knob();
    drag(0, -30);
    frame.mouseMoved({kCentre.x, kCentre.y - 30}, kLButton);
    frame.mouseMoved({kCentre.x + 1, kCentre.y - 29}, kLButton); // same value
    frame.mouseUp(kCentre, 0);
    const std::vector<std::string> expected{"begin 55", "set 55", "end 55"};
    EXPECT_EQ(context.calls, expected);
    EXPECT_FLOAT_EQ(lastAutomated(), 0.5f);
}

TEST_F(KnobTest, ChangingModifiersMidDragReanchorsWithoutAJump)
{
    CK_Knob* k = knob();
    drag(0, -30);
    frame.mouseMoved({kCentre.x, kCentre.y - 30}, kLButton | kShift);
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f);
    frame.mouseMoved({kCentre.x, kCentre.y - 42}, kLButton | kShift);
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f);
}

TEST_F(KnobTest, CurvedKnobMultipliesPerMoveAndSnapsToZeroBelowTheFloor)
{
    CK_Knob* k = knob(CK_Knob::kCurved);
    frame.mouseDown(kCentre, kLButton);
    frame.mouseMoved({kCentre.x, kCentre.y - 1}, kLButton);
    EXPECT_FLOAT_EQ(k->getValue(), 0.000105f);
    frame.mouseMoved({kCentre.x + 3, kCentre.y}, kLButton); // dx - dy = 2: up
    EXPECT_FLOAT_EQ(k->getValue(), 0.000105f * 1.05f);
    frame.mouseMoved({kCentre.x + 3, kCentre.y - 1}, kLButton | kShift);
    EXPECT_FLOAT_EQ(k->getValue(), 0.000105f * 1.05f * 1.0125f);
    const float before = k->getValue();
    frame.mouseMoved({kCentre.x + 3, kCentre.y - 2}, kLButton | kControl);
    EXPECT_FLOAT_EQ(k->getValue(), before * 1.0125f);           // a quarter of the step
    frame.mouseMoved({kCentre.x + 4, kCentre.y + 1}, kLButton); // dx - dy = -3: down
    EXPECT_FLOAT_EQ(k->getValue(), before * 1.0125f * 0.95f);
    for (int i = 0; i < 20 && k->getValue() > 0.0f; ++i)
        frame.mouseMoved({kCentre.x, kCentre.y + 2 + i}, kLButton);
    EXPECT_EQ(k->getValue(), 0.0f); // never lingers below 0.0001
    frame.mouseUp(kCentre, 0);

    // Large values cap at 1; the frame follows s = 1 - (1 - s)^4.
    k->setValue(0.5f);
    ticks(100, *k);
    EXPECT_EQ(k->drawnFrame(), 93);
    frame.mouseDown(kCentre, kLButton);
    for (int i = 1; i < 30; ++i)
        frame.mouseMoved({kCentre.x, kCentre.y - i}, kLButton);
    EXPECT_EQ(k->getValue(), 1.0f);
    EXPECT_EQ(k->drawnFrame(), 100);
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
    frame.mouseWheel(kCentre, 1.0f, 0); // already at the top: nothing reaches the host
    EXPECT_TRUE(context.calls.empty());
    frame.mouseWheel(kCentre, -1.0f, 0);
    const std::vector<std::string> expected{"begin 55", "set 55", "end 55"};
    EXPECT_EQ(context.calls, expected);
    EXPECT_EQ(k->getShownValue(), 0.0f); // the drawn position eases toward it on the ticks
}

TEST_F(KnobTest, DoubleClickRestoresTheProgramValueAndIgnoresTheRestOfTheGesture)
{
    CK_Knob* k = knob();
    context.effect.snapshot[kTag] = 0.3f;
    k->setValue(0.8f);
    ticks(100, *k);
    click(kCentre);
    frame.mouseDown(kCentre, kLButton | kDoubleClick);
    EXPECT_FLOAT_EQ(k->getValue(), 0.3f);
    EXPECT_FLOAT_EQ(lastAutomated(), 0.3f);
    frame.mouseMoved({kCentre.x, kCentre.y - 20}, kLButton);
    EXPECT_FLOAT_EQ(k->getValue(), 0.3f);
    frame.mouseUp(kCentre, 0);
    ticks(100, *k);
    drag(0, -6);
    EXPECT_FLOAT_EQ(k->getValue(), 0.4f); // the next gesture drags again
}

TEST_F(KnobTest, ClickOnATransparentCornerLeavesTheKnobAlone)
{
    CK_Knob* k = knob();
    frame.mouseDown({100, 100}, kLButton);
    frame.mouseMoved({100, 50}, kLButton);
    EXPECT_EQ(k->getValue(), 0.0f);
    EXPECT_TRUE(context.calls.empty());
    frame.mouseUp({100, 50}, 0);
    frame.mouseDown({101, 100}, kLButton);
    EXPECT_EQ(context.calls.size(), 1u); // an opaque pixel grabs it
}

TEST_F(KnobTest, RightClickOpensMidiLearnForHostParametersOnly)
{
    knob();
    frame.mouseDown(kCentre, gui::kRButton);
    ASSERT_EQ(context.midiLearnRequests.size(), 1u);
    EXPECT_EQ(context.midiLearnRequests[0].first, kTag);
    auto* editorOnly
        = add(new CK_Knob(gui::CRect::fromSize(200, 100, 38, 38), context, kTagBypass, 101, 38, strip.get(), 0));
    frame.mouseDown({219, 119}, gui::kRButton);
    EXPECT_EQ(context.midiLearnRequests.size(), 1u);
    EXPECT_EQ(editorOnly->getValue(), 0.0f);
}

struct LinkRecorder : CK_LinkedView {
    void link(CK_LinkedView*, const CK_LinkMessage& m) override { got.push_back(m); }
    std::vector<CK_LinkMessage> got;
};

TEST_F(KnobTest, LinkedViewsFollowTheValueAndTheirEditsReachTheHostAsGestures)
{
    CK_Knob* k = knob();
    LinkRecorder curve;
    k->link(&curve, CK_LinkedView::registerMessage(2));
    k->setValue(0.25f);
    ASSERT_EQ(curve.got.size(), 1u);
    EXPECT_EQ(curve.got[0].id, 2);
    EXPECT_FLOAT_EQ(curve.got[0].value, 0.25f);
    EXPECT_TRUE(context.calls.empty()); // a host value is not an edit

    k->link(&curve, CK_LinkedView::valueMessage(2, 0.75f, CK_LinkMessage::kModeInteractive));
    EXPECT_FLOAT_EQ(k->getValue(), 0.75f);
    const std::vector<std::string> expected{"begin 55", "set 55", "end 55"};
    EXPECT_EQ(context.calls, expected);
    EXPECT_FLOAT_EQ(lastAutomated(), 0.75f);
}

TEST_F(KnobTest, SpringBackReturnsToTheCentreOnRelease)
{
    CK_Knob* k = knob(CK_Knob::kSpringBack);
    drag(0, -60);
    EXPECT_FLOAT_EQ(k->getValue(), 1.0f);
    frame.mouseUp(kCentre, 0);
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f);
    EXPECT_FLOAT_EQ(k->getShownValue(), 0.5f);
    EXPECT_FLOAT_EQ(lastAutomated(), 0.5f);
}

TEST_F(KnobTest, RotateKnobNeeds640PixelsAndTurnsItsBitmap)
{
    BitmapRef layers{stripBitmap(40, 40, 2)};
    auto* k = add(new CK_Rotate_Knob(
        gui::CRect::fromSize(100, 100, 40, 40), context, kTag, 2, layers.get(), -135.0f, 135.0f, 1.0f, false));
    frame.mouseDown({120, 120}, kLButton);
    frame.mouseMoved({120, 120 - 320}, kLButton);
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f);
    EXPECT_FLOAT_EQ(k->drawnAngle(), 0.0f);
}

TEST_F(KnobTest, SliderHandleFollowsThePointerAlongItsTrack)
{
    BitmapRef handle{stripBitmap(10, 20, 1)};
    auto* s = add(new CK_HV_Slider(
        gui::CRect::fromSize(100, 100, 10, 120), context, kTag, handle.get(), /*vertical*/ true, false));
    EXPECT_EQ(s->handleRect(), gui::CRect::fromSize(100, 200, 10, 20)); // 0 at the bottom
    frame.mouseDown({100, 150}, kLButton);                              // on the track, not the handle
    EXPECT_TRUE(context.calls.empty());
    frame.mouseUp({100, 150}, 0);
    frame.mouseDown({105, 210}, kLButton);
    frame.mouseMoved({105, 160}, kLButton);
    EXPECT_FLOAT_EQ(s->getValue(), 0.5f); // travel 100 px
    EXPECT_EQ(s->handleRect().top, 150);
}

} // namespace
} // namespace brelvik::editor::test
