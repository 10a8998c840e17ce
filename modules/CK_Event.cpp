#include "modules/CK_Event.h"

#include <new>

CK_EventPool::CK_EventPool(size_t capacity)
    : slots_(new CK_Event[capacity]), capacity_(capacity), available_(capacity)
{
    for (size_t i = 0; i < capacity; ++i) {
        slots_[i].next = freeList_;
        freeList_ = &slots_[i];
    }
}

CK_EventPool::~CK_EventPool() = default;

CK_Event* CK_EventPool::acquire()
{
    if (CK_Event* event = freeList_) {
        freeList_ = event->next;
        --available_;
        return event;
    }
    ++heapFallbacks_;
    return new (std::nothrow) CK_Event;
}

void CK_EventPool::release(CK_Event* event)
{
    if (!event)
        return;
    if (!owns(event)) {
        delete event;
        return;
    }
    event->next = freeList_;
    freeList_ = event;
    ++available_;
}
