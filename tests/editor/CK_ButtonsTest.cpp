// On/off buttons, exclusive groups with their panels, button hubs and value holders.
#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_ButtonHub.h"
#include "editor/controls/CK_ExclusiveButton.h"
#include "editor/controls/CK_FloatStore.h"
#include "editor/controls/CK_OnOffButton.h"

namespace brelvik::editor::test {
namespace {

struct LinkRecorder : CK_LinkedView {
    void link(CK_LinkedView*, const CK_LinkMessage& m) override { got.push_back(m); }
    std::vector<CK_LinkMessage> got;
};

class ButtonsTest : public ControlTest {
protected:
    BitmapRef halves{stripBitmap(20, 10, 2)};
};

TEST_F(ButtonsTest, OnOffStylesToggleHoldOrOnlySwitchOn)
{
    auto* toggle = add(new CK_COnOffButton(
        gui::CRect::fromSize(0, 0, 20, 10), context, kTagEq1Active, halves.get(), CK_COnOffButton::kToggle));
    auto* momentary = add(new CK_COnOffButton(
        gui::CRect::fromSize(30, 0, 20, 10), context, kTagWebLink, halves.get(), CK_COnOffButton::kMomentary));
    auto* onOnly = add(new CK_COnOffButton(
        gui::CRect::fromSize(60, 0, 20, 10), context, kTagHeadphone, halves.get(), CK_COnOffButton::kOnOnly));
    click({5, 5});
    EXPECT_EQ(toggle->getValue(), 1.0f);
    click({5, 5});
    EXPECT_EQ(toggle->getValue(), 0.0f);

    context.calls.clear();
    frame.mouseDown({35, 5}, gui::kLButton);
    EXPECT_EQ(momentary->getValue(), 1.0f);
    frame.mouseUp({35, 5}, 0);
    EXPECT_EQ(momentary->getValue(), 0.0f);
    const std::vector<std::string> held{"begin 96", "set 96", "set 96", "end 96"};
    EXPECT_EQ(context.calls, held);

    click({65, 5});
    click({65, 5});
    EXPECT_EQ(onOnly->getValue(), 1.0f);
}

TEST_F(ButtonsTest, OnOffLinksFollowTheValueAndInteractiveMessagesToggle)
{
    auto* button = add(new CK_COnOffButton(
        gui::CRect::fromSize(0, 0, 20, 10), context, kTagEq2Active, halves.get(), CK_COnOffButton::kToggle));
    LinkRecorder eq;
    button->link(&eq, CK_LinkedView::registerMessage(16));
    button->setValue(1.0f);
    ASSERT_EQ(eq.got.size(), 1u);
    EXPECT_EQ(eq.got[0].id, 16);
    button->link(&eq, CK_LinkedView::valueMessage(16, 0.0f, CK_LinkMessage::kModeInteractive));
    EXPECT_EQ(button->getValue(), 0.0f);
    const std::vector<std::string> expected{"begin 76", "set 76", "end 76"};
    EXPECT_EQ(context.calls, expected);
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
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                buttons[i]->addPartner(buttons[j]); // itself is refused
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
    expectOpen(0);
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

TEST_F(ExclusiveTest, WhileOpeningButtonsKeepTheirValuesAndPanelsFollowThem)
{
    build(true);
    buttons[0]->setValue(1.0f);
    context.effect.opening = true;
    buttons[1]->setValue(1.0f);
    buttons[0]->setValue(0.0f);
    context.effect.opening = false;
    expectOpen(0);
}

TEST_F(ExclusiveTest, ProgramLoadValuesSwitchNoPartnersButStillMovePanels)
{
    build(true);
    buttons[0]->setValue(1.0f);
    context.applyingProgramLoad = true;
    buttons[1]->setValue(1.0f);
    EXPECT_EQ(buttons[0]->getValue(), 1.0f);
    EXPECT_TRUE(pages[0]->isVisible());
    EXPECT_TRUE(pages[1]->isVisible());
    EXPECT_TRUE(context.effect.automated.empty());
}

TEST_F(ButtonsTest, HubLightsTheSelectedButtonAndReportsTheChosenOne)
{
    auto* hub = add(new CK_GUI_Multi_Button_Hub(gui::CRect{}, context, kTagMeterType, 4));
    LinkRecorder buttons[4];
    for (int i = 0; i < 4; ++i)
        hub->link(&buttons[i], CK_LinkedView::registerMessage(i));
    hub->setValue(2.0f / 3.0f);
    EXPECT_EQ(hub->getSelected(), 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(buttons[i].got.back().value, i == 2 ? 1.0f : 0.0f);
    hub->link(&buttons[3], CK_LinkedView::valueMessage(3, 1.0f));
    EXPECT_EQ(hub->getSelected(), 3);
    const std::vector<std::string> expected{"begin 37", "set 37", "end 37"};
    EXPECT_EQ(context.calls, expected);
    EXPECT_FLOAT_EQ(lastAutomated(), 1.0f);
}

TEST_F(ButtonsTest, FloatStoreCarriesValuesBothWays)
{
    auto* store = add(new CK_GUI_Float_Store(gui::CRect{}, context, kTagEq3Gain));
    LinkRecorder eq;
    store->link(&eq, CK_LinkedView::registerMessage(7));
    store->setValue(0.4f);
    ASSERT_EQ(eq.got.size(), 1u);
    EXPECT_EQ(eq.got[0].id, 7);
    EXPECT_FLOAT_EQ(eq.got[0].value, 0.4f);
    store->link(&eq, CK_LinkedView::valueMessage(7, 0.6f));
    EXPECT_FLOAT_EQ(store->getValue(), 0.6f);
    const std::vector<std::string> expected{"begin 28", "set 28", "end 28"};
    EXPECT_EQ(context.calls, expected);
}

} // namespace
} // namespace brelvik::editor::test
