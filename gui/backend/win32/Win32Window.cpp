#include "gui/backend/win32/Win32Window.h"

#include <windowsx.h>

#include <cwchar>
#include <mutex>

#include "gui/CFrame.h"

namespace brelvik::gui {

namespace {

// The window class of this module, registered by its first window and unregistered after its last,
// so that no class outlives the module's code (the host may unload it at any time after the last
// editor closed, and user32 must not be called from DllMain). The name carries the module's address:
// two copies of the plug-in loaded side by side keep their own classes.
class WindowClass {
public:
    static const wchar_t* acquire(WNDPROC procedure)
    {
        WindowClass& c = instance();
        std::lock_guard<std::mutex> lock(c.mutex_);
        if (c.holders_ == 0) {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = procedure;
            wc.hInstance = module();
            wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            wc.lpszClassName = c.name_;
            if (!RegisterClassExW(&wc))
                return nullptr;
        }
        ++c.holders_;
        return c.name_;
    }

    static void release()
    {
        WindowClass& c = instance();
        std::lock_guard<std::mutex> lock(c.mutex_);
        if (c.holders_ > 0 && --c.holders_ == 0)
            UnregisterClassW(c.name_, module());
    }

    // The module that holds this code: the plug-in's DLL, or the program it is linked into.
    static HINSTANCE module()
    {
        HMODULE handle = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&module), &handle);
        return handle;
    }

private:
    WindowClass()
    {
        std::swprintf(name_, sizeof name_ / sizeof name_[0], L"BrelvikSuiteFrame%p", static_cast<void*>(module()));
    }

    static WindowClass& instance()
    {
        static WindowClass c;
        return c;
    }

    std::mutex mutex_;
    int holders_ = 0;
    wchar_t name_[64] = {};
};

uint32_t modifiers()
{
    uint32_t bits = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        bits |= kShift;
    if (GetKeyState(VK_CONTROL) < 0)
        bits |= kControl;
    if (GetKeyState(VK_MENU) < 0)
        bits |= kAlt;
    return bits;
}

// The buttons a mouse message says are held, with the modifier keys.
uint32_t buttonState(WPARAM wParam)
{
    uint32_t bits = 0;
    if (wParam & MK_LBUTTON)
        bits |= kLButton;
    if (wParam & MK_MBUTTON)
        bits |= kMButton;
    if (wParam & MK_RBUTTON)
        bits |= kRButton;
    if (wParam & MK_SHIFT)
        bits |= kShift;
    if (wParam & MK_CONTROL)
        bits |= kControl;
    if (GetKeyState(VK_MENU) < 0)
        bits |= kAlt;
    return bits;
}

CPoint pointOf(LPARAM lParam)
{
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

CVirtualKey virtualKey(WPARAM key)
{
    switch (key) {
    case VK_RETURN: return CVirtualKey::kEnter;
    case VK_ESCAPE: return CVirtualKey::kEscape;
    case VK_BACK: return CVirtualKey::kBackspace;
    case VK_DELETE: return CVirtualKey::kDelete;
    case VK_TAB: return CVirtualKey::kTab;
    case VK_LEFT: return CVirtualKey::kLeft;
    case VK_RIGHT: return CVirtualKey::kRight;
    case VK_UP: return CVirtualKey::kUp;
    case VK_DOWN: return CVirtualKey::kDown;
    case VK_HOME: return CVirtualKey::kHome;
    case VK_END: return CVirtualKey::kEnd;
    default: return CVirtualKey::kNone;
    }
}

} // namespace

std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, CFrame& frame, std::string* error)
{
    auto window = std::make_unique<Win32Window>(frame);
    if (!window->open(static_cast<HWND>(parent), error))
        return nullptr;
    return window;
}

Win32Window::~Win32Window()
{
    if (hwnd_) {
        // Messages sent while the window goes must not reach this half-destroyed object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
    if (classHeld_)
        WindowClass::release();
}

bool Win32Window::open(HWND parent, std::string* error)
{
    auto fail = [&](const std::string& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!parent || !IsWindow(parent))
        return fail("no parent window");
    const wchar_t* className = WindowClass::acquire(&windowProc);
    if (!className)
        return fail("cannot register the window class (error " + std::to_string(GetLastError()) + ")");
    classHeld_ = true;
    CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, frame_.getWidth(),
        frame_.getHeight(), parent, nullptr, WindowClass::module(), this);
    if (!hwnd_)
        return fail("cannot create a child of the parent window (error " + std::to_string(GetLastError()) + ")");
    return true;
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The host destroyed our parent, and with it this window.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        if (dc)
            copyToDevice(dc, frame_.getBackBuffer(),
                CRect{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        const PixelBuffer& buffer = frame_.getBackBuffer();
        copyToDevice(reinterpret_cast<HDC>(wParam), buffer, CRect{0, 0, buffer.width, buffer.height});
        return 0;
    }
    case WM_LBUTTONDOWN: buttonDown(kLButton, wParam, lParam, false); return 0;
    case WM_MBUTTONDOWN: buttonDown(kMButton, wParam, lParam, false); return 0;
    case WM_RBUTTONDOWN: buttonDown(kRButton, wParam, lParam, false); return 0;
    case WM_LBUTTONDBLCLK: buttonDown(kLButton, wParam, lParam, true); return 0;
    case WM_MBUTTONDBLCLK: buttonDown(kMButton, wParam, lParam, true); return 0;
    case WM_RBUTTONDBLCLK: buttonDown(kRButton, wParam, lParam, true); return 0;
    case WM_LBUTTONUP: buttonUp(kLButton, wParam, lParam); return 0;
    case WM_MBUTTONUP: buttonUp(kMButton, wParam, lParam); return 0;
    case WM_RBUTTONUP: buttonUp(kRButton, wParam, lParam); return 0;
    case WM_MOUSEMOVE:
        if (!trackingLeave_) {
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd_, 0};
            trackingLeave_ = TrackMouseEvent(&track) != FALSE;
        }
        lastPoint_ = pointOf(lParam);
        frame_.mouseMoved(lastPoint_, buttonState(wParam));
        return 0;
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        frame_.mouseLeft();
        return 0;
    // Up and right are positive, as on Linux.
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: wheel(wParam, lParam); return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-drag (a system dialog, a task switch): the drag ends here.
        if (heldButtons_ && reinterpret_cast<HWND>(lParam) != hwnd_) {
            const uint32_t held = heldButtons_;
            heldButtons_ = 0;
            frame_.mouseUp(lastPoint_, held | modifiers());
        }
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_KEYDOWN: {
        const CVirtualKey key = virtualKey(wParam);
        if (key == CVirtualKey::kNone)
            break;
        CKeyEvent event;
        event.virt = key;
        event.modifiers = modifiers();
        if (frame_.keyDown(event))
            return 0;
        break;
    }
    case WM_CHAR: {
        // Control characters arrive as virtual keys; UTF-16 pairs arrive as two messages.
        const auto unit = static_cast<uint32_t>(wParam);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            highSurrogate_ = unit;
            return 0;
        }
        uint32_t character = unit;
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            character = highSurrogate_ ? 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00) : 0;
        highSurrogate_ = 0;
        if (character < 0x20 || character == 0x7F)
            return 0;
        CKeyEvent event;
        event.character = character;
        event.modifiers = modifiers();
        frame_.keyDown(event);
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::buttonDown(uint32_t button, WPARAM wParam, LPARAM lParam, bool doubleClick)
{
    if (heldButtons_ == 0)
        SetCapture(hwnd_);
    heldButtons_ |= button;
    lastPoint_ = pointOf(lParam);
    frame_.mouseDown(lastPoint_, buttonState(wParam) | button | (doubleClick ? kDoubleClick : 0u));
    // Typing goes to our window only while something in it edits text or shows a menu.
    if (hwnd_ && (frame_.getFocusView() || frame_.getModalView()))
        SetFocus(hwnd_);
}

void Win32Window::buttonUp(uint32_t button, WPARAM wParam, LPARAM lParam)
{
    if (!(heldButtons_ & button))
        return;
    heldButtons_ &= ~button;
    lastPoint_ = pointOf(lParam);
    frame_.mouseUp(lastPoint_, buttonState(wParam) | button);
    if (heldButtons_ == 0 && GetCapture() == hwnd_)
        ReleaseCapture();
}

void Win32Window::wheel(WPARAM wParam, LPARAM lParam)
{
    // Wheel messages carry screen coordinates.
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd_, &p);
    const float notches = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
    frame_.mouseWheel({p.x, p.y}, notches, buttonState(GET_KEYSTATE_WPARAM(wParam)));
}

void Win32Window::copyToDevice(HDC dc, const PixelBuffer& buffer, const CRect& area)
{
    const CRect r = area.intersect(CRect{0, 0, buffer.width, buffer.height});
    if (r.isEmpty())
        return;
    // A top-down DIB of just the rows of `r`, over the buffer's own memory.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = buffer.width;
    info.bmiHeader.biHeight = -r.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const uint32_t* rows = buffer.pixels.data() + static_cast<size_t>(r.top) * buffer.width;
    SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(r.width()), static_cast<DWORD>(r.height()), r.left, 0, 0,
        static_cast<UINT>(r.height()), rows, &info, DIB_RGB_COLORS);
}

void Win32Window::present(const PixelBuffer& buffer, const CRect& area)
{
    if (!hwnd_ || buffer.width != frame_.getWidth() || buffer.height != frame_.getHeight())
        return;
    HDC dc = GetDC(hwnd_);
    if (!dc)
        return;
    copyToDevice(dc, buffer, area);
    ReleaseDC(hwnd_, dc);
}

void Win32Window::pump()
{
    MSG message;
    while (hwnd_ && PeekMessageW(&message, hwnd_, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Window::sync()
{
    GdiFlush();
}

} // namespace brelvik::gui
