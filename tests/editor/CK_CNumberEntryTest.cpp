// Number entries: the decimals of each type, typed values, and the peak read-out as a display that
// fits its field and never sends anything back.
#include <gtest/gtest.h>

#include "tests/editor/TextViewTestSupport.h"

namespace brelvik::editor::test {
namespace {

using Edit = std::pair<int32_t, bool>;

class NumberEntry : public TextViewTest {
protected:
    CK_CNumberEntry* entry(int16_t type, int16_t tag = kTagLowThreshold)
    {
        CK_LayoutState state;
        state.textWidth = 60;
        state.textHeight = 14;
        state.font = &readoutFont;
        return add<CK_CNumberEntry>(record(tag, type, 10, 10), state);
    }
};

TEST_F(NumberEntry, EachTypeShowsItsDecimalsAndFromType35IsReadOnly)
{
    const char* expected[] = {"-10", "-10.0", "-9.99", "-9.988", "-9.9880"};
    for (int16_t type = ControlType::kReadoutFirst; type <= ControlType::kReadoutLast; ++type) {
        CK_CNumberEntry* view = entry(type);
        view->setValue(0.7503f); // -9.988 dB
        tick();
        EXPECT_EQ(view->getText(), expected[(type - ControlType::kReadoutFirst) % 5]) << "type " << type;
        EXPECT_EQ(view->isReadOnly(), type >= 35) << "type " << type;
    }
}

TEST_F(NumberEntry, TypedValueIsOneEditOfItsParameterAndRightClickOpensMidiLearn)
{
    CK_CNumberEntry* view = entry(32);
    view->setValue(0.75f);
    tick();
    type(*view, "-12");
    ASSERT_EQ(context.effect.automated.size(), 1u);
    EXPECT_FLOAT_EQ(context.effect.automated[0].second, 0.7f);
    EXPECT_EQ(context.effect.edits, (std::vector<Edit>{{kTagLowThreshold, true}, {kTagLowThreshold, false}}));
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

    const gui::CRect r = readout->getFrameRect();
    frame.mouseMoved({r.left + 2, r.top + 2}, 0);
    frame.mouseDown({r.left + 2, r.top + 2}, gui::kLButton);
    frame.mouseDown({r.left + 2, r.top + 2}, gui::kRButton);
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
    const gui::PixelBuffer silence = gui::CFrame::renderView(*readout);

    CK_LayoutState state;
    state.textWidth = 26;
    state.textHeight = 10;
    state.fontColour = {0, 255, 255, 200};
    state.backColour = state.frameColour = gui::kTransparentCColor;
    state.font = &readoutFont;
    CK_CNumberEntry* whole = add<CK_CNumberEntry>(record(kTagPeakReadout, 35, 1037, 140), state);
    whole->setValue(-180.0f);
    tick();
    EXPECT_EQ(whole->getText(), "-180");
    const gui::PixelBuffer expected = gui::CFrame::renderView(*whole);
    EXPECT_EQ(silence.pixels, expected.pixels);
}

} // namespace
} // namespace brelvik::editor::test
