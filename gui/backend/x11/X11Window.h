#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "gui/backend/PlatformWindow.h"

namespace brelvik::gui {

// A child window of a host's X11 window, on a Display connection of our own (never the host's).
// Errors on that connection are counted and absorbed instead of reaching Xlib's default handler,
// which would end the host; a parent destroyed by the host leaves the window closed. The window
// keeps the frame's size and never follows the parent's.
class X11Window : public PlatformWindow {
public:
    X11Window(CFrame& frame) : frame_(frame) { }
    ~X11Window() override;

    bool open(::Window parent, std::string* error);

    bool isOpen() const override { return window_ != 0 && !broken_; }
    void present(const PixelBuffer& buffer, const CRect& area) override;
    void pump() override;
    void sync() override;
    uintptr_t nativeHandle() const override { return window_; }
    int errorCount() const override { return errors_; }

    Display* display() const { return display_; }
    void countError() { ++errors_; }
    void markBroken() { broken_ = true; }

private:
    void handle(XEvent& event);
    void release();

    CFrame& frame_;
    Display* display_ = nullptr;
    ::Window window_ = 0;
    Colormap colormap_ = 0;
    GC gc_ = nullptr;
    XImage* image_ = nullptr;
    int errors_ = 0;
    bool broken_ = false;
    Time lastPressTime_ = 0;
    unsigned lastPressButton_ = 0;
    CPoint lastPressPoint_;
};

} // namespace brelvik::gui
