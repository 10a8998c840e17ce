#pragma once

#include <windows.h>

#include "gui/backend/PlatformWindow.h"

namespace brelvik::gui {

// A child window of a host's window. It paints the frame's back buffer and hands mouse and keyboard
// messages to the frame's event entry points. The host's message loop drives it; a timer the editor
// sets on nativeHandle() with a TIMERPROC runs from that loop too. A parent destroyed by the host
// leaves the window closed. The window keeps the frame's size and never follows the parent's.
class Win32Window : public PlatformWindow {
public:
    explicit Win32Window(CFrame& frame) : frame_(frame) { }
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    bool open(HWND parent, std::string* error);

    bool isOpen() const override { return hwnd_ != nullptr; }
    void present(const PixelBuffer& buffer, const CRect& area) override;
    void pump() override;
    void sync() override;
    uintptr_t nativeHandle() const override { return reinterpret_cast<uintptr_t>(hwnd_); }
    int errorCount() const override { return 0; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void copyToDevice(HDC dc, const PixelBuffer& buffer, const CRect& area);
    void buttonDown(uint32_t button, WPARAM wParam, LPARAM lParam, bool doubleClick);
    void buttonUp(uint32_t button, WPARAM wParam, LPARAM lParam);
    void wheel(WPARAM wParam, LPARAM lParam);

    CFrame& frame_;
    HWND hwnd_ = nullptr;
    bool classHeld_ = false;
    bool trackingLeave_ = false;
    uint32_t heldButtons_ = 0;
    uint32_t highSurrogate_ = 0;
    CPoint lastPoint_;
};

} // namespace brelvik::gui
