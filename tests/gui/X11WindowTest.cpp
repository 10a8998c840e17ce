// The X11 child window under Xvfb: same pixels as the offscreen render, events, a parent that the
// host destroys first, and X errors kept away from the host's handler. Skipped without Xvfb.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <string>
#include <thread>

#include "GuiTestSupport.h"
#include "support/XvfbServer.h"
#include "gui/CFrame.h"
#include "gui/backend/PlatformWindow.h"
#include "gui/controls/CKnob.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/controls/CTextEdit.h"

namespace brelvik::gui::test {
namespace {

class X11WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string& display = brelvik::test::XvfbServer::display();
        if (display.empty())
            GTEST_SKIP() << "no X server: Xvfb could not be started";
        host_ = XOpenDisplay(display.c_str());
        ASSERT_NE(host_, nullptr);
        parent_ = XCreateSimpleWindow(host_, DefaultRootWindow(host_), 0, 0, 400, 200, 0, 0, 0);
        XMapWindow(host_, parent_);
        XSync(host_, False);
    }

    void TearDown() override
    {
        if (host_)
            XCloseDisplay(host_);
    }

    // Pumps the frame's window until `done` holds or two seconds have passed.
    template <typename Condition> bool pumpUntil(CFrame& frame, Condition done)
    {
        for (int i = 0; i < 200; ++i) {
            frame.pumpEvents();
            frame.flush();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    static void buildScene(CFrame& frame)
    {
        frame.setBackgroundColor({30, 60, 90, 255});
        frame.addView(new FillView(CRect{10, 10, 120, 60}, {255, 200, 0, 140}));
        auto* display = new CParamDisplay(CRect{20, 60, 180, 90});
        display->setFont(CFontDesc("Arial", 18));
        display->setValue(-12.5f);
        frame.addView(display);
        auto* knob = new CKnob(CRect{130, 10, 170, 50}, nullptr, 1);
        knob->setValue(0.3f);
        frame.addView(knob);
    }

    bool viewable(::Window window)
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(host_, window, &attributes) && attributes.map_state == IsViewable;
    }

    Display* host_ = nullptr;
    ::Window parent_ = 0;
};

TEST_F(X11WindowTest, ChildWindowShowsExactlyTheOffscreenPixels)
{
    CFrame frame(200, 100);
    buildScene(frame);
    std::string error;
    ASSERT_TRUE(frame.open(reinterpret_cast<void*>(parent_), &error)) << error;
    const auto child = static_cast<::Window>(frame.getPlatformWindow()->nativeHandle());
    ASSERT_TRUE(pumpUntil(frame, [&] { return viewable(child); }));
    frame.invalidateAll();
    frame.flush();
    frame.getPlatformWindow()->sync();

    XWindowAttributes attributes;
    XGetWindowAttributes(host_, child, &attributes);
    EXPECT_EQ(attributes.width, 200); // the frame's size, not the parent's
    EXPECT_EQ(attributes.height, 100);
    ::Window root, parentOfChild, *children = nullptr;
    unsigned count = 0;
    XQueryTree(host_, child, &root, &parentOfChild, &children, &count);
    if (children)
        XFree(children);
    EXPECT_EQ(parentOfChild, parent_);

    CFrame offscreen(200, 100);
    buildScene(offscreen);
    offscreen.flush();
    XImage* shot = XGetImage(host_, child, 0, 0, 200, 100, AllPlanes, ZPixmap);
    ASSERT_NE(shot, nullptr);
    int differing = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if ((XGetPixel(shot, x, y) & 0xFFFFFF) != (offscreen.getBackBuffer().at(x, y) & 0xFFFFFF))
                ++differing;
    XDestroyImage(shot);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(frame.getPlatformWindow()->errorCount(), 0);
}

TEST_F(X11WindowTest, MouseAndKeyEventsFromTheServerReachTheViews)
{
    RecordingListener listener;
    CFrame frame(200, 100);
    frame.addView(new CKnob(CRect{0, 0, 100, 100}, &listener, 4));
    auto* edit = new CTextEdit(CRect{100, 0, 200, 20}, &listener, 5);
    frame.addView(edit);
    ASSERT_TRUE(frame.open(reinterpret_cast<void*>(parent_), nullptr));
    const auto child = static_cast<::Window>(frame.getPlatformWindow()->nativeHandle());
    ASSERT_TRUE(pumpUntil(frame, [&] { return viewable(child); }));

    XEvent event{};
    event.xbutton.type = ButtonPress;
    event.xbutton.window = child;
    event.xbutton.x = 50;
    event.xbutton.y = 50;
    event.xbutton.button = Button1;
    XSendEvent(host_, child, False, ButtonPressMask, &event);
    event.xbutton.type = ButtonRelease;
    event.xbutton.state = Button1Mask;
    XSendEvent(host_, child, False, ButtonReleaseMask, &event);
    event.xbutton.type = ButtonPress;
    event.xbutton.button = Button4; // wheel up
    event.xbutton.state = 0;
    XSendEvent(host_, child, False, ButtonPressMask, &event);
    XSync(host_, False);
    ASSERT_TRUE(pumpUntil(frame, [&] { return listener.events.size() >= 5; }));
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin 4", "end 4", "begin 4", "value 0.100000", "end 4"}));

    event.xbutton.x = 150;
    event.xbutton.y = 10;
    event.xbutton.button = Button1;
    XSendEvent(host_, child, False, ButtonPressMask, &event);
    XEvent key{};
    key.xkey.type = KeyPress;
    key.xkey.window = child;
    key.xkey.display = host_;
    for (KeySym sym : {KeySym{XK_a}, KeySym{XK_BackSpace}, KeySym{XK_b}, KeySym{XK_Return}}) {
        key.xkey.keycode = XKeysymToKeycode(host_, sym);
        XSendEvent(host_, child, False, KeyPressMask, &key);
    }
    XSync(host_, False);
    ASSERT_TRUE(pumpUntil(frame, [&] { return !edit->getText().empty(); }));
    EXPECT_EQ(edit->getText(), "b");
}

int hostErrors = 0;
int countHostError(Display*, XErrorEvent*)
{
    ++hostErrors;
    return 0;
}

TEST_F(X11WindowTest, ParentDestroyedFirstLeavesUsClosedAndOurErrorsNeverReachTheHost)
{
    hostErrors = 0;
    const XErrorHandler hostHandler = countHostError;
    XSetErrorHandler(hostHandler);
    {
        CFrame frame(200, 100);
        buildScene(frame);
        ASSERT_TRUE(frame.open(reinterpret_cast<void*>(parent_), nullptr));
        PlatformWindow* window = frame.getPlatformWindow();
        ASSERT_TRUE(pumpUntil(frame, [&] { return viewable(static_cast<::Window>(window->nativeHandle())); }));

        XDestroyWindow(host_, parent_);
        XSync(host_, False);
        frame.invalidateAll();
        frame.flush(); // draws into a window that is already gone
        window->sync();
        EXPECT_GT(window->errorCount(), 0);
        EXPECT_EQ(hostErrors, 0);
        ASSERT_TRUE(pumpUntil(frame, [&] { return !frame.isWindowOpen(); }));

        XMapWindow(host_, parent_); // the host's own error still reaches the host's handler
        XSync(host_, False);
        EXPECT_EQ(hostErrors, 1);
    }
    EXPECT_EQ(XSetErrorHandler(nullptr), hostHandler); // ours is gone with the last window
}

TEST_F(X11WindowTest, OpeningOnAMissingParentFailsWithAReason)
{
    CFrame frame(50, 50);
    std::string error;
    EXPECT_FALSE(frame.open(reinterpret_cast<void*>(uintptr_t{0x7FFFFF}), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(frame.open(nullptr, &error));
    EXPECT_EQ(frame.getPlatformWindow(), nullptr);
}

} // namespace
} // namespace brelvik::gui::test
