#include "comm/net_manager.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/recording_channel.h"

#include <gtest/gtest.h>

#include <boost/property_tree/ptree.hpp>
#include <condition_variable>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// The lines the channel routes, in arrival order, tagged by route.
struct Routed {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> lines;

    CRecordingChannel::LineHandler Tag(const std::string& tag)
    {
        return [this, tag](const std::string& line) {
            std::lock_guard guard(lock);
            lines.push_back(tag + line);
            changed.notify_all();
        };
    }
    std::vector<std::string> WaitFor(size_t count)
    {
        std::unique_lock guard(lock);
        changed.wait_for(guard, 5s, [&] { return lines.size() >= count; });
        return lines;
    }
};

} // namespace

TEST(ProcessorSimulator, RecordsEchoesAndAnswersThroughTheChannel)
{
    ProcessorSimulator simulator;
    simulator.Silence("GP GIPA");
    simulator.AnswerDisplayModeStoredFrom(2);
    simulator.AnswerOsdSavedFrom(1);
    CNetManager manager;
    Routed routed;
    auto channel = std::make_shared<CRecordingChannel>(&manager, "PRO_Tcp_1");
    channel->Settings().put("server_addr", std::string("127.0.0.1"));
    channel->Settings().put("server_port", std::to_string(simulator.Port()));
    channel->SetLineHandlers(routed.Tag("ack:"), routed.Tag("other:"));
    manager.Register(channel);
    channel->Open();
    ASSERT_TRUE(channel->CheckConnected());

    channel->Send(0, "GP SDMI 1\r\nGP LDM  3\r\n");
    channel->Send(0, "GP GIPA 1\r\n");
    channel->Send(0, "GP CDMS 1\r\n");
    channel->Send(0, "GP CDMS 1\r\n");
    channel->Send(0, "I_F OSDSA 1 2 1\r\n"); // the save request: echoed, parsed, never routed
    channel->Send(0, "I_F OSDSA 1 2 2\r\n");
    ASSERT_TRUE(simulator.WaitForLines(7, 5s));
    simulator.Push("NOISE 1\r\n");
    EXPECT_EQ(simulator.Texts()[1], "GP LDM  3\r\n");
    EXPECT_EQ(channel->Units().size(), 6u);
    // Lines come back normalised; rows with parsers of their own go nowhere.
    EXPECT_EQ(routed.WaitFor(5),
              (std::vector<std::string>{"ack:GP SDMI 1\r\n", "other:GP LDM 3\r\n", "ack:GP CDMS 1\r\n",
                                        "ack:GP CDMS 0\r\n", "other:NOISE 1\r\n"}));
    channel->Close();
    EXPECT_FALSE(channel->CheckConnected());
}

TEST(RecordingChannel, RefusesAnyAddressButLoopback)
{
    CNetManager manager;
    auto channel = std::make_shared<CRecordingChannel>(&manager, "PRO_Tcp_2");
    EXPECT_FALSE(channel->Send(0, "GP TYPE\r\n")); // never opened
    channel->Settings().put("server_addr", std::string("192.168.0.100"));
    channel->Settings().put("server_port", std::string("8978"));
    channel->Open();
    EXPECT_FALSE(channel->CheckConnected());
    EXPECT_FALSE(channel->Send(0, "GP TYPE\r\n"));
}
