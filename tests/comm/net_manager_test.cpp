#include "comm/net_manager.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Counts what the registry and Send do to a channel.
class FakeChannel : public CNetChannel {
public:
    using CNetChannel::CNetChannel;

    bool IsConnected() const override { return open_; }
    bool CheckConnected() const override { return IsConnected(); }
    void Open() override { open_ = opened_ = true; }
    void Close() override
    {
        open_ = false;
        ++closes;
    }
    bool SendBlock(int tag, qz::vok::binblock& unit) override
    {
        lastTag = tag;
        lastUnit = std::string(reinterpret_cast<const char*>(unit.data()), unit.length());
        ++blocks;
        return opened_;
    }

    std::atomic<int> closes{0};
    int blocks = 0;
    int lastTag = -1;
    std::string lastUnit = "unset";

private:
    std::atomic<bool> open_{false};
    bool opened_ = false;
};

std::shared_ptr<FakeChannel> MakeChannel(CNetManager& manager)
{
    return std::make_shared<FakeChannel>(&manager, "PRO_Tcp_1");
}

} // namespace

TEST(NetManager, HandsOutIdsFromOneAndWrapsBeforeTheSignBit)
{
    CNetManager manager;
    EXPECT_EQ(manager.Register(MakeChannel(manager)), 1u);
    EXPECT_EQ(manager.Register(MakeChannel(manager)), 2u);

    CNetManager nearWrap(0x7FFFFFFE);
    auto last = MakeChannel(nearWrap);
    EXPECT_EQ(nearWrap.Register(last), 0x7FFFFFFFu);
    EXPECT_EQ(last->GetId(), 0x7FFFFFFFu);
    EXPECT_EQ(nearWrap.Register(MakeChannel(nearWrap)), 1u);
    EXPECT_EQ(nearWrap.NextId(), 2u);
}

TEST(NetManager, FindsRegisteredChannelsOnlyAndNeverIdZero)
{
    CNetManager manager;
    auto channel = MakeChannel(manager);
    const uint32_t id = manager.Register(channel);
    EXPECT_EQ(manager.Find(id), channel);
    EXPECT_EQ(manager.Find(0), nullptr);
    EXPECT_EQ(manager.Find(id + 1), nullptr);
}

TEST(NetManager, ClosedChannelStaysRegisteredUntilRemoved)
{
    CNetManager manager;
    auto channel = MakeChannel(manager);
    const uint32_t id = manager.Register(channel);
    channel->Open();
    EXPECT_TRUE(channel->CheckConnected());

    channel->Close();
    ASSERT_EQ(manager.Find(id), channel);
    EXPECT_FALSE(manager.Find(id)->CheckConnected());

    manager.CloseAndRemove(id + 5); // unknown: nothing happens
    EXPECT_EQ(channel->closes, 1);

    manager.CloseAndRemove(id);
    EXPECT_EQ(channel->closes, 2);
    EXPECT_EQ(manager.Find(id), nullptr);
    EXPECT_EQ(channel.use_count(), 1); // the registry let go
}

TEST(NetManager, CloseAllKeepsEntriesAndMayRunAgain)
{
    auto first = std::make_shared<FakeChannel>(nullptr, "a");
    auto second = std::make_shared<FakeChannel>(nullptr, "b");
    {
        CNetManager manager;
        manager.Register(first);
        manager.Register(second);
        first->Open();
        manager.CloseAll();
        EXPECT_FALSE(first->CheckConnected());
        EXPECT_EQ(manager.Find(1), first);
        EXPECT_EQ(manager.Find(2), second);
        EXPECT_EQ(second->closes, 1);
    } // the destructor closes them once more
    EXPECT_EQ(first->closes, 2);
    EXPECT_EQ(second->closes, 2);
}

TEST(NetChannel, SendWrapsTextInOneUnitAndFailsBeforeOpen)
{
    CNetManager manager;
    auto channel = MakeChannel(manager);
    EXPECT_FALSE(channel->Send(0, "GP TYPE 1\r\n"));
    EXPECT_EQ(channel->lastUnit, "GP TYPE 1\r\n");

    channel->Open();
    EXPECT_TRUE(channel->Send(7, ""));
    EXPECT_EQ(channel->blocks, 2);
    EXPECT_EQ(channel->lastUnit, ""); // an empty unit still reaches SendBlock
    EXPECT_EQ(channel->lastTag, 7);
}
