// A window with the two global displays and the peak read-out placed and styled as the control
// table places them, and typing through the frame's key entry point.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "editor/text/CK_CNumberEntry.h"
#include "editor/text/CK_GlobalNameDisplay.h"
#include "editor/text/CK_GlobalNumberDisplay.h"
#include "editor/text/TextViews.h"
#include "gui/CFrame.h"
#include "shell/ControlTypes.h"
#include "tests/editor/EditorTestSupport.h"

namespace brelvik::editor::test {

class TextViewTest : public ::testing::Test {
protected:
    TextViewTest()
    {
        CK_LayoutState state;
        state.textWidth = 214;
        state.textHeight = 26;
        state.fontColour = {117, 161, 204, 128};
        state.backColour = {0, 0, 0, 0};
        state.frameColour = {255, 255, 255, 0};
        state.font = &displayFont;
        number = add<CK_GlobalNumberDisplay>(record(kTagGlobalValue, ControlType::kGlobalValue, 814, 53), state);
        name = add<CK_GlobalNameDisplay>(record(kTagGlobalName, ControlType::kGlobalName, 814, 25), state);
        state.textWidth = 26;
        state.textHeight = 10;
        state.fontColour = {0, 255, 255, 200};
        state.font = &readoutFont;
        readout = add<CK_CNumberEntry>(record(kTagPeakReadout, ControlType::kReadout, 1037, 158), state);
    }

    static CK_ControlRecord record(int16_t tag, int16_t type, int16_t x, int16_t y)
    {
        CK_ControlRecord r{};
        r.parameter = tag;
        r.type = type;
        r.x = x;
        r.y = y;
        return r;
    }

    template <typename View> View* add(const CK_ControlRecord& r, const CK_LayoutState& state)
    {
        auto* view = dynamic_cast<View*>(createTextView(r, state, context, nullptr));
        frame.addView(view);
        context.setControl(r.parameter, view);
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
        frame.mouseUp({r.left + 3, r.top + 3}, 0);
        for (int i = 0; i < 16; ++i)
            frame.keyDown({0, gui::CVirtualKey::kBackspace, 0});
        for (char c : text)
            frame.keyDown({static_cast<uint32_t>(c), gui::CVirtualKey::kNone, 0});
        frame.keyDown({0, gui::CVirtualKey::kEnter, 0});
    }

    gui::CFontDesc displayFont{"Arial", 24};
    gui::CFontDesc readoutFont{"Arial", 9};
    FakeEditorContext context;
    gui::CFrame frame{1100, 176};
    CK_GlobalNumberDisplay* number = nullptr;
    CK_GlobalNameDisplay* name = nullptr;
    CK_CNumberEntry* readout = nullptr;
};

} // namespace brelvik::editor::test
