#include <gtest/gtest.h>

#include "model/osd_record.h"
#include "plan_test_support.h"

namespace {

class PlanWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        TakeEvents();
        plan.SetId(3);
        SelectProcessor(TestProcessor{});
    }
    void TearDown() override { ReleaseContext(); }

    CQelPlan::WindowList Add(int n)
    {
        CQelPlan::WindowList added;
        for (int i = 0; i < n; ++i) {
            added.push_back(MakeWindow({i, i, 100 + i, 100 + i}));
            plan.AddWindow(added.back(), CurrentPlanSelection());
        }
        return added;
    }

    std::vector<int32_t> Layers() const
    {
        std::vector<int32_t> layers;
        for (const auto& w : plan.GetWindows())
            layers.push_back(w->layer);
        return layers;
    }

    CQelPlan plan;
};

std::shared_ptr<CQelGroup> Group(int32_t id)
{
    auto g = std::make_shared<CQelGroup>();
    g->id = id;
    return g;
}

} // namespace

TEST_F(PlanWindows, AddNumbersAndNamesRemoveRenumbers)
{
    auto w = Add(3);
    EXPECT_EQ(w[2]->id, 3);
    EXPECT_EQ(w[2]->name, "Win_3");
    plan.RemoveWindow(w[0]);
    EXPECT_EQ(Layers(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(w[1]->name, "Win_2");
    // A later window reuses a layer number in its name, never an id.
    auto later = Add(1)[0];
    EXPECT_EQ(later->id, 4);
    EXPECT_EQ(later->name, "Win_3");

    plan.RemoveWindow(w[0]); // no longer in the plan
    plan.AddWindow(nullptr, CurrentPlanSelection());
    EXPECT_EQ(plan.GetWindows(), (CQelPlan::WindowList{w[1], w[2], later}));
    EXPECT_EQ(plan.GetWindowAt(3), nullptr);
    EXPECT_EQ(plan.GetWindowById(1), nullptr);
}

TEST_F(PlanWindows, LayerMovesKeepLayersInListOrder)
{
    auto w = Add(3); // A, B, C
    plan.MoveLayer(1, 2);
    EXPECT_EQ(plan.GetWindows(), (CQelPlan::WindowList{w[1], w[2], w[0]}));
    EXPECT_EQ(Layers(), (std::vector<int32_t>{1, 2, 3}));
    for (auto [n, delta] : {std::pair{0, 1}, {4, -1}, {1, 3}, {2, INT32_MAX}, {INT32_MIN, 1}})
        plan.MoveLayer(n, delta);
    plan.MoveWindowLayer(w[1], kLayerDown); // already at the bottom
    plan.MoveWindowLayer(w[0], 4);
    plan.MoveWindowLayer(w[0], -1);
    EXPECT_EQ(plan.GetWindows(), (CQelPlan::WindowList{w[1], w[2], w[0]}));

    plan.MoveWindowLayer(w[0], kLayerBottom);
    EXPECT_EQ(plan.GetWindows(), (CQelPlan::WindowList{w[0], w[1], w[2]}));
    plan.MoveWindowLayer(w[0], kLayerUp);
    plan.MoveWindowLayer(w[2], kLayerDown);
    EXPECT_EQ(plan.GetWindows(), (CQelPlan::WindowList{w[1], w[2], w[0]}));
    plan.MoveWindowLayer(w[1], kLayerTop);
    EXPECT_EQ(plan.GetWindows(), (CQelPlan::WindowList{w[2], w[0], w[1]}));
    EXPECT_EQ(Layers(), (std::vector<int32_t>{1, 2, 3}));

    CQelPlan single;
    auto only = MakeWindow({0, 0, 10, 10});
    single.AddWindow(only, CurrentPlanSelection());
    single.MoveWindowLayer(only, kLayerBottom);
    EXPECT_EQ(single.GetWindowAt(0), only);
}

TEST_F(PlanWindows, GroupWithoutWindowsIsRemoved)
{
    auto w = Add(3);
    EXPECT_EQ(plan.AddGroup(Group(1)), 0);
    EXPECT_EQ(plan.AddGroup(Group(2)), 1);
    EXPECT_EQ(plan.AddGroup(nullptr), -1);
    EXPECT_EQ(plan.NextGroupId(), 3);
    w[0]->group = 1;
    w[1]->group = w[2]->group = 2;
    plan.RemoveWindow(w[0]);
    EXPECT_EQ(plan.GetGroupById(1), nullptr);
    EXPECT_EQ(plan.NextGroupId(), 1);
    plan.LeaveGroup(w[1]);
    EXPECT_EQ(w[1]->group, 0);
    EXPECT_NE(plan.GetGroupById(2), nullptr); // w[2] is still in it
    CQelPlan::WindowList members;
    plan.GetGroupWindows(2, members);
    EXPECT_EQ(members, (CQelPlan::WindowList{w[2]}));
}

TEST_F(PlanWindows, SwitchMapMarksPlanDirty)
{
    EXPECT_FALSE(plan.SetSwitch(-1, 3));
    EXPECT_FALSE(plan.IsDirty());
    EXPECT_TRUE(plan.SetSwitch(5, -1)); // no entry to remove
    EXPECT_TRUE(plan.IsDirty());
    EXPECT_TRUE(plan.SetSwitch(5, 8));
    EXPECT_EQ(plan.GetSwitch(5), 8);
    EXPECT_TRUE(plan.SetSwitch(5, -1));
    EXPECT_EQ(plan.GetSwitch(5), -1);
}

TEST_F(PlanWindows, FourKWindowHasQuarterPartsThatGoWithIt)
{
    TestProcessor p;
    p.sources = {{20, {3840, 2160, 30}}};
    p.selectedSource = 20;
    SelectProcessor(p);
    auto below = Add(1)[0];
    auto w = MakeWindow({10, 20, 1011, 521}, 20);
    w->rectView = {0, 0, 101, 51};
    w->is4k = 1;
    plan.AddWindow(w, CurrentPlanSelection());

    const auto parts = plan.Get4KParts();
    ASSERT_EQ(parts.size(), 4u);
    const Rect quarters[4] = {{10, 20, 510, 270}, {510, 20, 1010, 270}, {10, 270, 510, 520}, {510, 270, 1010, 520}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(parts[i]->is4k, i + 1);
        EXPECT_EQ(parts[i]->rect, quarters[i]);
        EXPECT_EQ(parts[i]->id, w->id);
        EXPECT_EQ(parts[i]->name, "Win_2");
        EXPECT_EQ(parts[i]->sigsrc, 20);
    }
    EXPECT_EQ(parts[3]->rectView, (Rect{50, 25, 100, 50}));

    plan.RemoveWindow(below);
    EXPECT_EQ(plan.Get4KParts()[0]->layer, 1); // parts follow their window
    plan.RemoveWindow(w);
    EXPECT_TRUE(plan.Get4KParts().empty());
}

TEST_F(PlanWindows, SelectingPostsTheLayerOnce)
{
    auto w = Add(3);
    plan.SelectWindow(w[1]);
    EXPECT_EQ(TakeEvents(), (std::vector<PostedEvent>{{19, 3, 2}}));
    plan.SelectWindow(w[1]);
    plan.SelectWindow(nullptr);
    plan.SelectWindow(MakeWindow({0, 0, 1, 1})); // not in the plan
    EXPECT_TRUE(TakeEvents().empty());
    plan.SelectWindow(w[2]);
    EXPECT_EQ(TakeEvents(), (std::vector<PostedEvent>{{19, 3, 3}}));
    EXPECT_FALSE(w[1]->active);
}

TEST_F(PlanWindows, ClearingAKindTrimsGroupsAndRenumbers)
{
    auto logo1 = MakeWindow({0, 0, 256, 128}, kLogoSigSrc);
    auto video1 = MakeWindow({0, 0, 100, 100});
    auto logo2 = MakeWindow({0, 0, 256, 128}, kLogoSigSrc);
    auto video2 = MakeWindow({0, 0, 200, 200});
    video2->is4k = 1;
    for (const auto& w : {logo1, video1, logo2, video2})
        plan.AddWindow(w, CurrentPlanSelection());
    plan.AddGroup(Group(1));
    plan.AddGroup(Group(2));
    logo1->group = video1->group = 1;
    logo2->group = 2;

    plan.ClearWindowsOfKind(true);
    EXPECT_EQ(plan.GetWindows(), (CQelPlan::WindowList{video1, video2}));
    EXPECT_EQ(Layers(), (std::vector<int32_t>{1, 2}));
    EXPECT_NE(plan.GetGroupById(1), nullptr);
    EXPECT_EQ(plan.GetGroupById(2), nullptr);
    EXPECT_EQ(plan.Get4KParts().size(), 4u);

    plan.ClearWindowsOfKind(false);
    EXPECT_EQ(plan.GetWindowCount(), 0);
    EXPECT_EQ(plan.GetGroupCount(), 0);
    EXPECT_TRUE(plan.Get4KParts().empty());
}

TEST_F(PlanWindows, SaveAsCopyKeepsLogosPartsAndLayout)
{
    CQelPlan source;
    source.SetType(kPlanSizedGrid);
    source.SetMargin({1, 2, 3, 4});
    source.SetColumnWidths({1920, 1280});
    source.AddGroup(Group(1));
    source.BuildWatchWindows({10900}, CurrentPlanSelection());
    source.SetSwitch(10900, 3);
    auto logo = MakeWindow({0, 0, 256, 128}, kLogoSigSrc);
    ASSERT_TRUE(OsdRecordSetBitmap(*logo->osd, std::vector<uint8_t>(800, 0x3C), 0, 0, 100, 50));
    logo->group = 1;
    auto wide = MakeWindow({0, 0, 3840, 2160});
    wide->is4k = 1;
    source.AddWindow(logo, CurrentPlanSelection());
    source.AddWindow(wide, CurrentPlanSelection());
    plan.AddHistory(kActNewPlan);
    TakeEvents();

    plan.CopyWindowsFrom(source);
    EXPECT_EQ(plan.GetId(), 3);
    EXPECT_EQ(plan.GetType(), kPlanSizedGrid);
    EXPECT_EQ(plan.GetMargin(), (Rect{1, 2, 3, 4}));
    EXPECT_EQ(plan.GetColumnWidths(), (std::vector<int32_t>{1920, 1280}));
    EXPECT_NE(plan.GetWatchWindowById(10900), nullptr);
    EXPECT_EQ(plan.GetSwitch(10900), 3);
    EXPECT_NE(plan.GetGroupById(1), nullptr);
    ASSERT_EQ(plan.GetWindowCount(), 2);
    EXPECT_NE(plan.GetWindowAt(0), logo);
    EXPECT_EQ(plan.GetWindowAt(0)->osd->bitmap, std::vector<uint8_t>(800, 0x3C));
    EXPECT_EQ(plan.Get4KParts().size(), 4u);
    EXPECT_TRUE(plan.IsDirty());
    // The history starts again, and a pane showing it is told.
    EXPECT_EQ(plan.GetHistoryCount(), 0);
    EXPECT_EQ(TakeEvents(), (std::vector<PostedEvent>{{22, 3, 1}}));
}

TEST_F(PlanWindows, WatchWindowsFollowTheWatchList)
{
    plan.BuildWatchWindows({10900, 10901}, CurrentPlanSelection());
    ASSERT_EQ(plan.GetWatchWindows().size(), 2u);
    const auto first = plan.GetWatchWindowById(10900);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->processor, 1);
    EXPECT_EQ(first->cells, (std::vector<int32_t>{-1}));

    auto split = std::make_shared<CQelWatchWindow>();
    split->sigout = 10900;
    CellGrid::Reset(*split, 2, 2);
    EXPECT_TRUE(plan.AddWatchWindow(split)); // replaces
    EXPECT_EQ(plan.GetWatchWindowById(10900), split);
    EXPECT_EQ(plan.GetWatchWindows().size(), 2u);
    auto stranger = std::make_shared<CQelWatchWindow>();
    stranger->sigout = 10902;
    EXPECT_FALSE(plan.AddWatchWindow(stranger));

    plan.BuildWatchWindows({10901}, CurrentPlanSelection());
    EXPECT_EQ(plan.GetWatchWindowById(10900), nullptr);
    EXPECT_EQ(plan.GetWatchWindows().size(), 1u);

    DeselectProcessor();
    plan.BuildWatchWindows({10902}, CurrentPlanSelection());
    EXPECT_EQ(plan.GetWatchOutputs(), (std::vector<int32_t>{10902}));
    EXPECT_TRUE(plan.GetWatchWindows().empty());
}
