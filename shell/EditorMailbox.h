// Values and messages on their way to the editor. Any thread posts parameter values; the audio
// thread posts the modules' display messages; the editor's window thread takes them at the start of
// each frame tick. Nothing here locks, allocates or waits on the posting side, so the editor can
// open, close and redraw while audio runs without ever being touched from another thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "modules/CK_LinkMessage.h"
#include "shell/ParameterTags.h"

class CK_EditorMailbox {
public:
    // The meters' tags (from the control table) are the peak tags.
    CK_EditorMailbox();

    // Any thread: the newest normalised value of a tag; `duringProgramLoad` marks it as part of a
    // program change.
    void postValue(int32_t tag, float value, bool duringProgramLoad);
    // One thread at a time (the audio thread): a module's message to a display tag. For peak tags
    // (the meters), value messages (mode 0) are kept as their maximum since the last take; any other
    // message is kept as the newest one, beside the peak and never merged with it.
    void postMessage(int32_t tag, const CK_LinkMessage& message);

    // Window thread. Calls take(tag, value, duringProgramLoad) for every value posted since the last call.
    template <typename Take> void takeValues(Take take)
    {
        for (int32_t tag = 0; tag < kParameterCount; ++tag) {
            const uint32_t state = values_[tag].state.exchange(0, std::memory_order_acquire);
            if (state & kChanged)
                take(tag, values_[tag].value.load(std::memory_order_relaxed), (state & kDuringProgramLoad) != 0);
        }
    }
    // Window thread. Calls take(tag, message) for every message posted since the last call: the
    // newest non-peak message first, then the peak.
    template <typename Take> void takeMessages(Take take)
    {
        for (int32_t tag = 0; tag < kParameterCount; ++tag) {
            CK_LinkMessage message;
            if (takeLatest(tag, message))
                take(tag, message);
            if (takePeak(tag, message))
                take(tag, message);
        }
    }
    // Window thread: forgets everything posted so far (before an editor pushes fresh values).
    void discard();

private:
    static constexpr uint32_t kChanged = 1;
    static constexpr uint32_t kDuringProgramLoad = 2;
    static constexpr float kNoPeak = -1.0f;

    bool takeLatest(int32_t tag, CK_LinkMessage& message);
    bool takePeak(int32_t tag, CK_LinkMessage& message);

    struct ValueSlot {
        std::atomic<float> value{0.0f};
        std::atomic<uint32_t> state{0};
    };
    // The newest message, guarded by a sequence count: odd while it is being written; the reader
    // retries when the count moved under it.
    struct MessageSlot {
        std::atomic<uint32_t> sequence{0};
        std::atomic<int32_t> mode{0};
        std::atomic<int32_t> id{0};
        std::atomic<float> value{0.0f};
        std::atomic<int32_t> payload{0};
        uint32_t taken = 0; // window thread only: the sequence last delivered
        std::atomic<float> peak{kNoPeak};
        std::atomic<int32_t> peakId{0};
        bool isPeak = false;
    };
    ValueSlot values_[kParameterCount];
    MessageSlot messages_[kParameterCount];
};
