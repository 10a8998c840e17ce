// Number entries: the decimals of each type, typed values, and the peak read-out as a display that
// fits its field and never sends anything back.
#include <gtest/gtest.h>

#include "tests/editor/TextViewTestSupport.h"

namespace brelvik::editor::test {
namespace {

using NumberEntry = TextViewTest;

TEST_F(NumberEntry, EachTypeShowsItsDecimalsAndFromType35IsReadOnly)
{
    const char* expected[] = {"-10", "-10.0", "-9.99", "-9.988", "-9.9880"};
    for (int16_t type = ControlType::kReadoutFirst; type <= ControlType::kReadoutLast; ++type) {
        auto* view = add<CK_CNumberEntry>(kTagLowThreshold, type, {10, 10}, readouts);
        view->setValue(0.7503f); // -9.988 dB
        tick();
        EXPECT_EQ(view->getText(), expected[(type - ControlType::kReadoutFirst) % 5]) << "type " << type;
        EXPECT_EQ(view->isReadOnly(), type >= 35) << "type " << type;
    }
}

TEST_F(NumberEntry, TypedValueIsOneEditOfItsParameterAndRightClickOpensMidiLearn)
{
    auto* view = add<CK_CNumberEntry>(kTagLowThreshold, 32, {10, 10}, textStyle(60, 14, {}, readoutFont));
    view->setValue(0.75f);
    tick();
    type(*view, "-12");
    ASSERT_EQ(context.effect.automated.size(), 1u);
    EXPECT_FLOAT_EQ(context.effect.automated[0].second, 0.7f);
    EXPECT_EQ(context.effect.edits,
        (std::vector<std::pair<int32_t, bool>>{{kTagLowThreshold, true}, {kTagLowThreshold, false}}));
    EXPECT_EQ(view->getText(), "-12.00");
    EXPECT_EQ(context.effect.shownTag(), kTagLowThreshold); // a click presents it

    type(*view, "-50");
    EXPECT_EQ(view->getText(), "-12.00");
    EXPECT_EQ(context.effect.automated.size(), 1u);

    frame.mouseDown({15, 15}, gui::kRButton);
    ASSERT_EQ(context.midiLearnRequests.size(), 1u);
    EXPECT_EQ(context.midiLearnRequests[0].first, kTagLowThreshold);
}

TEST_F(NumberEntry, PeakReadoutShowsTheProcessingSideValueAndSendsNothingBack)
{
    tick();
    EXPECT_EQ(readout->getText(), ""); // no reading yet
    readout->link(nullptr, CK_LinkedView::valueMessage(0, -3.27f));
    tick();
    EXPECT_EQ(readout->getText(), "-3.3");

    const gui::CPoint inside{1040, 160};
    frame.mouseMoved(inside, 0);
    frame.mouseDown(inside, gui::kLButton);
    frame.mouseDown(inside, gui::kRButton);
    EXPECT_FALSE(readout->isEditingText());
    EXPECT_EQ(context.effect.shownTag(), -1);
    EXPECT_TRUE(context.effect.automated.empty());
    EXPECT_TRUE(context.effect.edits.empty());
    EXPECT_TRUE(context.midiLearnRequests.empty());
}

// Silence reads -180.0 dB, which fills the 26 px field at 9 px to its edges: it shows without its
// decimal.
TEST_F(NumberEntry, ReadingTooWideForTheReadoutDropsItsDecimals)
{
    ASSERT_GT(frame.getDrawContext().textWidth("-180.0", readoutFont), readout->getWidth() - 2);
    readout->link(nullptr, CK_LinkedView::valueMessage(0, -180.0f));
    tick();
    auto* whole = add<CK_CNumberEntry>(kTagPeakReadout, 35, {1037, 140}, readouts);
    whole->setValue(-180.0f);
    tick();
    EXPECT_EQ(whole->getText(), "-180");
    EXPECT_EQ(gui::CFrame::renderView(*readout).pixels, gui::CFrame::renderView(*whole).pixels);
}

} // namespace
} // namespace brelvik::editor::test
