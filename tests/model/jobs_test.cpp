#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "tests/model/job_receivers.h"
#include "model/processor_jobs.h"
#include "model/processor_records.h"
#include "tests/model/link_fixture.h"
#include "tests/model/model_test_support.h"
#include "tests/support/recording_channel.h"
#include "tests/support/test_files.h"

#include "model/input_osd.h"

#include <algorithm>
#include <filesystem>
#include <future>
#include <optional>
#include <gtest/gtest.h>

namespace {

using tavrix::test::DatedLog;
using tavrix::test::WaitFor;
using Lines = std::vector<std::string>;
using Reports = std::vector<Report>;

constexpr char kReadSlots[] = "GP READ_SLOT_MESSAGE 0xFF\r\n";
constexpr char kResetTiming[] = "GP SOT 2 1 3 1920 1080 0 1 1\r\n";

size_t CountOf(const Lines& lines, const std::string& text)
{
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), text));
}

bool Has(const Reports& reports, const Report& report)
{
    return std::find(reports.begin(), reports.end(), report) != reports.end();
}

// Every call came on one thread: neither the test's nor the UI's.
void ExpectOneJobThread(const Receiver& receiver, const HeadlessUi& ui)
{
    const auto threads = receiver.Threads();
    ASSERT_FALSE(threads.empty());
    for (const auto& id : threads) {
        EXPECT_EQ(id, threads.front());
        EXPECT_NE(id, std::this_thread::get_id());
        EXPECT_NE(id, ui.Id());
    }
}

// The process-clock time stamps of the units equal to `text`.
std::vector<platform::TimePoint> SentAt(const CRecordingChannel& channel, const std::string& text)
{
    std::vector<platform::TimePoint> at;
    for (const auto& unit : channel.Units())
        if (unit.bytes == text)
            at.push_back(unit.at);
    return at;
}

bool SaveEnded(const Reports& reports)
{
    return !reports.empty() && reports.back()[0] >= 50;
}

} // namespace

TEST(ResetJob, Model7RestoresDefaultsClearsTheModesAndSaves)
{
    std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
    platform::ScaledClock clock(2); // leaves the echo waits room on a busy machine
    HeadlessUi ui;
    Receiver receiver(ui);
    LinkFixture link(clock, 7, 1);
    CQelProcessor& processor = *link.processor;
    processor.records().AddResolution({3, "1080p", {1920, 1080, 60}});
    processor.records().AddResolution({5, "720p", {1280, 720, 60}});
    processor.records().SetOutputResolutionId(5);
    processor.SetOutputResolution(1280, 720, 60);
    CQelProcessor::Wall wall;
    wall.rows = 2;
    wall.cols = 3;
    processor.SetWall(wall);
    auto video = std::make_shared<CQelSigSrc>(101);
    video->SetType(CQelSigSrc::kTypeVideo4);
    processor.AddSigSrc(video, false, false);
    video->AddChild(0, 0, "A", {704, 474, 60}, 0);
    video->AddChild(1, 0, "B", {352, 288, 50}, 1);
    video->SelectChild(1);
    auto plain = std::make_shared<CQelSigSrc>(102);
    processor.AddSigSrc(plain, false, false);
    plain->SetEdid(4);
    plain->SetResolution(1280, 720, 60);
    link.simulator.AnswerDisplayModeStoredFrom(1);

    ASSERT_EQ(processor.jobs().StartReset(receiver.Handle<IResetProgress>()), 0);
    ASSERT_TRUE(receiver.WaitForLast({10, 10, 0, 0}));
    EXPECT_EQ(processor.GetJobState(), 0);
    ASSERT_TRUE(link.simulator.WaitForLine(kReadSlots, 20s));
    const Lines lines = link.simulator.Texts();

    // Ten cleared display modes, each store left again with mode 0.
    for (int mode = 1; mode < 10; ++mode)
        EXPECT_EQ(CountOf(lines, "GP SDMI " + std::to_string(mode) + "\r\n"), 1u) << mode;
    EXPECT_EQ(CountOf(lines, "GP SDMI 0\r\n"), 11u);
    EXPECT_EQ(CountOf(lines, "OUTPUT_FPGA CLEAR_OUTPUT_WIN 3 3\r\n"), 10u);
    EXPECT_EQ(CountOf(lines, "O_F SUSD 2\r\n"), 10u);
    const Reports reports = receiver.Seen();
    for (int step = 0; step < 10; ++step) {
        EXPECT_TRUE(Has(reports, {step, 10, 0, 200})) << step;
        EXPECT_TRUE(Has(reports, {step, 10, 199, 200})) << step;
    }
    ExpectOneJobThread(receiver, ui);

    // Timing and network reset, then the discovery after the end.
    EXPECT_EQ(CountOf(lines, kResetTiming), 2u);
    EXPECT_EQ(CountOf(lines, "GP SIATP 192 168 1 100 8978\r\n"), 1u);
    EXPECT_EQ(lines.back(), kReadSlots);
    EXPECT_EQ(lines[lines.size() - 2], kResetTiming);

    EXPECT_EQ(processor.records().GetOutputResolutionId(), 3u);
    EXPECT_EQ(processor.GetOutputResolution(), (Resolution{1920, 1080, 60}));
    EXPECT_EQ(processor.GetWall().colWidths, (std::vector<int32_t>{1920, 1920, 1920}));
    EXPECT_EQ(processor.GetWall().rowHeights, (std::vector<int32_t>{1080, 1080}));
    EXPECT_EQ(video->GetResolution(), (Resolution{704, 474, 60}));
    EXPECT_EQ(video->GetCurChildId(), 0u);
    EXPECT_EQ(plain->GetResolution(), (Resolution{1920, 1080, 60}));
    EXPECT_EQ(plain->GetEdid(), 0u);
    EXPECT_EQ(processor.settings().GetConnection().tcpAddress, "192.168.1.100");
    EXPECT_EQ(processor.settings().GetConnection().tcpPort, "8978");
    EXPECT_NE(ReadText(CQelProcessor::ProFilePath()).find("192.168.1.100"), std::string::npos);
}

TEST(ResetJob, ModelWithoutPresetsOnlyEndsAndDiscovers)
{
    std::filesystem::remove(CQelProcessor::ProFilePath());
    platform::ScaledClock clock(10);
    HeadlessUi ui;
    Receiver receiver(ui);
    LinkFixture link(clock, 5, 1);
    link.processor->records().AddResolution({3, "1080p", {1920, 1080, 60}});
    const auto handle = receiver.Handle<IResetProgress>();
    // It ends about at once; the busy state must already be in place then.
    for (size_t round = 1; round <= 5; ++round) {
        ASSERT_EQ(link.processor->jobs().StartReset(handle), 0) << round;
        ASSERT_TRUE(receiver.WaitForCount(round));
        ASSERT_TRUE(WaitIdle(*link.processor));
    }
    EXPECT_EQ(receiver.Seen(), Reports(5, Report{0, 0, 0, 0}));
    EXPECT_EQ(link.Lines(5), Lines(5, kReadSlots));
    EXPECT_EQ(link.processor->settings().GetConnection().tcpAddress, "192.168.0.100");
    EXPECT_FALSE(std::filesystem::exists(CQelProcessor::ProFilePath()));
}

TEST(ResetJob, NextStartDoesNotWaitForTheDiscoveryAfterTheEnd)
{
    // Model 6's discovery, after the reset has ended, waits 500 ms between
    // its two output timings: with time held still it waits for as long as
    // the test likes, and the next start must not wait with it.
    platform::SteppedClock clock;
    std::optional<ClockPump> pump; // lets time flow again at the end
    HeadlessUi ui;
    Receiver first(ui);
    Receiver second(ui);
    LinkFixture link(clock, 6, 1);
    CQelProcessor& processor = *link.processor;
    processor.records().AddResolution({3, "1080p", {1920, 1080, 60}});
    auto output = std::make_shared<CQelSigOut>(10100);
    output->SetResolution({1920, 1080, 60});
    processor.AddSigOut(output);

    const auto t0 = clock.Now();
    ASSERT_EQ(processor.jobs().StartReset(first.Handle<IResetProgress>()), 0);
    ASSERT_TRUE(clock.WaitForSleeper(t0 + 1ms, 20s)); // the reset's start wait
    clock.Advance(1ms);
    ASSERT_TRUE(clock.WaitForSleeper(t0 + 501ms, 20s)); // the discovery's gap
    ASSERT_TRUE(WaitIdle(processor));
    auto start =
        std::async(std::launch::async, [&] { return processor.jobs().StartReset(second.Handle<IResetProgress>()); });
    const bool returned = start.wait_for(20s) == std::future_status::ready;
    pump.emplace(clock);
    EXPECT_TRUE(returned);
    EXPECT_EQ(start.get(), 0);
    EXPECT_TRUE(second.WaitForLast({0, 0, 0, 0}));
    EXPECT_EQ(first.Seen(), (Reports{{0, 0, 0, 0}}));
}

TEST(OsdSaveJob, PollsOnceASecondUntilTheDeviceReportsSaved)
{
    DrainEvents();
    platform::ScaledClock clock(10);
    HeadlessUi ui;
    Receiver receiver(ui);
    Receiver output(ui);
    LinkFixture link(clock, 7, 1);
    link.simulator.AnswerOsdSavedFrom(4);
    int steps = 0;
    const platform::TimePoint start = platform::Now();
    ASSERT_EQ(link.processor->jobs().StartOsdPosition(3, 1, receiver.Handle<IOSDSavingProgress>(), steps, 0), 0);
    EXPECT_EQ(steps, 50);
    ASSERT_TRUE(receiver.WaitUntil(SaveEnded));
    // The device reports saved from the fourth poll on; a reply that comes
    // later than the next poll only adds one more poll before the end.
    Reports seen = receiver.Seen();
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen.back(), (Reports::value_type{50, 50}));
    seen.pop_back();
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], (Reports::value_type{int(i + 1), 50}));
    EXPECT_TRUE(WaitIdle(*link.processor));
    ExpectOneJobThread(receiver, ui);

    const auto saves = SentAt(*link.channel, "I_F OSDSA 3 1 1\r\n");
    const auto polls = SentAt(*link.channel, "I_F OSDSA 3 1 2\r\n");
    ASSERT_EQ(saves.size(), 1u);
    ASSERT_EQ(polls.size(), seen.size() + 1);
    EXPECT_GE(saves[0] - start, 500ms);
    EXPECT_GE(polls[0] - saves[0], 100ms);
    for (size_t i = 1; i < polls.size(); ++i)
        EXPECT_GE(polls[i] - polls[i - 1], 1000ms);
    EXPECT_NE(DatedLog("Pro8x8Sender").find(Separator() + "I_F OSDSA 3 1 1\r\n"), std::string::npos);

    // A status while no save runs is lost; the output side says "O_F".
    PostEvent(new COSDStatusEvent(3));
    link.simulator.AnswerOsdSavedFrom(2);
    ASSERT_EQ(link.processor->jobs().StartOsdPosition(4, 2, output.Handle<IOSDSavingProgress>(), steps, 1), 0);
    ASSERT_TRUE(output.WaitUntil(SaveEnded));
    EXPECT_EQ(output.Seen(), (Reports{{1, 50}, {50, 50}}));
    EXPECT_EQ(SentAt(*link.channel, "O_F OSDSA 4 2 2\r\n").size(), 2u);
}

TEST(OsdSaveJob, TakesOnlyTheStatusOfItsOwnRequest)
{
    DrainEvents();
    platform::ScaledClock clock(10);
    HeadlessUi ui;
    LinkFixture link(clock, 7, 1);
    const uint32_t channel = link.channel->GetId();
    const std::string poll = "I_F OSDSA 3 1 2\r\n";
    // Late "saved" answers to other saves, after this one's first poll:
    // other slots, the output side, another link.
    for (const auto& [id, output, first] :
         {std::tuple{channel, false, 9}, {channel, true, 3}, {channel + 1, false, 3}}) {
        Receiver receiver(ui);
        link.simulator.AnswerOsdSavedFrom(3);
        const size_t before = SentAt(*link.channel, poll).size();
        int steps = 0;
        ASSERT_EQ(link.processor->jobs().StartOsdPosition(3, 1, receiver.Handle<IOSDSavingProgress>(), steps, 0), 0);
        ASSERT_TRUE(WaitFor([&] { return SentAt(*link.channel, poll).size() > before; }, 20s));
        PostEvent(new COSDStatusEvent(3, id, output, first, 1));
        ASSERT_TRUE(receiver.WaitUntil(SaveEnded));
        EXPECT_EQ(receiver.Seen().back(), (Report{50, 50}));
        EXPECT_GE(SentAt(*link.channel, poll).size() - before, 3u) << id << output << first;
        EXPECT_TRUE(WaitIdle(*link.processor));
    }
}

TEST(OsdSaveJob, GivesUpAfterFiftySecondsWithDoneAboveTotal)
{
    DrainEvents();
    platform::ScaledClock clock(10);
    HeadlessUi ui;
    Receiver receiver(ui);
    LinkFixture link(clock, 7, 1);
    int steps = 0;
    const platform::TimePoint start = platform::Now();
    ASSERT_EQ(link.processor->jobs().StartOsdPosition(3, 1, receiver.Handle<IOSDSavingProgress>(), steps, 0), 0);
    ASSERT_TRUE(receiver.WaitUntil(SaveEnded));
    EXPECT_GE(platform::Now() - start, 50500ms);
    const Reports reports = receiver.Seen();
    // Each poll takes a little over its second, so a busy machine fits a
    // few less into the fifty.
    ASSERT_GE(reports.size(), 40u);
    for (size_t i = 0; i + 1 < reports.size(); ++i)
        EXPECT_EQ(reports[i], (Report{std::min(static_cast<int>(i) + 1, 49), 50}));
    EXPECT_EQ(reports.back(), (Report{51, 50}));
    EXPECT_TRUE(WaitIdle(*link.processor));
}

TEST(InputOsdTransferJob, ReportsEachKeyAndEndsWithTheCount)
{
    platform::ScaledClock clock(10);
    HeadlessUi ui;
    Receiver empty(ui);
    Receiver two(ui);
    LinkFixture link(clock, 7, 1);
    CQelProcessor& processor = *link.processor;

    const platform::TimePoint start = platform::Now();
    ASSERT_EQ(processor.jobs().StartSendInputOsd(0, empty.Handle<IIOSDSendingProgress>(), {}), 0);
    ASSERT_TRUE(empty.WaitForLast({0, 0, 0, 0}));
    EXPECT_GE(platform::Now() - start, 500ms);
    ASSERT_TRUE(WaitIdle(processor));

    // One key names an item, the other none.
    processor.GetInputOsd().Load();
    ASSERT_TRUE(processor.GetInputOsd().FindItem(1, 0));
    ASSERT_EQ(processor.jobs().StartSendInputOsd(0, two.Handle<IIOSDSendingProgress>(), {1u << 16, (99u << 16) | 7u}),
              0);
    ASSERT_TRUE(two.WaitForLast({2, 2, 0, 0}));
    EXPECT_EQ(two.Seen(), (Reports{{0, 2, 0, 0}, {1, 2, 0, 0}, {2, 2, 0, 0}}));
    ExpectOneJobThread(two, ui);
    EXPECT_TRUE(WaitIdle(processor));
    // No encoding of an item exists, so nothing reaches the device.
    EXPECT_TRUE(link.channel->Texts().empty());
    EXPECT_NE(DatedLog("DebugLog").find("OSD item 1/0: no encoded payload"), std::string::npos);
}

TEST(JobReceivers, RevokeWaitsForACallInProgressAndSilencesTheRest)
{
    {
        // Revoked from another thread while a report runs: Revoke returns
        // only once the report has.
        int window = 0;
        const auto handle = CReceiverHandle<int>::Make(&window);
        std::promise<void> entered;
        std::atomic<bool> revoked{false};
        bool revokedDuringCall = true;
        std::thread reporter([&] {
            handle->Invoke([&](int&) {
                entered.set_value();
                // Time for a Revoke that does not wait to return.
                std::this_thread::sleep_for(50ms);
                revokedDuringCall = revoked.load();
            });
        });
        entered.get_future().wait();
        handle->Revoke();
        revoked = true;
        reporter.join();
        EXPECT_FALSE(revokedDuringCall);
        EXPECT_FALSE(handle->Invoke([](int&) { ADD_FAILURE() << "called after Revoke"; }));
    }
    {
        // A job's receiver revoked while the job goes on reporting.
        DrainEvents();
        platform::ScaledClock clock(25);
        HeadlessUi ui;
        Receiver receiver(ui);
        LinkFixture link(clock, 7, 1);
        const auto handle = receiver.Handle<IOSDSavingProgress>();
        int steps = 0;
        ASSERT_EQ(link.processor->jobs().StartOsdPosition(3, 1, handle, steps, 0), 0);
        ASSERT_TRUE(receiver.WaitForCount(1));
        handle->Revoke();
        const size_t calls = receiver.Threads().size();
        ASSERT_TRUE(WaitIdle(*link.processor));
        EXPECT_EQ(receiver.Threads().size(), calls);
    }
}

TEST(JobShutdown, StopReachesEveryWaitAndSilencesReceivers)
{
    DrainEvents();
    {
        // A reset inside a display-mode store that never completes.
        platform::ScaledClock clock(1);
        HeadlessUi ui;
        Receiver receiver(ui);
        LinkFixture link(clock, 7, 1);
        link.simulator.Silence("GP CDMS");
        ASSERT_EQ(link.processor->jobs().StartReset(receiver.Handle<IResetProgress>()), 0);
        ASSERT_TRUE(receiver.WaitForCount(2));
        link.processor->StopJobs();
        const size_t calls = receiver.Threads().size();
        EXPECT_EQ(link.processor->GetJobState(), 0);
        EXPECT_EQ(link.processor->jobs().StartReset(receiver.Handle<IResetProgress>()), 1);
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(receiver.Threads().size(), calls);
        EXPECT_EQ(CountOf(link.simulator.Texts(), "GP SDMI 1\r\n"), 0u);
    }
    // An OSD save inside its start wait, and inside a one-second poll wait,
    // while time stands still: only the stop can end either wait, no report
    // is due in either, and the failed end goes to a revoked receiver.
    const Lines kSaveLines = {"I_F OSDSA 3 1 1\r\n", "I_F OSDSA 3 1 2\r\n"};
    for (size_t waits : {0u, 2u}) {
        platform::SteppedClock clock;
        HeadlessUi ui;
        Receiver receiver(ui);
        LinkFixture link(clock, 7, 1);
        int steps = 0;
        ASSERT_EQ(link.processor->jobs().StartOsdPosition(3, 1, receiver.Handle<IOSDSavingProgress>(), steps, 0), 0);
        // The start wait (500 ms), then the wait after the save (100 ms): each
        // ends once time reaches it, and the job then sends one line.
        const std::chrono::milliseconds kWaits[] = {500ms, 100ms};
        for (size_t i = 0; i < waits; ++i) {
            ASSERT_TRUE(clock.WaitForSleeper(clock.Now() + kWaits[i], 20s)) << i;
            clock.Advance(kWaits[i]);
            ASSERT_TRUE(WaitFor([&] { return link.channel->Texts().size() == i + 1; }, 20s))
                << i << ": " << testing::PrintToString(link.channel->Texts());
        }
        link.processor->StopJobs();
        EXPECT_EQ(link.processor->GetJobState(), 0) << waits;
        EXPECT_TRUE(receiver.Threads().empty()) << waits;
        EXPECT_EQ(link.channel->Texts(), Lines(kSaveLines.begin(), kSaveLines.begin() + waits));
    }
}

TEST(JobShutdown, WaitsForAReportInProgressEvenOneThatStartsTheNextJob)
{
    // The reset's final report blocks until the test lets it go, then
    // starts another reset from inside it, as a window may.
    class Blocking : public IResetProgress {
    public:
        explicit Blocking(CQelProcessor& processor) : processor_(processor) {}
        void OnProgress(int, int, int, int) override
        {
            if (stopped)
                ++late;
            if (calls_++ > 0)
                return;
            entered.set_value();
            release.get_future().wait();
            restarted = processor_.jobs().StartReset(CReceiverHandle<IResetProgress>::Make(this));
        }
        std::promise<void> entered;
        std::promise<void> release;
        std::atomic<bool> stopped{false};
        std::atomic<int> late{0};
        std::atomic<int> restarted{-1};

    private:
        CQelProcessor& processor_;
        int calls_ = 0;
    };

    platform::ScaledClock clock(10);
    LinkFixture link(clock, 5, 1); // no presets: the reset ends at once
    Blocking receiver(*link.processor);
    ASSERT_EQ(link.processor->jobs().StartReset(CReceiverHandle<IResetProgress>::Make(&receiver)), 0);
    ASSERT_EQ(receiver.entered.get_future().wait_for(60s), std::future_status::ready);

    auto stopper = std::async(std::launch::async, [&] {
        link.processor->StopJobs();
        receiver.stopped = true;
    });
    // Time for the stop to reach the receiver's revocation.
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(stopper.wait_for(0s), std::future_status::timeout);
    receiver.release.set_value();
    if (stopper.wait_for(60s) != std::future_status::ready) {
        ADD_FAILURE() << "StopJobs hangs on a report that starts a job";
        std::_Exit(1); // the threads cannot be joined
    }
    EXPECT_EQ(receiver.restarted, 1);
    EXPECT_EQ(receiver.late, 0);
    EXPECT_EQ(link.processor->GetJobState(), 0);
}
