// Helpers for driving the editor's controls in a frame: strip bitmaps, the real artwork, and a
// fake editor that keeps what reaches the effect in order.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/CK_LinkedView.h"
#include "editor/EditorTestSupport.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"

namespace brelvik::editor::test {

using BitmapRef = gui::SharedPointer<gui::CBitmap>;

// A strip of `frames` opaque frames, each `width` x `height`, whose top-left pixel is transparent.
inline BitmapRef stripBitmap(int width, int height, int frames)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height * frames), 0xFF808080u);
    for (int f = 0; f < frames; ++f)
        pixels[static_cast<size_t>(f * height * width)] = 0;
    return BitmapRef::adopt(gui::CBitmap::fromPixels(width, height * frames, std::move(pixels)));
}

// A bitmap of the generated artwork, or null when the artwork has not been drawn.
inline BitmapRef artwork(const std::string& name)
{
    std::ifstream file(std::string(BRELVIK_TEST_ARTWORK_DIR) + "/" + name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return BitmapRef::adopt(bytes.empty() ? nullptr : gui::CBitmap::fromPng(bytes.data(), bytes.size(), nullptr));
}

struct LinkRecorder : CK_LinkedView {
    void link(CK_LinkedView*, const CK_LinkMessage& m) override { got.push_back(m); }
    std::vector<CK_LinkMessage> got;
};

// What reaches the effect, in order: "begin 5", "set 5", "end 5".
class OrderedContext : public FakeEditorContext {
public:
    void valueChanged(gui::CControl* control) override
    {
        calls.push_back("set " + std::to_string(control->getTag()));
        FakeEditorContext::valueChanged(control);
    }
    void controlBeginEdit(gui::CControl* control) override
    {
        calls.push_back("begin " + std::to_string(control->getTag()));
        FakeEditorContext::controlBeginEdit(control);
    }
    void controlEndEdit(gui::CControl* control) override
    {
        calls.push_back("end " + std::to_string(control->getTag()));
        FakeEditorContext::controlEndEdit(control);
    }
    std::vector<std::string> calls;
};

class ControlTest : public ::testing::Test {
protected:
    template <typename View> View* add(View* view)
    {
        frame.addView(view);
        return view;
    }
    void ticks(int n, gui::CView& view)
    {
        for (int i = 0; i < n; ++i)
            view.onFrameTick();
    }
    void click(const gui::CPoint& at)
    {
        frame.mouseDown(at, gui::kLButton);
        frame.mouseUp(at, 0);
    }
    float lastAutomated() const { return context.effect.automated.back().second; }

    OrderedContext context;
    gui::CFrame frame{400, 300};
};

} // namespace brelvik::editor::test
