#include "shell/ParameterHandover.h"

CK_ParameterHandover::CK_ParameterHandover()
{
    for (auto& v : latest_)
        v.store(0.0f, std::memory_order_relaxed);
    for (int w = 0; w < kWords; ++w) {
        changed_[w].store(0, std::memory_order_relaxed);
        notify_[w].store(0, std::memory_order_relaxed);
    }
}

void CK_ParameterHandover::publish(int index, float volts, bool notify)
{
    if (index < 0 || index >= kSlots)
        return;
    latest_[index].store(volts, std::memory_order_relaxed);
    const uint32_t bit = 1u << (index % 32);
    // The notify flag goes up before the changed flag, so a collector that sees the change also sees
    // that it must be announced.
    if (notify)
        notify_[index / 32].fetch_or(bit, std::memory_order_release);
    changed_[index / 32].fetch_or(bit, std::memory_order_release);
}

void CK_ParameterHandover::cancel(int index)
{
    if (index < 0 || index >= kSlots)
        return;
    const uint32_t keep = ~(1u << (index % 32));
    changed_[index / 32].fetch_and(keep, std::memory_order_acq_rel);
}

void CK_ParameterHandover::clear()
{
    for (int w = 0; w < kWords; ++w) {
        changed_[w].store(0, std::memory_order_release);
        notify_[w].store(0, std::memory_order_release);
    }
}
