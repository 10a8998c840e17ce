#include "modules/CK_ModuleGroup.h"

#include "modules/CK_ModuleBase.h"
#include "modules/CK_ModuleOwner.h"

namespace {

// Where a module runs: its own position, or its group's.
int32_t runPosition(const CK_ModuleOwner& owner, int32_t index)
{
    const CK_ModuleBase* m = owner.modules[index];
    return m && m->group ? m->group->position() : index;
}

} // namespace

bool CK_ModuleGroup::form(CK_ModuleOwner& owner, const int32_t* positions, int count)
{
    if (count < 2 || count > kMaxMembers)
        return false;
    CK_ModuleStd* members[kMaxMembers] = {};
    bool isMember[CK_ModuleOwner::kMaxModules] = {};
    for (int k = 0; k < count; ++k) {
        const int32_t at = positions[k];
        if (at < 0 || at >= owner.moduleCount || isMember[at])
            return false;
        members[k] = dynamic_cast<CK_ModuleStd*>(owner.modules[at]);
        if (!members[k] || members[k]->group)
            return false;
        isMember[at] = true;
    }

    // The latest place a reader allows and the earliest place the feeders allow.
    int32_t latest = CK_ModuleOwner::kMaxModules;
    int32_t earliest = -1;
    for (int32_t i = 0; i < owner.moduleCount; ++i) {
        const CK_ModuleBase* m = owner.modules[i];
        if (!m)
            continue;
        for (const CK_Connection* const& head : m->connections) {
            for (const CK_Connection* c = head; c; c = c->next) {
                const int32_t target = c->targetIndex;
                if (target >= owner.moduleCount)
                    continue;
                if (isMember[i] && isMember[target])
                    return false; // members must not feed each other
                if (isMember[i] && runPosition(owner, target) - 1 < latest)
                    latest = runPosition(owner, target) - 1;
                if (!isMember[i] && isMember[target] && runPosition(owner, i) > earliest)
                    earliest = runPosition(owner, i);
            }
        }
    }

    int32_t chosen = -1;
    for (int k = 0; k < count; ++k) {
        const int32_t at = positions[k];
        if (at > earliest && at <= latest && (chosen < 0 || at < chosen))
            chosen = at;
    }
    if (chosen < 0)
        return false;

    owner_ = &owner;
    count_ = count;
    position_ = chosen;
    for (int k = 0; k < count; ++k) {
        members_[k] = members[k];
        members_[k]->group = this;
    }
    return true;
}

void CK_ModuleGroup::dissolve()
{
    for (int k = 0; k < count_; ++k)
        members_[k]->group = nullptr;
    count_ = 0;
    position_ = -1;
}

void CK_ModuleGroup::run(int32_t firstFrame, int32_t count)
{
    // The same splitting as each member's own run: events due by a frame are handled before it,
    // and every member's routine runs from one event time to the next.
    const uint32_t end = owner_->clock + static_cast<uint32_t>(count);
    uint32_t t = owner_->clock;
    for (;;) {
        uint32_t next = end;
        for (int k = 0; k < count_; ++k) {
            CK_ModuleStd* m = members_[k];
            m->clock = t;
            while (CK_Event* e = m->eventHead) {
                if (frameBefore(t, e->time)) {
                    if (frameBefore(e->time, next))
                        next = e->time;
                    break;
                }
                m->eventHead = e->next;
                if (m->eventHead)
                    m->eventHead->prev = nullptr;
                else
                    m->eventTail = nullptr;
                m->flags &= ~CK_ModuleBase::kFlagResting;
                m->handleEvent(*e, firstFrame);
                owner_->eventPool.release(e);
            }
        }
        const auto frames = static_cast<int32_t>(next - t);
        if (frames > 0)
            processSegment(firstFrame, frames);
        if (next == end)
            return;
        t = next;
        firstFrame += frames;
    }
}

void CK_ModuleGroup::processSegment(int32_t firstFrame, int32_t count)
{
    bool done[kMaxMembers] = {};
    CK_ModuleBase* batch[kMaxMembers];
    for (int a = 0; a < count_; ++a) {
        CK_ModuleStd* m = members_[a];
        if (done[a] || m->flags != 0)
            continue;
        int n = 0;
        batch[n++] = m;
        if (m->groupRoutine) {
            for (int b = a + 1; b < count_; ++b) {
                CK_ModuleStd* other = members_[b];
                if (!done[b] && other->flags == 0 && other->processRoutine == m->processRoutine) {
                    batch[n++] = other;
                    done[b] = true;
                }
            }
        }
        if (n > 1)
            m->groupRoutine(batch, n, firstFrame, count);
        else
            m->processRoutine(m, firstFrame, count);
    }
}
