// The window side of a host for editor tests: a top-level parent window on the test's Xvfb display,
// synthetic mouse input through XTest (which the server delivers like a real pointer), and
// screenshots of any window.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "support/XvfbServer.h"

namespace brelvik::test {

class X11TestHost {
public:
    X11TestHost(int width, int height)
    {
        const std::string& name = XvfbServer::display();
        if (name.empty())
            return;
        display_ = XOpenDisplay(name.c_str());
        if (!display_)
            return;
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), 0, 0, 0);
        XMapRaised(display_, parent_);
        XSync(display_, False);
    }
    ~X11TestHost()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    X11TestHost(const X11TestHost&) = delete;
    X11TestHost& operator=(const X11TestHost&) = delete;

    bool ready() const { return display_ != nullptr; }
    Display* display() const { return display_; }
    ::Window parent() const { return parent_; }
    void* parentHandle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(parent_)); }

    // The first child of the parent window (the plug-in's), or 0.
    ::Window child() const
    {
        ::Window root = 0, parentOfParent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, parent_, &root, &parentOfParent, &children, &count);
        const ::Window first = count > 0 ? children[0] : 0;
        if (children)
            XFree(children);
        return first;
    }
    bool viewable(::Window window) const
    {
        XWindowAttributes attributes;
        return window && XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable;
    }
    bool size(::Window window, int& width, int& height) const
    {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display_, window, &attributes))
            return false;
        width = attributes.width;
        height = attributes.height;
        return true;
    }
    ::Window parentOf(::Window window) const
    {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, window, &root, &parent, &children, &count);
        if (children)
            XFree(children);
        return parent;
    }

    // Calls `idle` every `periodMs` until `done` holds or `timeoutMs` passed.
    static bool idleUntil(const std::function<void()>& idle, const std::function<bool()>& done, int periodMs = 15,
                          int timeoutMs = 3000)
    {
        for (int waited = 0; waited <= timeoutMs; waited += periodMs) {
            idle();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
        }
        return false;
    }

    // Pointer input in the coordinates of `window`.
    void moveTo(::Window window, int x, int y)
    {
        ::Window unused;
        int rootX = 0, rootY = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY, &unused);
        XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
        XFlush(display_);
    }
    void button(unsigned number, bool down)
    {
        XTestFakeButtonEvent(display_, number, down ? True : False, CurrentTime);
        XFlush(display_);
    }

    // The window's pixels as 0xRRGGBB, row by row.
    std::vector<uint32_t> screenshot(::Window window, int width, int height) const
    {
        std::vector<uint32_t> pixels;
        XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap);
        if (!image)
            return pixels;
        pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
        XDestroyImage(image);
        return pixels;
    }

private:
    Display* display_ = nullptr;
    ::Window parent_ = 0;
};

} // namespace brelvik::test
