// The control factory: records make the controls the layout describes, at the sizes their bitmaps
// give; and the controls drawn with the real artwork.
#include "editor/ControlTestSupport.h"
#include "editor/controls/CK_AnimButton.h"
#include "editor/controls/CK_ExclusiveButton.h"
#include "editor/controls/CK_FloatStore.h"
#include "editor/controls/CK_Knob.h"
#include "editor/controls/CK_OnOffButton.h"
#include "editor/controls/CK_OptionsImage.h"
#include "editor/controls/ControlViews.h"
#include "gui/CDrawContext.h"
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
    BitmapRef knobL{stripBitmap(64, 64, 101)};
    auto* knob = dynamic_cast<CK_Knob*>(create(record(kTagMasterGain, Type::kKnob, 962, 92), knobL.get()));
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(knob->getViewSize(), gui::CRect::fromSize(962, 92, 64, 64));
    EXPECT_EQ(knob->getFrameCount(), 101);

    BitmapRef led{stripBitmap(40, 17, 3)};
    state.animFrames = 3;
    state.animValue = 0.08f;
    state.animStyleHigh = -1;
    auto* button = dynamic_cast<CK_AnimButton*>(create(record(kTagBassOn, Type::kLedSwitch, 614, 152), led.get()));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->getViewSize(), gui::CRect::fromSize(614, 152, 40, 17));
    button->setValue(1.0f);
    button->setValue(0.0f);
    EXPECT_EQ(button->drawnFrame(), 0); // stop-on-off from the settings record's -1

    BitmapRef twoStates{stripBitmap(38, 36, 2)};
    EXPECT_EQ(create(record(kTagHeadphone, Type::kOnOff, 812, 117), twoStates.get())->getViewSize(),
        gui::CRect::fromSize(812, 117, 38, 36));
    EXPECT_NE(
        dynamic_cast<CK_ExclusiveButton*>(create(record(kTagLowBandButton, Type::kExclusive, 0, 0), twoStates.get())),
        nullptr);

    BitmapRef options{stripBitmap(54, 25, 2)};
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
    BitmapRef knobL{artwork("KnobL.png")}, knobS{artwork("KnobS.png")}, led{artwork("Led_OnOff.png")},
        bypass{artwork("Bypass.png")}, speaker{artwork("Spkr_Hp.png")}, peak{artwork("PeakRMS.png")},
        page{artwork("LowBut.png")};
    if (!knobL.get() || !knobS.get() || !led.get() || !bypass.get() || !speaker.get() || !peak.get() || !page.get())
        GTEST_SKIP() << "the artwork has not been drawn (build the brelvik-artwork target)";
    frame.setBackgroundColor({30, 34, 40, 255});
    gui::CView* views[] = {
        create(record(kTagMasterGain, Type::kKnob, 10, 10), knobL.get()),
        create(record(kTagMasterGain, Type::kKnob, 80, 10), knobL.get()),
        create(record(kTagMasterGain, Type::kKnob, 150, 10), knobL.get()),
        create(record(kTagSensitivity, Type::kCurvedKnob, 220, 20), knobS.get()),
        create(record(kTagHeadphone, Type::kOnOff, 270, 10), speaker.get()),
        create(record(kTagHeadphone, Type::kOnOff, 320, 10), speaker.get()),
        create(record(kTagMetering, Type::kImageMenu, 10, 90, "Peak,RMS,"), peak.get()),
        create(record(kTagMetering, Type::kImageMenu, 70, 90, "Peak,RMS,"), peak.get()),
        create(record(kTagLowBandButton, Type::kExclusive, 130, 90), page.get()),
        create(record(kTagLowBandButton, Type::kExclusive, 190, 90), page.get()),
    };
    state.animFrames = 3;
    state.animValue = 0.08f;
    state.animStyleHigh = -1;
    gui::CView* ledOff = create(record(kTagBassOn, Type::kLedSwitch, 250, 100), led.get());
    gui::CView* ledOn = create(record(kTagBassOn, Type::kLedSwitch, 300, 100), led.get());
    state.animFrames = 14;
    state.animValue = 0.3333f;
    gui::CView* loop = create(record(kTagBypass, Type::kLoopSwitch, 350, 90), bypass.get());
    for (gui::CView* v : views)
        ASSERT_NE(v, nullptr);
    const float values[] = {0.0f, 0.5f, 1.0f, 0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f};
    for (int i = 0; i < 10; ++i)
        static_cast<gui::CControl*>(views[i])->setValue(values[i]);
    static_cast<gui::CControl*>(ledOn)->setValue(1.0f);
    static_cast<gui::CControl*>(loop)->setValue(1.0f);
    for (int t = 0; t < 60; ++t) {
        for (gui::CView* v : views)
            v->onFrameTick();
        ledOn->onFrameTick();
        loop->onFrameTick();
    }
    ledOff->onFrameTick();
    const std::string path = ::testing::TempDir() + "controls-strip.png";
    ASSERT_TRUE(frame.renderToPng(path, nullptr));
    std::cout << "controls drawn to " << path << "\n";

    auto differ = [](gui::CView& a, gui::CView& b) {
        return gui::CFrame::renderView(a).pixels != gui::CFrame::renderView(b).pixels;
    };
    EXPECT_TRUE(differ(*views[0], *views[2]));
    EXPECT_TRUE(differ(*views[4], *views[5]));
    EXPECT_TRUE(differ(*views[6], *views[7]));
    EXPECT_TRUE(differ(*views[8], *views[9]));
    EXPECT_TRUE(differ(*ledOff, *ledOn));
}

} // namespace
} // namespace brelvik::editor::test
