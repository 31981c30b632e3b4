#include "tests/model/link_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <boost/property_tree/ptree.hpp>
#include <filesystem>

#include "comm/net_manager.h"
#include "context/context.h"
#include "corlane/app_path.h"
#include "model/net_type.h"
#include "model/pro_delay_sender.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "tests/support/recording_channel.h"

void PointAtLoopback(CQelProcessor& processor, uint16_t port)
{
    auto connection = processor.settings().GetConnection();
    connection.tcpAddress = "127.0.0.1";
    connection.tcpPort = std::to_string(port);
    processor.settings().SetConnection(connection);
}

namespace {

// A reply wait of one second of real time on `clock`: the simulator answers
// at once, so only a busy machine could make an answer late.
platform::Duration PatientReplyTimeout(platform::Clock& clock)
{
    using Seconds = std::chrono::duration<double>;
    const double speedup = 1.0 / Seconds(clock.RealDuration(std::chrono::seconds(1))).count();
    return std::chrono::duration_cast<platform::Duration>(Seconds(std::ceil(speedup)));
}

} // namespace

ClockPump::ClockPump(platform::SteppedClock& clock)
    : thread_([this, &clock] {
          while (!done_) {
              clock.Advance(10ms);
              std::this_thread::sleep_for(1ms);
          }
      })
{
}

ClockPump::~ClockPump()
{
    done_ = true;
    thread_.join();
}

LinkFixture::LinkFixture(platform::Clock& clock, int32_t kind, uint8_t netType, std::shared_ptr<CQelProcessor> made)
    : scoped_(clock), netType_(g_NetType, netType)
{
    std::filesystem::remove_all(qz::vok::path::GetLogPath());
    channel = std::make_shared<CRecordingChannel>(&CNetManager::get_instance(), "PRO_Tcp_1");
    // As a string: for a char array GCC 12 warns, wrongly (-Warray-bounds),
    // about the message of put's error path.
    channel->Settings().put("server_addr", std::string("127.0.0.1"));
    channel->Settings().put("server_port", std::to_string(simulator.Port()));
    processor = made ? std::move(made) : std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(kind);
    processor->link().SetSenderPause(CQelProDelaySender::kTcpPauseMs);
    processor->link().SetReplyTimeout(PatientReplyTimeout(clock));
    // Replies reach the processor through the dispatcher, which finds
    // it by channel in the context's manager.
    CQelContext::GetProMan()->AddProcessor(processor);
    processor->settings().SetChannelId(CNetManager::get_instance().Register(channel));
    channel->Open();
    simulator.WaitForConnection(20s);
    // Time held still: the sender's start wait must be under way before
    // the test moves time, or, begun after a step, it could end at the
    // very moment a step meant for another sleeper reaches, and take it.
    if (auto* stepped = dynamic_cast<platform::SteppedClock*>(&clock)) {
        EXPECT_TRUE(stepped->WaitForSleeper(
            stepped->Now() + std::chrono::milliseconds(CQelProDelaySender::kStartDelayMs), 20s));
    }
}

LinkFixture::~LinkFixture()
{
    // Stops its sender while the test's clock is in place, and the
    // channel's reader (which logs) before the context's log goes.
    processor.reset();
    CNetManager::get_instance().CloseAndRemove(channel->GetId());
    CQelContext::Destroy();
}

std::vector<std::string> LinkFixture::Lines(size_t count)
{
    simulator.WaitForLines(count, 20s);
    return simulator.Texts();
}

std::vector<std::string> LinkFixture::SentBefore(bool queued)
{
    const std::string mark = "MARK\r\n";
    queued ? processor->QueueCommand(mark) : processor->link().ChannelSend(mark);
    simulator.WaitForLine(mark, 20s);
    std::vector<std::string> lines = simulator.Texts();
    simulator.ClearLines();
    lines.erase(std::find(lines.begin(), lines.end(), mark), lines.end());
    return lines;
}

void RecordingProgress::OnProgress(int done, int total)
{
    reports.emplace_back(done, total);
}

std::string Separator()
{
    return "\r\n----------------------------------------\r\n";
}
