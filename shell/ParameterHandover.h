// Carries parameter changes made on other threads (host automation, program and chunk loads, the
// editor) to the audio thread without locks. A writer stores the newest value and raises the
// parameter's changed flag; the audio thread collects the flagged values at the start of its next
// processing call. Flags never overflow: many changes of one parameter collapse into its newest value.
#pragma once

#include <atomic>
#include <cstdint>

class CK_ParameterHandover {
public:
    static constexpr int kSlots = 112;

    CK_ParameterHandover();

    // Publishes a new value. With notify, modules receive it as an event when it is collected;
    // without, only the value they read directly changes.
    void publish(int index, float volts, bool notify);
    // Newest published value of a parameter (any thread).
    float latest(int index) const { return latest_[index].load(std::memory_order_relaxed); }
    // Sets the newest value without raising a flag (the audio thread applying a change itself).
    void setLatest(int index, float volts) { latest_[index].store(volts, std::memory_order_relaxed); }
    // Drops a pending change of one parameter (a newer change is being applied directly).
    void cancel(int index);
    // Drops every pending change.
    void clear();

    // Audio thread: calls apply(index, volts, notify) for every changed parameter, in index order.
    template <typename Apply>
    void collect(Apply&& apply)
    {
        for (int w = 0; w < kWords; ++w) {
            uint32_t changed = changed_[w].exchange(0, std::memory_order_acquire);
            if (!changed)
                continue;
            // Take only the notify flags of the changes collected now; a writer raises notify first.
            const uint32_t notify = notify_[w].fetch_and(~changed, std::memory_order_acq_rel) & changed;
            while (changed) {
                const int bit = __builtin_ctz(changed);
                changed &= changed - 1;
                const int index = w * 32 + bit;
                apply(index, latest(index), (notify >> bit) & 1u);
            }
        }
    }

private:
    static constexpr int kWords = (kSlots + 31) / 32;
    std::atomic<float> latest_[kSlots];
    std::atomic<uint32_t> changed_[kWords];
    std::atomic<uint32_t> notify_[kWords];
};
