#include "modules/CK_ModuleBase.h"

#include <cstring>
#include <new>

#include "platform/AlignedMemory.h"

CK_ModuleBase::CK_ModuleBase(CK_ModuleOwner* moduleOwner, bool startDisabled)
    : owner(moduleOwner),
      clock(moduleOwner->clock),
      blockSize(moduleOwner->cappedBlockSize),
      flags(startDisabled ? kFlagDisabled : 0)
{
}

CK_ModuleBase::~CK_ModuleBase()
{
    clearEvents();
    for (int pin = 0; pin < kMaxPins; ++pin) {
        for (CK_Connection* c = connections[pin]; c;) {
            CK_Connection* next = c->next;
            delete c;
            c = next;
        }
        if (ownedOutputs_ & (uint64_t{1} << pin))
            ck_alignedFree(outputs[pin]);
    }
}

void CK_ModuleBase::idle(int32_t, int32_t)
{
    flags |= kFlagResting;
}

void CK_ModuleBase::process(int32_t, int32_t)
{
    flags |= kFlagResting;
}

float* CK_ModuleBase::allocateOutput(int pin)
{
    if (pin < 0 || pin >= kMaxPins)
        return nullptr;
    const size_t bytes = static_cast<size_t>(owner->cappedBlockSize) * 4 + 16;
    auto* buffer = static_cast<float*>(ck_alignedAlloc(bytes, 16));
    if (buffer)
        std::memset(buffer, 0, bytes);
    if (ownedOutputs_ & (uint64_t{1} << pin))
        ck_alignedFree(outputs[pin]);
    outputs[pin] = buffer;
    if (buffer)
        ownedOutputs_ |= uint64_t{1} << pin;
    else
        ownedOutputs_ &= ~(uint64_t{1} << pin);
    return buffer;
}

void CK_ModuleBase::clearEvents()
{
    for (CK_Event* e = eventHead; e;) {
        CK_Event* next = e->next;
        owner->eventPool.release(e);
        e = next;
    }
    eventHead = eventTail = nullptr;
}

void CK_ModuleBase::postEvent(uint32_t time, int pin, int kind, int32_t intValue, float floatValue,
                              const void* payload)
{
    CK_Event* e = owner->eventPool.acquire();
    if (!e)
        return;
    e->time = time;
    e->pin = static_cast<uint16_t>(pin);
    e->kind = static_cast<uint16_t>(kind);
    e->intValue = intValue;
    e->floatValue = floatValue;
    e->payload = payload;

    // Walk back from the tail past every later event; equal times keep their arrival order.
    CK_Event* after = eventTail;
    while (after && frameBefore(time, after->time))
        after = after->prev;
    e->prev = after;
    e->next = after ? after->next : eventHead;
    if (e->next)
        e->next->prev = e;
    else
        eventTail = e;
    if (after)
        after->next = e;
    else
        eventHead = e;
}

void CK_ModuleBase::sendEvent(uint32_t time, int outputPin, int kind, int32_t intValue, float floatValue,
                              const void* payload)
{
    if (outputPin < 0 || outputPin >= kMaxPins)
        return;
    for (const CK_Connection* c = connections[outputPin]; c; c = c->next) {
        if (c->targetIndex < owner->moduleCount)
            if (CK_ModuleBase* target = owner->modules[c->targetIndex])
                target->postEvent(time, c->targetPin, kind, intValue, floatValue, payload);
    }
}

void CK_ModuleBase::connect(CK_ModuleBase* target, int targetIndex, int outputPin, int targetPin)
{
    if (!target || outputPin < 0 || outputPin >= kMaxPins)
        return;
    outputConnected(outputPin);
    auto* record = new (std::nothrow) CK_Connection{static_cast<uint16_t>(targetIndex),
                                                    static_cast<uint16_t>(targetPin), 0, 0, nullptr};
    if (!record)
        return;
    CK_Connection** link = &connections[outputPin];
    while (*link)
        link = &(*link)->next;
    *link = record;
    target->setInput(targetPin, outputs[outputPin]);
}

void CK_ModuleBase::setInput(int pin, const float* source)
{
    if (pin >= 0 && pin < kMaxPins)
        inputs[pin] = source;
}

void CK_ModuleBase::setDisplayTarget(int slot, int16_t controlIndex, int8_t option)
{
    if (slot < 0 || slot >= kDisplaySlots)
        return;
    displayTarget[slot] = controlIndex;
    displayOption[slot] = option;
}

void CK_ModuleBase::display(int slot, const CK_LinkMessage& message)
{
    if (slot >= 0 && slot < kDisplaySlots && displayTarget[slot] != 0)
        owner->showValue(displayTarget[slot], message);
}

void CK_ModuleStd::run(int32_t firstFrame, int32_t count)
{
    const uint32_t end = owner->clock + static_cast<uint32_t>(count);
    clock = owner->clock;
    while (CK_Event* e = eventHead) {
        if (!frameBefore(e->time, end)) {
            if (flags == 0 && count > 0)
                processRoutine(this, firstFrame, count);
            return;
        }
        const auto d = static_cast<int32_t>(e->time - clock);
        if (d > 0) {
            if (flags == 0)
                processRoutine(this, firstFrame, d);
            clock += static_cast<uint32_t>(d);
            firstFrame += d;
            count -= d;
        }
        eventHead = e->next;
        if (eventHead)
            eventHead->prev = nullptr;
        else
            eventTail = nullptr;
        flags &= ~kFlagResting;
        handleEvent(*e, firstFrame);
        owner->eventPool.release(e);
    }
    if (count > 0 && flags == 0)
        processRoutine(this, firstFrame, count);
}
