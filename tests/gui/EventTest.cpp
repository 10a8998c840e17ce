// Mouse, wheel and keyboard routing; the library controls' edits through their listener; tooltips.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/CFrame.h"
#include "gui/CTooltipSupport.h"
#include "gui/CViewContainer.h"
#include "gui/controls/CKnob.h"
#include "gui/controls/COnOffButton.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/CTextEdit.h"

namespace brelvik::gui::test {
namespace {

using Events = std::vector<std::string>;

// Takes every click and remembers where (in its parent's coordinates) and what followed.
class ClickView : public CView {
public:
    using CView::CView;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override
    {
        log.push_back("down " + std::to_string(where.x) + "," + std::to_string(where.y));
        return CMouseEventResult::kHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override
    {
        if (buttons.isLeftButton())
            log.push_back("drag " + std::to_string(where.x) + "," + std::to_string(where.y));
        return CMouseEventResult::kHandled;
    }
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState&) override
    {
        log.push_back("up " + std::to_string(where.x) + "," + std::to_string(where.y));
        return CMouseEventResult::kHandled;
    }
    Events log;
};

TEST(GuiEvents, ClicksReachTheTopmostViewInParentCoordinatesAndDragsStayWithIt)
{
    CFrame frame(200, 100);
    auto* outer = new CViewContainer(CRect{50, 20, 150, 90});
    auto* inner = new CViewContainer(CRect{10, 10, 90, 60});
    auto* below = new ClickView(CRect{0, 0, 40, 40});
    auto* above = new ClickView(CRect{20, 20, 60, 40});
    inner->addView(below);
    inner->addView(above);
    outer->addView(inner);
    frame.addView(outer);

    frame.mouseDown({85, 55}, kLButton); // inner (25, 25): both views, the later one is on top
    frame.mouseMoved({190, 95}, kLButton);
    frame.mouseUp({190, 95}, kLButton);
    EXPECT_EQ(above->log, (Events{"down 25,25", "drag 130,65", "up 130,65"}));
    EXPECT_TRUE(below->log.empty());
    frame.mouseDown({65, 35}, kLButton);
    EXPECT_EQ(below->log, (Events{"down 5,5"}));
    EXPECT_EQ(above->localToFrame({25, 25}), (CPoint{85, 55}));
}

TEST(GuiEvents, AlphaHitTestLetsClicksOnTransparentPixelsFallThrough)
{
    // 3 x 1 pixels of alpha 199, 200 and 0.
    SharedPointer<CBitmap> bitmap
        = SharedPointer<CBitmap>::adopt(decode(encodePng(3, 1, {{9, 9, 9, 199}, {9, 9, 9, 200}, {9, 9, 9, 0}})));
    CFrame frame(10, 10);
    auto* behind = new ClickView(CRect{0, 0, 10, 10});
    auto* knob = new CAnimKnob(CRect{0, 0, 3, 1}, nullptr, 1, 1, 1, bitmap.get());
    knob->setAlphaHitTest(true);
    frame.addView(behind);
    frame.addView(knob);

    EXPECT_FALSE(knob->hitTest({0, 0})); // alpha must be above 199
    EXPECT_TRUE(knob->hitTest({1, 0}));
    EXPECT_FALSE(knob->hitTest({2, 0}));
    frame.mouseDown({2, 0}, kLButton);
    frame.mouseUp({2, 0}, kLButton);
    frame.mouseDown({1, 0}, kLButton);
    frame.mouseUp({1, 0}, kLButton);
    EXPECT_EQ(behind->log, (Events{"down 2,0", "up 2,0"}));
    EXPECT_EQ(frame.getViewAt({1, 0}), knob);
    EXPECT_EQ(frame.getViewAt({0, 0}), behind);
}

TEST(GuiEvents, KnobDragAndWheelReportEditsBracketedByBeginAndEnd)
{
    RecordingListener listener;
    CFrame frame(100, 200);
    auto* knob = new CKnob(CRect{10, 10, 50, 50}, &listener, 7);
    frame.addView(knob);

    frame.mouseDown({30, 30}, kLButton);
    frame.mouseMoved({30, 30 - CKnob::kDragRange / 2}, kLButton);
    frame.mouseMoved({30 + CKnob::kDragRange, 0}, kLButton); // clamped at the maximum
    frame.mouseUp({30, 0}, kLButton);
    EXPECT_EQ(listener.events, (Events{"begin 7", "value 0.500000", "value 1.000000", "end 7"}));

    listener.events.clear();
    frame.mouseWheel({30, 30}, 1.0f, 0); // already at the maximum: nothing to report
    frame.mouseWheel({30, 30}, -2.0f, 0);
    frame.mouseWheel({30, 30}, 1.0f, kShift);
    EXPECT_EQ(listener.events, (Events{"begin 7", "value 0.800000", "end 7", "begin 7", "value 0.810000", "end 7"}));

    listener.events.clear();
    frame.mouseDown({30, 30}, kLButton | kDoubleClick);
    frame.mouseUp({30, 30}, kLButton);
    EXPECT_EQ(listener.events, (Events{"begin 7", "value 0.500000", "end 7"}));
}

TEST(GuiEvents, OnOffButtonTogglesAndHitTestsTheHalfItShows)
{
    // Off image (upper half) opaque at the left pixel only, on image opaque at the right pixel only.
    SharedPointer<CBitmap> bitmap = SharedPointer<CBitmap>::adopt(
        decode(encodePng(2, 2, {{0, 0, 0, 255}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 255}})));
    RecordingListener listener;
    CFrame frame(10, 10);
    auto* button = new COnOffButton(CRect{0, 0, 2, 1}, &listener, 3, bitmap.get());
    button->setAlphaHitTest(true);
    frame.addView(button);

    EXPECT_TRUE(button->hitTest({0, 0}));
    EXPECT_FALSE(button->hitTest({1, 0}));
    frame.mouseDown({0, 0}, kLButton);
    frame.mouseUp({0, 0}, kLButton);
    EXPECT_TRUE(button->isOn());
    EXPECT_FALSE(button->hitTest({0, 0}));
    EXPECT_TRUE(button->hitTest({1, 0}));
    frame.mouseDown({1, 0}, kLButton);
    EXPECT_FALSE(button->isOn());
    EXPECT_EQ(listener.events, (Events{"begin 3", "value 1.000000", "end 3", "begin 3", "value 0.000000", "end 3"}));
}

class OptionMenuTest : public ::testing::Test {
protected:
    OptionMenuTest()
    {
        menu = new COptionMenu(CRect{1000, 10, 1080, 30}, &listener, 20, nullptr, COptionMenu::kCheckStyle);
        menu->addEntry("None");
        for (int cc = 0; cc < 128; ++cc)
            menu->addEntry("CC " + std::to_string(cc));
        frame.addView(menu);
    }

    COptionMenuPopup* popup() { return dynamic_cast<COptionMenuPopup*>(frame.getModalView()); }

    RecordingListener listener;
    CFrame frame{1100, 176};
    COptionMenu* menu;
};

TEST_F(OptionMenuTest, ListOpensInsideTheFrameAndTheKeyboardChooses)
{
    frame.mouseDown({1010, 20}, kLButton);
    frame.mouseUp({1010, 20}, kLButton);
    ASSERT_NE(popup(), nullptr);
    const CRect shown = popup()->getViewSize();
    EXPECT_TRUE(shown.intersect(frame.getViewSize()) == shown); // 129 entries in columns inside 176 pixels
    EXPECT_TRUE(popup()->entryRect(128).right <= 1100);
    EXPECT_TRUE(menu->isEntryChecked(0));

    frame.keyDown({0, CVirtualKey::kDown, 0});
    frame.keyDown({0, CVirtualKey::kDown, 0});
    frame.keyDown({0, CVirtualKey::kEnter, 0});
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(menu->getCurrentIndex(), 2);
    EXPECT_EQ(menu->getDisplayText(), "CC 1");
    EXPECT_EQ(listener.events, (Events{"begin 20", "value 2.000000", "end 20"}));

    listener.events.clear();
    frame.mouseDown({1010, 20}, kLButton);
    frame.keyDown({0, CVirtualKey::kEscape, 0});
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(menu->getCurrentIndex(), 2);
    EXPECT_EQ(listener.events, (Events{"begin 20", "end 20"}));
}

TEST_F(OptionMenuTest, ClickOnAnEntryChoosesItAndAClickOutsideDismisses)
{
    frame.mouseDown({1010, 20}, kLButton);
    ASSERT_NE(popup(), nullptr);
    const CRect entry = popup()->entryRect(74 + 1);
    frame.mouseMoved({entry.left + 2, entry.top + 2}, 0);
    EXPECT_EQ(popup()->getHighlighted(), 75);
    frame.mouseDown({entry.left + 2, entry.top + 2}, kLButton);
    EXPECT_EQ(menu->getDisplayText(), "CC 74");

    listener.events.clear();
    frame.mouseDown({1010, 20}, kLButton);
    const CRect shown = popup()->getViewSize();
    frame.mouseDown({shown.left - 1, shown.top}, kLButton);
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(listener.events, (Events{"begin 20", "end 20"}));
}

TEST_F(OptionMenuTest, ClosingTheFrameWithTheListOpenEndsTheEdit)
{
    {
        CFrame other(200, 100);
        auto* small = new COptionMenu(CRect{0, 0, 50, 20}, &listener, 21);
        small->addEntry("A");
        other.addView(small);
        other.mouseDown({5, 5}, kLButton);
        ASSERT_NE(other.getModalView(), nullptr);
    }
    EXPECT_EQ(listener.events, (Events{"begin 21", "end 21"}));
}

TEST(GuiEvents, TextEditTypesCommitsOnEnterOrFocusLossAndCancelsOnEscape)
{
    RecordingListener listener;
    CFrame frame(200, 50);
    auto* edit = new CTextEdit(CRect{10, 10, 110, 30}, &listener, 5, "0.5");
    frame.addView(edit);
    frame.addView(new ClickView(CRect{150, 0, 200, 50}));

    frame.mouseDown({20, 20}, kLButton);
    ASSERT_TRUE(edit->isEditingText());
    for (CVirtualKey k : {CVirtualKey::kBackspace, CVirtualKey::kBackspace, CVirtualKey::kBackspace})
        frame.keyDown({0, k, 0});
    for (char c : std::string("-12x"))
        frame.keyDown({static_cast<uint32_t>(c), CVirtualKey::kNone, 0});
    frame.keyDown({0, CVirtualKey::kBackspace, 0});
    frame.keyDown({0, CVirtualKey::kHome, 0});
    frame.keyDown({'+', CVirtualKey::kNone, 0});
    EXPECT_EQ(edit->getEditedText(), "+-12");
    EXPECT_EQ(edit->getCaret(), 1u);
    frame.keyDown({0, CVirtualKey::kEnter, 0});
    EXPECT_FALSE(edit->isEditingText());
    EXPECT_EQ(edit->getText(), "+-12");
    EXPECT_EQ(listener.events.size(), 1u);
    EXPECT_EQ(frame.getFocusView(), nullptr);

    frame.mouseDown({20, 20}, kLButton);
    frame.keyDown({'9', CVirtualKey::kNone, 0});
    frame.keyDown({0, CVirtualKey::kEscape, 0});
    EXPECT_EQ(edit->getText(), "+-12");
    EXPECT_EQ(listener.events.size(), 1u);

    frame.mouseDown({20, 20}, kLButton);
    frame.keyDown({0xE9, CVirtualKey::kNone, 0}); // é, two bytes of UTF-8
    frame.mouseDown({160, 20}, kLButton);         // a click elsewhere commits
    EXPECT_EQ(edit->getText(), "+-12\xC3\xA9");
    EXPECT_EQ(listener.events.size(), 2u);

    edit->setDoubleClickStyle(true);
    frame.mouseDown({20, 20}, kLButton);
    EXPECT_FALSE(edit->isEditingText());
    frame.mouseDown({20, 20}, kLButton | kDoubleClick);
    EXPECT_TRUE(edit->isEditingText());
}

TEST(GuiEvents, TooltipAppearsAfterTheDelayWithItsLinesInsideTheFrame)
{
    CFrame frame(300, 100);
    auto* mode = new CView(CRect{250, 60, 300, 100});
    mode->setTooltipText("Compressor Mode:\nStereo\nM/S (Mono/Side)");
    frame.addView(mode);
    frame.addView(new CView(CRect{0, 0, 50, 50}));
    auto* tooltips = new CTooltipSupport(&frame, 500);
    tooltips->forget(); // the frame keeps its own reference

    frame.mouseMoved({290, 90}, 0);
    frame.idle(1000);
    frame.idle(1499);
    EXPECT_FALSE(tooltips->isShowing());
    frame.idle(1500);
    ASSERT_TRUE(tooltips->isShowing());
    EXPECT_EQ(tooltips->getLines(), (std::vector<std::string>{"Compressor Mode:", "Stereo", "M/S (Mono/Side)"}));
    const CRect tip = tooltips->getTipRect();
    EXPECT_TRUE(tip.intersect(frame.getViewSize()) == tip);
    EXPECT_GT(tip.height(), 3 * 12);

    frame.mouseMoved({10, 10}, 0); // a view without a tooltip
    EXPECT_FALSE(tooltips->isShowing());
    frame.idle(5000);
    EXPECT_FALSE(tooltips->isShowing());
}

TEST(GuiEvents, RemovingTheHoveredAndFocusedViewsLeavesNoDanglingReferences)
{
    CFrame frame(100, 100);
    auto* tooltips = new CTooltipSupport(&frame);
    tooltips->forget();
    auto* box = new CViewContainer(CRect{0, 0, 100, 100});
    auto* edit = new CTextEdit(CRect{0, 0, 50, 20}, nullptr, 1);
    edit->setTooltipText("tip");
    box->addView(edit);
    frame.addView(box);
    frame.mouseMoved({5, 5}, 0);
    frame.mouseDown({5, 5}, kLButton);
    EXPECT_EQ(frame.getHoverView(), edit);
    EXPECT_EQ(frame.getFocusView(), edit);
    frame.removeView(box);
    EXPECT_EQ(frame.getHoverView(), nullptr);
    EXPECT_EQ(frame.getFocusView(), nullptr);
    frame.mouseMoved({6, 6}, 0);
    frame.keyDown({'a', CVirtualKey::kNone, 0});
    frame.idle(10000);
}

} // namespace
} // namespace brelvik::gui::test
