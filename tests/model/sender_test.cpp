#include "tests/model/link_fixture.h"

#include "model/model_log.h"
#include "model/processor_link.h"
#include "model/processor_requests.h"
#include "tests/support/recording_channel.h"
#include "tests/support/scoped_setting.h"
#include "model/pro_delay_sender.h"
#include "tests/support/test_files.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using tavrix::test::DatedLog;
using tavrix::test::Occurrences;
using tavrix::test::ReadFolderText;
using tavrix::test::WaitFor;

namespace {

// Counts the sleeps asked of a scaled clock.
class CountingClock : public platform::ScaledClock {
public:
    using ScaledClock::ScaledClock;
    void SleepFor(platform::Duration d) override
    {
        ++sleeps;
        ScaledClock::SleepFor(d);
    }
    std::atomic<int> sleeps{0};
};

// The model's log in a folder of its own, read back whole.
class ModelLog {
public:
    std::string Text() const { return ReadFolderText("logs"); }

private:
    static bool EmptyFolder()
    {
        std::filesystem::remove_all("logs");
        return std::filesystem::create_directory("logs");
    }

    bool created_ = EmptyFolder();
    ScopedHook<std::shared_ptr<qz::vok::logfile>> log_{
        SetModelLog, std::make_shared<qz::vok::logfile>("model", qz::vok::logfile::LOG_WARN, "logs", false)};
};

} // namespace

TEST(PacedSender, RefusesWhenFullAndDropsTheRestOnStop)
{
    ModelLog log;
    platform::SteppedClock clock; // never stepped: the sender stays in its start wait
    LinkFixture link(clock, 7, 0);
    for (uint32_t i = 0; i < CQelCmdQueue::kCapacity; ++i)
        ASSERT_TRUE(link.processor->QueueCommand("I_F RISR 1 0\r\n"));
    EXPECT_EQ(link.processor->link().GetQueuedCommandCount(), 10240u);
    EXPECT_FALSE(link.processor->QueueCommand("I_F RISR 1 1\r\n"));
    EXPECT_EQ(Occurrences(log.Text(), "WN> command queue full"), 1u);

    EXPECT_FALSE(link.processor->QueueCommand(std::string(1025, 'x')));
    EXPECT_EQ(Occurrences(log.Text(), "ER> command of 1025 bytes not queued"), 1u);
    EXPECT_TRUE(link.processor->QueueCommand(""));
    EXPECT_EQ(link.processor->link().GetQueuedCommandCount(), 10240u);

    link.processor->link().StopSender();
    EXPECT_EQ(Occurrences(log.Text(), "10240 queued commands dropped"), 1u);
    EXPECT_TRUE(link.channel->Units().empty());
}

TEST(PacedSender, StopEndsTheDrainAndCountsWhatItDrops)
{
    ModelLog log;
    platform::ScaledClock clock(1);
    LinkFixture link(clock, 7, 0);
    link.processor->link().SetSenderPause(CQelProDelaySender::kSerialPauseMs);
    for (int i = 0; i < 10000; ++i)
        link.processor->QueueCommand("I_F RISR 1 0\r\n");
    link.simulator.WaitForLines(1, 5s);
    link.processor->link().StopSender();
    // How many went before the stop took hold depends on the scheduler;
    // that they and the dropped ones add up does not. Sending all would
    // take 400 s.
    const size_t sent = link.channel->Units().size();
    EXPECT_LT(sent, 10000u);
    EXPECT_EQ(Occurrences(log.Text(), std::to_string(10000 - sent) + " queued commands dropped"), 1u);
}

TEST(PacedSender, WaitsAtStartAndPacesByLinkType)
{
    for (unsigned pause : {CQelProDelaySender::kSerialPauseMs, CQelProDelaySender::kTcpPauseMs}) {
        platform::ScaledClock clock(10);
        const platform::TimePoint made = clock.Now();
        LinkFixture link(clock, 7, 0);
        link.processor->link().SetSenderPause(pause);
        for (int i = 0; i < 3; ++i)
            link.processor->QueueCommand("I_F RISR 1 " + std::to_string(i) + "\r\n");
        link.Lines(3);
        const auto units = link.channel->Units();
        ASSERT_EQ(units.size(), 3u);
        EXPECT_GE(units[0].at - made, 100ms);
        for (auto gap : Gaps(units))
            EXPECT_GE(gap, std::chrono::milliseconds(pause)) << pause;
    }
}

TEST(PacedSender, EchoedCommandsGoWithoutPause)
{
    CountingClock clock(10);
    LinkFixture link(clock, 7, 0);
    link.processor->QueueCommand("I_F RISR 1 0\r\n"); // past the start wait
    link.Lines(1);
    // And into its pause: the one sleep before the echoed commands.
    ASSERT_TRUE(WaitFor([&] { return clock.sleeps > 0; }, 20s));
    clock.sleeps = 0;
    for (int i = 0; i < 3; ++i)
        link.processor->link().QueueEchoedCommand("GP SDMI " + std::to_string(i) + "\r\n");
    link.Lines(4);
    EXPECT_EQ(clock.sleeps, 0);
    // With no echo wait asked for, none fails.
    EXPECT_EQ(DatedLog("Pro8x8Sender", ".ELOG"), "");
}

TEST(PacedSender, SilentDeviceFailsEachEchoedCommandAfterItsWait)
{
    platform::ScaledClock clock(10);
    LinkFixture link(clock, 7, 1);
    link.simulator.SetEchoAll(false);
    link.processor->link().QueueEchoedCommand("GP SDMI 1\r\n");
    link.processor->link().QueueEchoedCommand("GP SDMI 2\r\n");
    link.processor->link().QueueEchoedCommand("GP SDMI 3\r\n");
    link.Lines(3);
    link.processor->link().StopSender(); // the last wait ends before Stop returns
    for (auto gap : Gaps(link.channel->Units()))
        EXPECT_GE(gap, 100ms);
    EXPECT_EQ(DatedLog("Pro8x8Sender", ".ELOG"), "***GP SDMI 1\r\n***GP SDMI 2\r\n***GP SDMI 3\r\n");
}

TEST(PacedSender, LosesNoWakeUpUnderConcurrentPushes)
{
    platform::ScaledClock clock(1);
    LinkFixture link(clock, 7, 0);
    link.simulator.SetEchoAll(false);
    link.processor->link().SetSenderPause(0);
    std::vector<std::thread> pushers;
    for (int t = 0; t < 8; ++t)
        pushers.emplace_back([&, t] {
            for (int i = 0; i < 1000; ++i) {
                link.processor->QueueCommand("K_P " + std::to_string(t) + " " + std::to_string(i) + "\r\n");
                if (i % 100 == 0)
                    std::this_thread::sleep_for(1ms); // let the sender catch up and wait again
            }
        });
    for (auto& pusher : pushers)
        pusher.join();
    const auto lines = link.Lines(8000);
    ASSERT_EQ(lines.size(), 8000u);
    std::vector<int> next(8, 0);
    for (const auto& line : lines) {
        int thread = -1, index = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "K_P %d %d", &thread, &index), 2);
        EXPECT_EQ(index, next[thread]++) << "thread " << thread;
    }
}

TEST(ConfirmedSend, ComparesTheEchoInReplyForm)
{
    platform::ScaledClock clock(1);
    LinkFixture link(clock, 8, 1);
    EXPECT_TRUE(link.processor->link().SendCommand("GP BPSW 0xFF 0xFF 9 0\r\n"));

    link.processor->requests().SendRawText("GP TYPE");
    EXPECT_EQ(DatedLog("Pro8x8Sender"), Separator() + "GP TYPE \r\n"); // no "***"

    // Echoes outside the acknowledged replies confirm through the other path.
    EXPECT_EQ(link.processor->requests().LoadPreset(3), 1);
    link.simulator.Silence("GP LDM");
    EXPECT_EQ(link.processor->requests().LoadPreset(4), 0);

    // A type reply arriving first neither ends the wait nor fails it.
    link.simulator.Respond("GP SODC", [](const std::string& line, int) {
        return std::optional<std::vector<ProcessorSimulator::Answer>>{{{"GP TYPE 3 0\r\n", 0ms}, {line, 30ms}}};
    });
    const platform::TimePoint start = platform::Now();
    EXPECT_TRUE(link.processor->link().SendCommand("GP SODC 66051\r\n"));
    EXPECT_GE(platform::Now() - start, 30ms);
}

TEST(ConfirmedSend, ConcurrentSendersEachGetTheirOwnEcho)
{
    platform::ScaledClock clock(1); // echo windows at full length: replies cross threads
    LinkFixture link(clock, 8, 1);
    link.simulator.SetEchoAll(true, 5ms);
    std::atomic<int> confirmed{0};
    std::vector<std::thread> senders;
    for (int t = 0; t < 2; ++t)
        senders.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i)
                if (link.processor->link().SendCommand("GP BPSW 0xFF 0xFF " + std::to_string(9 + t) + " " +
                                                       std::to_string(i) + "\r\n"))
                    ++confirmed;
        });
    for (auto& sender : senders)
        sender.join();
    EXPECT_EQ(confirmed, 20);
}
