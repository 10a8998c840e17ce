#include "gui/backend/x11/X11Window.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "gui/CFrame.h"

namespace brelvik::gui {

namespace {

// Xlib has one error handler per process. Ours absorbs the errors of our own connections and hands
// every other error to the handler installed before it (the host's).
class ErrorTrap {
public:
    static void add(X11Window* window)
    {
        std::lock_guard<std::mutex> lock(mutex());
        if (windows().empty())
            previous() = XSetErrorHandler(&onError);
        windows().push_back(window);
    }

    static void remove(X11Window* window)
    {
        std::lock_guard<std::mutex> lock(mutex());
        auto& list = windows();
        list.erase(std::remove(list.begin(), list.end(), window), list.end());
        if (!list.empty())
            return;
        // Put the earlier handler back unless someone installed another one after ours.
        const XErrorHandler current = XSetErrorHandler(previous());
        if (current != &onError)
            XSetErrorHandler(current);
        previous() = nullptr;
    }

private:
    static int onError(Display* display, XErrorEvent* event)
    {
        XErrorHandler chained = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex());
            for (X11Window* window : windows()) {
                if (window->display() == display) {
                    window->countError();
                    return 0;
                }
            }
            chained = previous();
        }
        return chained ? chained(display, event) : 0;
    }

    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }
    static std::vector<X11Window*>& windows()
    {
        static std::vector<X11Window*> list;
        return list;
    }
    static XErrorHandler& previous()
    {
        static XErrorHandler handler = nullptr;
        return handler;
    }
};

// A lost connection marks our window broken instead of ending the process.
void onIoErrorExit(Display*, void* window)
{
    static_cast<X11Window*>(window)->markBroken();
}

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask
    | LeaveWindowMask | StructureNotifyMask;
constexpr Time kDoubleClickMs = 400;
constexpr int kDoubleClickSlop = 4;

CButtonState buttonState(unsigned state)
{
    uint32_t bits = 0;
    if (state & Button1Mask)
        bits |= kLButton;
    if (state & Button2Mask)
        bits |= kMButton;
    if (state & Button3Mask)
        bits |= kRButton;
    if (state & ShiftMask)
        bits |= kShift;
    if (state & ControlMask)
        bits |= kControl;
    if (state & Mod1Mask)
        bits |= kAlt;
    return bits;
}

uint32_t buttonBit(unsigned button)
{
    switch (button) {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
    }
}

CKeyEvent keyEvent(XKeyEvent& event)
{
    char text[8];
    KeySym sym = NoSymbol;
    XLookupString(&event, text, sizeof text, &sym, nullptr);
    CKeyEvent key;
    key.modifiers = buttonState(event.state).get();
    static const struct {
        KeySym sym;
        CVirtualKey key;
    } kVirtualKeys[] = {
        {XK_Return, CVirtualKey::kEnter},
        {XK_KP_Enter, CVirtualKey::kEnter},
        {XK_Escape, CVirtualKey::kEscape},
        {XK_BackSpace, CVirtualKey::kBackspace},
        {XK_Delete, CVirtualKey::kDelete},
        {XK_KP_Delete, CVirtualKey::kDelete},
        {XK_Tab, CVirtualKey::kTab},
        {XK_Left, CVirtualKey::kLeft},
        {XK_KP_Left, CVirtualKey::kLeft},
        {XK_Right, CVirtualKey::kRight},
        {XK_KP_Right, CVirtualKey::kRight},
        {XK_Up, CVirtualKey::kUp},
        {XK_KP_Up, CVirtualKey::kUp},
        {XK_Down, CVirtualKey::kDown},
        {XK_KP_Down, CVirtualKey::kDown},
        {XK_Home, CVirtualKey::kHome},
        {XK_KP_Home, CVirtualKey::kHome},
        {XK_End, CVirtualKey::kEnd},
        {XK_KP_End, CVirtualKey::kEnd},
    };
    for (const auto& v : kVirtualKeys) {
        if (v.sym == sym) {
            key.virt = v.key;
            return key;
        }
    }
    // Latin-1 keysyms are their code points; other Unicode keysyms carry 0x01000000.
    if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF))
        key.character = static_cast<uint32_t>(sym);
    else if ((sym & 0xFF000000) == 0x01000000)
        key.character = static_cast<uint32_t>(sym & 0x00FFFFFF);
    return key;
}

} // namespace

std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, CFrame& frame, std::string* error)
{
    auto window = std::make_unique<X11Window>(frame);
    if (!window->open(static_cast<::Window>(reinterpret_cast<uintptr_t>(parent)), error))
        return nullptr;
    return window;
}

X11Window::~X11Window()
{
    release();
}

bool X11Window::open(::Window parent, std::string* error)
{
    auto fail = [&](const char* reason) {
        if (error)
            *error = reason;
        release();
        return false;
    };
    if (parent == 0)
        return fail("no parent window");
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        return fail("cannot connect to the X server (DISPLAY)");
    ErrorTrap::add(this);
    XSetIOErrorExitHandler(display_, &onIoErrorExit, this);

    XVisualInfo visual;
    if (!XMatchVisualInfo(display_, DefaultScreen(display_), 24, TrueColor, &visual) || visual.red_mask != 0xFF0000
        || visual.green_mask != 0x00FF00 || visual.blue_mask != 0x0000FF)
        return fail("the X server offers no 24-bit RGB visual");

    const int width = frame_.getWidth();
    const int height = frame_.getHeight();
    colormap_ = XCreateColormap(display_, parent, visual.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = colormap_;
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;
    attributes.event_mask = kEventMask;
    window_ = XCreateWindow(display_, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 24,
        InputOutput, visual.visual, CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    XSync(display_, False);
    if (errors_ != 0 || window_ == 0) {
        window_ = 0;
        return fail("cannot create a child of the parent window");
    }
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    image_ = XCreateImage(display_, visual.visual, 24, ZPixmap, 0, nullptr, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 32, width * 4);
    if (!image_ || image_->bits_per_pixel != 32)
        return fail("the X server stores 24-bit pixels unusually");
    XMapWindow(display_, window_);
    XFlush(display_);
    return true;
}

void X11Window::release()
{
    if (!display_)
        return;
    if (!broken_) {
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
        if (gc_)
            XFreeGC(display_, gc_);
        if (window_)
            XDestroyWindow(display_, window_);
        if (colormap_)
            XFreeColormap(display_, colormap_);
        XSync(display_, False);
    }
    XCloseDisplay(display_);
    ErrorTrap::remove(this);
    display_ = nullptr;
    window_ = 0;
    image_ = nullptr;
    gc_ = nullptr;
    colormap_ = 0;
}

void X11Window::present(const PixelBuffer& buffer, const CRect& area)
{
    // The image describes a buffer of the window's size; any other buffer would be read past its end.
    if (!isOpen() || !image_ || buffer.width != image_->width || buffer.height != image_->height)
        return;
    const CRect r = area.intersect(CRect{0, 0, buffer.width, buffer.height});
    if (r.isEmpty())
        return;
    image_->data = reinterpret_cast<char*>(const_cast<uint32_t*>(buffer.pixels.data()));
    XPutImage(display_, window_, gc_, image_, r.left, r.top, r.left, r.top, static_cast<unsigned>(r.width()),
        static_cast<unsigned>(r.height()));
    image_->data = nullptr;
    XFlush(display_);
}

void X11Window::pump()
{
    while (display_ && !broken_ && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        handle(event);
    }
}

void X11Window::sync()
{
    if (display_ && !broken_)
        XSync(display_, False);
}

void X11Window::handle(XEvent& event)
{
    if (window_ == 0 || event.xany.window != window_)
        return;
    switch (event.type) {
    case Expose: {
        const XExposeEvent& e = event.xexpose;
        present(frame_.getBackBuffer(), CRect::fromSize(e.x, e.y, e.width, e.height));
        break;
    }
    case ButtonPress: {
        const XButtonEvent& e = event.xbutton;
        const CPoint where{e.x, e.y};
        const CButtonState state = buttonState(e.state).get();
        switch (e.button) {
        case Button4:
        case Button5: frame_.mouseWheel(where, e.button == Button4 ? 1.0f : -1.0f, state); return;
        case 6:
        case 7: frame_.mouseWheel(where, e.button == 7 ? 1.0f : -1.0f, state); return;
        default: break;
        }
        uint32_t bits = state.get() | buttonBit(e.button);
        const bool nearLast = std::abs(where.x - lastPressPoint_.x) <= kDoubleClickSlop
            && std::abs(where.y - lastPressPoint_.y) <= kDoubleClickSlop;
        if (e.button == lastPressButton_ && e.time - lastPressTime_ < kDoubleClickMs && nearLast) {
            bits |= kDoubleClick;
            lastPressTime_ = 0;
        } else {
            lastPressTime_ = e.time;
        }
        lastPressButton_ = e.button;
        lastPressPoint_ = where;
        frame_.mouseDown(where, bits);
        // Typing goes to our window only while something in it edits text or shows a menu.
        if (frame_.getFocusView() || frame_.getModalView())
            XSetInputFocus(display_, window_, RevertToParent, e.time);
        break;
    }
    case ButtonRelease: {
        const XButtonEvent& e = event.xbutton;
        if (buttonBit(e.button) != 0)
            frame_.mouseUp({e.x, e.y}, buttonState(e.state).get() | buttonBit(e.button));
        break;
    }
    case MotionNotify: {
        while (XCheckTypedWindowEvent(display_, window_, MotionNotify, &event)) { }
        frame_.mouseMoved({event.xmotion.x, event.xmotion.y}, buttonState(event.xmotion.state));
        break;
    }
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyNormal)
            frame_.mouseLeft();
        break;
    case KeyPress: frame_.keyDown(keyEvent(event.xkey)); break;
    case DestroyNotify:
        // The host destroyed our parent (and so our window) first: nothing of it is left to free.
        if (event.xdestroywindow.window == window_) {
            window_ = 0;
        }
        break;
    default: break;
    }
}

} // namespace brelvik::gui
