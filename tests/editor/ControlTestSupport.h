// Helpers for driving the editor's controls in a frame: synthetic strip bitmaps and the real artwork.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/EditorTestSupport.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"

namespace brelvik::editor::test {

// Holds the caller's reference to a bitmap for the length of a test.
class BitmapRef {
public:
    explicit BitmapRef(gui::CBitmap* bitmap) : bitmap_(bitmap) { }
    ~BitmapRef()
    {
        if (bitmap_)
            bitmap_->forget();
    }
    BitmapRef(const BitmapRef&) = delete;
    BitmapRef& operator=(const BitmapRef&) = delete;
    gui::CBitmap* get() const { return bitmap_; }
    gui::CBitmap& operator*() const { return *bitmap_; }

private:
    gui::CBitmap* bitmap_;
};

// A strip of `frames` opaque frames, each `width` x `height`, whose top-left pixel is transparent.
inline gui::CBitmap* stripBitmap(int width, int height, int frames)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height * frames), 0xFF808080u);
    for (int f = 0; f < frames; ++f)
        pixels[static_cast<size_t>(f * height * width)] = 0;
    return gui::CBitmap::fromPixels(width, height * frames, std::move(pixels));
}

// A bitmap of the generated artwork, or null when the artwork has not been drawn.
inline gui::CBitmap* artwork(const std::string& name)
{
    std::ifstream file(std::string(BRELVIK_TEST_ARTWORK_DIR) + "/" + name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return bytes.empty() ? nullptr : gui::CBitmap::fromPng(bytes.data(), bytes.size(), nullptr);
}

// The fake editor, also keeping what reaches the effect in order: "begin 5", "set 5", "end 5".
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

// A frame with the fake editor behind its controls.
class ControlTest : public ::testing::Test {
protected:
    // Adds `view` to the frame and answers it.
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
    void click(const gui::CPoint& at, uint32_t buttons = gui::kLButton)
    {
        frame.mouseDown(at, buttons);
        frame.mouseUp(at, buttons);
    }
    float lastAutomated() const
    {
        return context.effect.automated.empty() ? -1.0f : context.effect.automated.back().second;
    }

    OrderedContext context;
    gui::CFrame frame{400, 300};
};

} // namespace brelvik::editor::test
