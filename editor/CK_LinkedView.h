// Views that exchange link messages: a knob and the curve view that edits the same parameter, the
// meter-scale button and the meters, a button hub and its buttons. The processing side sends to a
// view through the same operation, with no sender.
#pragma once

#include <cstdint>

#include "modules/CK_LinkMessage.h"

class CK_LinkedView {
public:
    virtual ~CK_LinkedView() = default;
    // `sender` is null when the message comes from the processing side (through the editor's mailbox).
    virtual void link(CK_LinkedView* sender, const CK_LinkMessage& message) = 0;

    static CK_LinkMessage registerMessage(int32_t id)
    {
        CK_LinkMessage m;
        m.mode = CK_LinkMessage::kModeRegister;
        m.id = id;
        return m;
    }
    static CK_LinkMessage valueMessage(int32_t id, float value, int32_t mode = 0)
    {
        CK_LinkMessage m;
        m.mode = mode;
        m.id = id;
        m.value = value;
        return m;
    }
};

// The views registered with a view, each under the id it registered with; at most Capacity, later
// registrations are refused.
template <int Capacity> class CK_LinkList {
public:
    bool add(CK_LinkedView* view, int32_t id)
    {
        if (!view || count_ >= Capacity)
            return false;
        entries_[count_++] = {view, id};
        return true;
    }
    // A value message to every linked view, each under its own id.
    void sendValue(CK_LinkedView* sender, float value, int32_t mode = 0) const
    {
        for (int i = 0; i < count_; ++i)
            entries_[i].view->link(sender, CK_LinkedView::valueMessage(entries_[i].id, value, mode));
    }
    int size() const { return count_; }
    CK_LinkedView* view(int i) const { return entries_[i].view; }
    int32_t id(int i) const { return entries_[i].id; }

private:
    struct Entry {
        CK_LinkedView* view;
        int32_t id;
    };
    Entry entries_[Capacity] = {};
    int count_ = 0;
};
