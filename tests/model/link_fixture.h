#pragma once
// A processor wired to the processor simulator through a recording channel,
// with the process clock swapped for the test's.
#include "context/context.h"
#include "core/progress.h"
#include "comm/net_manager.h"
#include "corlane/app_path.h"
#include "corlane/xdatetime.h"
#include "model/net_type.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "platform/clock.h"
#include "tests/support/processor_simulator.h"
#include "tests/support/recording_channel.h"
#include "tests/support/scoped_setting.h"
#include "tests/support/test_files.h"
#include "model/pro_delay_sender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <boost/property_tree/ptree.hpp>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using tavrix::test::DatedLog;

// Points the processor's TCP connection at a port on loopback.
inline void PointAtLoopback(CQelProcessor& processor, uint16_t port)
{
    auto connection = processor.settings().GetConnection();
    connection.tcpAddress = "127.0.0.1";
    connection.tcpPort = std::to_string(port);
    processor.settings().SetConnection(connection);
}

// A reply wait of one second of real time on `clock`: the simulator answers
// at once, so only a busy machine could make an answer late.
inline platform::Duration PatientReplyTimeout(platform::Clock& clock)
{
    using Seconds = std::chrono::duration<double>;
    const double speedup = 1.0 / Seconds(clock.RealDuration(std::chrono::seconds(1))).count();
    return std::chrono::duration_cast<platform::Duration>(Seconds(std::ceil(speedup)));
}

// Moves a stepped clock on, 10 ms at a time, on a thread of its own for as
// long as it lives: lets time flow again after a test held it still, for
// the paced sender and the sleepers to finish before tear-down.
class ClockPump {
public:
    explicit ClockPump(platform::SteppedClock& clock)
        : thread_([this, &clock] {
              while (!done_) {
                  clock.Advance(10ms);
                  std::this_thread::sleep_for(1ms);
              }
          })
    {
    }
    ~ClockPump()
    {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class LinkFixture {
public:
    // `made`, when given, is the processor to wire (a test's own subclass).
    LinkFixture(platform::Clock& clock, int32_t kind, uint8_t netType, std::shared_ptr<CQelProcessor> made = nullptr)
        : scoped_(clock), netType_(g_NetType, netType)
    {
        std::filesystem::remove_all(qz::vok::path::GetLogPath());
        channel = std::make_shared<CRecordingChannel>(&CNetManager::get_instance(), "PRO_Tcp_1");
        channel->Settings().put("server_addr", "127.0.0.1");
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

    ~LinkFixture()
    {
        // Stops its sender while the test's clock is in place, and the
        // channel's reader (which logs) before the context's log goes.
        processor.reset();
        CNetManager::get_instance().CloseAndRemove(channel->GetId());
        CQelContext::Destroy();
    }

    // Waits (in real time) for `count` lines at the simulator and returns them.
    std::vector<std::string> Lines(size_t count)
    {
        simulator.WaitForLines(count, 20s);
        return simulator.Texts();
    }

    // Sends a marker after what a request sent (queued, or straight onto the
    // link) and takes every line before it; nothing when the request sent
    // nothing.
    std::vector<std::string> SentBefore(bool queued = true)
    {
        const std::string mark = "MARK\r\n";
        queued ? processor->QueueCommand(mark) : processor->link().ChannelSend(mark);
        simulator.WaitForLine(mark, 20s);
        std::vector<std::string> lines = simulator.Texts();
        simulator.ClearLines();
        lines.erase(std::find(lines.begin(), lines.end(), mark), lines.end());
        return lines;
    }

    ProcessorSimulator simulator;
    std::shared_ptr<CRecordingChannel> channel;
    std::shared_ptr<CQelProcessor> processor;

private:
    platform::ScopedClock scoped_;
    ScopedSetting<std::atomic<uint8_t>> netType_;
};

// Holds any job it is asked to start, so the processor stays busy.
class BusyProcessor : public CQelProcessor {
protected:
    std::thread LaunchJob(std::function<void()>) override
    {
        return std::thread([] {});
    }
};

// Keeps every report a job makes.
class RecordingProgress : public IProgress {
public:
    void OnProgress(int done, int total) override { reports.emplace_back(done, total); }
    std::vector<std::pair<int, int>> reports;
};

// The time between each two neighbours of things stamped with `at`.
template <class Stamped>
std::vector<platform::Duration> Gaps(const std::vector<Stamped>& items)
{
    std::vector<platform::Duration> gaps;
    for (size_t i = 1; i < items.size(); ++i)
        gaps.push_back(items[i].at - items[i - 1].at);
    return gaps;
}

inline std::string Separator()
{
    return "\r\n----------------------------------------\r\n";
}
