// MIDI learn in the walked window: the panel opens centred on the click inside the window, learns
// the next controller, offers every controller in a menu that fits the window, and binds or clears.
#include <gtest/gtest.h>

#include "LayoutTestSupport.h"
#include "editor/midilearn/CK_AssignMidiCC.h"
#include "gui/controls/COptionMenu.h"

namespace brelvik::editor::test {
namespace {

using gui::CPoint;
using gui::CRect;

struct LearnWindow : WalkedWindow {
    CK_AssignMidiCC& learn() { return *static_cast<CK_AssignMidiCC*>(context.controls[kTagMidiLearn]); }
    CK_PanelContainer& learnPanel() { return panel(kPanelMidiLearn); }
    FakeEditorHost& effect() { return context.effect; }
    CPoint centreOf(const CRect& area)
    {
        return learn().localToFrame({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
    }
    void click(const CPoint& where)
    {
        frame->mouseDown(where, gui::kLButton);
        frame->mouseUp(where, gui::kLButton);
    }
};

TEST(AssignMidiCC, OpensCentredOnTheClickAndInsideTheWindow)
{
    LearnWindow w;
    w.learn().openFor(kTagMasterGain, -1, {500, 100});
    EXPECT_EQ(w.learnPanel().getViewSize(), CRect::fromSize(396, 46, 208, 108));
    EXPECT_TRUE(w.learnPanel().isVisible());
    EXPECT_EQ(w.learn().parameter(), kTagMasterGain);
    EXPECT_EQ(w.learn().controller(), -1);
    w.learn().openFor(kTagParallel, 12, {1090, 170});
    EXPECT_EQ(w.learnPanel().getViewSize().topLeft(), CPoint({1100 - 208, 176 - 108}));
    EXPECT_EQ(w.learn().controller(), 12);
    w.learn().openFor(kTagBypass, -1, {10, 10}); // not a host parameter
    EXPECT_EQ(w.learn().parameter(), kTagParallel);
}

TEST(AssignMidiCC, LearnsTheNextControllerAndConfirmingBindsItAndFadesOut)
{
    LearnWindow w;
    w.effect().lastController = 74; // moved before the panel opened: not taken
    w.learn().openFor(kTagMasterGain, -1, {500, 100});
    w.tick(10);
    EXPECT_EQ(w.learn().controller(), -1);
    w.effect().lastController = 74;
    w.tick();
    EXPECT_EQ(w.learn().controller(), 74);
    w.click(w.centreOf(w.learn().confirmArea()));
    EXPECT_EQ(w.effect().learned[kTagMasterGain], 74);
    w.effect().lastController = 20; // moved after confirming: the panel keeps what it bound
    w.tick(10);
    EXPECT_EQ(w.learn().controller(), 74);
    EXPECT_FALSE(w.learnPanel().isVisible());

    // Opened again while it fades out, it stays open.
    w.learn().openFor(kTagMasterGain, 74, {500, 100});
    w.tick(10);
    w.click(w.centreOf(w.learn().confirmArea()));
    w.tick(4);
    w.learn().openFor(kTagParallel, -1, {500, 100});
    w.tick(20);
    EXPECT_TRUE(w.learnPanel().isVisible());
    EXPECT_EQ(w.learnPanel().opacity(), 255);
}

TEST(AssignMidiCC, ControllerMenuFitsTheWindowAndItsChoiceStaysWithItsParameter)
{
    LearnWindow w;
    w.effect().learned[kTagMasterGain] = 74;
    w.learn().openFor(kTagMasterGain, 74, {1000, 150});
    w.tick(10);
    w.click(w.centreOf(w.learn().controllerArea()));
    auto* menu = dynamic_cast<gui::COptionMenuPopup*>(w.frame->getModalView());
    ASSERT_NE(menu, nullptr);
    const CRect window = w.frame->getViewSize();
    EXPECT_EQ(menu->getViewSize().intersect(window), menu->getViewSize());
    // 12 rows in 11 columns: entry 12 starts the second column, the last entry is in the eleventh.
    EXPECT_EQ(menu->entryRect(12).top, menu->entryRect(0).top);
    EXPECT_EQ(menu->entryRect(CK_AssignMidiCC::kMenuEntries - 1).left, menu->entryRect(120).left);
    EXPECT_GT(menu->entryRect(120).left, menu->entryRect(108).left);
    EXPECT_EQ(menu->getHighlighted(), 75); // the current controller

    // A controller moved while the menu is open changes neither the parameter nor the choice.
    w.effect().lastController = 20;
    w.tick();
    EXPECT_EQ(w.learn().controller(), 74);
    w.click(menu->entryRect(0).topLeft() + CPoint{20, 2}); // "None"
    EXPECT_EQ(w.frame->getModalView(), nullptr);
    w.tick();
    EXPECT_EQ(w.learn().parameter(), kTagMasterGain);
    EXPECT_EQ(w.learn().controller(), -1);
    w.click(w.centreOf(w.learn().confirmArea()));
    EXPECT_EQ(w.effect().learned[kTagMasterGain], -1);
}

} // namespace
} // namespace brelvik::editor::test
