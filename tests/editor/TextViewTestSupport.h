// A window with the two global displays and the peak read-out placed and styled as the control
// table places them, and typing through the frame's key entry point.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "editor/text/CK_CNumberEntry.h"
#include "editor/text/CK_GlobalNameDisplay.h"
#include "editor/text/CK_GlobalNumberDisplay.h"
#include "editor/ViewFactories.h"
#include "gui/CFrame.h"
#include "shell/ControlTypes.h"
#include "tests/editor/EditorTestSupport.h"

namespace brelvik::editor::test {

class TextViewTest : public ::testing::Test {
protected:
    TextViewTest()
    {
        number = add<CK_GlobalNumberDisplay>(kTagGlobalValue, ControlType::kGlobalValue, {814, 53}, displays);
        name = add<CK_GlobalNameDisplay>(kTagGlobalName, ControlType::kGlobalName, {814, 25}, displays);
        readout = add<CK_CNumberEntry>(kTagPeakReadout, ControlType::kReadout, {1037, 158}, readouts);
    }

    static CK_LayoutState textStyle(int width, int height, gui::CColor colour, const gui::CFontDesc& font)
    {
        CK_LayoutState state;
        state.textWidth = width;
        state.textHeight = height;
        state.fontColour = colour;
        state.backColour = state.frameColour = gui::kTransparentCColor;
        state.font = &font;
        return state;
    }

    template <typename View> View* add(int16_t tag, int16_t type, gui::CPoint where, const CK_LayoutState& state)
    {
        CK_ControlRecord r{};
        r.parameter = tag;
        r.type = type;
        r.x = static_cast<int16_t>(where.x);
        r.y = static_cast<int16_t>(where.y);
        auto* view = dynamic_cast<View*>(createTextView(r, state, context, nullptr));
        frame.addView(view);
        context.setControl(tag, view);
        return view;
    }

    // One frame-timer tick: every control, as the editor calls them.
    void tick()
    {
        for (gui::CView* view : context.controls)
            if (view)
                view->onFrameTick();
    }

    // Clicks the field, replaces its text with `text` and presses Enter.
    void type(gui::CView& field, const std::string& text)
    {
        const gui::CRect r = field.getFrameRect();
        frame.mouseDown({r.left + 3, r.top + 3}, gui::kLButton);
        for (int i = 0; i < 16; ++i)
            frame.keyDown({0, gui::CVirtualKey::kBackspace, 0});
        for (char c : text)
            frame.keyDown({static_cast<uint32_t>(c), gui::CVirtualKey::kNone, 0});
        frame.keyDown({0, gui::CVirtualKey::kEnter, 0});
    }

    gui::CFontDesc displayFont{"Arial", 24};
    gui::CFontDesc readoutFont{"Arial", 9};
    CK_LayoutState displays = textStyle(214, 26, {117, 161, 204, 128}, displayFont);
    CK_LayoutState readouts = textStyle(26, 10, {0, 255, 255, 200}, readoutFont);
    FakeEditorContext context;
    gui::CFrame frame{1100, 176};
    CK_GlobalNumberDisplay* number = nullptr;
    CK_GlobalNameDisplay* name = nullptr;
    CK_CNumberEntry* readout = nullptr;
};

} // namespace brelvik::editor::test
