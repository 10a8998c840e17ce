// Linux: an X11 child window receives no timer from the host's event loop, so the host's idle calls
// (effEditIdle) drive the frame tick and there is no timer to start.
#include "editor/platform/CK_FrameTimer.h"

bool CK_FrameTimer::start(uintptr_t, unsigned, Tick, void*)
{
    return false;
}

void CK_FrameTimer::stop() { }
