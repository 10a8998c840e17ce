// A momentary button (the web link) is pressed and released on the editor's thread. When both
// changes land before the audio thread collects them, only the release would reach the module and
// the click would be lost. The counter lets the audio thread notice such a press and replay it.
#pragma once

#include <atomic>
#include <cstdint>

class CK_PressCounter {
public:
    // Any thread, after publishing the press.
    void pressed() { published_.fetch_add(1, std::memory_order_release); }

    // Audio thread: a value collected for the button, with the one it replaces.
    void collected(float previousVolts, float volts)
    {
        if (previousVolts == 0.0f && volts != 0.0f)
            ++seen_;
    }

    // Audio thread, after collecting: true when a press was published that the collected values
    // never showed and the button now reads released, so the press must be replayed.
    bool takeMissedPress(float currentVolts)
    {
        const uint32_t published = published_.load(std::memory_order_acquire);
        if (static_cast<int32_t>(published - seen_) <= 0)
            return false;
        seen_ = published;
        return currentVolts == 0.0f;
    }

private:
    std::atomic<uint32_t> published_{0};
    uint32_t seen_ = 0;
};
