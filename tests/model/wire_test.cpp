// What reaches the wire through the processor's real links (TCP, and a
// serial line on a pseudo-terminal), timed where the simulator receives it.
#include "context/context.h"
#include "comm/net_manager.h"
#include "comm/serial_channel.h"
#include "comm/tcp_channel.h"
#include "comm/tcp_client.h"
#include "corlane/app_path.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_requests.h"
#include "model/processor_settings.h"
#include "platform/clock.h"
#include "replies/reply_receiver.h"
#include "tests/model/link_fixture.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/scoped_setting.h"
#include "tests/support/test_files.h"
#include "model/pro_delay_sender.h"

#include <gtest/gtest.h>

#include <atomic>
#include <boost/property_tree/ptree.hpp>
#include <filesystem>
#include <sstream>

using namespace std::chrono_literals;
using tavrix::test::DatedLog;
using tavrix::test::WaitFor;

namespace {

// A busy machine: the clients' write timers run late, two in every four
// by 50 ms more than the others, so consecutive lines leave with uneven
// delays.
class LateWriteClock : public platform::SteadyClock {
public:
    platform::Duration RealDuration(platform::Duration d) override
    {
        if (d != qz::net::tcp_client::kWritePause)
            return d;
        return d + 100ms + (writes_++ % 4 < 2 ? 50ms : 0ms);
    }

private:
    std::atomic<int> writes_{0};
};

// A processor on a real channel to the simulator, its replies on the
// reply path.
class WireLink {
public:
    WireLink(platform::Clock& clock, bool serial) : scoped_(clock), netType_(g_NetType, uint8_t(0))
    {
        std::filesystem::remove_all(qz::vok::path::GetLogPath());
        processor = std::make_shared<CQelProcessor>();
        processor->SetId(1);
        CQelContext::GetProMan()->AddProcessor(processor);
        auto& manager = CNetManager::get_instance();
        if (serial) {
            source = simulator.OpenPty();
            channel = std::make_shared<CSerialClientChannel>(&manager, "PRO_Serial_1");
            channel->Settings().put("device", source);
            channel->Settings().put("rate", "115200");
            processor->link().SetSenderPause(CQelProDelaySender::kSerialPauseMs);
        } else {
            source = "tcp";
            channel = std::make_shared<CTcpClientChannel>(&manager, "PRO_Tcp_1");
            channel->Settings().put("server_addr", "127.0.0.1");
            channel->Settings().put("server_port", std::to_string(simulator.Port()));
            processor->link().SetSenderPause(CQelProDelaySender::kTcpPauseMs);
        }
        const uint32_t id = manager.Register(channel);
        channel->SetReceiveHandler(MakeReplyReceiver(id));
        processor->settings().SetChannelId(id);
        channel->Open();
        connected = WaitFor([&] { return channel->IsConnected(); }, 20s);
    }

    ~WireLink()
    {
        // Stops its sender while the test's clock is in place.
        processor.reset();
        CQelContext::Destroy();
        CNetManager::get_instance().CloseAndRemove(channel->GetId());
    }

    std::vector<ProcessorSimulator::Line> Received(const std::string& text) const
    {
        std::vector<ProcessorSimulator::Line> lines;
        for (const auto& line : simulator.Lines())
            if (line.source == source && line.text == text)
                lines.push_back(line);
        return lines;
    }

    ProcessorSimulator simulator;
    std::string source;
    std::shared_ptr<CIoChannel> channel;
    std::shared_ptr<CQelProcessor> processor;
    bool connected = false;

private:
    platform::ScopedClock scoped_;
    // Echo waits off: each test that wants them says so.
    ScopedSetting<std::atomic<uint8_t>> netType_;
};

} // namespace

TEST(Wire, PacedLinesArriveAtLeastThePauseApartWhenWritesRunLate)
{
    // The pause is longer than a link's own and the links' timers run late
    // by 100 or 150 ms: a pause that ran from the moment the line was handed
    // over rather than written would bring two lines that much closer.
    const auto pause = 300ms;
    for (bool serial : {false, true}) {
        LateWriteClock clock;
        WireLink link(clock, serial);
        ASSERT_TRUE(link.connected) << serial;
        link.processor->link().SetSenderPause(pause.count());
        link.simulator.SetEchoAll(false);
        const std::string line = "GP SOT 1 1\r\n";
        for (int i = 0; i < 5; ++i)
            link.processor->QueueCommand(line);
        ASSERT_TRUE(WaitFor([&] { return link.Received(line).size() == 5; }, 20s)) << serial;
        // Received times carry the receiving end's scheduling, which on a
        // loaded machine can run several milliseconds late for one line and
        // not the next; a pause from the wrong moment costs a late timer's
        // 100 ms or more.
        for (auto gap : Gaps(link.Received(line)))
            EXPECT_GE(gap, pause - 50ms) << (serial ? "serial" : "tcp");
    }
}

TEST(Wire, DisplayModeStorePollsWaitForTheirOwnReply)
{
    // Without echo waits the store's lines pile up in the client ahead of
    // the polls; each poll's wait starts when it leaves and ends only on a
    // "GP CDMS" reply, never on an echo of the lines before it.
    platform::SteadyClock clock;
    WireLink link(clock, false);
    ASSERT_TRUE(link.connected);
    link.simulator.AnswerDisplayModeStoredFrom(4);
    std::vector<std::string> lines;
    for (int i = 0; i < 20; ++i)
        lines.push_back("O_F AW " + std::to_string(i) + " 1 0 0 10 10 0 0 10 10\r\n");
    EXPECT_EQ(link.processor->requests().SwitchDisplayMode(1, nullptr, true, lines), 0);

    // A reply may be late on a busy machine: the poll then times out and
    // the next one goes. No other line ever stands for a reply.
    const auto polls = link.Received("GP CDMS 1\r\n");
    EXPECT_GE(polls.size(), 4u);
    for (auto gap : Gaps(polls))
        EXPECT_GE(gap, 100ms);
    std::istringstream log(DatedLog("SysTimeLog"));
    size_t replies = 0;
    for (std::string entry; std::getline(log, entry);) {
        if (!entry.starts_with("receive: "))
            continue;
        ++replies;
        const std::string reply = entry.substr(9);
        EXPECT_TRUE(reply.starts_with("GP CDMS ") || reply.starts_with(" ")) << entry;
    }
    EXPECT_EQ(replies, polls.size());
}
