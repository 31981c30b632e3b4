#include <gtest/gtest.h>

#include "plan_test_support.h"

namespace {

class PlanDerive : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestProcessor p;
        p.kind = 8;
        p.cells = {{{0, 0}, 10900}, {{0, 1}, 10901}};
        SelectProcessor(p);
        source.SetId(4);
        source.SetName("wall");
        source.SetType(kPlanSizedGrid);
        source.SetGrid(1, 2);
        source.SetMargin({1, 2, 3, 4});
        source.SetRowHeights({1080});
        source.SetColumnWidths({1920, 1920});
    }
    void TearDown() override { ReleaseContext(); }

    CQelPlan source;
};

} // namespace

TEST_F(PlanDerive, CutsAWindowAtTheOutputsItCovers)
{
    auto w = MakeWindow({960, 0, 2880, 1080}, 100);
    w->rcsigsrc = {0, 0, 960, 540};
    source.AddWindow(w, CurrentPlanSelection());
    source.SetDirty(true);

    CQelPlan::DeriveMap map{{99, {99}}};
    auto plan = CQelPlan::DerivePlan(source, map, SelectedWallPlacement());
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->GetId(), 4);
    EXPECT_EQ(plan->GetName(), "wall");
    EXPECT_EQ(plan->GetType(), kPlanSizedGrid);
    EXPECT_EQ(plan->GetMargin(), (Rect{1, 2, 3, 4}));
    EXPECT_EQ(plan->GetResolution(), (ResolutionTriple{1920, 1080, 60}));
    EXPECT_EQ(plan->GetColumnWidths(), (std::vector<int32_t>{1920, 1920}));
    EXPECT_FALSE(plan->IsDirty());
    EXPECT_EQ(map, (CQelPlan::DeriveMap{{1, {1, 2}}}));

    ASSERT_EQ(plan->GetWindowCount(), 2);
    const auto a = plan->GetWindowAt(0);
    const auto b = plan->GetWindowAt(1);
    EXPECT_EQ(a->id, 1);
    EXPECT_EQ(b->layer, 2);
    EXPECT_EQ(b->sigsrc, 100);
    EXPECT_EQ(a->rect, (Rect{960, 0, 1920, 1080}));
    EXPECT_EQ(a->rcsigsrc, (Rect{0, 0, 480, 540}));
    EXPECT_EQ(a->szsigsrcfull, (Size{1920, 1080}));
    EXPECT_EQ(a->rcsigsrcinner, (Rect{0, 0, 960, 1080}));
    EXPECT_EQ(b->rect, (Rect{1920, 0, 2880, 1080}));
    EXPECT_EQ(b->rcsigsrc, (Rect{480, 0, 960, 540}));
    EXPECT_EQ(b->szsigsrcfull, (Size{1920, 1080}));
    EXPECT_EQ(b->rcsigsrcinner, (Rect{960, 0, 1920, 1080}));
}

TEST_F(PlanDerive, CopiesSingleScreenWindowsAndDropsOthers)
{
    source.AddWindow(MakeWindow({5000, 0, 5100, 100}), CurrentPlanSelection()); // on no screen
    auto inside = MakeWindow({100, 100, 500, 500});
    inside->status = 1;
    source.AddWindow(inside, CurrentPlanSelection());
    auto group = std::make_shared<CQelGroup>();
    group->id = 2;
    source.AddGroup(group);
    inside->group = 2;

    CQelPlan::DeriveMap map;
    auto plan = CQelPlan::DerivePlan(source, map, SelectedWallPlacement());
    ASSERT_NE(plan, nullptr);
    ASSERT_EQ(plan->GetWindowCount(), 1);
    const auto copy = plan->GetWindowAt(0);
    EXPECT_NE(copy, inside);
    EXPECT_EQ(copy->id, 1);
    EXPECT_EQ(copy->layer, 1);
    EXPECT_EQ(copy->name, "Win_2");
    EXPECT_EQ(copy->status, 1);
    EXPECT_NE(plan->GetGroupById(2), nullptr);
    EXPECT_EQ(map, (CQelPlan::DeriveMap{{2, {1}}}));
}

TEST_F(PlanDerive, OnlyTypeOnePlansForAProcessorAreDerived)
{
    CQelPlan::DeriveMap map{{1, {1}}};
    source.SetType(kPlanUniform);
    EXPECT_EQ(CQelPlan::DerivePlan(source, map, SelectedWallPlacement()), nullptr);
    EXPECT_TRUE(map.empty());
    source.SetType(kPlanSizedGrid);
    source.SetGrid(1, INT32_MAX);
    EXPECT_EQ(CQelPlan::DerivePlan(source, map, SelectedWallPlacement()), nullptr);
    source.SetGrid(1, 2);
    DeselectProcessor();
    EXPECT_EQ(CQelPlan::DerivePlan(source, map, SelectedWallPlacement()), nullptr);

    TestProcessor p; // a model that sizes its wall uniformly
    p.kind = 3;
    p.width = 1280;
    SelectProcessor(p);
    auto plan = CQelPlan::DerivePlan(source, map, SelectedWallPlacement());
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->GetType(), kPlanUniform);
    EXPECT_EQ(plan->GetColumnWidths(), (std::vector<int32_t>{1280, 1280}));
}
