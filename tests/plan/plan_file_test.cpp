#include <gtest/gtest.h>

#include "plan_files_support.h"

#include "context/context.h"

namespace {

// The plan every round trip uses: "方案一", type 1, 1 x 2 screens, a group,
// three logos, a 4K window, a named locked window in the group, a 2 x 2
// watch window and one switch route.
CQelPlanMan::PlanPtr BuildPlan(CQelPlanMan& man)
{
    auto plan = man.CreatePlan("方案一");
    plan->SetType(kPlanSizedGrid);
    plan->SetGrid(1, 2);
    plan->SetCellSplit(2, 2);
    plan->SetResolution({1920, 1080, 60});
    plan->SetRowHeights({1080});
    plan->SetColumnWidths({1920, 1920});
    plan->SetWatchOutputs({10900});
    auto group = std::make_shared<CQelGroup>();
    group->id = 1;
    group->name = "组1";
    plan->AddGroup(group);

    plan->AddWindow(Logo(256, 128, 1, 0x102030), CurrentPlanSelection());
    plan->AddWindow(Logo(100, 10, 7, 0x405060), CurrentPlanSelection());
    auto big = MakeWindow({0, 0, 3840, 1080}, 5);
    big->is4k = 1;
    plan->AddWindow(big, CurrentPlanSelection());
    plan->AddWindow(Logo(32, 2, 9, 0x708090), CurrentPlanSelection());
    auto named = MakeWindow({10, 20, 970, 560}, 3);
    named->rcsigsrc = {0, 0, 960, 540};
    named->szsigsrcfull = {1920, 1080};
    named->rcsigsrcinner = {4, 6, 900, 500};
    named->status = 1;
    named->group = 1;
    named->active = true;
    plan->AddWindow(named, CurrentPlanSelection());
    named->name = "窗口1";

    auto watch = std::make_shared<CQelWatchWindow>();
    watch->processor = 1;
    watch->sigout = 10900;
    watch->row = 2;
    watch->col = 2;
    watch->cells = {100, 101, -1, -1};
    plan->AddWatchWindow(watch);
    plan->SetSwitch(10901, 100);
    return plan;
}

void ExpectSameWindow(const CQelWindow& a, const CQelWindow& b)
{
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.processor, b.processor);
    EXPECT_EQ(a.sigsrc, b.sigsrc);
    EXPECT_EQ(a.rect, b.rect);
    EXPECT_EQ(a.rcsigsrc, b.rcsigsrc);
    EXPECT_EQ(a.szsigsrcfull, b.szsigsrcfull);
    EXPECT_EQ(a.rcsigsrcinner, b.rcsigsrcinner);
    EXPECT_EQ(a.fullscreen, b.fullscreen);
    EXPECT_EQ(a.active, b.active);
    EXPECT_EQ(a.status, b.status);
    EXPECT_EQ(a.group, b.group);
    EXPECT_EQ(a.is4k, b.is4k);
    EXPECT_EQ(a.osd->bitmap, b.osd->bitmap);
    EXPECT_EQ(a.osd->right, b.osd->right);
    EXPECT_EQ(a.osd->bottom, b.osd->bottom);
    EXPECT_EQ(a.osd->background, b.osd->background);
    EXPECT_EQ(a.osd->captionColor, b.osd->captionColor);
    EXPECT_EQ(a.osd->transparent, b.osd->transparent);
    EXPECT_EQ(a.osd->shown, b.osd->shown);
}

using PlanFile = PlanFolderTest;

} // namespace

TEST_F(PlanFile, RoundTripKeepsEverythingAndWritesTheGoldenText)
{
    auto saved = BuildPlan(*man);
    ASSERT_TRUE(man->SavePlanFile(saved));
    EXPECT_EQ(ReadText(InPlanFolder("方案一.plan")), Golden("round_trip.plan"));
    EXPECT_EQ(ReadText(InPlanFolder("方案一.osd")).size(), 3 * 28 + 4096 + 160 + 8 + 4u);

    CQelContext::Destroy();
    SelectProcessor(TestProcessor{});
    auto fresh = CQelContext::GetPlanMan();
    ASSERT_TRUE(fresh->LoadPlanList());
    CQelPlanMan::PlanPtr loaded;
    ASSERT_TRUE(fresh->LoadPlanFile("方案一", loaded));
    EXPECT_EQ(loaded->GetType(), kPlanSizedGrid);
    EXPECT_EQ(loaded->GetRows(), 1);
    EXPECT_EQ(loaded->GetCols(), 2);
    EXPECT_EQ(loaded->GetResolution(), (ResolutionTriple{1920, 1080, 60}));
    EXPECT_EQ(loaded->GetRowHeights(), std::vector<int32_t>{1080});
    EXPECT_EQ(loaded->GetColumnWidths(), (std::vector<int32_t>{1920, 1920}));
    EXPECT_EQ(loaded->GetWatchOutputs(), std::vector<int32_t>{10900});
    ASSERT_EQ(loaded->GetGroupCount(), 1);
    EXPECT_EQ(loaded->GetGroupAt(0)->name, "组1");
    ASSERT_EQ(loaded->GetWindowCount(), 5);
    for (int32_t i = 0; i < 5; ++i) {
        ExpectSameWindow(*loaded->GetWindowAt(i), *saved->GetWindowAt(i));
        EXPECT_EQ(loaded->GetWindowAt(i)->id, i + 1); // ids are handed out anew
    }
    EXPECT_EQ(loaded->Get4KParts().size(), 4u);
    ASSERT_EQ(loaded->GetWatchWindows().size(), 1u);
    EXPECT_EQ(loaded->GetWatchWindows()[0]->cells, (std::vector<int32_t>{100, 101, -1, -1}));
    EXPECT_EQ(loaded->GetSwitchMap(), (std::map<int32_t, int32_t>{{10901, 100}}));
    EXPECT_FALSE(loaded->IsDirty());
    ASSERT_EQ(loaded->GetHistoryCount(), 1);
    EXPECT_EQ(loaded->GetHistoryAt(0)->GetActionName(), "打开方案");
}

TEST_F(PlanFile, ReadingRulesOfTheGoldenInput)
{
    WriteText(InPlanFolder("rules.plan"), Golden("reading_rules.plan"));
    WriteText(InPlanFolder("PlanList.txt"), "rules\r\n");
    ASSERT_TRUE(man->LoadPlanList());
    CQelPlanMan::PlanPtr plan;
    ASSERT_TRUE(man->LoadPlanFile("rules", plan));

    EXPECT_EQ(plan->GetRowHeights(), (std::vector<int32_t>{1080, 1080}));
    EXPECT_EQ(plan->GetColumnWidths(), (std::vector<int32_t>{1080, 0}));
    EXPECT_EQ(plan->GetResolution(), (ResolutionTriple{1920, 1080, 60}));
    ASSERT_EQ(plan->GetWindowCount(), 3);
    EXPECT_EQ(plan->GetWindowAt(0)->group, 0); // names no Group
    EXPECT_EQ(plan->GetWindowAt(1)->group, 2);
    EXPECT_EQ(plan->GetWindowAt(0)->name, "Win_1"); // stored empty
    EXPECT_EQ(plan->GetWindowAt(1)->name, "kept");
    EXPECT_TRUE(plan->GetWindowAt(1)->fullscreen); // "1" reads as true
    EXPECT_FALSE(plan->GetWindowAt(1)->active);    // "yes" does not
    // A logo whose index names no record keeps a new window's record.
    EXPECT_EQ(plan->GetWindowAt(2)->osd->bitmap, std::vector<uint8_t>(4096, 0xFF));

    // Short cell list reset, output 10901 not watched and dropped, the
    // second window of 10900 replacing the first, the 5 x 5 one skipped.
    ASSERT_EQ(plan->GetWatchWindows().size(), 1u);
    EXPECT_EQ(plan->GetWatchWindows()[0]->cells, (std::vector<int32_t>{-1, -1, -1, -1}));
    EXPECT_EQ(plan->GetSwitchMap(), (std::map<int32_t, int32_t>{{10900, 7}}));
}

TEST_F(PlanFile, TypesWithoutSizesWriteNoListsAndEmptySectionsStay)
{
    auto plan = man->CreatePlan("u");
    plan->SetGrid(2, 2);
    plan->SetResolution({1920, 1080, 60});
    plan->SetRowHeights({5});
    ASSERT_TRUE(man->SavePlanFile(plan));
    const std::string text = ReadText(InPlanFolder("u.plan"));
    EXPECT_EQ(text.find("rh="), std::string::npos);
    EXPECT_EQ(text.find("watch="), std::string::npos);
    EXPECT_NE(text.find("\t<Groups/>"), std::string::npos);
    EXPECT_NE(text.find("\t<Windows/>"), std::string::npos);
    EXPECT_NE(text.find("\t<Switch/>"), std::string::npos);
    EXPECT_EQ(ReadText(InPlanFolder("u.osd")), Le32(0));

    man->RemovePlanFromList(plan);
    CQelPlanMan::PlanPtr back;
    ASSERT_TRUE(man->LoadPlanFile("u", back));
    EXPECT_TRUE(back->GetRowHeights().empty());
}

TEST_F(PlanFile, BadFilesLoadNothingAndStayUntouched)
{
    const std::string good = Golden("reading_rules.plan");
    auto replace = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        EXPECT_NE(text.find(from), std::string::npos) << from;
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
            text.replace(at, from.size(), to);
        return text;
    };
    const std::vector<std::string> bad = {
        replace("version=\"V1\"", "version=\"V2\""),
        replace("version=\"V1\"", ""),
        good.substr(0, good.size() / 2),
        replace("Switch>", "Swatch>"),
        replace("col=\"2\" row=\"1\"", "col=\"2\" row=\"0\""),
        replace("resolution=\"1920,1080\"", "resolution=\"\""),
        "",
        replace("<Plan ", "<Plans "),
        replace("col=\"2\" row=\"1\"", "col=\"2\" row=\"one\""),
        replace("type=\"1\"", "type=\"1x\""),
        replace("version=\"V1\"", "version=\"V1&#0;\""),
        replace("version=\"V1\"", "version=\"V1\x1B\""),
    };
    std::string list;
    for (size_t i = 0; i < bad.size(); ++i) {
        WriteText(InPlanFolder("b" + std::to_string(i) + ".plan"), bad[i]);
        list += "b" + std::to_string(i) + "\n";
    }
    WriteText(InPlanFolder("PlanList.txt"), list + "missing\n");
    ASSERT_TRUE(man->LoadPlanList());
    for (size_t i = 0; i < bad.size(); ++i) {
        const std::string name = "b" + std::to_string(i);
        for (int call = 0; call < 2; ++call) {
            CQelPlanMan::PlanPtr plan;
            EXPECT_FALSE(man->LoadPlanFile(name, plan)) << name;
            EXPECT_EQ(plan, nullptr);
        }
        EXPECT_EQ(ReadText(InPlanFolder(name + ".plan")), bad[i]);
        EXPECT_EQ(ReadText(InPlanFolder(name + ".plan.bad")), bad[i]);
    }
    CQelPlanMan::PlanPtr plan;
    EXPECT_FALSE(man->LoadPlanFile("missing", plan));
    EXPECT_TRUE(man->GetLoadedPlans().empty());
}

TEST_F(PlanFile, OsdRecordsHaveTheStoredLayout)
{
    auto plan = man->CreatePlan("one");
    plan->SetGrid(1, 1);
    plan->SetResolution({1920, 1080, 60});
    plan->AddWindow(MakeWindow({0, 0, 10, 10}, kLogoSigSrc), CurrentPlanSelection());
    ASSERT_TRUE(man->SavePlanFile(plan));
    EXPECT_EQ(ReadText(InPlanFolder("one.osd")), Golden("new_logo.osd"));

    // A second save replaces the records: one 100 x 10 logo of 28 + 160.
    plan->ClearWindowsOfKind(true);
    plan->AddWindow(Logo(100, 10, 3, 1), CurrentPlanSelection());
    ASSERT_TRUE(man->SavePlanFile(plan));
    const std::string osd = ReadText(InPlanFolder("one.osd"));
    ASSERT_EQ(osd.size(), 4 + 28 + 160u);
    EXPECT_EQ(osd.substr(0, 16), Le32(1) + Le32(0) + Le32(100) + Le32(10));
}

TEST_F(PlanFile, DamagedOsdKeepsTheRecordsBeforeTheDamage)
{
    auto plan = man->CreatePlan("osd");
    plan->SetGrid(1, 1);
    plan->SetResolution({1920, 1080, 60});
    plan->AddWindow(Logo(32, 1, 1, 11), CurrentPlanSelection());
    plan->AddWindow(Logo(32, 1, 2, 22), CurrentPlanSelection());
    plan->AddWindow(Logo(32, 1, 3, 33), CurrentPlanSelection());
    ASSERT_TRUE(man->SavePlanFile(plan));
    man->RemovePlanFromList(plan);
    const std::string path = InPlanFolder("osd.osd");
    const std::string whole = ReadText(path);
    const size_t record = 28 + 4;

    auto load = [&](const std::string& bytes) {
        WriteText(path, bytes);
        fs::remove(path + ".bad");
        auto fresh = std::make_shared<CQelPlanMan>();
        fresh->LoadPlanList();
        CQelPlanMan::PlanPtr p;
        EXPECT_TRUE(fresh->LoadPlanFile("osd", p));
        std::vector<int32_t> colours;
        for (const auto& w : p->GetWindows())
            colours.push_back(w->osd->background);
        return colours;
    };
    const std::vector<int32_t> all = {11, 22, 33};
    EXPECT_EQ(load(whole), all);
    EXPECT_FALSE(fs::exists(path + ".bad"));
    // Truncated in the third record; a count far above the records.
    EXPECT_EQ(load(whole.substr(0, 4 + 2 * record + 10)), (std::vector<int32_t>{11, 22, 0}));
    EXPECT_EQ(load(Le32(0xFFFFFFFF) + whole.substr(4)), all);
    EXPECT_TRUE(fs::exists(path + ".bad"));
    // A negative height stops at that record.
    std::string negative = whole;
    negative.replace(4 + record + 8, 4, Le32(uint32_t(-1)));
    EXPECT_EQ(load(negative), (std::vector<int32_t>{11, 0, 0}));
    // An oversize record gets a blank 256 x 128 picture; the next still reads.
    std::string wide = whole.substr(0, 4 + record) + Le32(1) + Le32(300) + Le32(1) + Le32(22) + Le32(23) + Le32(0) +
                       Le32(2) + std::string(40, '\x55') + whole.substr(4 + 2 * record);
    EXPECT_EQ(load(wide), all);
    CQelPlanMan::PlanPtr p;
    man->LoadPlanList();
    ASSERT_TRUE(man->LoadPlanFile("osd", p));
    EXPECT_EQ(p->GetWindowAt(1)->osd->bitmap, std::vector<uint8_t>(4096, 0));
    EXPECT_EQ(ReadText(path), wide); // read, never rewritten
}
