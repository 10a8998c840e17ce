// The control factory: records make the controls the layout describes, at the sizes their bitmaps
// give; and the controls drawn with the real artwork.
#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_AnimButton.h"
#include "editor/controls/CK_FloatStore.h"
#include "editor/controls/CK_Knob.h"
#include "editor/controls/CK_OptionsImage.h"
#include "editor/ViewFactories.h"
#include "shell/ControlTypes.h"

namespace brelvik::editor::test {
namespace {

namespace Type = ControlType;

CK_ControlRecord record(int tag, int type, int x, int y, const char* choices = nullptr)
{
    return {static_cast<int16_t>(tag), 0, static_cast<int16_t>(type), 0, static_cast<int16_t>(x),
        static_cast<int16_t>(y), 0, "art.png", 0.0f, 1.0f, "name", choices, nullptr};
}

class ControlViewsTest : public ControlTest {
protected:
    gui::CView* create(const CK_ControlRecord& r, gui::CBitmap* bitmap)
    {
        gui::CView* view = createControlView(r, state, context, bitmap);
        if (view)
            frame.addView(view);
        return view;
    }
    CK_LayoutState state;
};

TEST_F(ControlViewsTest, RecordsMakeTheirControlsAtTheSizesOfTheirBitmaps)
{
    BitmapRef knobL = stripBitmap(64, 64, 101);
    auto* knob = dynamic_cast<CK_Knob*>(create(record(kTagMasterGain, Type::kKnob, 962, 92), knobL.get()));
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(knob->getViewSize(), gui::CRect::fromSize(962, 92, 64, 64));
    EXPECT_EQ(knob->getFrameCount(), 101);

    BitmapRef led = stripBitmap(40, 17, 3);
    state.animFrames = 3;
    state.animValue = 0.08f;
    state.animStyleHigh = -1;
    auto* button = dynamic_cast<CK_AnimButton*>(create(record(kTagBassOn, Type::kLedSwitch, 614, 152), led.get()));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->getViewSize(), gui::CRect::fromSize(614, 152, 40, 17));

    BitmapRef twoStates = stripBitmap(38, 36, 2);
    EXPECT_EQ(create(record(kTagHeadphone, Type::kOnOff, 812, 117), twoStates.get())->getViewSize(),
        gui::CRect::fromSize(812, 117, 38, 36));

    BitmapRef options = stripBitmap(54, 25, 2);
    state.animFrames = 0;
    auto* menu = create(record(kTagMetering, Type::kImageMenu, 111, 39, "Peak,RMS,"), options.get());
    ASSERT_NE(dynamic_cast<CK_COptionsImage*>(menu), nullptr);
    EXPECT_EQ(menu->getViewSize(), gui::CRect::fromSize(111, 39, 54, 25));

    EXPECT_NE(
        dynamic_cast<CK_GUI_Float_Store*>(create(record(kTagEq1Freq, Type::kStore, -100, -100), nullptr)), nullptr);
    EXPECT_EQ(create(record(kTagMasterGain, Type::kKnob, 0, 0), nullptr), nullptr);     // no bitmap, no knob
    EXPECT_EQ(create(record(kTagPeakReadout, Type::kReadout, 0, 0), nullptr), nullptr); // not a control of ours
}

// Draws the controls with the real artwork in a few states; the picture is kept for review.
TEST_F(ControlViewsTest, RealArtworkDrawsEachStateDifferently)
{
    const char* names[] = {"KnobL.png", "Spkr_Hp.png", "PeakRMS.png", "LowBut.png", "Led_OnOff.png", "KnobS.png"};
    std::vector<BitmapRef> art;
    for (const char* name : names)
        if (!art.emplace_back(artwork(name)))
            GTEST_SKIP() << name << " has not been drawn (build the brelvik-artwork target)";
    const int types[] = {Type::kKnob, Type::kOnOff, Type::kImageMenu, Type::kExclusive, Type::kLedSwitch};
    const int tags[] = {kTagMasterGain, kTagHeadphone, kTagMetering, kTagLowBandButton, kTagBassOn};
    state.animValue = 0.08f;
    state.animStyleHigh = -1;
    frame.setBackgroundColor({30, 34, 40, 255});
    std::vector<gui::CControl*> off, on;
    for (int i = 0; i < 5; ++i) {
        state.animFrames = types[i] == Type::kLedSwitch ? 3 : 0;
        off.push_back(
            static_cast<gui::CControl*>(create(record(tags[i], types[i], 10 + 75 * i, 10, "Peak,RMS,"), art[i].get())));
        on.push_back(
            static_cast<gui::CControl*>(create(record(tags[i], types[i], 10 + 75 * i, 90, "Peak,RMS,"), art[i].get())));
        on.back()->setValue(1.0f);
    }
    auto* curved
        = static_cast<gui::CControl*>(create(record(kTagSensitivity, Type::kCurvedKnob, 10, 170), art[5].get()));
    curved->setValue(0.5f);
    for (int t = 0; t < 60; ++t)
        frame.forEachChild([](gui::CView& v) { v.onFrameTick(); });
    const std::string path = ::testing::TempDir() + "controls-strip.png";
    ASSERT_TRUE(frame.renderToPng(path, nullptr));
    std::cout << "controls drawn to " << path << "\n";
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(gui::CFrame::renderView(*off[i]).pixels, gui::CFrame::renderView(*on[i]).pixels) << names[i];
}

} // namespace
} // namespace brelvik::editor::test
