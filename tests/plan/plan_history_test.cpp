#include <gtest/gtest.h>

#include "model/osd_record.h"
#include "plan_test_support.h"

namespace {

class PlanHistory : public ::testing::Test {
protected:
    void SetUp() override
    {
        TakeEvents();
        plan.SetId(9);
        SelectProcessor(TestProcessor{});
    }
    void TearDown() override { ReleaseContext(); }

    std::vector<int32_t> Serials() const
    {
        std::vector<int32_t> serials;
        for (int32_t i = 0; i < plan.GetHistoryCount(); ++i)
            serials.push_back(plan.GetHistoryAt(i)->GetSerial());
        return serials;
    }

    // Records n actions, each after adding a window.
    void Record(int n)
    {
        for (int i = 0; i < n; ++i) {
            plan.AddWindow(MakeWindow({0, 0, 10 + i, 10}), CurrentPlanSelection());
            plan.AddHistory(kActNewWindow);
        }
    }

    CQelPlan plan;
};

} // namespace

TEST_F(PlanHistory, KeepsTwentyOneEntries)
{
    Record(25);
    std::vector<int32_t> serials;
    std::vector<PostedEvent> events;
    for (int32_t s = 1; s <= 25; ++s) {
        if (s >= 5)
            serials.push_back(s);
        if (s >= 22)
            events.push_back({22, 9, s - 21}); // the drop comes first
        events.push_back({21, 9, s});
    }
    EXPECT_EQ(Serials(), serials);
    EXPECT_EQ(TakeEvents(), events);
    EXPECT_EQ(plan.IndexOfHistory(4), -1);
    EXPECT_EQ(plan.GetHistoryBySerial(25), plan.GetHistoryAt(20));
    EXPECT_EQ(plan.GetHistoryAt(21), nullptr);
    EXPECT_EQ(plan.GetHistoryAt(-1), nullptr);
}

TEST_F(PlanHistory, RestoreRefusesTheCurrentAndUnknownEntries)
{
    Record(3);
    TakeEvents();
    EXPECT_FALSE(plan.RecoverHistory(3, CurrentPlanSelection())); // newest, nothing restored yet
    EXPECT_FALSE(plan.RecoverHistory(42, CurrentPlanSelection()));
    EXPECT_EQ(plan.GetWindowCount(), 3);
    EXPECT_FALSE(plan.IsDirty());
    EXPECT_TRUE(TakeEvents().empty());

    EXPECT_TRUE(plan.RecoverHistory(1, CurrentPlanSelection()));
    EXPECT_EQ(plan.GetWindowCount(), 1);
    EXPECT_EQ(plan.GetUndoPosition(), 1);
    EXPECT_TRUE(plan.IsDirty());
    EXPECT_EQ(TakeEvents(), (std::vector<PostedEvent>{{23, 9, 1}}));
    EXPECT_FALSE(plan.RecoverHistory(1, CurrentPlanSelection()));
    EXPECT_TRUE(plan.RecoverHistory(3, CurrentPlanSelection()));
    EXPECT_EQ(plan.GetWindowCount(), 3);
}

TEST_F(PlanHistory, NewActionAfterRestoreDropsLaterEntries)
{
    Record(10);
    ASSERT_TRUE(plan.RecoverHistory(7, CurrentPlanSelection()));
    TakeEvents();
    plan.AddHistory(kActMoveWindow);
    EXPECT_EQ(TakeEvents(), (std::vector<PostedEvent>{{22, 9, 10}, {22, 9, 9}, {22, 9, 8}, {21, 9, 11}}));
    EXPECT_EQ(Serials(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 11}));
    EXPECT_EQ(plan.GetUndoPosition(), 0);
    EXPECT_EQ(plan.GetNewestHistory()->GetActionName(), "移动窗口");
}

TEST_F(PlanHistory, RestoredWindowsKeepLogosAndFourKParts)
{
    auto logo = MakeWindow({0, 0, 256, 128}, kLogoSigSrc);
    const std::vector<uint8_t> bits(4096, 0x0F);
    ASSERT_TRUE(OsdRecordSetBitmap(*logo->osd, bits, 0, 0, 256, 128));
    auto wide = MakeWindow({0, 0, 400, 200});
    wide->is4k = 1;
    plan.AddWindow(logo, CurrentPlanSelection());
    plan.AddWindow(wide, CurrentPlanSelection());
    plan.AddHistory(kActNewWindow); // 1
    logo->osd->bitmap.assign(4096, 0xFF);
    plan.RemoveWindow(wide);
    plan.AddHistory(kActDeleteWindow); // 2

    ASSERT_TRUE(plan.RecoverHistory(1, CurrentPlanSelection()));
    ASSERT_EQ(plan.GetWindowCount(), 2);
    EXPECT_EQ(plan.GetWindowAt(0)->osd->bitmap, bits);
    EXPECT_EQ(plan.GetWindowAt(1)->is4k, 1);
    const auto parts = plan.Get4KParts();
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[3]->rect, (Rect{200, 100, 400, 200}));
    EXPECT_EQ(parts[3]->id, plan.GetWindowAt(1)->id);

    // Restored records are copies: editing them leaves the entry alone.
    plan.GetWindowAt(0)->osd->bitmap.assign(4096, 0);
    ASSERT_TRUE(plan.RecoverHistory(2, CurrentPlanSelection()));
    ASSERT_TRUE(plan.RecoverHistory(1, CurrentPlanSelection()));
    EXPECT_EQ(plan.GetWindowAt(0)->osd->bitmap, bits);
}

TEST_F(PlanHistory, UndoAndRedoAcrossAGroupingKeepTheGroup)
{
    Record(2); // 1, 2
    // Binding records no entry of its own.
    auto g = std::make_shared<CQelGroup>();
    g->id = plan.NextGroupId();
    g->name = "G";
    plan.AddGroup(g);
    plan.GetWindowAt(0)->group = g->id;
    plan.GetWindowAt(1)->group = g->id;
    plan.GetWindowAt(1)->rect = {50, 50, 60, 60};
    plan.AddHistory(kActMoveWindow); // 3

    ASSERT_TRUE(plan.RecoverHistory(2, CurrentPlanSelection())); // before the binding
    EXPECT_EQ(plan.GetWindowAt(0)->group, 0);
    EXPECT_EQ(plan.GetWindowAt(1)->group, 0);
    ASSERT_EQ(plan.GetGroupCount(), 1); // unused for now, still there
    EXPECT_EQ(plan.NextGroupId(), 2);

    ASSERT_TRUE(plan.RecoverHistory(3, CurrentPlanSelection()));
    ASSERT_EQ(plan.GetGroupCount(), 1);
    EXPECT_EQ(plan.GetGroupAt(0)->name, "G");
    CQelPlan::WindowList members;
    plan.GetGroupWindows(g->id, members);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[1]->rect, (Rect{50, 50, 60, 60}));

    // An edit that empties a group removes it, and a restore does not
    // revive its id.
    plan.LeaveGroup(plan.GetWindowAt(0));
    plan.LeaveGroup(plan.GetWindowAt(1));
    EXPECT_EQ(plan.GetGroupCount(), 0);
    ASSERT_TRUE(plan.RecoverHistory(2, CurrentPlanSelection()));
    ASSERT_TRUE(plan.RecoverHistory(3, CurrentPlanSelection()));
    EXPECT_EQ(plan.GetWindowAt(0)->group, 0);
    EXPECT_EQ(plan.GetWindowAt(1)->group, 0);
    EXPECT_EQ(plan.GetGroupCount(), 0);
}

TEST_F(PlanHistory, CompareAgainstTheCurrentEntry)
{
    EXPECT_TRUE(plan.CompareHistory()); // no entry at all
    EXPECT_TRUE(plan.IsDirty());
    plan.SetDirty(false);

    Record(2);
    // Selection and logos are not edits the history tracks.
    plan.GetWindowAt(0)->active = true;
    plan.GetWindowAt(0)->osd->bitmap.assign(4096, 0);
    EXPECT_FALSE(plan.CompareHistory());
    EXPECT_FALSE(plan.IsDirty());
    plan.AddWindow(MakeWindow({0, 0, 1, 1}), CurrentPlanSelection());
    EXPECT_TRUE(plan.CompareHistory());
    EXPECT_TRUE(plan.IsDirty());

    ASSERT_TRUE(plan.RecoverHistory(1, CurrentPlanSelection())); // now the current entry
    plan.SetDirty(false);
    EXPECT_FALSE(plan.CompareHistory());
    plan.GetWindowAt(0)->rect.right++;
    EXPECT_TRUE(plan.CompareHistory());
}
