// Option menus: image menus that step on clicks and drags, the text menu's in-frame list, links.
#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_OptionsImage.h"
#include "editor/controls/CK_OptionsText.h"
#include "gui/controls/COptionMenu.h"

namespace brelvik::editor::test {
namespace {

class OptionsTest : public ControlTest {
protected:
    CK_COptionsImage* image(int clickMode = CK_COptionsImage::kClickSteps, CK_COptionsImage::Motion motion = {})
    {
        return add(new CK_COptionsImage(gui::CRect::fromSize(100, 100, 20, 10), context, kTagCompMode, strip.get(),
            "Peak,RMS,Both,", 3, motion, clickMode));
    }
    BitmapRef strip{stripBitmap(20, 10, 3)};
};

TEST_F(OptionsTest, ImageMenuStepsOnEachClickAndWrapsAfterTheLast)
{
    CK_COptionsImage* menu = image();
    const float expected[] = {0.5f, 1.0f, 0.0f};
    for (float value : expected) {
        click({110, 105});
        EXPECT_FLOAT_EQ(menu->getValue(), value);
        EXPECT_FLOAT_EQ(menu->getShownPosition(), value); // one frame per option, shown at once
        EXPECT_FLOAT_EQ(lastAutomated(), value);
    }
    const std::vector<std::string> oneClick{"begin 73", "set 73", "end 73"};
    EXPECT_EQ(std::vector<std::string>(context.calls.begin(), context.calls.begin() + 3), oneClick);
}

TEST_F(OptionsTest, ImageMenuDragStepsOnceEveryNinePixelsWithoutWrapping)
{
    CK_COptionsImage* menu = image();
    frame.mouseDown({110, 105}, gui::kLButton); // 0 -> 1
    frame.mouseMoved({110, 97}, gui::kLButton);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    frame.mouseMoved({110, 96}, gui::kLButton);
    EXPECT_EQ(menu->getCurrentIndex(), 2);
    frame.mouseMoved({110, 80}, gui::kLButton); // already the last
    EXPECT_EQ(menu->getCurrentIndex(), 2);
    frame.mouseMoved({110, 89}, gui::kLButton);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    frame.mouseUp({110, 89}, 0);
    EXPECT_EQ(context.calls.front(), "begin 73");
    EXPECT_EQ(context.calls.back(), "end 73");
}

TEST_F(OptionsTest, ValuesOutsideTheRangeAreIgnoredAndStepsRound)
{
    CK_COptionsImage* menu = image();
    menu->setValue(0.5f);
    menu->setValue(1.5f);
    menu->setValue(-0.1f);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    menu->setValue(0.4999f); // a step that came back from the effect a hair short
    EXPECT_EQ(menu->getCurrentIndex(), 1);
}

TEST_F(OptionsTest, EasedImageMenusSlideToTheChosenOption)
{
    CK_COptionsImage* menu = image(CK_COptionsImage::kClickSteps, {0.25f, false});
    menu->setValue(1.0f);
    EXPECT_EQ(menu->getShownPosition(), 0.0f);
    ticks(3, *menu);
    EXPECT_FLOAT_EQ(menu->getShownPosition(), 0.75f);
    ticks(2, *menu);
    EXPECT_EQ(menu->getShownPosition(), 1.0f);
}

TEST_F(OptionsTest, MenusThatStartEmptyShowNothingUntilTheFirstChoice)
{
    CK_COptionsImage* menu = image(CK_COptionsImage::kClickStepsFromNone);
    EXPECT_EQ(menu->getCurrentIndex(), -1);
    click({110, 105});
    EXPECT_EQ(menu->getCurrentIndex(), 0);
}

TEST_F(OptionsTest, LinksStepThroughTheOptionsBothWays)
{
    CK_COptionsImage* menu = image();
    menu->link(nullptr, CK_LinkedView::valueMessage(CK_COptionsText::kIdPreviousOption, 1.0f));
    EXPECT_EQ(menu->getCurrentIndex(), 2);
    menu->link(nullptr, CK_LinkedView::valueMessage(CK_COptionsText::kIdNextOption, 1.0f));
    EXPECT_EQ(menu->getCurrentIndex(), 0);
    menu->link(nullptr, CK_LinkedView::valueMessage(CK_COptionsText::kIdNextOption, 0.0f));
    EXPECT_EQ(menu->getCurrentIndex(), 0);
    menu->link(nullptr, CK_LinkedView::valueMessage(3, 0.5f));
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    EXPECT_EQ(context.effect.automated.size(), 3u);
}

TEST_F(OptionsTest, TextMenuChoosesFromItsInFrameListAsOneGesture)
{
    auto* menu = add(new CK_COptionsText(
        gui::CRect::fromSize(100, 100, 60, 16), context, kTagAttackContour, nullptr, "Linear,Soft,Hard,"));
    EXPECT_EQ(menu->getDisplayText(), "Linear");
    click({110, 105});
    auto* list = dynamic_cast<gui::COptionMenuPopup*>(frame.getModalView());
    ASSERT_NE(list, nullptr);
    const gui::CRect hard = list->entryRect(2);
    click({hard.left + 5, hard.top + 3});
    EXPECT_EQ(frame.getModalView(), nullptr);
    EXPECT_EQ(menu->getDisplayText(), "Hard");
    EXPECT_FLOAT_EQ(menu->getValue(), 1.0f);
    const std::vector<std::string> expected{"begin 40", "set 40", "end 40"};
    EXPECT_EQ(context.calls, expected);
}

} // namespace
} // namespace brelvik::editor::test
