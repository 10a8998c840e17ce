// The global name and value displays: what they show for the presented parameter, typed values,
// and clearing while the editor opens or a program loads.
#include <gtest/gtest.h>

#include "editor/CK_GlobalDisplays.h"
#include "tests/editor/TextViewTestSupport.h"

namespace brelvik::editor::test {
namespace {

class GlobalDisplays : public TextViewTest {
protected:
    void presentLowThreshold()
    {
        presentInGlobalDisplays(context, kTagLowThreshold, 0.75f);
        tick();
    }
    float lastAutomated() const { return context.effect.automated.back().second; }
};

TEST_F(GlobalDisplays, ShowTheNameAndPlainValueOfThePresentedParameter)
{
    EXPECT_EQ(context.effect.valueDisplayTag, kTagGlobalValue);
    EXPECT_EQ(context.effect.nameDisplayTag, kTagGlobalName);
    EXPECT_EQ(number->getText(), "");
    EXPECT_EQ(name->getDisplayText(), "");

    presentLowThreshold();
    EXPECT_EQ(name->getDisplayText(), "Low Thresh dB");
    EXPECT_EQ(number->getText(), "-10.00");
    EXPECT_EQ(context.effect.shownTag(), kTagLowThreshold);

    forwardToGlobalValue(context, kTagLowThreshold, 1.0f);
    forwardToGlobalValue(context, kTagLowRatio, 0.0f); // not shown: ignored
    tick();
    EXPECT_EQ(number->getText(), "0.00");
}

TEST_F(GlobalDisplays, TypedValueIsOneEditAndBadOrEmptyTextKeepsThePreviousValue)
{
    presentLowThreshold();
    type(*number, "-12");
    ASSERT_EQ(context.effect.automated.size(), 1u);
    EXPECT_EQ(context.effect.automated[0].first, kTagLowThreshold);
    EXPECT_FLOAT_EQ(lastAutomated(), 0.7f);
    EXPECT_EQ(context.effect.edits,
        (std::vector<std::pair<int32_t, bool>>{{kTagLowThreshold, true}, {kTagLowThreshold, false}}));
    EXPECT_EQ(number->getText(), "-12.00");

    // Range -40 .. 0 dB; a plus sign may follow the minus sign.
    for (const char* bad : {"-50", "-40.01", "0.01", "12a", "1.2.3", "1e1", "+-1", "-", ".", ""}) {
        type(*number, bad);
        tick();
        EXPECT_EQ(number->getText(), "-12.00") << '"' << bad << '"';
    }
    EXPECT_EQ(context.effect.automated.size(), 1u);
    EXPECT_EQ(context.effect.edits.size(), 2u);
    type(*number, "-+20");
    EXPECT_FLOAT_EQ(lastAutomated(), 0.5f);
    type(*number, " +0 ");
    EXPECT_FLOAT_EQ(lastAutomated(), 1.0f);

    // The typed value goes to the parameter shown when typing began, even if the mouse has
    // presented another one since.
    frame.mouseDown({820, 60}, gui::kLButton);
    presentInGlobalDisplays(context, kTagMasterGain, 0.5f);
    frame.keyDown({0, gui::CVirtualKey::kBackspace, 0}); // "0.0"
    frame.keyDown({0, gui::CVirtualKey::kEnter, 0});
    EXPECT_EQ(context.effect.automated.back().first, kTagLowThreshold);
    tick();
    EXPECT_EQ(name->getDisplayText(), "Master Gain dB");
}

TEST_F(GlobalDisplays, ClearWhileTheEditorOpensOrAProgramLoads)
{
    for (bool opening : {true, false}) {
        presentLowThreshold();
        context.effect.opening = opening;
        context.applyingProgramLoad = !opening;
        forwardToGlobalValue(context, kTagLowThreshold, 0.5f);
        context.effect.opening = false;
        context.applyingProgramLoad = false;
        tick();
        EXPECT_EQ(number->getText(), "");
        EXPECT_EQ(number->getShownTag(), 0);
        EXPECT_EQ(name->getDisplayText(), "");

        // Nothing is shown, so nothing can be typed, until the next presentation.
        type(*number, "-12");
        EXPECT_TRUE(context.effect.automated.empty());
        number->setValue(0.25f);
        tick();
        EXPECT_EQ(number->getText(), "");
    }
}

} // namespace
} // namespace brelvik::editor::test
