#include "gui/backend/gdiplus/GdiplusSession.h"

#include <windows.h>

#include <gdiplus.h>

#include <mutex>

namespace brelvik::gui {

namespace {
struct SharedStart {
    std::mutex mutex;
    int holders = 0;
    ULONG_PTR token = 0;
    bool started = false;
};

SharedStart& shared()
{
    static SharedStart s;
    return s;
}
} // namespace

GdiplusSession::GdiplusSession()
{
    SharedStart& s = shared();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.holders == 0) {
        Gdiplus::GdiplusStartupInput input;
        s.started = Gdiplus::GdiplusStartup(&s.token, &input, nullptr) == Gdiplus::Ok;
    }
    ++s.holders;
    running_ = s.started;
}

GdiplusSession::~GdiplusSession()
{
    SharedStart& s = shared();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (--s.holders == 0 && s.started) {
        Gdiplus::GdiplusShutdown(s.token);
        s.started = false;
    }
}

} // namespace brelvik::gui
