// Panels of the window tick by tick: sliding settings and credits panels, band pages that switch at
// once, the fading MIDI-learn panel; and a fading panel drawn at its opacity.
#include <gtest/gtest.h>

#include <cmath>

#include "../gui/GuiTestSupport.h"
#include "LayoutTestSupport.h"

namespace brelvik::editor::test {
namespace {

using gui::CPoint;
using gui::CRect;

CPoint at(CK_PanelContainer& panel)
{
    return panel.getViewSize().topLeft();
}

TEST(PanelContainer, SettingsSlideBetweenOpenAndHomeAndKeepTheirButtonInTheWindow)
{
    WalkedWindow w;
    CK_PanelContainer& settings = w.panel(kPanelSettings);
    settings.setVisible(true);
    w.tick(100);
    EXPECT_EQ(at(settings), CPoint({0, 2}));
    settings.setVisible(false);
    w.tick(100);
    EXPECT_EQ(at(settings), CPoint({-363, 2}));
    EXPECT_TRUE(settings.isVisible());
    EXPECT_EQ(settings.getFrameRect().right, 17); // the strip with the settings button
}

TEST(PanelContainer, CreditsSlideNinetyPercentInAbout22TicksAndSnapToTheirTarget)
{
    WalkedWindow w;
    CK_PanelContainer& credits = w.panel(kPanelCredits);
    credits.setVisible(true);
    const double way = 1081 - 740;
    w.tick(21);
    EXPECT_GT(at(credits).x - 740, 0.1 * way);
    w.tick(1);
    EXPECT_LE(at(credits).x - 740, 0.1 * way);
    int ticks = 22;
    for (; at(credits).x != 740 && ticks < 200; ++ticks)
        w.tick();
    // 341 * 0.9^n stays at half a pixel or more up to n = 61.
    EXPECT_EQ(ticks, 62);
    w.tick(5);
    EXPECT_EQ(credits.getViewSize(), CRect::fromSize(740, 12, 360, 160));
    credits.setVisible(false);
    w.tick(100);
    EXPECT_EQ(at(credits), CPoint({1081, 12}));
    EXPECT_TRUE(credits.isVisible());
}

TEST(PanelContainer, BandPagesShowAndHideAtOnceWithoutMoving)
{
    WalkedWindow w;
    CK_PanelContainer& low = w.panel(kPageLowBand);
    low.setVisible(true);
    EXPECT_TRUE(low.isVisible());
    w.tick();
    EXPECT_EQ(low.getViewSize(), CRect::fromSize(341, 14, 187, 155));
    EXPECT_EQ(low.opacity(), 255);
    low.setVisible(false);
    EXPECT_FALSE(low.isVisible());
}

TEST(PanelContainer, MidiLearnPanelFadesInAndOutOverTenTicks)
{
    WalkedWindow w;
    CK_PanelContainer& learn = w.panel(kPanelMidiLearn);
    learn.setVisible(true);
    EXPECT_TRUE(learn.isVisible());
    EXPECT_EQ(learn.opacity(), 0);
    w.tick(9);
    EXPECT_LT(learn.opacity(), 255);
    w.tick();
    EXPECT_EQ(learn.opacity(), 255);

    learn.setVisible(false);
    w.tick(9);
    EXPECT_TRUE(learn.isVisible());
    w.tick();
    EXPECT_FALSE(learn.isVisible());
    EXPECT_EQ(at(learn), CPoint({204, 100}));
}

TEST(PanelContainer, DrawsItselfAndItsViewsAtItsOpacity)
{
    auto* frame = new gui::CFrame(20, 20);
    auto* panel = new CK_PanelContainer(CRect::fromSize(0, 0, 20, 20));
    panel->setPanelMotion(CRect::fromSize(0, 0, 20, 20), 1, 0.5f, 0.0f);
    panel->setBackgroundColor(gui::kWhiteCColor);
    panel->addView(new gui::test::FillView(CRect::fromSize(10, 0, 10, 20), {255, 0, 0, 255}));
    frame->addView(panel);
    panel->setVisible(true);
    panel->onFrameTick();
    ASSERT_EQ(panel->opacity(), 128);
    frame->flush();
    EXPECT_TRUE(gui::test::near(frame->getBackBuffer(), 5, 5, {128, 128, 128, 255}, 2));
    // Each view blends on its own over what the panel drew before it.
    EXPECT_TRUE(gui::test::near(frame->getBackBuffer(), 15, 5, {192, 64, 64, 255}, 2));
    frame->forget();
}

} // namespace
} // namespace brelvik::editor::test
