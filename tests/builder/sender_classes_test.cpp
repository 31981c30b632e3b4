#include <gtest/gtest.h>

#include <tuple>

#include "builder/gsys_manager.h"
#include "builder/pro16x16_builder.h"
#include "builder/pro8part_sender.h"
#include "builder/pro8x8_sender.h"
#include "builder/resource_allocer.h"
#include "model/processor.h"
#include "plan/plan.h"
#include "tests/builder/sender_test_support.h"

using namespace _8PART_NS;
using PS_NS::CPro8x8Sender;

namespace {

// board, port, x, y, width, height, row, col
using Fields = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>;

Fields Of(const PS_NS::tagMonitor& m)
{
    return {m.board, m.port, m.x, m.y, m.width, m.height, m.row, m.col};
}

std::vector<int32_t> Ids(const PS_NS::CPS_NS_MONITOR_S_Container& list)
{
    std::vector<int32_t> ids;
    for (const auto& m : list)
        ids.push_back(m->board * 100 + m->port);
    return ids;
}

} // namespace

TEST(EightPartSender, EachSenderStartsWithFreshTablesAndEmptiesTheSharedMap)
{
    SenderContextGuard guard;
    auto processor = std::make_shared<CQelProcessor>();
    SelectTestProcessor(processor);
    processor->SetKind(8);
    auto& resources = C8PartResourceAllocer::Instance();
    auto& map = CPro8x8Sender::CResourceAllocer::Instance().Map();

    size_t rows = 0, systems = 0;
    int32_t taken = -1;
    {
        CPro8PartSender first(nullptr, 0);
        rows = resources.TableSize();
        systems = C8PartGSysManager::Instance().SystemCount();
        taken = resources.Reserve(0, C8PartResourceAllocer::kKindScaler)->index;
        map[1] = 2;
    }
    EXPECT_TRUE(map.empty());
    CPro8PartSender second(nullptr, 1);
    EXPECT_EQ(resources.TableSize(), rows);
    EXPECT_EQ(C8PartGSysManager::Instance().SystemCount(), systems);
    EXPECT_EQ(C8PartGSysManager::Instance().Mode(), 1);
    EXPECT_EQ(resources.Reserve(0, C8PartResourceAllocer::kKindScaler)->index, taken);

    map[3] = 4;
    {
        CPro8x8Sender sender(nullptr);
    }
    EXPECT_TRUE(map.empty());

    for (auto [kind, parts] : {std::pair{7, 2}, {8, 4}, {10, 9}, {9, 1}}) {
        processor->SetKind(kind);
        CPro8PartSender sender(nullptr, 0);
        sender.CollectBoards();
        EXPECT_EQ(std::make_pair(sender.PartCount(), sender.CellsPerPart()), std::make_pair(parts, 4)) << kind;
        // The plan layer holds every sender as a builder of the root family.
        const CPro16x16Builder& builder = sender;
        EXPECT_EQ(builder.GetName(), "Pro8x8Sender");
        EXPECT_TRUE(builder.IsWindowRealized(12345));
    }
}

TEST(EightPartSender, MonitorsFollowWallMapAndPlanSizes)
{
    SenderContextGuard guard;
    auto processor = std::make_shared<CQelProcessor>();
    BuildFixtureS(*processor);
    SetTestOutputs(*processor, {10902, 10903}, {{{0, 0}, 10900}, {{0, 1}, 0}, {{0, 2}, 10902}});
    SelectTestProcessor(processor);
    auto plan = MakeTestPlan(1, 3);
    plan->SetColumnWidths({1920, 1280, 1920});
    {
        CPro8PartSender sender(plan.get(), 0);
        RunMonitorPasses(sender);
        ASSERT_EQ(sender.GridMonitors().size(), 2u);
        EXPECT_EQ(Of(*sender.GridMonitors()[0]), Fields(9, 0, 0, 0, 1920, 1080, 0, 0));
        EXPECT_EQ(Of(*sender.GridMonitors()[1]), Fields(9, 2, 3200, 0, 1920, 1080, 0, 2));
        EXPECT_EQ(Ids(sender.IdleOutputs()), (std::vector<int32_t>{901, 903}));
    }

    // A watched output gets its monitor and is no longer idle.
    plan->SetWatchOutputs({10903});
    auto watch = std::make_shared<CQelWatchWindow>();
    watch->sigout = 10903;
    ASSERT_TRUE(plan->AddWatchWindow(watch));
    {
        CPro8PartSender sender(plan.get(), 0);
        RunMonitorPasses(sender);
        ASSERT_EQ(sender.WatchMonitors().count(10903), 1u);
        const auto monitor = sender.WatchMonitors().at(10903);
        EXPECT_EQ(Of(*monitor), Fields(9, 3, 0, 0, 1920, 1080, 0, 0));
        EXPECT_EQ(Ids(sender.IdleOutputs()), (std::vector<int32_t>{901}));
        ASSERT_EQ(sender.Monitors().size(), 3u);
        EXPECT_EQ(sender.Monitors()[2], monitor);
    }

    // -1 makes no monitor either; a plan without size lists (or short ones)
    // takes its cell size for the missing entries.
    SetTestOutputs(*processor, {}, {{{0, 0}, -1}, {{0, 1}, 10901}, {{0, 2}, 10902}});
    auto uniform = MakeTestPlan(1, 3, kPlanUniform);
    uniform->SetColumnWidths({1000});
    CPro8PartSender sender(uniform.get(), 0);
    RunMonitorPasses(sender);
    ASSERT_EQ(sender.GridMonitors().size(), 2u);
    EXPECT_EQ(Of(*sender.GridMonitors()[0]), Fields(9, 1, 1000, 0, 1920, 1080, 0, 1));
    EXPECT_EQ(Of(*sender.GridMonitors()[1]), Fields(9, 2, 2920, 0, 1920, 1080, 0, 2));
}

TEST(EightPartSender, NoProcessorOrNoPlanDoesNothing)
{
    SenderContextGuard guard;
    auto plan = MakeTestPlan(1, 1);
    AddTestWindow(*plan, kLogoSigSrc, {0, 0, 10, 10});
    std::vector<std::shared_ptr<tagMonitorInvalidSegmentWindow>> out;
    for (bool withProcessor : {false, true}) {
        if (withProcessor) {
            auto processor = std::make_shared<CQelProcessor>();
            BuildFixtureS(*processor);
            SelectTestProcessor(processor);
        }
        CPro8PartSender sender(withProcessor ? nullptr : plan.get(), 0);
        EXPECT_EQ(sender.CheckPlacementBySplit(out), 0);
        EXPECT_EQ(sender.SendOsdWindows(nullptr), 1);
        EXPECT_TRUE(out.empty());
        EXPECT_TRUE(sender.Windows().empty());
    }
}
