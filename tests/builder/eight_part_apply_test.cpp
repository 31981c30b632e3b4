// Plans applied to, stored on and checked against 8-part processors.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "builder/pro8part_sender.h"
#include "builder/resource_allocer.h"
#include "comm/net_manager.h"
#include "context/context.h"
#include "model/net_type.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"
#include "tests/builder/apply_test_support.h"
#include "model/processor_jobs.h"
#include "tests/builder/sender_link_support.h"
#include "tests/support/scoped_setting.h"

using namespace _8PART_NS;
using Lines = std::vector<std::string>;

namespace {

// The layout of fixture F with the window (960, 0, 2880, 1080).
const Lines kAcrossTwoOutputs = {
    "I_F SWL 1 0 1920 2400\r\n",
    "I_F AW 0 1 0 0 1920 1080 0 0 1920 1080\r\n",
    "I_F AWE\r\n",
    "GP BPSW 1 0 9 0\r\n",
    "O_F SCALER_SETUP 9 0 0 320 240 0 319 0 239 320 240\r\n",
    "O_F SCALER_SETUP 9 1 0 320 240 0 319 0 239 320 240\r\n",
    "O_F SWL 9 0 1920 1080\r\n",
    "O_F AW 0 1 0 0 960 1080 960 0 1920 1080\r\n",
    "O_F AWE\r\n",
    "O_F SWL 9 1 1920 1080\r\n",
    "O_F AW 0 1 960 0 1920 1080 0 0 960 1080\r\n",
    "O_F AWE\r\n",
    "I_F SUSD 1\r\n",
    "K40750 UPDATA 0\r\n",
    "O_F SUSD 9\r\n",
};

bool WaitUntil(const std::function<bool()>& done)
{
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Sees whether the status poll is on at each report of the store.
class PollWatcher : public IProgress {
public:
    explicit PollWatcher(CQelProcessor& p) : processor_(p) {}
    void OnProgress(int, int) override { pollOn.push_back(processor_.settings().IsStatusPollEnabled()); }
    std::vector<bool> pollOn;

private:
    CQelProcessor& processor_;
};

} // namespace

TEST(EightPartApply, LayoutFollowsTheLinkSetUp)
{
    SenderContextGuard guard;
    ClearLogs();
    const ScopedSetting noEchoWaits(g_NetType, uint8_t(0));
    ProcessorSimulator simulator;
    auto processor = std::make_shared<CQelProcessor>();
    PointAtLoopback(*processor, simulator.Port());
    SelectTestProcessor(processor);
    auto plan = MakeTestPlan(1, 2);
    AddTestWindow(*plan, 100, {960, 0, 2880, 1080});
    EXPECT_FALSE(plan->Apply(0, nullptr)); // not connected yet

    ASSERT_TRUE(processor->Connect());
    ASSERT_TRUE(WaitUntil([&] { return processor->IsConnected(); }));
    BuildFixtureS(*processor);
    ASSERT_TRUE(plan->Apply(0, nullptr));
    ASSERT_TRUE(simulator.WaitForLine("O_F SUSD 9\r\n", 20s));
    std::this_thread::sleep_for(100ms); // nothing may follow

    const Lines texts = simulator.Texts();
    const auto first = std::find(texts.begin(), texts.end(), kAcrossTwoOutputs.front());
    EXPECT_EQ(Lines(first, texts.end()), kAcrossTwoOutputs);
    CNetManager::get_instance().CloseAndRemove(processor->settings().GetChannelId());
    processor->link().StopSender();
}

TEST(EightPartApply, ListIsOneRequestReplacingTheUnsentOne)
{
    SenderContextGuard guard;
    ApplyFixture f(8);
    BuildFixtureS(*f.processor);
    f.processor->link().StopSender(); // keeps the lists queued
    auto plan = MakeTestPlan(1, 2);
    auto window = AddTestWindow(*plan, 100, {960, 0, 2880, 1080});
    ASSERT_TRUE(plan->Apply(0, nullptr));
    ASSERT_EQ(f.processor->link().GetQueuedCommandCount(), kAcrossTwoOutputs.size());

    plan->RemoveWindow(window);
    ASSERT_TRUE(plan->Apply(0, nullptr));
    const Lines empty = {"O_F SCALER_SETUP 9 0 0 320 240 0 319 0 239 320 240\r\n",
                         "O_F SCALER_SETUP 9 1 0 320 240 0 319 0 239 320 240\r\n",
                         "OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 0\r\n",
                         "OUTPUT_FPGA CLEAR_OUTPUT_WIN 9 1\r\n",
                         "K40750 UPDATA 0\r\n",
                         "O_F SUSD 9\r\n"};
    EXPECT_EQ(f.processor->link().GetQueuedCommandCount(), empty.size());
    std::vector<Pushed> expected;
    for (const auto* list : {&kAcrossTwoOutputs, &empty})
        for (const auto& line : *list)
            expected.push_back({line, 2});
    EXPECT_EQ(f.recorder.Pushes(), expected);
}

TEST(EightPartApply, RefusedWithoutALinkOrWhileBusy)
{
    {
        SenderContextGuard guard;
        ApplyFixture f(8, false);
        BuildFixtureS(*f.processor);
        auto plan = MakeTestPlan(1, 2);
        AddTestWindow(*plan, 100, {0, 0, 1920, 1080});
        // A reservation survives: no sender was made to rebuild the tables.
        {
            CPro8PartSender tables(plan.get(), 0);
        }
        ASSERT_NE(C8PartResourceAllocer::Instance().Reserve(1, C8PartResourceAllocer::kKindScaler), nullptr);
        EXPECT_FALSE(plan->Apply(0, nullptr));
        EXPECT_FALSE(plan->SaveToProcessor(3, nullptr));
        EXPECT_EQ(C8PartResourceAllocer::Instance().OutstandingReservations(), 1u);
        CQelContext::SetSelSigSrc(-1, -1);
        EXPECT_FALSE(plan->Apply(0, nullptr));
        EXPECT_TRUE(f.recorder.Pushes().empty());
    }
    {
        // A full queue drops lines: the apply says so.
        SenderContextGuard guard;
        ApplyFixture f(8);
        BuildFixtureS(*f.processor);
        auto plan = MakeTestPlan(1, 2);
        AddTestWindow(*plan, 100, {0, 0, 1920, 1080});
        FillQueue(*f.processor);
        EXPECT_FALSE(plan->Apply(0, nullptr));
        EXPECT_FALSE(SwitchPlan({})->Apply(0, nullptr));
    }

    // The reset or a transfer holds the processor: the list is refused.
    platform::SteppedClock clock;
    LinkedS s(clock, 0);
    AddTestWindow(*s.plan, 100, {0, 0, 1920, 1080});
    ASSERT_EQ(s.link.processor->jobs().StartSendInputOsd(0, nullptr, {1, 2}), 0);
    ASSERT_NE(s.link.processor->GetJobState(), 0);
    EXPECT_FALSE(s.plan->Apply(0, nullptr));
    EXPECT_FALSE(SwitchPlan({})->Apply(0, nullptr));
    EXPECT_EQ(s.link.processor->link().GetQueuedCommandCount(), 0u);
    s.link.processor->StopJobs();
}

TEST(EightPartApply, SwitchPlansSendRoutesOrOsdWindows)
{
    platform::ScaledClock clock(20);
    LinkedS s(clock, 0);
    auto& link = s.link;
    ASSERT_TRUE(SwitchPlan({})->Apply(0, nullptr));
    EXPECT_EQ(link.Lines(1), (Lines{"K40750 UPDATA 0\r\n"}));

    link.simulator.ClearLines();
    // A negative input (a plan file may hold one) is no route.
    auto routes = SwitchPlan({{10902, 201}, {10903, -2}, {11203, 105}});
    ASSERT_TRUE(routes->Apply(0, nullptr));
    EXPECT_EQ(link.Lines(3), (Lines{"GP BPSW 2 1 9 2\r\n", "GP BPSW 1 5 12 3\r\n", "K40750 UPDATA 0\r\n"}));

    link.simulator.ClearLines();
    ASSERT_TRUE(routes->Apply(1, nullptr));
    EXPECT_EQ(link.Lines(2), (Lines{"O_F COSDW 9 0\r\n", "O_F COSDW 9 1\r\n"}));

    link.simulator.ClearLines();
    EXPECT_FALSE(routes->Apply(2, nullptr));
    EXPECT_FALSE(s.plan->Apply(-1, nullptr));
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(link.simulator.Texts().empty());
}

TEST(EightPartApply, SaveStoresTheLayoutInThePresetSlot)
{
    platform::ScaledClock clock(1); // the store's poll waits for its reply
    LinkedS s(clock, 0);
    auto& link = s.link;
    link.simulator.AnswerDisplayModeStoredFrom(1);
    AddTestWindow(*s.plan, 100, {960, 0, 2880, 1080});
    link.processor->settings().SetStatusPoll(true);
    PollWatcher watcher(*link.processor);
    ASSERT_TRUE(s.plan->SaveToProcessor(3, &watcher));

    Lines expected = {"GP SDMI 3\r\n"};
    for (int board = 9; board <= 12; ++board)
        for (int port = 0; port < 4; ++port)
            expected.push_back("GP BPSW 0xFF 0xFF " + std::to_string(board) + " " + std::to_string(port) + "\r\n");
    expected.insert(expected.end(), kAcrossTwoOutputs.begin(), kAcrossTwoOutputs.end());
    expected.push_back("GP CDMS 1\r\n");
    expected.push_back("GP SDMI 0\r\n");
    EXPECT_EQ(link.Lines(expected.size()), expected);
    ASSERT_FALSE(watcher.pollOn.empty());
    EXPECT_TRUE(std::none_of(watcher.pollOn.begin(), watcher.pollOn.end(), [](bool on) { return on; }));
    EXPECT_TRUE(link.processor->settings().IsStatusPollEnabled());
}

TEST(EightPartApply, PlacementCheckMarksEveryWindowAndResetsTheTables)
{
    SenderContextGuard guard;
    auto processor = std::make_shared<CQelProcessor>();
    BuildFixtureS(*processor);
    SelectTestProcessor(processor);
    auto plan = MakeTestPlan(1, 2);
    auto shown = AddTestWindow(*plan, 100, {0, 0, 1920, 1080});
    auto unknown = AddTestWindow(*plan, 500, {0, 0, 100, 100});
    {
        CPro8PartSender tables(plan.get(), 0);
    }
    ASSERT_NE(C8PartResourceAllocer::Instance().Reserve(1, C8PartResourceAllocer::kKindScaler), nullptr);
    plan->PlaceWindows();
    EXPECT_TRUE(shown->resourceOk);
    EXPECT_TRUE(unknown->resourceOk);
    EXPECT_EQ(C8PartResourceAllocer::Instance().OutstandingReservations(), 0u);
}

TEST(EightPartApply, OverlaysShowWhatTheProcessorCannot)
{
    SenderContextGuard guard;
    auto processor = std::make_shared<CQelProcessor>();
    BuildFixtureS(*processor);
    AddTestBoards(*processor, {{5, 1}});
    AddTestSource(*processor, 500, 1920, 1080);
    SelectTestProcessor(processor);

    auto plan = MakeTestPlan(1, 2);
    AddTestWindow(*plan, 500, {0, 0, 1920, 1080});
    const auto failures = plan->GetEightPartOverlay();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0]->code, 0);
    EXPECT_EQ(failures[0]->rect, (Rect{0, 0, 1920, 1080}));

    auto split = MakeTestPlan(1, 2);
    for (int32_t x = 0; x < 1000; x += 200)
        AddTestWindow(*split, 100, {x, 0, x + 100, 1080});
    const auto bands = split->GetEightPartOverlay2();
    ASSERT_EQ(bands.size(), 2u);
    std::vector<Rect> invalid;
    for (const auto& i : bands[0]->invalid)
        invalid.push_back(i.rect);
    EXPECT_EQ(invalid, (std::vector<Rect>{{700, 0, 800, 1080}, {800, 0, 900, 1080}, {900, 0, 1920, 1080}}));
    EXPECT_TRUE(bands[1]->invalid.empty());

    processor->SetKind(3);
    EXPECT_TRUE(plan->GetEightPartOverlay().empty());
    EXPECT_TRUE(split->GetEightPartOverlay2().empty());
    CQelContext::SetSelSigSrc(-1, -1);
    processor->SetKind(8);
    EXPECT_TRUE(plan->GetEightPartOverlay().empty());
    EXPECT_TRUE(split->GetEightPartOverlay2().empty());
}
