// Modules of one class that work on independent signals (the three band detectors, say) and run
// side by side: one loop carries all of them, so the processor overlaps their per-sample
// recursions instead of waiting on one after another. Every member keeps its own state, events
// and routine; the group only decides when they run. Members whose current routines match and
// have a side-by-side form run together, any other member runs alone, with the same results.
#pragma once

#include <cstdint>
#include <type_traits>

class CK_ModuleBase;
class CK_ModuleOwner;
class CK_ModuleStd;

class CK_ModuleGroup {
public:
    static constexpr int kMaxMembers = 4;

    static constexpr int kMaxLateFeeders = 4;

    // Makes a group of the modules at the given array positions and runs it at the earliest
    // member position where that gives every module the same inputs as running them one by one:
    // nothing reading a member has run there, and everything feeding a member has run or cannot
    // run in that sub-block (a later feeder that only modules before the group can wake, and
    // that is asleep when the group runs; while it is awake, the members it feeds wait and run
    // at their own positions). Answers false (and leaves the modules as they are) when there is
    // no such position, a module is missing or not of the standard run layer, or a module
    // already belongs to a group.
    bool form(CK_ModuleOwner& owner, const int32_t* positions, int count);
    // Detaches the members.
    void dissolve();

    // Processes one sub-block for every member that does not wait, split at the members'
    // pending events.
    void run(int32_t firstFrame, int32_t count);
    // True while the member waits for its own position in the current sub-block.
    bool waits(const CK_ModuleBase* module) const;

    int32_t position() const { return position_; }
    int memberCount() const { return count_; }

private:
    void processSegment(int32_t firstFrame, int32_t count);
    // True when nothing from `position` on is wired to the module at `feeder`.
    static bool wakesOnlyBefore(const CK_ModuleOwner& owner, int32_t feeder, int32_t position);

    CK_ModuleOwner* owner_ = nullptr;
    CK_ModuleStd* members_[kMaxMembers] = {};
    int count_ = 0;
    int32_t position_ = -1;
    CK_ModuleBase* lateFeeders_[kMaxLateFeeders] = {};
    int lateCount_ = 0;
    uint8_t fedByLate_[kMaxMembers] = {}; // per member: which late feeders feed it
    bool waiting_[kMaxMembers] = {};
};

// Hands a batch of modules to a side-by-side form written for fixed counts: in threes and twos, a
// last single module alone. `run(std::integral_constant<int, N>, modules)` processes N modules.
template <typename Run>
void ck_inThreesAndTwos(CK_ModuleBase* const* modules, int count, Run&& run)
{
    while (count > 0) {
        if (count == 2 || count == 4) {
            run(std::integral_constant<int, 2>{}, modules);
            modules += 2;
            count -= 2;
        } else if (count >= 3) {
            run(std::integral_constant<int, 3>{}, modules);
            modules += 3;
            count -= 3;
        } else {
            run(std::integral_constant<int, 1>{}, modules);
            return;
        }
    }
}
