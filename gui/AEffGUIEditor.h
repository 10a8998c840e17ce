#pragma once

#include <cstdint>

namespace brelvik::gui {

class CFrame;

// The editor's rectangle as a host reads it: four 16-bit values, top, left, bottom, right
// (the layout of the plug-in interface's editor rectangle).
struct CEditorRect {
    int16_t top = 0;
    int16_t left = 0;
    int16_t bottom = 0;
    int16_t right = 0;
};

// The base of a plug-in editor: its rectangle, the frame while open, and the host's entry points
// (get rect, open with a parent window, idle, close). It knows nothing of the plug-in interface;
// the plug-in's editor derives from it and connects it to its effect.
class AEffGUIEditor {
public:
    AEffGUIEditor() = default;
    virtual ~AEffGUIEditor() = default;
    AEffGUIEditor(const AEffGUIEditor&) = delete;
    AEffGUIEditor& operator=(const AEffGUIEditor&) = delete;

    // Points *rect at the editor's own rectangle, which stays valid for the editor's lifetime.
    virtual bool getRect(CEditorRect** rect);
    // `parentWindow` is the platform's parent window handle (X11 Window id on Linux, HWND on Windows).
    virtual bool open(void* parentWindow);
    virtual void close();
    // Called from the host's window thread: handles window events, runs the editor's per-tick work
    // (doIdleStuff) and repaints what changed.
    virtual void idle();
    virtual void doIdleStuff() { }
    virtual void setParameter(int32_t index, float value);

    CFrame* getFrame() const { return frame; }
    bool isOpen() const { return frame != nullptr; }
    void* getSystemWindow() const { return systemWindow; }

    // How knobs follow the mouse (0 circular, 1 relative circular, 2 linear), shared by all editors.
    static int32_t getKnobMode() { return knobMode; }
    static void setKnobMode(int32_t mode) { knobMode = mode; }

protected:
    // A monotonic clock in milliseconds, the time base of idle().
    static uint64_t monotonicMs();

    CEditorRect rect;
    CFrame* frame = nullptr;
    void* systemWindow = nullptr;

private:
    static int32_t knobMode;
};

} // namespace brelvik::gui
