#include "model/cmd_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool Push(CQelCmdQueue& queue, const std::string& text, int32_t type = CQelCmdQueue::kPaced)
{
    return queue.Push(text.data(), static_cast<uint32_t>(text.size()), type);
}

struct Popped {
    std::string text;
    int32_t type;
};

std::vector<Popped> Drain(CQelCmdQueue& queue)
{
    std::vector<Popped> out;
    char buffer[CQelCmdQueue::kSlotSize];
    uint32_t length = 0;
    int32_t type = 0;
    while (queue.Pop(buffer, length, type) == 0)
        out.push_back({std::string(buffer, length), type});
    return out;
}

} // namespace

TEST(CmdQueue, HoldsTenThousandTwoHundredFortyAndRefusesMore)
{
    CQelCmdQueue queue;
    queue.Init();
    for (uint32_t i = 0; i < CQelCmdQueue::kCapacity; ++i)
        ASSERT_TRUE(Push(queue, "C" + std::to_string(i)));
    EXPECT_EQ(queue.Count(), 10240u);
    EXPECT_FALSE(Push(queue, "one too many"));
    EXPECT_EQ(queue.Count(), 10240u);

    auto popped = Drain(queue);
    ASSERT_EQ(popped.size(), 10240u);
    EXPECT_EQ(popped.front().text, "C0");
    EXPECT_EQ(popped.back().text, "C10239");
    EXPECT_EQ(queue.Count(), 0u);
}

TEST(CmdQueue, CountsAcrossTheWrap)
{
    CQelCmdQueue queue;
    queue.Init();
    char buffer[CQelCmdQueue::kSlotSize];
    uint32_t length;
    int32_t type;
    // Move head to 10000, then fill past the end of the ring.
    for (int i = 0; i < 10000; ++i) {
        Push(queue, "x");
        queue.Pop(buffer, length, type);
    }
    for (int i = 0; i < 500; ++i)
        Push(queue, "y" + std::to_string(i));
    // tail = (10000 + 500) mod 10241 = 259 < head
    EXPECT_EQ(queue.Count(), 10241u - 10000u + 259u);
    auto popped = Drain(queue);
    ASSERT_EQ(popped.size(), 500u);
    EXPECT_EQ(popped[240].text, "y240"); // the entry in the last slot
    EXPECT_EQ(popped[241].text, "y241"); // and the first one after the wrap
}

TEST(CmdQueue, RemoveType2KeepsPacedCommandsInOrder)
{
    CQelCmdQueue queue;
    queue.Init();
    queue.RemoveType2(); // empty: nothing changes
    Push(queue, "P1");
    Push(queue, "E1", CQelCmdQueue::kEchoed);
    Push(queue, "P2");
    queue.RemoveType2();
    EXPECT_EQ(queue.Count(), 2u);
    Push(queue, "P3");
    auto popped = Drain(queue);
    ASSERT_EQ(popped.size(), 3u);
    EXPECT_EQ(popped[0].text, "P1");
    EXPECT_EQ(popped[1].text, "P2");
    EXPECT_EQ(popped[2].text, "P3");
    EXPECT_EQ(popped[0].type, CQelCmdQueue::kPaced);

    // Across the end of the ring, and twice, which brings the first table back.
    char buffer[CQelCmdQueue::kSlotSize];
    uint32_t length;
    int32_t type;
    for (int i = 0; i < 10236; ++i) {
        Push(queue, "x");
        queue.Pop(buffer, length, type);
    }
    for (int i = 0; i < 6; ++i)
        Push(queue, "c" + std::to_string(i), i % 2 ? CQelCmdQueue::kEchoed : CQelCmdQueue::kPaced);
    queue.RemoveType2();
    queue.RemoveType2();
    popped = Drain(queue);
    ASSERT_EQ(popped.size(), 3u);
    EXPECT_EQ(popped[0].text, "c0");
    EXPECT_EQ(popped[1].text, "c2");
    EXPECT_EQ(popped[2].text, "c4");
}

TEST(CmdQueue, RefusesOversizeAndUninitialisedUse)
{
    CQelCmdQueue queue;
    EXPECT_FALSE(Push(queue, "before init"));
    queue.Init();
    EXPECT_FALSE(Push(queue, std::string(1025, 'a')));
    EXPECT_TRUE(Push(queue, std::string(1024, 'b')));
    auto popped = Drain(queue);
    ASSERT_EQ(popped.size(), 1u);
    EXPECT_EQ(popped[0].text.size(), 1024u);

    Push(queue, "dropped by release");
    queue.Release();
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_FALSE(Push(queue, "after release"));
    EXPECT_TRUE(Drain(queue).empty());
}
