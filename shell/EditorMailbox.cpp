#include "shell/EditorMailbox.h"

#include "shell/ControlTable.h"
#include "shell/ControlTypes.h"

CK_EditorMailbox::CK_EditorMailbox()
{
    for (int32_t tag = 0; tag < kParameterCount; ++tag)
        messages_[tag].isPeak = ControlType::isMeter(CK_ParameterMap::instance().record(tag).type);
}

void CK_EditorMailbox::postValue(int32_t tag, float value, bool duringProgramLoad)
{
    if (tag < 0 || tag >= kParameterCount)
        return;
    ValueSlot& slot = values_[tag];
    slot.value.store(value, std::memory_order_relaxed);
    slot.state.fetch_or(kChanged | (duringProgramLoad ? kDuringProgramLoad : 0u), std::memory_order_release);
}

void CK_EditorMailbox::postMessage(int32_t tag, const CK_LinkMessage& message)
{
    if (tag < 0 || tag >= kParameterCount)
        return;
    MessageSlot& slot = messages_[tag];
    if (slot.isPeak && message.mode == 0) {
        float seen = slot.peak.load(std::memory_order_relaxed);
        while (message.value > seen
               && !slot.peak.compare_exchange_weak(seen, message.value, std::memory_order_release,
                                                   std::memory_order_relaxed)) {
        }
        slot.peakId.store(message.id, std::memory_order_relaxed);
        return;
    }
    const uint32_t sequence = slot.sequence.load(std::memory_order_relaxed);
    slot.sequence.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    slot.mode.store(message.mode, std::memory_order_relaxed);
    slot.id.store(message.id, std::memory_order_relaxed);
    slot.value.store(message.value, std::memory_order_relaxed);
    slot.payload.store(message.payload, std::memory_order_relaxed);
    slot.sequence.store(sequence + 2, std::memory_order_release);
}

bool CK_EditorMailbox::takeLatest(int32_t tag, CK_LinkMessage& message)
{
    MessageSlot& slot = messages_[tag];
    for (;;) {
        const uint32_t before = slot.sequence.load(std::memory_order_acquire);
        if (before == slot.taken)
            return false;
        if (before & 1u)
            continue; // being written: the writer never waits, so this ends at once
        message.mode = slot.mode.load(std::memory_order_relaxed);
        message.id = slot.id.load(std::memory_order_relaxed);
        message.value = slot.value.load(std::memory_order_relaxed);
        message.payload = slot.payload.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (slot.sequence.load(std::memory_order_relaxed) == before) {
            slot.taken = before;
            return true;
        }
    }
}

bool CK_EditorMailbox::takePeak(int32_t tag, CK_LinkMessage& message)
{
    MessageSlot& slot = messages_[tag];
    if (!slot.isPeak)
        return false;
    const float peak = slot.peak.exchange(kNoPeak, std::memory_order_acquire);
    if (peak < 0.0f)
        return false;
    message = CK_LinkMessage{};
    message.id = slot.peakId.load(std::memory_order_relaxed);
    message.value = peak;
    return true;
}

void CK_EditorMailbox::discard()
{
    takeValues([](int32_t, float, bool) {});
    takeMessages([](int32_t, const CK_LinkMessage&) {});
}
