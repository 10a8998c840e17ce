// Time-stamped messages between modules, the records that wire an output to its readers, and the
// preallocated store that event records come from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct CK_Event {
    uint32_t time;      // absolute frame at which the event takes effect
    uint16_t pin;       // receiving input pin
    uint16_t kind;      // 0: a value change; other kinds are defined by the sending module
    int32_t intValue;   // for parameters: the engineering value rounded half up
    float floatValue;   // for parameters: volts (engineering value x 0.1)
    const void* payload; // sender-defined; for parameters the address of the current value
    CK_Event* next;     // later event
    CK_Event* prev;     // earlier event
};

// One wired output: the reader's position in the module array and its input pin.
struct CK_Connection {
    uint16_t targetIndex;
    uint16_t targetPin;
    uint16_t reserved0;
    uint16_t reserved1;
    CK_Connection* next;
};

// Fixed store of event records so that posting an event on the audio thread never allocates.
// Used from one thread at a time (the owner's processing thread, or set-up while processing is
// stopped). When exhausted it falls back to the heap and counts it; that only happens under
// event storms far beyond what a graph produces in steady state.
class CK_EventPool {
public:
    explicit CK_EventPool(size_t capacity);
    ~CK_EventPool();

    CK_EventPool(const CK_EventPool&) = delete;
    CK_EventPool& operator=(const CK_EventPool&) = delete;

    CK_Event* acquire();
    void release(CK_Event* event);

    size_t capacity() const { return capacity_; }
    size_t available() const { return available_; }
    size_t heapFallbacks() const { return heapFallbacks_; }

private:
    bool owns(const CK_Event* event) const { return event >= slots_.get() && event < slots_.get() + capacity_; }

    std::unique_ptr<CK_Event[]> slots_;
    size_t capacity_;
    size_t available_;
    size_t heapFallbacks_ = 0;
    CK_Event* freeList_ = nullptr;
};
