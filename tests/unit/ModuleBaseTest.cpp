#include <gtest/gtest.h>

#include <cstdint>

#include "support/TestModules.h"

namespace {

struct Fixture : ::testing::Test {
    CK_ModuleOwner owner;

    template <typename M>
    M* add()
    {
        auto* m = new M(&owner);
        owner.addModule(m);
        m->prepare();
        return m;
    }
    // One sub-block as the effect runs it: every module, then the clock moves on.
    void runSubBlock(int32_t position, int32_t frames)
    {
        owner.runModules(position, frames);
        owner.clock += static_cast<uint32_t>(frames);
    }
};

using ModuleBaseTest = Fixture;

TEST_F(ModuleBaseTest, BuffersAreAlignedZeroedAndSizedForGroupsOfFour)
{
    owner.cappedBlockSize = 64;
    auto* m = add<RecordingModule>();
    EXPECT_EQ(m->blockSize, 64);
    for (int pin = 0; pin < 2; ++pin) {
        ASSERT_NE(m->outputs[pin], nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(m->outputs[pin]) % 16, 0u);
        for (int i = 0; i < 64 + 4; ++i) // block size x 4 + 16 bytes
            EXPECT_EQ(m->outputs[pin][i], 0.0f);
    }
    EXPECT_EQ(m->outputs[2], nullptr);
}

TEST_F(ModuleBaseTest, EventsSplitTheSubBlockAtTheirFrames)
{
    auto* m = add<RecordingModule>();
    owner.clock = 1000;
    m->postEvent(1010, 3, 0, 7, 0.7f, nullptr);
    m->postEvent(1040, 4, 0, 8, 0.8f, nullptr);
    runSubBlock(0, 64);

    ASSERT_EQ(m->calls.size(), 3u);
    EXPECT_EQ(m->calls[0].first, 0);
    EXPECT_EQ(m->calls[0].count, 10);
    EXPECT_EQ(m->calls[1].first, 10);
    EXPECT_EQ(m->calls[1].count, 30);
    EXPECT_EQ(m->calls[2].first, 40);
    EXPECT_EQ(m->calls[2].count, 24);
    ASSERT_EQ(m->handled.size(), 2u);
    EXPECT_EQ(m->handled[0].clockAtHandling, 1010u);
    EXPECT_EQ(m->handled[0].firstFrame, 10);
    EXPECT_EQ(m->handled[1].firstFrame, 40);
    // Every frame was processed exactly once and knows its absolute time.
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(m->outputs[0][i], 1000.0f + i);
}

TEST_F(ModuleBaseTest, PastEventsApplyAtOnceAndEqualTimesKeepPostingOrder)
{
    auto* m = add<RecordingModule>();
    owner.clock = 500;
    m->postEvent(520, 1, 0, 1, 0, nullptr);
    m->postEvent(520, 1, 0, 2, 0, nullptr);
    m->postEvent(100, 1, 0, 3, 0, nullptr); // in the past
    m->postEvent(520, 1, 0, 4, 0, nullptr);
    m->postEvent(510, 1, 0, 5, 0, nullptr);
    runSubBlock(0, 32);

    ASSERT_EQ(m->handled.size(), 5u);
    const int32_t order[] = {3, 5, 1, 2, 4};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(m->handled[i].intValue, order[i]) << i;
    EXPECT_EQ(m->handled[0].firstFrame, 0); // before any frame of the sub-block
    EXPECT_EQ(m->handled[0].clockAtHandling, 500u);
}

TEST_F(ModuleBaseTest, EventAtTheSubBlockEndStaysQueuedForTheNext)
{
    auto* m = add<RecordingModule>();
    m->postEvent(32, 0, 0, 1, 0, nullptr);
    runSubBlock(0, 32);
    EXPECT_TRUE(m->handled.empty());
    EXPECT_TRUE(m->hasPendingEvents());
    ASSERT_EQ(m->calls.size(), 1u);
    EXPECT_EQ(m->calls[0].count, 32);

    runSubBlock(32, 32);
    ASSERT_EQ(m->handled.size(), 1u);
    EXPECT_EQ(m->handled[0].firstFrame, 32);
}

TEST_F(ModuleBaseTest, RestingModuleWakesAtItsEventAndProcessesOnlyTheFramesAfter)
{
    auto* m = add<RecordingModule>();
    m->flags = CK_ModuleBase::kFlagResting;
    runSubBlock(0, 64);
    EXPECT_TRUE(m->calls.empty()); // resting and nothing queued: not run at all

    m->postEvent(64 + 20, 0, 0, 1, 0, nullptr);
    runSubBlock(64, 64);
    ASSERT_EQ(m->calls.size(), 1u);
    EXPECT_EQ(m->calls[0].first, 84);
    EXPECT_EQ(m->calls[0].count, 44);
    EXPECT_EQ(m->flags, 0);

    // A handler that puts the module back to rest stops processing from that frame on.
    m->restOnEvent = true;
    m->calls.clear();
    m->postEvent(128 + 16, 0, 0, 2, 0, nullptr);
    runSubBlock(0, 64); // the ring starts over at position 0, the clock goes on
    ASSERT_EQ(m->calls.size(), 1u);
    EXPECT_EQ(m->calls[0].count, 16);
}

TEST_F(ModuleBaseTest, ConnectSharesTheBufferAndForwardsEachEventOncePerTarget)
{
    auto* source = add<RecordingModule>();
    auto* a = add<RecordingModule>();
    auto* b = add<RecordingModule>();
    source->connect(a, 1, 0, 0);
    source->connect(b, 2, 0, 5);
    source->connect(b, 2, 1, 6);
    EXPECT_EQ(a->inputs[0], source->outputs[0]);
    EXPECT_EQ(b->inputs[5], source->outputs[0]);
    EXPECT_EQ(b->inputs[6], source->outputs[1]);

    source->sendEvent(0, 0, 1, 42, 4.2f);
    runSubBlock(0, 16);
    ASSERT_EQ(a->handled.size(), 1u);
    EXPECT_EQ(a->handled[0].pin, 0);
    EXPECT_EQ(a->handled[0].kind, 1);
    EXPECT_EQ(a->handled[0].intValue, 42);
    ASSERT_EQ(b->handled.size(), 1u);
    EXPECT_EQ(b->handled[0].pin, 5);
    // The reader sees what its source wrote in the same sub-block.
    EXPECT_EQ(a->outputs[1][7], source->outputs[0][7]);
}

TEST_F(ModuleBaseTest, EventsComeFromThePoolAndGoBackToIt)
{
    auto* m = add<RecordingModule>();
    const size_t before = owner.eventPool.available();
    for (int i = 0; i < 100; ++i)
        m->postEvent(static_cast<uint32_t>(i), 0, 0, i, 0, nullptr);
    EXPECT_EQ(owner.eventPool.available(), before - 100);
    runSubBlock(0, 128);
    EXPECT_EQ(owner.eventPool.available(), before);
    EXPECT_EQ(owner.eventPool.heapFallbacks(), 0u);

    // Pending events of a deleted module return to the pool as well.
    m->postEvent(5000, 0, 0, 0, 0, nullptr);
    owner.destroyModules();
    EXPECT_EQ(owner.eventPool.available(), before);
}

TEST_F(ModuleBaseTest, ClockWrapKeepsEventOrder)
{
    auto* m = add<RecordingModule>();
    owner.clock = 0xFFFFFFF0u;
    m->postEvent(0x00000004u, 0, 0, 2, 0, nullptr); // after the wrap
    m->postEvent(0xFFFFFFF8u, 0, 0, 1, 0, nullptr);
    runSubBlock(0, 32);
    ASSERT_EQ(m->handled.size(), 2u);
    EXPECT_EQ(m->handled[0].intValue, 1);
    EXPECT_EQ(m->handled[0].firstFrame, 8);
    EXPECT_EQ(m->handled[1].firstFrame, 20);
}

TEST(RoundedValue, RoundsHalvesUpOnBothSides)
{
    EXPECT_EQ(roundedValue(0.15f), 2);  // 1.5
    EXPECT_EQ(roundedValue(-0.25f), -2); // -2.5
    EXPECT_EQ(roundedValue(-0.26f), -3);
    EXPECT_EQ(roundedValue(2048.0f), 20480);
}

TEST(DisplayOutputs, ReachTheOwnerOnlyWhenTargeted)
{
    struct Owner : CK_ModuleOwner {
        void showValue(int32_t control, const CK_LinkMessage& message) override
        {
            control_ = control;
            message_ = message;
        }
        int32_t control_ = 0;
        CK_LinkMessage message_;
    } owner;
    RecordingModule m(&owner);
    CK_LinkMessage message;
    message.mode = 3;
    message.id = 110;
    message.value = 0.5f;
    m.display(0, message);
    EXPECT_EQ(owner.control_, 0);
    m.setDisplayTarget(0, 100, 10);
    m.display(0, message);
    EXPECT_EQ(owner.control_, 100);
    EXPECT_EQ(owner.message_.mode, 3);
    EXPECT_EQ(owner.message_.id, 110);
    EXPECT_EQ(owner.message_.value, 0.5f);
    EXPECT_EQ(m.displayOption[0], 10);
}

} // namespace
