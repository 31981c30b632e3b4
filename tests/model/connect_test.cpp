#include "comm/net_manager.h"
#include "comm/sport_operator.h"
#include "comm/tcp_channel.h"
#include "model/link_setup.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "tests/model/link_fixture.h"
#include "tests/support/link_events.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/scoped_setting.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace std::chrono_literals;
using tavrix::test::WaitFor;

namespace {

std::shared_ptr<CQelProcessor> TcpProcessor(uint16_t port)
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    PointAtLoopback(*processor, port);
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
    const uint32_t first = processor->settings().GetChannelId();
    auto channel = CNetManager::get_instance().Find(first);
    ASSERT_TRUE(channel);
    const std::string name = channel->GetName();
    ASSERT_EQ(name.rfind("PRO_Tcp_", 0), 0u);
    EXPECT_EQ(processor->GetSigOutCount(), 0u);
    EXPECT_EQ(JoinOffEvents(events), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(processor->link().GetSenderPause(), 25u);
    ASSERT_TRUE(events.WaitForStates(2, 5s));
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{first, 1}, {first, 2}}));
    EXPECT_TRUE(processor->IsConnected());

    ASSERT_TRUE(processor->Connect());
    const uint32_t second = processor->settings().GetChannelId();
    EXPECT_GT(second, first);
    EXPECT_FALSE(CNetManager::get_instance().Find(first));
    EXPECT_EQ(CNetManager::get_instance().Find(second)->GetName(),
              "PRO_Tcp_" + std::to_string(std::stoi(name.substr(8)) + 1));
    EXPECT_TRUE(std::dynamic_pointer_cast<CIoChannel>(channel) &&
                !std::dynamic_pointer_cast<CIoChannel>(channel)->HasIoThread());
    CNetManager::get_instance().CloseAndRemove(second);
}

TEST(ProcessorConnect, DisconnectKeepsTheChannelRegistered)
{
    ProcessorSimulator simulator;
    auto processor = TcpProcessor(simulator.Port());
    EXPECT_FALSE(processor->Disconnect()); // channel id 0

    LinkEvents events;
    ASSERT_TRUE(processor->Connect());
    // The link counts as up a moment before "connected" is posted: wait
    // for the event, so that it cannot come after the ones below.
    ASSERT_TRUE(events.WaitForStates(2, 5s));
    EXPECT_TRUE(processor->IsConnected());
    AddJoinedSource(*processor, 5);
    EXPECT_TRUE(processor->Disconnect());
    EXPECT_FALSE(processor->IsConnected());
    EXPECT_TRUE(CNetManager::get_instance().Find(processor->settings().GetChannelId()));
    EXPECT_FALSE(processor->GetSigSrc(5)->IsJoined());
    const uint32_t id = processor->settings().GetChannelId();
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{id, 1}, {id, 2}, {id, 3}}));
    CNetManager::get_instance().CloseAndRemove(processor->settings().GetChannelId());
}

TEST(ProcessorConnect, ClosedLinkReleasesItsOwnersSources)
{
    ProcessorSimulator simulator;
    auto owner = TcpProcessor(simulator.Port());
    auto other = TcpProcessor(simulator.Port());
    AddJoinedSource(*other, 8);
    ASSERT_TRUE(owner->Connect());
    ASSERT_TRUE(WaitFor([&] { return owner->IsConnected(); }, 5s));
    AddJoinedSource(*owner, 7);
    auto channel = std::dynamic_pointer_cast<CTcpClientChannel>(
        CNetManager::get_instance().Find(owner->settings().GetChannelId()));
    ASSERT_TRUE(channel);
    channel->Close(); // what the watchdog does, through the client's closed callback
    EXPECT_FALSE(owner->GetSigSrc(7)->IsJoined());
    EXPECT_TRUE(other->GetSigSrc(8)->IsJoined());
    CNetManager::get_instance().CloseAndRemove(owner->settings().GetChannelId());
}

TEST(ProcessorConnect, TheFileKeepsItsOutputsUntilDiscoveryAnswers)
{
    ProcessorSimulator simulator; // answers nothing: no discovery
    simulator.SetEchoAll(false);
    auto processor = TcpProcessor(simulator.Port());
    processor->AddSigOut(std::make_shared<CQelSigOut>(101));
    const auto savedOutputs = [&] {
        CQelProcessor loaded;
        EXPECT_TRUE(processor->SavePro() && loaded.LoadPro(CQelProcessor::ProFilePath()));
        return loaded.GetSigOutCount() == 1 ? loaded.records().GetSigOutAt(0)->GetId() : 0;
    };
    for (int connect = 1; connect <= 2; ++connect) { // the second before discovery too
        ASSERT_TRUE(processor->Connect());
        EXPECT_EQ(processor->GetSigOutCount(), 0u);
        EXPECT_EQ(savedOutputs(), 101u) << connect;
    }
    processor->AddSigOut(std::make_shared<CQelSigOut>(201)); // what discovery found
    EXPECT_EQ(savedOutputs(), 201u);
    CNetManager::get_instance().CloseAndRemove(processor->settings().GetChannelId());
}

TEST(ProcessorConnect, UnknownConnectionTypeRegistersNothing)
{
    auto processor = TcpProcessor(1);
    auto connection = processor->settings().GetConnection();
    connection.type = 3;
    processor->settings().SetConnection(connection);
    const uint32_t next = CNetManager::get_instance().NextId();
    EXPECT_FALSE(processor->Connect());
    EXPECT_EQ(processor->settings().GetChannelId(), 0u);
    EXPECT_FALSE(CNetManager::get_instance().Find(next + 1));
}

TEST(ProcessorConnect, ReceivedBytesReachTheInstalledReceiver)
{
    ProcessorSimulator simulator;
    simulator.AnswerType(7, 1);
    std::mutex lock;
    std::string received;
    uint32_t seenChannel = 0;
    const auto makeReceiver = [&](const std::weak_ptr<CQelProcessor>&, uint32_t channelId) -> LinkReceiver {
        seenChannel = channelId;
        return [&](const char* data, size_t length) {
            std::lock_guard guard(lock);
            received.append(data, length);
        };
    };
    const ScopedHook factory(SetLinkReceiverFactory, makeReceiver);
    auto processor = TcpProcessor(simulator.Port());
    ASSERT_TRUE(processor->Connect());
    EXPECT_EQ(seenChannel, processor->settings().GetChannelId());
    ASSERT_TRUE(WaitFor([&] { return processor->IsConnected(); }, 5s));
    EXPECT_TRUE(processor->link().ChannelSend("GP TYPE\r\n"));
    ASSERT_TRUE(WaitFor(
        [&] {
            std::lock_guard guard(lock);
            return received == "GP TYPE 7 1\r\n";
        },
        5s));
    CNetManager::get_instance().CloseAndRemove(processor->settings().GetChannelId());
}

namespace {

// Pseudo-terminals listed as ttyUSB0, ttyUSB1, ... under a scan root of
// the test's own.
class SerialPorts {
public:
    explicit SerialPorts(size_t count) : root_(std::filesystem::absolute("ports"))
    {
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        previousRoot_ = CSPortOperator::SetScanRoot(root_.string());
        for (size_t i = 0; i < count; ++i) {
            auto simulator = std::make_unique<ProcessorSimulator>();
            simulator->SetEchoAll(false);
            slaves.push_back(simulator->OpenPty());
            const auto link = root_ / ("ttyUSB" + std::to_string(i));
            std::filesystem::create_symlink(slaves.back(), link);
            paths.push_back(link.string());
            simulators.push_back(std::move(simulator));
        }
    }
    ~SerialPorts() { CSPortOperator::SetScanRoot(previousRoot_); }

    void AnswerProbe(size_t index, const std::string& answer)
    {
        simulators[index]->Respond("GP GIPA 1", [answer](const std::string&, int) {
            return std::optional<std::vector<ProcessorSimulator::Answer>>{{{answer, 0ms}}};
        });
    }

    std::vector<std::unique_ptr<ProcessorSimulator>> simulators;
    std::vector<std::string> slaves;
    std::vector<std::string> paths;

private:
    std::filesystem::path root_;
    std::string previousRoot_;
};

// Steps `clock` through an auto-detection that ends at port `answering`:
// each port's 200 ms read wait ends once its simulator has the probe and,
// at the answering port, once the answer waits to be read; then the 500 ms
// after the answer. However busy the machine, no answer comes late.
std::thread StepThroughProbes(platform::SteppedClock& clock, SerialPorts& ports, size_t answering)
{
    return std::thread([&clock, &ports, answering] {
        for (size_t i = 0; i <= answering; ++i) {
            EXPECT_TRUE(clock.WaitForSleeper(clock.Now() + 200ms, 20s)) << i;
            EXPECT_TRUE(WaitFor([&] { return !ports.simulators[i]->TextsFrom(ports.slaves[i]).empty(); }, 20s)) << i;
            if (i == answering) {
                EXPECT_TRUE(WaitFor([&] { return ProcessorSimulator::Unread(ports.slaves[i]) > 0; }, 20s));
            }
            clock.Advance(200ms);
        }
        EXPECT_TRUE(clock.WaitForSleeper(clock.Now() + 500ms, 20s));
        clock.Advance(500ms);
    });
}

std::shared_ptr<CQelProcessor> SerialProcessor(int32_t autoDetect, const std::string& device = "COM1")
{
    auto processor = std::make_shared<CQelProcessor>();
    auto connection = processor->settings().GetConnection();
    connection.type = 2;
    connection.serialAutoDetect = autoDetect;
    connection.serialDevice = device;
    processor->settings().SetConnection(connection);
    return processor;
}

} // namespace

TEST(ProcessorConnect, SerialAutoDetectTakesTheFirstPortThatAnswers)
{
    platform::SteppedClock clock;
    platform::ScopedClock scoped(clock);
    SerialPorts ports(4);
    ports.AnswerProbe(2, "GP GIPA 192 168 0 100\r\n");
    auto processor = SerialProcessor(1);
    LinkEvents events;

    const auto start = platform::Now();
    std::thread stepper = StepThroughProbes(clock, ports, 2);
    const bool connected = processor->Connect();
    stepper.join();
    ASSERT_TRUE(connected);
    EXPECT_EQ(platform::Now() - start, 3 * 200ms + 500ms);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(ports.simulators[i]->TextsFrom(ports.slaves[i]), std::vector<std::string>{"GP GIPA 1\r\n"}) << i;
    EXPECT_TRUE(ports.simulators[3]->Texts().empty());
    EXPECT_EQ(processor->settings().GetConnection().serialDeviceInUse, ports.paths[2]);
    EXPECT_EQ(processor->settings().GetSerialDevice(), ports.paths[2]);
    EXPECT_EQ(processor->link().GetSenderPause(), 40u);

    const uint32_t id = processor->settings().GetChannelId();
    auto channel = CNetManager::get_instance().Find(id);
    ASSERT_TRUE(channel);
    EXPECT_EQ(channel->GetName().rfind("PRO_Serial_", 0), 0u);
    EXPECT_EQ(channel->GetSetting("device", ""), ports.paths[2]);
    ASSERT_TRUE(events.WaitForStates(2, 5s));
    EXPECT_EQ(events.Drain(), (std::vector<LinkEvents::State>{{id, 1}, {id, 2}}));
    EXPECT_TRUE(processor->link().ChannelSend("GP TYPE\r\n"));
    EXPECT_TRUE(ports.simulators[2]->WaitForLine("GP TYPE\r\n", 5s));
    CNetManager::get_instance().CloseAndRemove(id);
}

TEST(ProcessorConnect, SerialAutoDetectWithoutAnAnswerFails)
{
    platform::ScaledClock clock(4);
    platform::ScopedClock scoped(clock);
    SerialPorts ports(1);
    // Holds the keyword, but not at its start.
    ports.AnswerProbe(0, "X GP GIPA 192 168 0 100\r\n");
    std::vector<std::string> shown;
    const ScopedHook messageBox(SetLinkMessageBox, [&](const std::string& text) { shown.push_back(text); });
    auto processor = SerialProcessor(1);
    processor->AddSigOut(std::make_shared<CQelSigOut>(101));

    EXPECT_FALSE(processor->Connect());
    EXPECT_EQ(processor->settings().GetChannelId(), 0u);
    EXPECT_EQ(processor->settings().GetConnection().serialDevice, ports.paths[0]);
    EXPECT_EQ(processor->GetSigOutCount(), 1u);
    EXPECT_EQ(shown,
              std::vector<std::string>{"自动检测串口失败请检查是否连接了处理器，或切换到手工模式后再尝试串口连接!"});
}

TEST(ProcessorConnect, SerialWithoutAutoDetectUsesTheChosenDevice)
{
    SerialPorts ports(2);
    auto processor = SerialProcessor(0, ports.slaves[1]);
    LinkEvents events;
    ASSERT_TRUE(processor->Connect());
    const uint32_t id = processor->settings().GetChannelId();
    EXPECT_EQ(CNetManager::get_instance().Find(id)->GetSetting("device", ""), ports.slaves[1]);
    ASSERT_TRUE(events.WaitForStates(2, 5s));
    EXPECT_TRUE(ports.simulators[0]->Texts().empty());
    EXPECT_TRUE(ports.simulators[1]->Texts().empty());
    CNetManager::get_instance().CloseAndRemove(id);
}
