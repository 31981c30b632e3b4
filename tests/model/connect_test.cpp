#include "comm/net_manager.h"
#include "comm/tcp_channel.h"
#include "model/link_setup.h"
#include "model/processor.h"
#include "tests/support/link_events.h"
#include "tests/support/processor_simulator.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

std::shared_ptr<CQelProcessor> TcpProcessor(uint16_t port)
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    auto connection = processor->GetConnection();
    connection.tcpAddress = "127.0.0.1";
    connection.tcpPort = std::to_string(port);
    processor->SetConnection(connection);
    return processor;
}

void AddJoinedSource(CQelProcessor& processor, uint32_t id)
{
    auto source = std::make_shared<CQelSigSrc>(id);
    source->SetJoined(true);
    processor.AddSigSrc(source, false, false);
}

std::vector<uint32_t> JoinOffEvents(LinkEvents& events)
{
    std::vector<uint32_t> ids;
    for (const auto& event : events.Others())
        if (event->GetType() == CSigSrcJoinChangedEvent::kType) {
            const auto& join = static_cast<const CSigSrcJoinChangedEvent&>(*event);
            if (!join.joined)
                ids.push_back(join.sourceId);
        }
    return ids;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

} // namespace

TEST(ProcessorConnect, TcpRegistersANewChannelEachTime)
{
    ProcessorSimulator simulator;
    auto processor = TcpProcessor(simulator.Port());
    processor->AddSigOut(std::make_shared<CQelSigOut>(101));
    AddJoinedSource(*processor, 1);
    AddJoinedSource(*processor, 2);
    LinkEvents events;

    ASSERT_TRUE(processor->Connect());
    const uint32_t first = processor->GetChannelId();
    auto channel = CNetManager::get_instance().Find(first);
    ASSERT_TRUE(channel);
    const std::string name = channel->GetName();
    ASSERT_EQ(name.rfind("PRO_Tcp_", 0), 0u);
    EXPECT_EQ(processor->GetSigOutCount(), 0u);
    EXPECT_EQ(JoinOffEvents(events), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(processor->GetSenderPause(), 25u);
    ASSERT_TRUE(events.WaitForStates(2, 5s));
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{first, 1}, {first, 2}}));
    EXPECT_TRUE(processor->IsConnected());

    ASSERT_TRUE(processor->Connect());
    const uint32_t second = processor->GetChannelId();
    EXPECT_GT(second, first);
    EXPECT_FALSE(CNetManager::get_instance().Find(first));
    EXPECT_EQ(CNetManager::get_instance().Find(second)->GetName(),
              "PRO_Tcp_" + std::to_string(std::stoi(name.substr(8)) + 1));
    EXPECT_TRUE(std::dynamic_pointer_cast<CIoChannel>(channel) && !std::dynamic_pointer_cast<CIoChannel>(channel)->HasIoThread());
    CNetManager::get_instance().CloseAndRemove(second);
}

TEST(ProcessorConnect, DisconnectKeepsTheChannelRegistered)
{
    ProcessorSimulator simulator;
    auto processor = TcpProcessor(simulator.Port());
    EXPECT_FALSE(processor->Disconnect()); // channel id 0

    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(WaitUntil([&] { return processor->IsConnected(); }, 5s));
    AddJoinedSource(*processor, 5);
    LinkEvents events;
    EXPECT_TRUE(processor->Disconnect());
    EXPECT_FALSE(processor->IsConnected());
    EXPECT_TRUE(CNetManager::get_instance().Find(processor->GetChannelId()));
    EXPECT_FALSE(processor->GetSigSrc(5)->IsJoined());
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{processor->GetChannelId(), 3}}));
    CNetManager::get_instance().CloseAndRemove(processor->GetChannelId());
}

TEST(ProcessorConnect, ClosedLinkReleasesItsOwnersSources)
{
    ProcessorSimulator simulator;
    auto owner = TcpProcessor(simulator.Port());
    auto other = TcpProcessor(simulator.Port());
    AddJoinedSource(*other, 8);
    ASSERT_TRUE(owner->Connect());
    ASSERT_TRUE(WaitUntil([&] { return owner->IsConnected(); }, 5s));
    AddJoinedSource(*owner, 7);
    auto channel = std::dynamic_pointer_cast<CTcpClientChannel>(CNetManager::get_instance().Find(owner->GetChannelId()));
    ASSERT_TRUE(channel);
    channel->Close(); // what the watchdog does, through the client's closed callback
    EXPECT_FALSE(owner->GetSigSrc(7)->IsJoined());
    EXPECT_TRUE(other->GetSigSrc(8)->IsJoined());
    CNetManager::get_instance().CloseAndRemove(owner->GetChannelId());
}

TEST(ProcessorConnect, UnknownConnectionTypeRegistersNothing)
{
    auto processor = TcpProcessor(1);
    auto connection = processor->GetConnection();
    connection.type = 3;
    processor->SetConnection(connection);
    const uint32_t next = CNetManager::get_instance().NextId();
    EXPECT_FALSE(processor->Connect());
    EXPECT_EQ(processor->GetChannelId(), 0u);
    EXPECT_FALSE(CNetManager::get_instance().Find(next + 1));
}

TEST(ProcessorConnect, ReceivedBytesReachTheInstalledReceiver)
{
    ProcessorSimulator simulator;
    std::mutex lock;
    std::string received;
    uint32_t seenChannel = 0;
    SetLinkReceiverFactory([&](const std::weak_ptr<CQelProcessor>&, uint32_t channelId) -> LinkReceiver {
        seenChannel = channelId;
        return [&](const char* data, size_t length) {
            std::lock_guard guard(lock);
            received.append(data, length);
        };
    });
    auto processor = TcpProcessor(simulator.Port());
    ASSERT_TRUE(processor->Connect());
    EXPECT_EQ(seenChannel, processor->GetChannelId());
    ASSERT_TRUE(WaitUntil([&] { return processor->IsConnected(); }, 5s));
    EXPECT_TRUE(processor->ChannelSend("GP TYPE\r\n"));
    ASSERT_TRUE(WaitUntil([&] { std::lock_guard guard(lock); return received == "GP TYPE\r\n"; }, 5s));
    CNetManager::get_instance().CloseAndRemove(processor->GetChannelId());
    SetLinkReceiverFactory({});
}
