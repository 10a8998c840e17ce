// The editor's frame tick from a system timer on the editor's own window, where the platform hands
// timers to the host's message loop (Windows). Where it has no such timer (Linux) starting does
// nothing and the host's idle calls alone drive the tick.
#pragma once

#include <cstdint>

class CK_FrameTimer {
public:
    using Tick = void (*)(void* owner);

    CK_FrameTimer() = default;
    ~CK_FrameTimer() { stop(); }
    CK_FrameTimer(const CK_FrameTimer&) = delete;
    CK_FrameTimer& operator=(const CK_FrameTimer&) = delete;

    // Calls tick(owner) every `intervalMs` on the thread of `window` (the platform's handle of our
    // own window) until stop(). False when the platform has no timer or refused one.
    bool start(uintptr_t window, unsigned intervalMs, Tick tick, void* owner);
    // Safe to call when not running; no tick comes after it returns.
    void stop();
    bool isRunning() const { return window_ != 0; }
    // One tick, from the platform's timer callback.
    void fire() const
    {
        if (tick_)
            tick_(owner_);
    }

private:
    uintptr_t window_ = 0;
    Tick tick_ = nullptr;
    void* owner_ = nullptr;
};
