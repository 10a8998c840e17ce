#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/CViewContainer.h"
#include "gui/backend/PixelBuffer.h"

namespace brelvik::gui {

class CDrawContext;
class CTooltipSupport;
class PlatformWindow;

// The top container. Every drawing goes to one back buffer; a window, when the frame has one,
// shows copies of that buffer, so what is on screen and an offscreen render are the same pixels.
class CFrame : public CViewContainer {
public:
    // A frame of `width` x `height` pixels without a window.
    CFrame(int width, int height);
    ~CFrame() override;

    // Opens a child window of `parentWindow` (X11 Window id on Linux, HWND on Windows); false with a reason.
    bool open(void* parentWindow, std::string* error);
    void close();
    bool isWindowOpen() const;
    PlatformWindow* getPlatformWindow() const { return window_.get(); }
    // Handles the window's pending events (window thread).
    void pumpEvents();

    // Painting: invalidated areas are collected and painted by the next flush.
    void invalidRect(const CRect& frameArea);
    void invalidateAll() { invalidRect(size_); }
    bool hasInvalidAreas() const { return !invalid_.empty(); }
    // Paints every invalid area into the back buffer (overlays on top) and shows it in the window.
    void flush();
    // Tooltip timing, then flush. `nowMs` is a monotonic clock in milliseconds.
    void idle(uint64_t nowMs);
    const PixelBuffer& getBackBuffer() const { return buffer_; }
    CDrawContext& getDrawContext() { return *context_; }

    // Offscreen rendering: the whole frame, or any view on its own, to a PNG file.
    bool renderToPng(const std::string& path, std::string* error);
    static bool renderViewToPng(CView& view, const std::string& path, std::string* error);
    // Paints `view` alone into a buffer of its size.
    static PixelBuffer renderView(CView& view);

    // Event entry points, in frame coordinates: the window backend and tests call these.
    void mouseDown(const CPoint& where, const CButtonState& buttons);
    void mouseUp(const CPoint& where, const CButtonState& buttons);
    void mouseMoved(const CPoint& where, const CButtonState& buttons);
    void mouseWheel(const CPoint& where, float distance, const CButtonState& buttons);
    void mouseLeft();
    bool keyDown(const CKeyEvent& key);

    // Keyboard focus: the focus view gets key events; changing it calls looseFocus/takeFocus.
    void setFocusView(CView* view);
    CView* getFocusView() const { return focus_; }
    CView* getHoverView() const { return hover_; }

    // An overlay view (pop-up menu) in frame coordinates: drawn above everything, receives every
    // mouse and key event until closed. Takes over the caller's reference.
    void setModalView(CView* view);
    CView* getModalView() const { return modal_; }
    // Closes the overlay; safe to call from inside the overlay's own event handler.
    void closeModalView();

    // Tooltips: the frame keeps a reference to the support while it is set.
    void setTooltipSupport(CTooltipSupport* tooltips);
    CTooltipSupport* getTooltipSupport() const { return tooltips_; }

    // Called by containers before a view leaves the tree.
    void viewWillBeRemoved(CView* view);

private:
    void paint(const CRect& area);
    void setHover(CView* view, const CPoint& where, const CButtonState& buttons);
    void finishModalClose();
    // Hands an event to the overlay, if there is one, and closes it if it asked to be closed.
    template <typename Handler> bool sendToModal(Handler handle)
    {
        if (!modal_)
            return false;
        handle(*modal_);
        finishModalClose();
        return true;
    }

    PixelBuffer buffer_;
    std::unique_ptr<CDrawContext> context_;
    std::unique_ptr<PlatformWindow> window_;
    std::vector<CRect> invalid_;
    CView* hover_ = nullptr;
    CView* focus_ = nullptr;
    CView* modal_ = nullptr;
    bool modalClosing_ = false;
    bool mouseCaptured_ = false;
    CTooltipSupport* tooltips_ = nullptr;
};

} // namespace brelvik::gui
