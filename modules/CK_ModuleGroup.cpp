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

    // The latest place a reader allows: every reader of a member must run after the group.
    int32_t latest = CK_ModuleOwner::kMaxModules;
    for (int32_t i = 0; i < owner.moduleCount; ++i) {
        const CK_ModuleBase* m = owner.modules[i];
        if (!m || !isMember[i])
            continue;
        for (const CK_Connection* const& head : m->connections)
            for (const CK_Connection* c = head; c; c = c->next) {
                if (c->targetIndex >= owner.moduleCount)
                    continue;
                if (isMember[c->targetIndex])
                    return false; // members must not feed each other
                if (runPosition(owner, c->targetIndex) - 1 < latest)
                    latest = runPosition(owner, c->targetIndex) - 1;
            }
    }

    // The earliest member position where every feeder of a member has run, or will not run in
    // the sub-block at all: a feeder that comes later may wait, if whatever could wake it runs
    // before the group. The group then checks it each time and leaves the members it feeds to
    // run at their own positions while it is awake.
    int32_t chosen = -1;
    for (int k = 0; k < count && chosen < 0; ++k) {
        const int32_t at = positions[k];
        if (at > latest)
            continue;
        bool fits = true;
        CK_ModuleBase* late[kMaxLateFeeders] = {};
        uint8_t fedBy[kMaxMembers] = {};
        int lateCount = 0;
        for (int32_t i = 0; i < owner.moduleCount && fits; ++i) {
            CK_ModuleBase* f = owner.modules[i];
            if (!f || isMember[i])
                continue;
            for (const CK_Connection* const& head : f->connections)
                for (const CK_Connection* c = head; c && fits; c = c->next) {
                    if (c->targetIndex >= owner.moduleCount || !isMember[c->targetIndex] || runPosition(owner, i) < at)
                        continue;
                    if (f->group || !wakesOnlyBefore(owner, i, at)) {
                        fits = false;
                        break;
                    }
                    int slot = 0;
                    while (slot < lateCount && late[slot] != f)
                        ++slot;
                    if (slot == lateCount) {
                        if (lateCount == kMaxLateFeeders) {
                            fits = false;
                            break;
                        }
                        late[lateCount++] = f;
                    }
                    for (int m = 0; m < count; ++m)
                        if (positions[m] == c->targetIndex)
                            fedBy[m] = static_cast<uint8_t>(fedBy[m] | (1u << slot));
                }
        }
        if (!fits)
            continue;
        chosen = at;
        lateCount_ = lateCount;
        for (int l = 0; l < lateCount; ++l)
            lateFeeders_[l] = late[l];
        for (int m = 0; m < count; ++m)
            fedByLate_[m] = fedBy[m];
    }
    if (chosen < 0)
        return false;

    owner_ = &owner;
    count_ = count;
    position_ = chosen;
    for (int k = 0; k < count; ++k) {
        members_[k] = members[k];
        members_[k]->group = this;
        waiting_[k] = false;
    }
    return true;
}

bool CK_ModuleGroup::wakesOnlyBefore(const CK_ModuleOwner& owner, int32_t feeder, int32_t position)
{
    // Besides the host's parameter changes, which arrive before the sub-block runs, a module is
    // only woken by the modules wired to it.
    for (int32_t i = 0; i < owner.moduleCount; ++i) {
        const CK_ModuleBase* m = owner.modules[i];
        if (!m)
            continue;
        for (const CK_Connection* const& head : m->connections)
            for (const CK_Connection* c = head; c; c = c->next)
                if (c->targetIndex == feeder && runPosition(owner, i) >= position)
                    return false;
    }
    return true;
}

bool CK_ModuleGroup::waits(const CK_ModuleBase* module) const
{
    for (int k = 0; k < count_; ++k)
        if (members_[k] == module)
            return waiting_[k];
    return false;
}

void CK_ModuleGroup::dissolve()
{
    for (int k = 0; k < count_; ++k)
        members_[k]->group = nullptr;
    count_ = 0;
    lateCount_ = 0;
    position_ = -1;
}

void CK_ModuleGroup::run(int32_t firstFrame, int32_t count)
{
    // Members fed by a later module that runs in this sub-block wait for their own positions.
    uint8_t awake = 0;
    for (int l = 0; l < lateCount_; ++l)
        if (lateFeeders_[l]->flags == 0 || lateFeeders_[l]->hasPendingEvents())
            awake = static_cast<uint8_t>(awake | (1u << l));
    for (int k = 0; k < count_; ++k)
        waiting_[k] = (fedByLate_[k] & awake) != 0;

    // The same splitting as each member's own run: events due by a frame are handled before it,
    // and every member's routine runs from one event time to the next.
    const uint32_t end = owner_->clock + static_cast<uint32_t>(count);
    uint32_t t = owner_->clock;
    for (;;) {
        uint32_t next = end;
        for (int k = 0; k < count_; ++k) {
            if (waiting_[k])
                continue;
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
        if (done[a] || waiting_[a] || m->flags != 0)
            continue;
        int n = 0;
        batch[n++] = m;
        if (m->groupRoutine) {
            for (int b = a + 1; b < count_; ++b) {
                CK_ModuleStd* other = members_[b];
                if (!done[b] && !waiting_[b] && other->flags == 0 && other->processRoutine == m->processRoutine) {
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
