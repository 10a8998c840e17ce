// Windows: SetTimer on our own child window. The host's message loop dispatches WM_TIMER to the
// timer procedure, so the editor ticks even in hosts that call effEditIdle rarely or not at all.
// Windows timers fire at about 15.6 ms granularity; the editor counts its ticks by the clock.
#include "editor/platform/CK_FrameTimer.h"

#include <windows.h>

namespace {

// The timer's id is the CK_FrameTimer itself, so the callback needs no lookup table.
void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    reinterpret_cast<const CK_FrameTimer*>(id)->fire();
}

} // namespace

bool CK_FrameTimer::start(uintptr_t window, unsigned intervalMs, Tick tick, void* owner)
{
    stop();
    const HWND hwnd = reinterpret_cast<HWND>(window);
    if (!hwnd || !tick)
        return false;
    tick_ = tick;
    owner_ = owner;
    if (!SetTimer(hwnd, reinterpret_cast<UINT_PTR>(this), intervalMs, &onTimer)) {
        tick_ = nullptr;
        owner_ = nullptr;
        return false;
    }
    window_ = window;
    return true;
}

void CK_FrameTimer::stop()
{
    if (window_)
        KillTimer(reinterpret_cast<HWND>(window_), reinterpret_cast<UINT_PTR>(this));
    window_ = 0;
    tick_ = nullptr;
    owner_ = nullptr;
}
