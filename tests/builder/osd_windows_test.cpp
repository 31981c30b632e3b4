#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "builder/pro8part_sender.h"
#include "builder/resource_allocer.h"
#include "model/osd_record.h"
#include "model/processor_jobs.h"
#include "model/processor_link.h"
#include "plan/plan.h"
#include "tests/builder/sender_link_support.h"

using namespace _8PART_NS;
using Lines = std::vector<std::string>;

namespace {

std::shared_ptr<CQelWindow> AddOsd(CQelPlan& plan, const Rect& rect, int32_t shown = 0)
{
    auto window = AddTestWindow(plan, kLogoSigSrc, rect);
    window->osd->shown = shown;
    return window;
}

Lines OsdLines(CQelPlan& plan)
{
    CPro8PartSender sender(&plan, 0);
    RunMonitorPasses(sender);
    Lines lines = sender.OsdEnableLines();
    for (auto& line : sender.OsdCloseLines())
        lines.push_back(line);
    return lines;
}

bool HasOsdLine(const Lines& texts)
{
    for (const auto& t : texts)
        if (t.rfind("O_F", 0) == 0)
            return true;
    return false;
}

// SendOsdWindows on a thread of its own; `result` is -1 until it returns.
// Made once the sender is in its first sleep (400 ms), so the caller's
// steps of the clock count from there.
struct OsdWorker {
    OsdWorker(CPro8PartSender& sender, platform::SteppedClock& clock, IProgress* progress = nullptr)
        : thread([this, &sender, progress] { result = sender.SendOsdWindows(progress); })
    {
        EXPECT_TRUE(clock.WaitForSleeper(clock.Now() + 400ms, 20s));
    }
    int Join()
    {
        thread.join();
        return result.load();
    }
    std::atomic<int> result{-1};
    std::thread thread;
};

} // namespace

TEST(EightPartOsd, EachOsdWindowTakesTheOutputHoldingItsCorner)
{
    SenderContextGuard guard;
    // Outputs 10902 and 10903 under S's, so corners can fall in a second one.
    auto processor = std::make_shared<CQelProcessor>();
    BuildFixtureS(*processor);
    SetTestOutputs(*processor, {10902, 10903}, {{{0, 0}, 10900}, {{0, 1}, 10901}, {{1, 0}, 10902}, {{1, 1}, 10903}});
    SelectTestProcessor(processor);

    auto none = MakeTestPlan(2, 2);
    AddTestWindow(*none, 100, {0, 0, 500, 500});
    EXPECT_EQ(OsdLines(*none),
              (Lines{"O_F COSDW 9 0\r\n", "O_F COSDW 9 1\r\n", "O_F COSDW 9 2\r\n", "O_F COSDW 9 3\r\n"}));

    // Two corners in output 10901: the second window overlaps 10903 but its
    // corner is not there, so it gets nothing. A corner on an output's
    // right edge belongs to the next one; a corner off the wall to none.
    auto shared = MakeTestPlan(2, 2);
    AddOsd(*shared, {2000, 100, 2200, 200});
    AddOsd(*shared, {2100, 1000, 2300, 1200});
    AddOsd(*shared, {1920, 1080, 2000, 1100});
    AddOsd(*shared, {-50, -50, 100, 100});
    EXPECT_EQ(OsdLines(*shared),
              (Lines{"O_F OSDWE 9 1 0\r\n", "O_F OSDWE 9 3 0\r\n", "O_F COSDW 9 0\r\n", "O_F COSDW 9 2\r\n"}));

    // An OSD that is not switched off takes its output without a line.
    auto quiet = MakeTestPlan(2, 2);
    AddOsd(*quiet, {10, 10, 20, 20}, 1);
    AddOsd(*quiet, {30, 30, 40, 40}, 0);
    EXPECT_EQ(OsdLines(*quiet), (Lines{"O_F COSDW 9 1\r\n", "O_F COSDW 9 2\r\n", "O_F COSDW 9 3\r\n"}));
}

TEST(EightPartOsd, LinesReachTheProcessorAfterTheQueueDrains)
{
    for (int32_t shown : {0, 1}) {
        // Time moves only by the one sleep: a busy machine cannot make it
        // look like the two seconds the wait gives up after.
        platform::SteppedClock clock;
        LinkedS s(clock, 0);
        auto& link = s.link;
        AddOsd(*s.plan, {2000, 100, 2200, 200}, shown);

        RecordingProgress progress;
        CPro8PartSender sender(s.plan.get(), 0);
        OsdWorker worker(sender, clock, &progress);
        clock.Advance(400ms);
        EXPECT_EQ(worker.Join(), 0);
        if (shown == 0)
            EXPECT_EQ(link.Lines(2), (Lines{"O_F OSDWE 9 1 0\r\n", "O_F COSDW 9 0\r\n"}));
        else
            EXPECT_EQ(link.Lines(1), (Lines{"O_F COSDW 9 0\r\n"}));
        ASSERT_FALSE(progress.reports.empty());
        EXPECT_EQ(progress.reports.back(), std::make_pair(2 - shown, 2 - shown));
    }
}

TEST(EightPartOsd, WaitsOneSleepWhenTheQueueIsEmpty)
{
    platform::SteppedClock clock;
    LinkedS s(clock, 0);
    auto& link = s.link;
    CPro8PartSender sender(s.plan.get(), 0);
    OsdWorker worker(sender, clock);
    clock.Advance(399ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(worker.result.load(), -1);
    EXPECT_TRUE(link.simulator.Texts().empty());
    clock.Advance(1ms);
    EXPECT_EQ(worker.Join(), 0);
    EXPECT_EQ(link.Lines(2), (Lines{"O_F COSDW 9 0\r\n", "O_F COSDW 9 1\r\n"}));
}

TEST(EightPartOsd, GivesUpWhenTheQueueDoesNotDrainOrTheRequestFails)
{
    {
        platform::SteppedClock clock;
        LinkedS s(clock, 0);
        auto& link = s.link;
        // The first command holds the sender for a minute; the second waits.
        link.processor->link().SetSenderPause(60000);
        ASSERT_TRUE(link.processor->QueueCommand("GP A\r\n"));
        ASSERT_TRUE(link.processor->QueueCommand("GP B\r\n"));

        CPro8PartSender sender(s.plan.get(), 0);
        OsdWorker worker(sender, clock);
        // Steps until it gives up (past 2 s of the clock), however slowly it runs.
        const auto giveUp = std::chrono::steady_clock::now() + 60s;
        while (worker.result.load() == -1 && std::chrono::steady_clock::now() < giveUp) {
            clock.Advance(100ms);
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_EQ(worker.Join(), 1);

        link.processor->link().SetSenderPause(0);
        clock.Advance(61s);
        EXPECT_EQ(link.Lines(2), (Lines{"GP A\r\n", "GP B\r\n"}));
        std::this_thread::sleep_for(50ms);
        EXPECT_FALSE(HasOsdLine(link.simulator.Texts()));
    }

    {
        // A job holds the processor: the dispatcher refuses the request.
        platform::SteppedClock clock;
        LinkedS s(clock, 0);
        ASSERT_EQ(s.link.processor->jobs().StartSendInputOsd(0, nullptr, {1, 2}), 0);
        ASSERT_NE(s.link.processor->GetJobState(), 0);
        // Nothing queued: the wait ends at once and only the gate can refuse.
        ASSERT_EQ(s.link.processor->link().GetQueuedCommandCount(), 0u);
        CPro8PartSender sender(s.plan.get(), 0);
        OsdWorker worker(sender, clock);
        // One sleep of the sender, well inside the job's own start wait.
        clock.Advance(400ms);
        EXPECT_EQ(worker.Join(), 1);
        EXPECT_FALSE(HasOsdLine(s.link.simulator.Texts()));
        s.link.processor->StopJobs();
    }

    // The processor does not confirm the lines: the request fails.
    platform::ScaledClock clock(20);
    LinkedS s(clock, 1);
    s.link.simulator.Silence("O_F");
    CPro8PartSender sender(s.plan.get(), 0);
    EXPECT_EQ(sender.SendOsdWindows(nullptr), 1);
}
