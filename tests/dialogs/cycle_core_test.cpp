// What the cycle-plan editor and runner decide without their windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "context/context.h"
#include "corlane/app_path.h"
#include "dialogs/cycle_plan_edit.h"
#include "dialogs/cycle_tour.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "plan/cycle_plan.h"
#include "plan/plan.h"

namespace {

// A cycle plan read from a file written by hand, so its cells may name
// plans that were never saved.
std::shared_ptr<CQelCyclePlan> Cycle(const std::vector<std::pair<std::string, int32_t>>& cells)
{
    std::filesystem::create_directories(qz::vok::path::GetPlanPath());
    std::string xml = "<CyclePlan version=\"V1\"><Cycle numberofcycles=\"-1\"/><Plans>";
    for (const auto& [name, seconds] : cells)
        xml += "<Plan name=\"" + name + "\" cyclesec=\"" + std::to_string(seconds) + "\"/>";
    xml += "</Plans></CyclePlan>";
    std::ofstream(CQelCyclePlan::FilePath("tour"), std::ios::binary) << xml;
    auto cycle = std::make_shared<CQelCyclePlan>("tour");
    cycle->Load();
    EXPECT_EQ(cycle->GetCells().size(), cells.size());
    return cycle;
}

} // namespace

TEST(CycleSeconds, OnlyCountsWithinTheFieldAreStored)
{
    struct Case {
        const char* text;
        SecondsEntry::Action action;
        int32_t value;
    };
    const Case cases[] = {
        {"12", SecondsEntry::Store, 12},
        {"1", SecondsEntry::Store, 1},
        {"007", SecondsEntry::Store, 7},
        {"2147483647", SecondsEntry::Store, 2147483647},
        {"0", SecondsEntry::Keep, 0},
        {"000", SecondsEntry::Keep, 0},
        {"", SecondsEntry::Keep, 0},
        {"abc", SecondsEntry::Restore, 0},
        {"-5", SecondsEntry::Restore, 0},
        {"+5", SecondsEntry::Restore, 0},
        {" 5", SecondsEntry::Restore, 0},
        {"5s", SecondsEntry::Restore, 0},
        {"2147483648", SecondsEntry::Restore, 0},
        {"99999999999", SecondsEntry::Restore, 0},
        {"99999999999999999999999999", SecondsEntry::Restore, 0},
    };
    for (const Case& c : cases) {
        const SecondsEntry entry = ParseSecondsEntry(c.text);
        EXPECT_EQ(entry.action, c.action) << '"' << c.text << '"';
        if (c.action == SecondsEntry::Store) {
            EXPECT_EQ(entry.value, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(CycleNames, NewNameTakesTheFirstFreeNumberAndSavesCheckInOrder)
{
    CQelCyclePlanMan cycles;
    EXPECT_EQ(ProposeCycleName(cycles, "新建轮巡方案"), "新建轮巡方案_1");
    for (const char* name : {"新建轮巡方案_1", "新建轮巡方案_2", "新建轮巡方案_4", "tour"})
        ASSERT_TRUE(cycles.Add(std::make_shared<CQelCyclePlan>(name)));
    EXPECT_EQ(ProposeCycleName(cycles, "新建轮巡方案"), "新建轮巡方案_3");

    EXPECT_EQ(CheckCycleSave(cycles, "", ""), CycleSaveStep::Empty);
    EXPECT_EQ(CheckCycleSave(cycles, "tour", ""), CycleSaveStep::Empty);
    EXPECT_EQ(CheckCycleSave(cycles, "", "tour"), CycleSaveStep::Taken);
    EXPECT_EQ(CheckCycleSave(cycles, "新建轮巡方案_1", "tour"), CycleSaveStep::Taken);
    EXPECT_EQ(CheckCycleSave(cycles, "tour", "tour"), CycleSaveStep::Keep);
    EXPECT_EQ(CheckCycleSave(cycles, "", "new"), CycleSaveStep::Add);
    EXPECT_EQ(CheckCycleSave(cycles, "tour", "new"), CycleSaveStep::Rename);
    for (const char* unsafe : {"a/b", "..", "a\\b", "tab\there", "\xF0\x9F\x98\x80"})
        EXPECT_EQ(CheckCycleSave(cycles, "tour", unsafe), CycleSaveStep::Unsafe) << unsafe;
}

TEST(CycleTour, StepsEachCellForItsSecondsAndWraps)
{
    CycleTour tour(Cycle({{"A", 5}, {"B", 3}}));
    // The tick at which each step happened, and its plan.
    std::vector<std::pair<int, std::string>> steps;
    for (int tick = 1; tick <= 17; ++tick) {
        if (tour.Tick())
            steps.emplace_back(tick, tour.Next().planName);
    }
    const std::vector<std::pair<int, std::string>> expected = {{1, "A"}, {6, "B"}, {9, "A"}, {14, "B"}, {17, "A"}};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(tour.Remaining(), 5);
    EXPECT_EQ(tour.NextIndex(), 1);

    // A skipped step moves on at the next tick; cells of no seconds stay one.
    CycleTour skipping(Cycle({{"gone", 5}, {"zero", 0}, {"A", 2}}));
    std::vector<std::string> names;
    for (int tick = 1; tick <= 4; ++tick) {
        if (!skipping.Tick())
            continue;
        const CycleTour::Step step = skipping.Next();
        names.push_back(step.planName);
        if (step.planName == "gone")
            skipping.Skip();
    }
    EXPECT_EQ(names, (std::vector<std::string>{"gone", "zero", "A"}));

    // No cells: every tick steps to nothing, the index stays 0.
    CycleTour empty(std::make_shared<CQelCyclePlan>("none"));
    for (int tick = 0; tick < 3; ++tick) {
        ASSERT_TRUE(empty.Tick());
        EXPECT_EQ(empty.Next().planName, "");
        EXPECT_EQ(empty.NextIndex(), 0);
    }
}

TEST(RunWindow, SizeFollowsTheFirstPlansScreens)
{
    CQelPlan plan;
    plan.SetGrid(1, 1);
    plan.SetResolution({1920, 1080, 60});
    EXPECT_EQ(RunWindowSize(&plan), (Size{960, 540}));
    plan.SetResolution({3840, 2160, 30});
    EXPECT_EQ(RunWindowSize(&plan), (Size{960, 540}));
    plan.SetResolution({1280, 1024, 60});
    EXPECT_EQ(RunWindowSize(&plan), (Size{800, 600}));
    plan.SetResolution({1366, 768, 60}); // 768 / 9 is whole, 1366 / 16 not
    EXPECT_EQ(RunWindowSize(&plan), (Size{800, 600}));
    EXPECT_EQ(RunWindowSize(nullptr), (Size{800, 600}));

    // Buttons from the right end of the 40-pixel title band, centred on it.
    const RunLayout layout = LayOutRunWindow(Rect{0, 0, 960, 540}, Size{24, 20}, Size{16, 16});
    EXPECT_EQ(layout.content, (Rect{0, 0, 960, 540}));
    EXPECT_EQ(layout.title, (Rect{0, 0, 960, 40}));
    EXPECT_EQ(layout.close, (Rect{930, 10, 954, 30}));
    EXPECT_EQ(layout.minimise, (Rect{910, 12, 926, 28}));
    const RunLayout missing = LayOutRunWindow(Rect{0, 0, 800, 600}, Size{}, Size{16, 16});
    EXPECT_EQ(missing.close, Rect{});
    EXPECT_EQ(missing.minimise, (Rect{774, 12, 790, 28}));
    EXPECT_EQ(RunTitleText("A", 5), "A (5 sec)");
}

TEST(RunWindow, MiniatureScalesWindowsAndKnowsTheirSources)
{
    CQelContext::Destroy();
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    for (auto [id, joined] : {std::pair{100u, true}, std::pair{101u, false}}) {
        CQelSigSrc::Values v;
        v.id = id;
        v.name = "S" + std::to_string(id);
        v.joined = joined;
        processor->AddSigSrc(std::make_shared<CQelSigSrc>(v), false, false);
    }
    CQelPlan plan;
    plan.SetGrid(1, 1);
    plan.SetResolution({1920, 1080, 60});
    const auto add = [&](int32_t source, Rect rect, bool full = false) {
        auto window = std::make_shared<CQelWindow>();
        window->sigsrc = source;
        window->rect = rect;
        window->fullscreen = full;
        plan.AddWindow(window, CurrentPlanSelection());
    };
    add(100, {0, 540, 960, 1080});
    add(101, {960, 540, 1440, 1080});
    add(7, {1440, 540, 1920, 1080});
    add(100, {1, 1, 3, 3}, true);

    const auto mini = LayOutMiniature(plan, Rect{0, 0, 960, 540}, processor.get());
    ASSERT_EQ(mini.size(), 4u);
    EXPECT_EQ(mini[0].rect, (Rect{0, 270, 480, 540}));
    EXPECT_EQ(mini[0].body, MiniatureWindow::Joined);
    EXPECT_EQ(mini[0].label, "Win_1(S100)");
    EXPECT_EQ(mini[1].rect, (Rect{480, 270, 720, 540}));
    EXPECT_EQ(mini[1].body, MiniatureWindow::Idle);
    EXPECT_EQ(mini[2].body, MiniatureWindow::NoSource);
    EXPECT_EQ(mini[2].label, "");
    EXPECT_EQ(mini[3].rect, (Rect{0, 0, 960, 540}));

    // Offset by the content's origin; odd scales truncate.
    const auto offset = LayOutMiniature(plan, Rect{10, 20, 810, 620}, nullptr);
    EXPECT_EQ(offset[1].rect, (Rect{410, 320, 610, 620}));
    EXPECT_EQ(offset[0].body, MiniatureWindow::NoSource);

    CQelPlan sizeless;
    sizeless.AddWindow(std::make_shared<CQelWindow>(), CurrentPlanSelection());
    EXPECT_TRUE(LayOutMiniature(sizeless, Rect{0, 0, 960, 540}, processor.get()).empty());
}
