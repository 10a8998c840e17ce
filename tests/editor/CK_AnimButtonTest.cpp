// Animated buttons: the frame rule, LED switches that pulse, the bypass loop, clip lamps.
#include <memory>

#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_AnimButton.h"

namespace brelvik::editor::test {
namespace {

constexpr int kStopOnOff = -1 * 256; // the high byte a settings record with parameter -1 gives

class AnimButtonTest : public ControlTest {
protected:
    CK_AnimButton* button(int tag, int frames, float animValue, int style, bool displayOnly = false)
    {
        bitmaps.emplace_back(std::make_unique<BitmapRef>(stripBitmap(20, 10, frames)));
        return add(new CK_AnimButton(gui::CRect::fromSize(100, 100, 20, 10), context, tag, frames, 10,
            bitmaps.back()->get(), animValue, style, displayOnly));
    }
    std::vector<std::unique_ptr<BitmapRef>> bitmaps;
};

TEST_F(AnimButtonTest, FrameIsTheRoundedShareOfTheStrip)
{
    CK_AnimButton* b = button(kTagBassOn, 7, 0.24f, kStopOnOff + CK_AnimButton::kSweep);
    b->setValue(1.0f);
    for (int i = 0; i < 30; ++i) {
        b->onFrameTick();
        EXPECT_EQ(b->drawnFrame(), static_cast<int>(6 * b->getPhase() + 0.5f));
    }
    EXPECT_EQ(b->drawnFrame(), 6);
    EXPECT_FALSE(b->isAnimating());
}

TEST_F(AnimButtonTest, LedSwitchPulsesWhileOnAndShowsFrameZeroAtOnceWhenOff)
{
    CK_AnimButton* b = button(kTagLowActive, 7, 0.24f, kStopOnOff + CK_AnimButton::kBounce);
    b->setValue(1.0f);
    int lowest = 6, highest = 0, turns = 0, previous = 0;
    bool rising = true;
    for (int i = 0; i < 200; ++i) {
        b->onFrameTick();
        const int f = b->drawnFrame();
        if (i > 30) // once up to full brightness it stays between frame 1 and the last
            lowest = std::min(lowest, f);
        highest = std::max(highest, f);
        if ((f < previous && rising) || (f > previous && !rising)) {
            rising = !rising;
            ++turns;
        }
        previous = f;
    }
    EXPECT_EQ(highest, 6);
    EXPECT_EQ(lowest, 1);
    EXPECT_GT(turns, 5);
    b->setValue(0.0f);
    EXPECT_EQ(b->drawnFrame(), 0);
    EXPECT_FALSE(b->isAnimating());
    b->setValue(1.0f);
    b->onFrameTick();
    EXPECT_TRUE(b->isAnimating());
}

TEST_F(AnimButtonTest, RepeatedOnValuesDoNotRestartThePulse)
{
    CK_AnimButton* b = button(kTagLowActive, 7, 0.24f, kStopOnOff + CK_AnimButton::kBounce);
    b->setValue(1.0f);
    ticks(20, *b);
    const float phase = b->getPhase();
    b->setValue(1.0f);
    EXPECT_EQ(b->getPhase(), phase);
}

TEST_F(AnimButtonTest, BypassLoopsOverFramesOneToThirteenInAbout36Ticks)
{
    CK_AnimButton* b = button(kTagBypass, 14, 0.3333f, kStopOnOff + CK_AnimButton::kLoop);
    b->setValue(1.0f);
    ticks(40, *b); // the first sweep starts from frame 0
    std::vector<int> wraps;
    int previous = b->drawnFrame();
    for (int i = 0; i < 200; ++i) {
        b->onFrameTick();
        const int f = b->drawnFrame();
        EXPECT_GE(f, 1);
        if (f < previous)
            wraps.push_back(i);
        previous = f;
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
    EXPECT_EQ(lamp->getValue(), 0.0f);
    EXPECT_TRUE(context.calls.empty());
}

TEST_F(AnimButtonTest, ClickTogglesTheParameterAsOneGesture)
{
    CK_AnimButton* b = button(kTagBassOn, 3, 0.08f, kStopOnOff + CK_AnimButton::kBounce);
    click({110, 105});
    EXPECT_EQ(b->getValue(), 1.0f);
    EXPECT_TRUE(b->isAnimating());
    click({110, 105});
    EXPECT_EQ(b->getValue(), 0.0f);
    const std::vector<std::string> expected{"begin 56", "set 56", "end 56", "begin 56", "set 56", "end 56"};
    EXPECT_EQ(context.calls, expected);
    frame.mouseDown({110, 105}, gui::kRButton);
    EXPECT_EQ(context.midiLearnRequests.size(), 1u);
}

} // namespace
} // namespace brelvik::editor::test
