// Animated buttons: the frame rule, LED switches that pulse, the bypass loop, clip lamps.
#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_AnimButton.h"

namespace brelvik::editor::test {
namespace {

constexpr int kStopOnOff = -1 * 256; // the high byte that a settings record with parameter -1 gives

class AnimButtonTest : public ControlTest {
protected:
    CK_AnimButton* button(int tag, int frames, float animValue, int style, bool displayOnly = false)
    {
        strip = stripBitmap(20, 10, frames);
        return add(new CK_AnimButton(gui::CRect::fromSize(100, 100, 20, 10), context, tag, frames, 10, strip.get(),
            animValue, style, displayOnly));
    }
    BitmapRef strip;
};

TEST_F(AnimButtonTest, LedSwitchPulsesWhileOnAndShowsFrameZeroAtOnceWhenOff)
{
    CK_AnimButton* b = button(kTagLowActive, 7, 0.24f, kStopOnOff + CK_AnimButton::kBounce);
    b->setValue(1.0f);
    b->onFrameTick();
    EXPECT_EQ(b->drawnFrame(), 1); // lit at once: the pulse runs between frame 1 and the last
    ticks(2, *b);
    EXPECT_EQ(b->drawnFrame(), 1); // phase 1/6 + 0.08: 6 x phase = 1.48 rounds down
    b->onFrameTick();
    EXPECT_EQ(b->drawnFrame(), 2); // 6 x phase = 1.72 rounds up
    int lowest = 6, highest = 0, turns = 0, previous = 0;
    for (int i = 0; i < 200; ++i) {
        const float before = b->getPhase();
        b->onFrameTick();
        if (i > 30) // up to full brightness first, then between frame 1 and the last
            lowest = std::min(lowest, b->drawnFrame());
        highest = std::max(highest, b->drawnFrame());
        turns += (b->getPhase() - before > 0) != (previous > 0);
        previous = b->getPhase() - before > 0 ? 1 : -1;
    }
    EXPECT_EQ(highest, 6);
    EXPECT_EQ(lowest, 1);
    EXPECT_GT(turns, 5);
    b->setValue(1.0f); // a repeated "on" does not restart the pulse
    EXPECT_TRUE(b->isAnimating());
    b->setValue(0.0f);
    EXPECT_EQ(b->drawnFrame(), 0);
    EXPECT_FALSE(b->isAnimating());
}

TEST_F(AnimButtonTest, BypassLoopsOverFramesOneToThirteenInAbout36Ticks)
{
    CK_AnimButton* b = button(kTagBypass, 14, 0.3333f, kStopOnOff + CK_AnimButton::kLoop);
    b->setValue(1.0f);
    ticks(40, *b); // the first sweep starts from frame 0
    std::vector<int> wraps;
    for (int i = 0, previous = b->drawnFrame(); i < 200; previous = b->drawnFrame(), ++i) {
        b->onFrameTick();
        EXPECT_GE(b->drawnFrame(), 1);
        if (b->drawnFrame() < previous)
            wraps.push_back(i);
    }
    ASSERT_GE(wraps.size(), 3u);
    for (size_t i = 1; i < wraps.size(); ++i)
        EXPECT_NEAR(wraps[i] - wraps[i - 1], 36, 1);
}

TEST_F(AnimButtonTest, ClipLampLightsAtOnceGoesOutAfterOneTickAndIgnoresTheMouse)
{
    CK_AnimButton* lamp = button(kTagClipLeft, 2, 1.0f, CK_AnimButton::kAtOnce, /*displayOnly*/ true);
    lamp->link(nullptr, CK_LinkedView::valueMessage(0, 1.0f));
    EXPECT_EQ(lamp->drawnFrame(), 1);
    lamp->link(nullptr, CK_LinkedView::valueMessage(0, 0.0f));
    EXPECT_EQ(lamp->drawnFrame(), 1);
    lamp->onFrameTick();
    EXPECT_EQ(lamp->drawnFrame(), 0);
    click({110, 105});
    EXPECT_TRUE(context.calls.empty());
}

TEST_F(AnimButtonTest, ClickTogglesTheParameterAsOneGesture)
{
    CK_AnimButton* b = button(kTagBassOn, 3, 0.08f, kStopOnOff + CK_AnimButton::kBounce);
    click({110, 105});
    EXPECT_TRUE(b->isAnimating());
    click({110, 105});
    EXPECT_EQ(b->getValue(), 0.0f);
    EXPECT_EQ(
        context.calls, (std::vector<std::string>{"begin 56", "set 56", "end 56", "begin 56", "set 56", "end 56"}));
}

} // namespace
} // namespace brelvik::editor::test
