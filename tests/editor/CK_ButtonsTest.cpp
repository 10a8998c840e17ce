// On/off buttons, exclusive groups with their panels, button hubs and value holders.
#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_ButtonHub.h"
#include "editor/controls/CK_ExclusiveButton.h"
#include "editor/controls/CK_FloatStore.h"
#include "editor/controls/CK_OnOffButton.h"

namespace brelvik::editor::test {
namespace {

class ButtonsTest : public ControlTest {
protected:
    CK_COnOffButton* button(int x, int tag, int style)
    {
        return add(new CK_COnOffButton(gui::CRect::fromSize(x, 0, 20, 10), context, tag, halves.get(), style));
    }
    BitmapRef halves = stripBitmap(20, 10, 2);
};

TEST_F(ButtonsTest, OnOffButtonsToggleHoldWhilePressedOrOnlySwitchOn)
{
    CK_COnOffButton* toggle = button(0, kTagEq1Active, CK_COnOffButton::kToggle);
    CK_COnOffButton* momentary = button(30, kTagWebLink, CK_COnOffButton::kMomentary);
    CK_COnOffButton* onOnly = button(60, kTagHeadphone, CK_COnOffButton::kOnOnly);
    click({5, 5});
    click({5, 5});
    EXPECT_EQ(toggle->getValue(), 0.0f);
    context.calls.clear();
    frame.mouseDown({35, 5}, gui::kLButton);
    EXPECT_EQ(momentary->getValue(), 1.0f);
    frame.mouseUp({35, 5}, 0);
    EXPECT_EQ(momentary->getValue(), 0.0f);
    EXPECT_EQ(context.calls, (std::vector<std::string>{"begin 96", "set 96", "set 96", "end 96"}));
    click({65, 5});
    click({65, 5});
    EXPECT_EQ(onOnly->getValue(), 1.0f);

    LinkRecorder eq;
    toggle->link(&eq, CK_LinkedView::registerMessage(15));
    toggle->link(&eq, CK_LinkedView::valueMessage(15, 0.0f, CK_LinkMessage::kModeInteractive));
    EXPECT_EQ(toggle->getValue(), 1.0f); // an interactive message toggles
    ASSERT_EQ(eq.got.size(), 1u);
    EXPECT_EQ(eq.got[0].id, 15);
    EXPECT_FLOAT_EQ(lastAutomated(), 1.0f);
}

class ExclusiveTest : public ButtonsTest {
protected:
    void build(bool allowNone)
    {
        for (int i = 0; i < 3; ++i) {
            pages[i] = add(new gui::CViewContainer(gui::CRect::fromSize(100, 0, 50, 50)));
            pages[i]->setVisible(false);
            buttons[i] = add(new CK_ExclusiveButton(
                gui::CRect::fromSize(0, 20 * i, 20, 10), context, kTagLowBandButton + i, halves.get(), allowNone));
            buttons[i]->addPanel(pages[i]);
        }
        for (CK_ExclusiveButton* b : buttons)
            for (CK_ExclusiveButton* partner : buttons)
                b->addPartner(partner);
    }
    void expectOpen(int page)
    {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(buttons[i]->getValue(), i == page ? 1.0f : 0.0f) << "button " << i;
            EXPECT_EQ(pages[i]->isVisible(), i == page) << "page " << i;
        }
    }
    CK_ExclusiveButton* buttons[3] = {};
    gui::CViewContainer* pages[3] = {};
};

TEST_F(ExclusiveTest, SelectingOnePageClosesTheOthersAndItsButtonClosesItAgain)
{
    build(true);
    click({5, 5});
    click({5, 25});
    expectOpen(1);
    EXPECT_EQ(context.effect.automated.size(), 3u); // low on; then low off and mid on
    click({5, 25});
    expectOpen(-1);
}

TEST_F(ExclusiveTest, AGroupThatKeepsOneOnRefusesToSwitchItsLastButtonOff)
{
    build(false);
    click({5, 45});
    click({5, 45});
    expectOpen(2);
    EXPECT_FLOAT_EQ(lastAutomated(), 1.0f);
}

TEST_F(ExclusiveTest, OpeningKeepsValuesAndProgramLoadsSwitchNoPartners)
{
    build(true);
    buttons[0]->setValue(1.0f);
    context.effect.opening = true;
    buttons[1]->setValue(1.0f);
    buttons[0]->setValue(0.0f);
    context.effect.opening = false;
    expectOpen(0);

    context.applyingProgramLoad = true;
    buttons[1]->setValue(1.0f);
    EXPECT_EQ(buttons[0]->getValue(), 1.0f);
    EXPECT_TRUE(pages[0]->isVisible());
    EXPECT_TRUE(pages[1]->isVisible()); // panels still follow
    EXPECT_TRUE(context.effect.automated.empty());
}

TEST_F(ButtonsTest, HubAndValueHolderPassValuesBetweenTheEffectAndTheirLinks)
{
    auto* hub = add(new CK_GUI_Multi_Button_Hub(gui::CRect{}, context, kTagMeterType, 4));
    LinkRecorder options[4];
    for (int i = 0; i < 4; ++i)
        hub->link(&options[i], CK_LinkedView::registerMessage(i));
    hub->setValue(2.0f / 3.0f);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(options[i].got.back().value, i == 2 ? 1.0f : 0.0f);
    hub->link(&options[3], CK_LinkedView::valueMessage(3, 1.0f));
    EXPECT_EQ(hub->getSelected(), 3);
    EXPECT_FLOAT_EQ(lastAutomated(), 1.0f);

    auto* store = add(new CK_GUI_Float_Store(gui::CRect{}, context, kTagEq3Gain));
    LinkRecorder eq;
    store->link(&eq, CK_LinkedView::registerMessage(7));
    store->setValue(0.4f);
    EXPECT_EQ(eq.got.at(0).id, 7);
    store->link(&eq, CK_LinkedView::valueMessage(7, 0.6f));
    EXPECT_EQ(
        context.calls, (std::vector<std::string>{"begin 37", "set 37", "end 37", "begin 28", "set 28", "end 28"}));
}

} // namespace
} // namespace brelvik::editor::test
