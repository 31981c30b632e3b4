#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "corlane/app_path.h"
#include "tests/builder/sender_test_support.h"

using namespace _8PART_NS;
using PS_NS::CPro8x8Sender;

namespace {

using MonitorFields = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>;

MonitorFields Fields(const PS_NS::tagMonitor& m)
{
    return {m.board, m.port, m.x, m.y, m.width, m.height, m.row, m.col};
}

std::vector<int32_t> Ports(const PS_NS::CPS_NS_MONITOR_S_Container& list)
{
    std::vector<int32_t> ports;
    for (const auto& m : list)
        ports.push_back(m->board * 100 + m->port);
    return ports;
}

// Model 8 with outputs 10900 to 10903 and a 1 x 3 wall whose middle cell
// has no output.
std::shared_ptr<CQelProcessor> MonitorProcessor()
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetKind(8);
    const auto output = AddTestBoard(*processor, 109, 12);
    AddTestOutputs(*processor, output, {10900, 10901, 10902, 10903});
    SetTestWall(*processor, 1, 3, {{{0, 0}, 10900}, {{0, 1}, 0}, {{0, 2}, 10902}});
    return processor;
}

void RunMonitorPasses(CPro8x8Sender& sender)
{
    sender.CollectBoards();
    sender.CollectWindows();
    sender.AddWatchMonitors();
    sender.AddGridMonitors();
    sender.BuildMonitors();
}

} // namespace

TEST(EightPartSender, EveryConstructionStartsWithFreshTables)
{
    SenderContextGuard guard;
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetKind(8);
    SelectTestProcessor(processor);

    auto& resources = C8PartResourceAllocer::Instance();
    auto& gsystems = C8PartGSysManager::Instance();
    size_t rows = 0;
    size_t systems = 0;
    int32_t firstIndex = -1;
    {
        CPro8PartSender first(nullptr, 0);
        rows = resources.TableSize();
        systems = gsystems.SystemCount();
        ASSERT_GT(rows, 0u);
        ASSERT_GT(systems, 0u);
        const Reservation* taken = resources.Reserve(0, C8PartResourceAllocer::kKindScaler);
        ASSERT_NE(taken, nullptr);
        firstIndex = taken->index;
    }
    CPro8PartSender second(nullptr, 1);
    EXPECT_EQ(resources.TableSize(), rows);
    EXPECT_EQ(gsystems.SystemCount(), systems);
    EXPECT_EQ(gsystems.Mode(), 1);
    EXPECT_EQ(resources.OutstandingReservations(), 0u);
    const Reservation* again = resources.Reserve(0, C8PartResourceAllocer::kKindScaler);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->index, firstIndex);
}

TEST(EightPartSender, ClassFactsAndTheSharedMapEmptiedOnDestruction)
{
    SenderContextGuard guard;
    auto processor = std::make_shared<CQelProcessor>();
    SelectTestProcessor(processor);
    auto& map = CPro8x8Sender::CResourceAllocer::Instance().Map();

    for (auto [kind, parts] : {std::pair{7, 2}, {8, 4}, {10, 9}, {9, 1}}) {
        processor->SetKind(kind);
        map[1] = 2;
        {
            CPro8PartSender sender(nullptr, 0);
            sender.CollectBoards();
            EXPECT_EQ(sender.PartCount(), parts) << kind;
            EXPECT_EQ(sender.CellsPerPart(), 4) << kind;
            EXPECT_EQ(sender.GetName(), "Pro8x8Sender");
            EXPECT_TRUE(sender.IsWindowRealized(12345));
        }
        EXPECT_TRUE(map.empty()) << kind;
    }
    map[3] = 4;
    { CPro8x8Sender sender(nullptr); }
    EXPECT_TRUE(map.empty());

    // The sender hands its lines to the command layer and keeps no log.
    const auto logs = qz::vok::path::GetLogPath();
    if (std::filesystem::exists(logs)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(logs))
            EXPECT_EQ(entry.path().filename().string().find("Pro8x8Sender"), std::string::npos);
    }
}

TEST(EightPartSender, MonitorsFollowWallMapAndPlanSizes)
{
    SenderContextGuard guard;
    auto processor = MonitorProcessor();
    SelectTestProcessor(processor);
    auto plan = MakeTestPlan(1, 3);
    plan->SetColumnWidths({1920, 1280, 1920});

    {
        CPro8PartSender sender(plan.get(), 0);
        RunMonitorPasses(sender);
        ASSERT_EQ(sender.GridMonitors().size(), 2u);
        EXPECT_EQ(Fields(*sender.GridMonitors()[0]), MonitorFields(9, 0, 0, 0, 1920, 1080, 0, 0));
        EXPECT_EQ(Fields(*sender.GridMonitors()[1]), MonitorFields(9, 2, 3200, 0, 1920, 1080, 0, 2));
        EXPECT_EQ(sender.GridMonitors()[0]->cellWidth, 1920);
        EXPECT_EQ(sender.GridMonitors()[0]->last, -1);
        EXPECT_EQ(Ports(sender.IdleOutputs()), (std::vector<int32_t>{901, 903}));
        EXPECT_EQ(sender.Monitors().size(), 2u);
    }

    // A watched output gets its monitor and is no longer idle; a second
    // watch window of it replaces nothing.
    plan->SetWatchOutputs({10903});
    auto watch = std::make_shared<CQelWatchWindow>();
    watch->sigout = 10903;
    ASSERT_TRUE(plan->AddWatchWindow(watch));
    {
        CPro8PartSender sender(plan.get(), 0);
        RunMonitorPasses(sender);
        ASSERT_EQ(sender.WatchMonitors().size(), 1u);
        const auto& [key, monitor] = *sender.WatchMonitors().begin();
        EXPECT_EQ(key, 10903);
        EXPECT_EQ(Fields(*monitor), MonitorFields(9, 3, 0, 0, 1920, 1080, 0, 0));
        EXPECT_EQ(Ports(sender.IdleOutputs()), (std::vector<int32_t>{901}));
        ASSERT_EQ(sender.Monitors().size(), 3u);
        EXPECT_EQ(sender.Monitors()[2], monitor);
    }

    // A -1 in the map makes no monitor either; a plan without size lists
    // (or with short ones) takes its cell size for the missing entries.
    SetTestWall(*processor, 1, 3, {{{0, 0}, -1}, {{0, 1}, 10901}, {{0, 2}, 10902}});
    auto uniform = MakeTestPlan(1, 3, kPlanUniform);
    uniform->SetColumnWidths({1000});
    CPro8PartSender sender(uniform.get(), 0);
    RunMonitorPasses(sender);
    ASSERT_EQ(sender.GridMonitors().size(), 2u);
    EXPECT_EQ(Fields(*sender.GridMonitors()[0]), MonitorFields(9, 1, 1000, 0, 1920, 1080, 0, 1));
    EXPECT_EQ(Fields(*sender.GridMonitors()[1]), MonitorFields(9, 2, 2920, 0, 1920, 1080, 0, 2));
}

TEST(EightPartSender, NoProcessorOrPlanCollectsNothing)
{
    SenderContextGuard guard;
    auto plan = MakeTestPlan(1, 1);
    AddTestWindow(*plan, kLogoSigSrc, {0, 0, 10, 10});
    CPro8PartSender noProcessor(plan.get(), 0);
    RunMonitorPasses(noProcessor);
    noProcessor.CollectWatchCells();
    EXPECT_TRUE(noProcessor.GridMonitors().empty());
    std::vector<std::shared_ptr<tagMonitorInvalidSegmentWindow>> out;
    EXPECT_EQ(noProcessor.CheckPlacementBySplit(out), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(noProcessor.SendOsdWindows(nullptr), 1);

    auto processor = MonitorProcessor();
    SelectTestProcessor(processor);
    CPro8PartSender noPlan(nullptr, 0);
    RunMonitorPasses(noPlan);
    EXPECT_TRUE(noPlan.Windows().empty());
    EXPECT_EQ(noPlan.IdleOutputs().size(), 4u);
    EXPECT_EQ(noPlan.CheckPlacementBySplit(out), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(noPlan.SendOsdWindows(nullptr), 1);
}
