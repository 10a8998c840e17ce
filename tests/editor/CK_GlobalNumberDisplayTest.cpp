// The global name and value displays: what they show for the presented parameter, typed values,
// and clearing while the editor opens or a program loads.
#include <gtest/gtest.h>

#include "editor/CK_GlobalDisplays.h"
#include "tests/editor/TextViewTestSupport.h"

namespace brelvik::editor::test {
namespace {

using Edit = std::pair<int32_t, bool>;

class GlobalDisplays : public TextViewTest {
protected:
    void presentLowThreshold()
    {
        context.effect.values[kTagLowThreshold] = 0.75f;
        presentInGlobalDisplays(context, kTagLowThreshold, 0.75f);
        tick();
    }
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
    EXPECT_FLOAT_EQ(context.effect.automated[0].second, 0.7f);
    EXPECT_EQ(context.effect.edits, (std::vector<Edit>{{kTagLowThreshold, true}, {kTagLowThreshold, false}}));
    EXPECT_EQ(number->getText(), "-12.00");

    for (const char* bad : {"-50", "12a", "1.2.3", "-", ""}) {
        type(*number, bad);
        tick();
        EXPECT_EQ(number->getText(), "-12.00") << '"' << bad << '"';
    }
    EXPECT_EQ(context.effect.automated.size(), 1u);
    EXPECT_EQ(context.effect.edits.size(), 2u);
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
