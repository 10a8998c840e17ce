// The base of every signal-processing module: output buffers, input pointers, a time-ordered queue
// of pending events, connections to the inputs it feeds, and display outputs.
//
// Conventions shared by all modules:
// - audio: 32-bit floats, full scale 1.0, one buffer per channel;
// - control values travel in volts, the engineering value x 0.1; events also carry the engineering
//   value rounded half up (see roundedValue);
// - time counts frames since the last suspend, as an unsigned 32-bit number;
// - buffers are 16-byte aligned with blockSize x 4 + 16 bytes, so routines may work in groups of
//   four frames, starting at the group that contains the first frame and writing whole groups.
#pragma once

#include <cstdint>

#include "modules/CK_Event.h"
#include "modules/CK_ModuleOwner.h"

class CK_ModuleBase;
class CK_ModuleGroup;

// A process routine: processes frames [firstFrame, firstFrame + count) of the module's buffers.
using CK_ProcessRoutine = void (*)(CK_ModuleBase* module, int32_t firstFrame, int32_t count);
// The side-by-side form of a process routine: processes the same frames for several modules of
// one class that all have that routine installed (see CK_ModuleGroup).
using CK_GroupRoutine = void (*)(CK_ModuleBase* const* modules, int moduleCount, int32_t firstFrame,
                                 int32_t count);

// The engineering value to the nearest whole number, halves going up: -2.5 gives -2.
inline int32_t roundedValue(float volts)
{
    return static_cast<int32_t>(volts * 10.0f + 1000.5f) - 1000;
}

// True when frame a comes before frame b on the wrapping 32-bit clock.
inline bool frameBefore(uint32_t a, uint32_t b)
{
    return static_cast<int32_t>(a - b) < 0;
}

class CK_ModuleBase {
public:
    static constexpr int kMaxPins = 64;
    static constexpr int kDisplaySlots = 16;
    enum : int32_t { kFlagResting = 1, kFlagDisabled = 2 };

    CK_ModuleBase(CK_ModuleOwner* owner, bool startDisabled = false);
    virtual ~CK_ModuleBase();

    CK_ModuleBase(const CK_ModuleBase&) = delete;
    CK_ModuleBase& operator=(const CK_ModuleBase&) = delete;

    virtual void idle(int32_t firstFrame, int32_t count);
    virtual void process(int32_t firstFrame, int32_t count);
    virtual void prepare() {}
    virtual void release() {}
    virtual void clearState() {}
    virtual void restart() {}
    virtual void disable() { flags |= kFlagDisabled; }
    virtual void setBlockSize(int32_t frames) { blockSize = frames; }
    // Processes one sub-block; the standard run layer splits it at pending events.
    virtual void run(int32_t /*firstFrame*/, int32_t /*count*/) {}
    virtual void handleEvent(const CK_Event& /*event*/, int32_t /*firstFrame*/) {}
    virtual float* output(int pin) { return pin >= 0 && pin < kMaxPins ? outputs[pin] : nullptr; }
    // Queues an event in time order; events with equal times keep their posting order.
    virtual void postEvent(uint32_t time, int pin, int kind, int32_t intValue, float floatValue,
                           const void* payload);
    // Posts the event to every input that the output pin feeds, in connection order.
    virtual void sendEvent(uint32_t time, int outputPin, int kind, int32_t intValue, float floatValue,
                           const void* payload = nullptr);
    // Wires outputPin of this module to targetPin of target (at targetIndex in the module array).
    virtual void connect(CK_ModuleBase* target, int targetIndex, int outputPin, int targetPin);
    virtual void outputConnected(int /*outputPin*/) {}
    virtual void setInput(int pin, const float* source);
    virtual void setDisplayTarget(int slot, int16_t controlIndex, int8_t option);

    bool hasPendingEvents() const { return eventHead != nullptr; }
    // Sends a message to the editor control behind a display output, if it has one.
    void display(int slot, const CK_LinkMessage& message);

    float* outputs[kMaxPins] = {};
    const float* inputs[kMaxPins] = {};
    int16_t displayTarget[kDisplaySlots] = {};
    int8_t displayOption[kDisplaySlots] = {};
    CK_Event* eventHead = nullptr;
    CK_Event* eventTail = nullptr;
    CK_ModuleOwner* owner;
    uint32_t clock;
    int32_t blockSize;
    int32_t flags;
    int32_t typeId = -1;
    CK_Connection* connections[kMaxPins] = {};
    CK_ModuleGroup* group = nullptr; // set while the module runs as part of a group

protected:
    // Allocates a zeroed, aligned buffer for an output pin; the base frees it on destruction.
    float* allocateOutput(int pin);
    // Removes and frees every pending event.
    void clearEvents();

private:
    uint64_t ownedOutputs_ = 0;
};

namespace ck_detail {
template <typename T>
struct MemberClass;
template <typename C>
struct MemberClass<void (C::*)(int32_t, int32_t)> {
    using type = C;
};
template <auto Method>
void routineTrampoline(CK_ModuleBase* module, int32_t firstFrame, int32_t count)
{
    using Module = typename MemberClass<decltype(Method)>::type;
    (static_cast<Module*>(module)->*Method)(firstFrame, count);
}
} // namespace ck_detail

// The standard run layer: a current process routine and the event-splitting run routine. A module
// changes its processing mode by installing another routine, so per-sample loops never test modes.
class CK_ModuleStd : public CK_ModuleBase {
public:
    using CK_ModuleBase::CK_ModuleBase;

    void run(int32_t firstFrame, int32_t count) override;
    virtual void setProcessRoutine(CK_ProcessRoutine routine)
    {
        processRoutine = routine;
        groupRoutine = nullptr;
    }

    // Until a module installs its own routine, its `process` runs (by default: go to rest).
    CK_ProcessRoutine processRoutine = &ck_detail::routineTrampoline<&CK_ModuleBase::process>;
    // The side-by-side form of the current routine, if it has one.
    CK_GroupRoutine groupRoutine = nullptr;

protected:
    // Installs a member function of the module's own class as its process routine:
    // useRoutine<&MyModule::ramp>().
    template <auto Method>
    void useRoutine()
    {
        setProcessRoutine(&ck_detail::routineTrampoline<Method>);
    }
    // Installs a routine together with its side-by-side form, which must give every module the
    // samples the routine alone gives it.
    template <auto Method, CK_GroupRoutine Group>
    void useRoutine()
    {
        setProcessRoutine(&ck_detail::routineTrampoline<Method>);
        groupRoutine = Group;
    }
    // Installs the idle routine and puts the module to rest.
    void rest()
    {
        useRoutine<&CK_ModuleBase::idle>();
        flags |= kFlagResting;
    }
};
