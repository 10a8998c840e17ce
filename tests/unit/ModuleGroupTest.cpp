// Modules running side by side: where a group may run, and that members see exactly the frames,
// clocks and events they see running alone.
#include <gtest/gtest.h>

#include <vector>

#include "modules/CK_ModuleBase.h"
#include "modules/CK_ModuleGroup.h"
#include "tests/support/TestModules.h"

namespace {

// Records its frames like RecordingModule and offers a side-by-side form that counts its use.
class GroupedRecorder : public RecordingModule {
public:
    using RecordingModule::RecordingModule;
    void prepare() override { useRoutine<&GroupedRecorder::record, &GroupedRecorder::together>(); }
    static void together(CK_ModuleBase* const* modules, int count, int32_t first, int32_t frames)
    {
        ++togetherCalls;
        for (int k = 0; k < count; ++k)
            static_cast<GroupedRecorder*>(modules[k])->record(first, frames);
    }
    static int togetherCalls;
};
int GroupedRecorder::togetherCalls = 0;

struct Graph {
    // Adds `count` recorders; `links` wires output 0 of the first module to input 0 of the second.
    Graph(int count, std::vector<std::pair<int, int>> links)
    {
        for (int i = 0; i < count; ++i)
            owner.addModule(new GroupedRecorder(&owner));
        for (auto [from, to] : links)
            owner.modules[from]->connect(owner.modules[to], to, 0, 0);
        for (int i = 0; i < count; ++i)
            owner.modules[i]->prepare();
    }
    GroupedRecorder& at(int i) { return *static_cast<GroupedRecorder*>(owner.modules[i]); }
    bool group(std::vector<int32_t> positions)
    {
        return owner.groupModules(positions.data(), static_cast<int>(positions.size()));
    }
    CK_ModuleOwner owner;
};

TEST(ModuleGroup, RunsWhereFeedersHaveRunAndReadersHaveNot)
{
    // 0 feeds 2, 1 and 2 are the members, 3 reads 1: only position 1 suits.
    Graph g(4, {{0, 2}, {1, 3}});
    ASSERT_TRUE(g.group({1, 2}));
    EXPECT_EQ(g.at(1).group->position(), 1);

    // Members run at a later member when a feeder after the first member can be woken there.
    Graph late(5, {{1, 2}, {2, 4}});
    ASSERT_TRUE(late.group({0, 4}));
    EXPECT_EQ(late.at(0).group->position(), 4);

    // A reader between the members and a feeder after the first that a module after the first
    // can wake: no position works.
    Graph none(5, {{1, 2}, {2, 3}, {3, 4}});
    EXPECT_FALSE(none.group({1, 4}));
    EXPECT_EQ(none.at(1).group, nullptr);
    EXPECT_EQ(none.at(4).group, nullptr);

    // The same later feeder with nothing after the first member to wake it: the group forms, and
    // the member it feeds waits for its own position while the feeder runs.
    Graph waiting(5, {{1, 2}, {3, 4}});
    ASSERT_TRUE(waiting.group({1, 4}));
    EXPECT_EQ(waiting.at(4).group->position(), 1);
    waiting.owner.runModules(0, 16);
    EXPECT_TRUE(waiting.at(4).group->waits(&waiting.at(4)));
    EXPECT_FALSE(waiting.at(1).group->waits(&waiting.at(1)));

    // Members that feed each other, or already belong to a group, or are missing, are refused.
    Graph chain(3, {{0, 1}});
    EXPECT_FALSE(chain.group({0, 1}));
    EXPECT_TRUE(chain.group({1, 2}));
    EXPECT_FALSE(chain.group({0, 2}));
    EXPECT_FALSE(chain.group({0, 7}));
    EXPECT_FALSE(chain.group({0}));
}

TEST(ModuleGroup, MembersSeeTheFramesClocksAndEventsTheySeeAlone)
{
    // Two identical graphs of three independent recorders; in one they form a group. Events land
    // inside blocks, on block edges, at the same frame for several members, and late.
    Graph alone(3, {}), grouped(3, {});
    ASSERT_TRUE(grouped.group({0, 1, 2}));
    struct Post {
        uint32_t time;
        int module;
        int pin;
    };
    const std::vector<Post> posts = {{5, 0, 1}, {5, 2, 2}, {64, 1, 1}, {130, 0, 3}, {200, 2, 1}, {255, 1, 2}, {256, 0, 1}};
    GroupedRecorder::togetherCalls = 0;
    for (Graph* g : {&alone, &grouped}) {
        for (const Post& p : posts)
            g->at(p.module).postEvent(p.time, p.pin, 0, p.pin, 0.5f, nullptr);
        g->at(1).restOnEvent = true; // member 1 rests after its first event, until the next
        for (int block = 0; block < 4; ++block) {
            g->owner.runModules(0, 128);
            g->owner.clock += 128;
        }
    }
    EXPECT_GT(GroupedRecorder::togetherCalls, 0);
    for (int m = 0; m < 3; ++m) {
        const auto& a = alone.at(m).handled;
        const auto& b = grouped.at(m).handled;
        ASSERT_EQ(a.size(), b.size()) << "module " << m;
        for (size_t k = 0; k < a.size(); ++k) {
            EXPECT_EQ(a[k].time, b[k].time);
            EXPECT_EQ(a[k].clockAtHandling, b[k].clockAtHandling);
            EXPECT_EQ(a[k].firstFrame, b[k].firstFrame);
        }
        // Every frame processed alone is processed in the group, with the same clock.
        std::vector<uint32_t> framesAlone, framesGrouped;
        for (const auto& c : alone.at(m).calls)
            for (int32_t i = 0; i < c.count; ++i)
                framesAlone.push_back(c.clock + static_cast<uint32_t>(i));
        for (const auto& c : grouped.at(m).calls)
            for (int32_t i = 0; i < c.count; ++i)
                framesGrouped.push_back(c.clock + static_cast<uint32_t>(i));
        EXPECT_EQ(framesAlone, framesGrouped) << "module " << m;
    }
}

TEST(ModuleGroup, AMemberFedByALaterFeederRunsWithTheGroupOnlyWhileTheFeederSleeps)
{
    // 0 and 2 are members, 1 feeds 2 and sleeps or wakes block by block; 2 copies its input, so
    // its output shows whether it read 1's output of the same sub-block.
    Graph alone(3, {{1, 2}}), grouped(3, {{1, 2}});
    ASSERT_TRUE(grouped.group({0, 2}));
    const bool awake[] = {true, false, false, true, true, false, true, false};
    int waited = 0, together = 0;
    for (bool feederAwake : awake) {
        for (Graph* g : {&alone, &grouped}) {
            g->at(1).flags = feederAwake ? 0 : CK_ModuleBase::kFlagResting;
            g->owner.runModules(0, 128);
            g->owner.clock += 128;
        }
        (grouped.at(2).group->waits(&grouped.at(2)) ? waited : together) += 1;
        for (int32_t i = 0; i < 128; ++i)
            ASSERT_EQ(alone.at(2).outputs[1][i], grouped.at(2).outputs[1][i]) << "frame " << i;
    }
    EXPECT_EQ(waited, 4);
    EXPECT_EQ(together, 4);
}

TEST(ModuleGroup, DestroyingTheModulesDissolvesTheGroups)
{
    Graph g(2, {});
    ASSERT_TRUE(g.group({0, 1}));
    EXPECT_EQ(g.owner.groupCount(), 1);
    g.owner.destroyModules();
    EXPECT_EQ(g.owner.groupCount(), 0);
}

} // namespace
