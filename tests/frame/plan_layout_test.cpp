// The plan operations' decisions without windows: the standard layouts,
// their sources, the plan-name checks and the list panes' geometry.
#include <gtest/gtest.h>

#include "context/context.h"
#include "frame/plan_layout.h"
#include "frame/titled_pane.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "tests/builder/sender_test_support.h"
#include "tests/frame/test_processor.h"

namespace {

std::vector<Rect> WindowRects(const CQelPlan& plan)
{
    std::vector<Rect> rects;
    for (const auto& window : plan.GetWindows())
        rects.push_back(window->rect);
    return rects;
}

} // namespace

TEST(StandardLayout, SplitsTheWallIntoEqualBandsTheLastReachingTheEdge)
{
    const Size wall{1000, 601};
    struct Case {
        int layout;
        std::vector<Rect> rects;
    };
    const Case cases[] = {
        {12, {{0, 0, 500, 601}, {500, 0, 1000, 601}}},
        {13, {{0, 0, 333, 601}, {333, 0, 666, 601}, {666, 0, 1000, 601}}},
        {14, {{0, 0, 250, 601}, {250, 0, 500, 601}, {500, 0, 750, 601}, {750, 0, 1000, 601}}},
        {21, {{0, 0, 1000, 300}, {0, 300, 1000, 601}}},
        {31, {{0, 0, 1000, 200}, {0, 200, 1000, 400}, {0, 400, 1000, 601}}},
        {41, {{0, 0, 1000, 150}, {0, 150, 1000, 300}, {0, 300, 1000, 450}, {0, 450, 1000, 601}}},
        {22, {{0, 0, 500, 300}, {500, 0, 1000, 300}, {0, 300, 500, 601}, {500, 300, 1000, 601}}},
        {0, {}},
        {11, {}},
        {23, {}},
        {-1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        EXPECT_EQ(StandardLayoutRects(c.layout, wall), c.rects);
    }
    // A wall narrower than the columns still gives every window.
    EXPECT_EQ(StandardLayoutRects(14, Size{2, 2}),
              (std::vector<Rect>{{0, 0, 0, 2}, {0, 0, 0, 2}, {0, 0, 0, 2}, {0, 0, 2, 2}}));
}

TEST(StandardLayout, WindowsTakeTheSourceOfTheirPositionOrTheFirst)
{
    EXPECT_EQ(LayoutSourceId(nullptr, 0), -1);
    auto bare = MakeTestProcessor(false);
    EXPECT_EQ(LayoutSourceId(bare.get(), 0), -1);
    EXPECT_EQ(LayoutSourceId(bare.get(), 3), -1);

    auto processor = MakeTestProcessor(true);
    AddTestSource(*processor, 107, 1280, 720);
    EXPECT_EQ(LayoutSourceId(processor.get(), 0), 100);
    EXPECT_EQ(LayoutSourceId(processor.get(), 1), 107);
    EXPECT_EQ(LayoutSourceId(processor.get(), 2), 100);
    EXPECT_EQ(LayoutSourceId(processor.get(), -1), -1);

    CQelContext::GetProMan()->AddProcessor(processor);
    CQelContext::SetSelSigSrc(1, 100);
    auto plan = MakeTestPlan(2, 2, kPlanUniform);
    BuildStandardLayout(22, *plan, processor.get());
    ASSERT_EQ(plan->GetWindowCount(), 4);
    std::vector<int32_t> sources;
    for (const auto& window : plan->GetWindows()) {
        sources.push_back(window->sigsrc);
        EXPECT_EQ(window->processor, 1);
    }
    EXPECT_EQ(sources, (std::vector<int32_t>{100, 107, 100, 100}));
    EXPECT_EQ(WindowRects(*plan).back(), (Rect{1920, 1080, 3840, 2160}));

    // Without a processor the windows come all the same, with no source.
    auto orphan = MakeTestPlan(1, 1, kPlanUniform);
    BuildStandardLayout(12, *orphan, nullptr);
    ASSERT_EQ(orphan->GetWindowCount(), 2);
    EXPECT_EQ(orphan->GetWindowAt(1)->sigsrc, -1);
    EXPECT_EQ(orphan->GetWindowAt(1)->processor, -1);
    CQelContext::Destroy();
}

TEST(PlanName, IsRefusedWhenEmptyTakenOrNoFileName)
{
    CQelPlanMan plans;
    std::shared_ptr<CQelPlan> taken;
    ASSERT_TRUE(plans.OpenPlan("Hall", taken));
    struct Case {
        std::string name;
        PlanNameProblem problem;
    };
    const Case cases[] = {
        {"", PlanNameProblem::Empty},
        {"Hall", PlanNameProblem::Taken},
        {"a/b", PlanNameProblem::Unsafe},
        {"a\\b", PlanNameProblem::Unsafe},
        {"..", PlanNameProblem::Unsafe},
        {"tab\there", PlanNameProblem::Unsafe},
        {"\xF0\x9F\x98\x80", PlanNameProblem::Unsafe}, // not in GB2312
        {std::string(300, 'x'), PlanNameProblem::Unsafe},
        {"hall", PlanNameProblem::None},
        {"<A> & \"B\" 'C'", PlanNameProblem::None},
        {"新建方案_3", PlanNameProblem::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckNewPlanName(plans, c.name), c.problem);
    }
    EXPECT_EQ(PlanNameMessage(PlanNameProblem::Empty), QStringLiteral("方案名称不能为空"));
    EXPECT_EQ(PlanNameMessage(PlanNameProblem::Taken), QStringLiteral("该方案名称已经存在"));
    EXPECT_FALSE(PlanNameMessage(PlanNameProblem::Unsafe).isEmpty());
    EXPECT_TRUE(PlanNameMessage(PlanNameProblem::None).isEmpty());
}

TEST(ListPaneLayout, ButtonsRunFromTheRightAndTheNameColumnFills)
{
    const int w = 268;
    EXPECT_EQ(panelook::TitleButtonRects(w, 4),
              (std::vector<Rect>{
                  {w - 95, 2, w - 75, 22}, {w - 72, 2, w - 52, 22}, {w - 49, 2, w - 29, 22}, {w - 26, 2, w - 6, 22}}));
    EXPECT_EQ(panelook::TitleButtonRects(w, 1), (std::vector<Rect>{{w - 26, 2, w - 6, 22}}));
    EXPECT_TRUE(panelook::TitleButtonRects(w, 0).empty());
    EXPECT_EQ(panelook::FillColumnWidth(w, 40, true), w - 40);
    EXPECT_EQ(panelook::FillColumnWidth(w, 40, false), w - 58);
    EXPECT_EQ(panelook::FillColumnWidth(w, 0, false), w - 18);
}
