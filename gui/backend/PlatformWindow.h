#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/CGeometry.h"
#include "gui/backend/PixelBuffer.h"

namespace brelvik::gui {

class CFrame;

// The frame's native child window. It shows the frame's back buffer and turns the system's input
// events into calls of the frame's event entry points. Everything runs on the window thread.
class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;

    // False once the window is gone (closed, or destroyed together with its parent).
    virtual bool isOpen() const = 0;
    // Copies `area` of the back buffer to the window.
    virtual void present(const PixelBuffer& buffer, const CRect& area) = 0;
    // Handles every pending system event, then returns.
    virtual void pump() = 0;
    // Returns once the system has carried out everything sent to it so far.
    virtual void sync() = 0;
    virtual uintptr_t nativeHandle() const = 0;
    // System errors that our own connection caught and absorbed.
    virtual int errorCount() const = 0;
};

// Implemented once per platform (backend/x11 on Linux, backend/win32 on Windows). Creates a child window of `parent` (the
// platform's window handle) sized like the frame,
// or null with a reason in *error.
std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, CFrame& frame, std::string* error);

} // namespace brelvik::gui
