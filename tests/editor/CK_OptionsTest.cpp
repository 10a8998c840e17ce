// Option menus: image menus that step on clicks and drags, the text menu's in-frame list, links.
#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_OptionsImage.h"
#include "gui/controls/COptionMenu.h"

namespace brelvik::editor::test {
namespace {

class OptionsTest : public ControlTest {
protected:
    CK_COptionsImage* image(CK_COptionsImage::Motion motion = {})
    {
        return add(new CK_COptionsImage(gui::CRect::fromSize(100, 100, 20, 10), context, kTagCompMode, strip.get(),
            "Peak,RMS,Both,", 3, motion, CK_COptionsImage::kClickSteps));
    }
    BitmapRef strip = stripBitmap(20, 10, 3);
};

TEST_F(OptionsTest, ImageMenuStepsOnClicksAndOnceEveryNinePixelsOfDrag)
{
    CK_COptionsImage* menu = image();
    for (float value : {0.5f, 1.0f, 0.0f}) {
        click({110, 105});
        EXPECT_FLOAT_EQ(lastAutomated(), value);
        EXPECT_FLOAT_EQ(menu->getShownPosition(), value);
    }
    context.calls.clear();
    frame.mouseDown({110, 105}, gui::kLButton); // 0 -> 1
    frame.mouseMoved({110, 97}, gui::kLButton);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    frame.mouseMoved({110, 96}, gui::kLButton);
    frame.mouseMoved({110, 80}, gui::kLButton); // no wrap past the last
    EXPECT_EQ(menu->getCurrentIndex(), 2);
    frame.mouseMoved({110, 89}, gui::kLButton);
    frame.mouseUp({110, 89}, 0);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    EXPECT_EQ(context.calls, (std::vector<std::string>{"begin 73", "set 73", "set 73", "set 73", "end 73"}));
}

TEST_F(OptionsTest, ValuesRoundToTheNearestOptionAndLinksStepBothWays)
{
    CK_COptionsImage* menu = image({0.25f, false});
    menu->setValue(0.4999f); // a step that came back from the effect a hair short
    menu->setValue(1.5f);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    ticks(1, *menu);
    EXPECT_FLOAT_EQ(menu->getShownPosition(), 0.125f); // eased a quarter of the way
    menu->link(nullptr, CK_LinkedView::valueMessage(CK_COptionsText::kIdNextOption, 1.0f));
    menu->link(nullptr, CK_LinkedView::valueMessage(CK_COptionsText::kIdNextOption, 1.0f));
    EXPECT_EQ(menu->getCurrentIndex(), 0);
    menu->link(nullptr, CK_LinkedView::valueMessage(CK_COptionsText::kIdPreviousOption, 0.0f));
    EXPECT_EQ(menu->getCurrentIndex(), 0);
    EXPECT_EQ(context.effect.automated.size(), 2u);
}

TEST_F(OptionsTest, TextMenuChoosesFromItsInFrameListAsOneGesture)
{
    auto* menu = add(new CK_COptionsText(
        gui::CRect::fromSize(100, 100, 60, 16), context, kTagAttackContour, nullptr, "Linear,Soft,Hard,"));
    click({110, 105});
    auto* list = dynamic_cast<gui::COptionMenuPopup*>(frame.getModalView());
    ASSERT_NE(list, nullptr);
    const gui::CRect hard = list->entryRect(2);
    click({hard.left + 5, hard.top + 3});
    EXPECT_EQ(menu->getDisplayText(), "Hard");
    EXPECT_EQ(context.calls, (std::vector<std::string>{"begin 40", "set 40", "end 40"}));
}

} // namespace
} // namespace brelvik::editor::test
