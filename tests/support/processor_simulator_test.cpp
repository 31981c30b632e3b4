#include "comm/net_manager.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/recording_channel.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// Collects the lines the channel routes, so a test can wait for them.
struct Routed {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> acknowledged;
    std::vector<std::string> unmatched;

    CRecordingChannel::LineHandler Into(std::vector<std::string>& list)
    {
        return [this, &list](const std::string& line) {
            std::lock_guard guard(lock);
            list.push_back(line);
            changed.notify_all();
        };
    }
    bool WaitFor(size_t total)
    {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, 5s, [&] { return acknowledged.size() + unmatched.size() >= total; });
    }
};

std::shared_ptr<CRecordingChannel> Connect(CNetManager& manager, ProcessorSimulator& simulator, Routed& routed)
{
    auto channel = std::make_shared<CRecordingChannel>(&manager, "PRO_Tcp_1");
    channel->Settings().put("server_addr", "127.0.0.1");
    channel->Settings().put("server_port", std::to_string(simulator.Port()));
    channel->SetLineHandlers(routed.Into(routed.acknowledged), routed.Into(routed.unmatched));
    manager.Register(channel);
    channel->Open();
    return channel;
}

} // namespace

TEST(ProcessorSimulator, RecordsLinesAndEchoesThroughTheChannel)
{
    ProcessorSimulator simulator;
    CNetManager manager;
    Routed routed;
    auto channel = Connect(manager, simulator, routed);
    ASSERT_TRUE(channel->CheckConnected());
    simulator.Silence("GP GIPA");

    EXPECT_TRUE(channel->Send(0, "GP SDMI 1\r\nGP LDM  3\r\n"));
    EXPECT_TRUE(channel->Send(0, "GP GIPA 1\r\n"));
    ASSERT_TRUE(simulator.WaitForLines(3, 5s));
    ASSERT_TRUE(routed.WaitFor(2));

    EXPECT_EQ(simulator.Texts(), (std::vector<std::string>{"GP SDMI 1\r\n", "GP LDM  3\r\n", "GP GIPA 1\r\n"}));
    EXPECT_EQ(routed.acknowledged, std::vector<std::string>{"GP SDMI 1\r\n"});
    EXPECT_EQ(routed.unmatched, std::vector<std::string>{"GP LDM 3\r\n"}); // normalised
    EXPECT_EQ(channel->Texts().size(), 2u);

    channel->Close();
    EXPECT_FALSE(channel->CheckConnected());
}

TEST(ProcessorSimulator, AnswersDisplayModeAndOsdStatusFromTheNthPoll)
{
    ProcessorSimulator simulator;
    simulator.SetEchoAll(false);
    simulator.AnswerDisplayModeStoredFrom(2);
    simulator.AnswerOsdSavedFrom(2);
    CNetManager manager;
    Routed routed;
    auto channel = Connect(manager, simulator, routed);

    channel->Send(0, "GP CDMS 1\r\n");
    channel->Send(0, "I_F OSDSA 1 2 1\r\n");
    channel->Send(0, "I_F OSDSA 1 2 2\r\n");
    channel->Send(0, "GP CDMS 1\r\n");
    channel->Send(0, "O_F OSDSA 3 4 2\r\n");
    ASSERT_TRUE(simulator.WaitForLines(5, 5s));
    ASSERT_TRUE(routed.WaitFor(1));
    std::this_thread::sleep_for(50ms); // nothing else may follow
    std::lock_guard guard(routed.lock);
    // OSDSA replies are parsed, never acknowledged; only CDMS reaches a sender.
    EXPECT_EQ(routed.acknowledged, std::vector<std::string>{"GP CDMS 0\r\n"});
    EXPECT_TRUE(routed.unmatched.empty());
}

TEST(ProcessorSimulator, DelaysAndPushesAnswers)
{
    ProcessorSimulator simulator;
    simulator.Respond("GP SODC", [](const std::string& line, int) {
        return std::optional<std::vector<ProcessorSimulator::Answer>>{{{"GP TYPE 3 0\r\n", 0ms}, {line, 60ms}}};
    });
    CNetManager manager;
    Routed routed;
    auto channel = Connect(manager, simulator, routed);

    const auto start = std::chrono::steady_clock::now();
    channel->Send(0, "GP SODC 66051\r\n");
    ASSERT_TRUE(routed.WaitFor(2));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
    EXPECT_EQ(routed.acknowledged, (std::vector<std::string>{"GP TYPE 3 0\r\n", "GP SODC 66051\r\n"}));

    simulator.Push("NOISE 1\r\n");
    ASSERT_TRUE(routed.WaitFor(3));
    EXPECT_EQ(routed.unmatched, std::vector<std::string>{"NOISE 1\r\n"});
}

TEST(RecordingChannel, RefusesAnyAddressButLoopback)
{
    CNetManager manager;
    auto channel = std::make_shared<CRecordingChannel>(&manager, "PRO_Tcp_2");
    EXPECT_FALSE(channel->Send(0, "GP TYPE\r\n")); // never opened
    channel->Settings().put("server_addr", "192.168.0.100");
    channel->Settings().put("server_port", "8978");
    channel->Open();
    EXPECT_FALSE(channel->CheckConnected());
    EXPECT_FALSE(channel->Send(0, "GP TYPE\r\n"));
}
