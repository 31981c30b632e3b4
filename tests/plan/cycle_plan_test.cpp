#include <gtest/gtest.h>

#include <sys/stat.h>

#include "context/context.h"
#include "plan_files_support.h"

namespace {

class CyclePlans : public PlanFolderTest {
protected:
    void SetUp() override
    {
        PlanFolderTest::SetUp();
        cycles = CQelContext::GetCyclePlanMan();
        for (const char* name : {"p", "q", "r", "方案一"}) {
            auto plan = man->CreatePlan(name);
            plan->SetGrid(1, 1);
            plan->SetResolution({1920, 1080, 60});
            ASSERT_TRUE(man->SavePlanFile(plan));
        }
    }
    void TearDown() override
    {
        cycles.reset();
        PlanFolderTest::TearDown();
    }

    std::shared_ptr<CQelCyclePlan> Make(const std::string& name, const std::vector<std::string>& cells)
    {
        auto plan = std::make_shared<CQelCyclePlan>(name);
        for (const auto& c : cells)
            EXPECT_TRUE(plan->AddCell(c)) << c;
        EXPECT_TRUE(cycles->Add(plan));
        return plan;
    }

    static std::vector<std::string> Cells(const CQelCyclePlan& plan)
    {
        std::vector<std::string> names;
        for (const auto& c : plan.GetCells())
            names.push_back(c->planName);
        return names;
    }

    std::shared_ptr<CQelCyclePlanMan> cycles;
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(CyclePlans, ListAndCycleFilesRoundTrip)
{
    auto a = Make("a", {"方案一", "q"});
    a->SetNumberOfCycles(3);
    a->GetCells()[1]->seconds = 12;
    Make("轮巡", {"r"});
    ASSERT_TRUE(cycles->SaveList());
    EXPECT_EQ(ReadText(CQelCyclePlanMan::ListPath()), Golden("CyclePlanList.clt"));
    EXPECT_EQ(ReadText(CQelCyclePlan::FilePath("a")), Golden("a.cycle"));

    CQelCyclePlanMan fresh;
    ASSERT_TRUE(fresh.LoadList());
    ASSERT_EQ(fresh.GetPlans().size(), 2u);
    const auto back = fresh.Find("a");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Cells(*back), (Names{"方案一", "q"}));
    EXPECT_EQ(back->GetCells()[0]->seconds, 5);
    EXPECT_EQ(back->GetCells()[1]->seconds, 12);
    EXPECT_EQ(back->GetNumberOfCycles(), 3);
    EXPECT_EQ(Cells(*fresh.Find("轮巡")), Names{"r"});
}

TEST_F(CyclePlans, CellsMoveAndFollowPlans)
{
    auto one = Make("one", {"p", "q", "r"});
    one->MoveCell(0, 2);
    EXPECT_EQ(Cells(*one), (Names{"q", "r", "p"}));
    one->MoveCell(2, 1);
    one->MoveCell(-1, 1);
    EXPECT_EQ(Cells(*one), (Names{"q", "r", "p"}));
    one->MoveCell(2, -1);
    EXPECT_EQ(Cells(*one), (Names{"q", "p", "r"}));
    EXPECT_EQ(one->GetCellName(1), "p");
    EXPECT_EQ(one->GetCellName(3), "");

    EXPECT_FALSE(one->AddCell("unsaved"));
    auto two = Make("two", {"p", "r", "p"});
    cycles->RemovePlanFromCells("p");
    EXPECT_EQ(Cells(*one), (Names{"q", "r"}));
    EXPECT_EQ(Cells(*two), Names{"r"});
    cycles->RenamePlanInCells("r", "s");
    EXPECT_EQ(Cells(*one), (Names{"q", "s"}));
    EXPECT_EQ(Cells(*two), Names{"s"});
    EXPECT_TRUE(one->RemoveCell(0));
    EXPECT_FALSE(one->RemoveCell(1));
}

TEST_F(CyclePlans, CopiesKeepCellsOfTheirOwn)
{
    auto listed = Make("listed", {"p", "q"});
    listed->SetNumberOfCycles(3);
    CQelCyclePlan copy;
    copy.CopyFrom(*listed);
    EXPECT_EQ(copy.GetName(), "listed");
    EXPECT_EQ(copy.GetNumberOfCycles(), 3);
    EXPECT_TRUE(copy.SetCellSeconds(0, 12));
    EXPECT_FALSE(copy.SetCellSeconds(2, 12));
    copy.MoveCell(0, 1);
    EXPECT_EQ(Cells(*listed), (Names{"p", "q"}));
    EXPECT_EQ(listed->GetCells()[0]->seconds, 5);

    listed->CopyFrom(copy);
    EXPECT_EQ(Cells(*listed), (Names{"q", "p"}));
    EXPECT_EQ(listed->GetCells()[1]->seconds, 12);
    copy.SetCellSeconds(1, 7);
    EXPECT_EQ(listed->GetCells()[1]->seconds, 12);
}

TEST_F(CyclePlans, RemoveAndRenameActOnTheFileFirst)
{
    Make("x", {"p"});
    Make("y", {});
    ASSERT_TRUE(cycles->SaveList());
    EXPECT_FALSE(cycles->Rename("x", "y"));
    ASSERT_TRUE(cycles->Rename("x", "z"));
    EXPECT_FALSE(fs::exists(CQelCyclePlan::FilePath("x")));
    EXPECT_TRUE(fs::exists(CQelCyclePlan::FilePath("z")));
    EXPECT_TRUE(cycles->NameExists("z"));

    fs::remove(CQelCyclePlan::FilePath("y"));
    fs::create_directory(CQelCyclePlan::FilePath("y"));
    EXPECT_FALSE(cycles->Remove("y"));
    EXPECT_TRUE(cycles->NameExists("y"));
    fs::remove(CQelCyclePlan::FilePath("y"));
    EXPECT_TRUE(cycles->Remove("z"));
    EXPECT_FALSE(fs::exists(CQelCyclePlan::FilePath("z")));
    EXPECT_FALSE(cycles->NameExists("z"));

    for (const std::string bad : {"", "..", "../x", "a/b", "😀"}) {
        EXPECT_FALSE(cycles->Add(std::make_shared<CQelCyclePlan>(bad)));
        EXPECT_FALSE(cycles->Rename("y", bad));
    }
}

TEST_F(CyclePlans, SaveListIsFalseWhenAnyFileIsNotWritten)
{
    Make("c", {"p"});
    Make("d", {"q"});
    Make("e", {"r"});
    WriteText(CQelCyclePlanMan::ListPath() + "/x", ""); // a folder in the file's place
    Names unsaved;
    EXPECT_FALSE(cycles->SaveList(&unsaved));
    EXPECT_TRUE(unsaved.empty()); // the list itself failed
    EXPECT_FALSE(fs::exists(CQelCyclePlan::FilePath("c")));
    fs::remove_all(CQelCyclePlanMan::ListPath());

    // One ".cycle" that cannot be written does not stop the others.
    WriteText(CQelCyclePlan::FilePath("d") + "/x", "");
    EXPECT_FALSE(cycles->SaveList(&unsaved));
    EXPECT_EQ(unsaved, Names{"d"});
    EXPECT_TRUE(fs::exists(CQelCyclePlan::FilePath("c")));
    EXPECT_TRUE(fs::exists(CQelCyclePlan::FilePath("e")));
    fs::remove_all(CQelCyclePlan::FilePath("d"));
    EXPECT_TRUE(cycles->SaveList());
}

TEST_F(CyclePlans, DamagedListsKeepWhatReadsAndAreKeptAside)
{
    const std::string head = Le32(0x8EB00001);
    auto load = [&](const std::string& bytes) {
        WriteText(CQelCyclePlanMan::ListPath(), bytes);
        fs::remove(CQelCyclePlanMan::ListPath() + ".bad");
        CQelCyclePlanMan fresh;
        fresh.LoadList();
        Names names;
        for (const auto& p : fresh.GetPlans())
            names.push_back(p->GetName());
        return names;
    };
    const bool kept = true;
    struct Case {
        std::string bytes;
        Names names;
        bool bad;
    };
    const std::vector<Case> cases = {
        {head + Le32(2) + Le32(1) + "a" + Le32(1) + "a", {"a"}, !kept},
        {head + Le32(3) + Le32(1) + "a" + Le32(0) + Le32(1) + "b", {"a", "b"}, !kept},
        {Le32(0x8EB00002) + Le32(1) + Le32(1) + "a", {}, kept},
        {head + Le32(2) + Le32(1) + "a" + Le32(50) + "b", {"a"}, kept},
        {head + Le32(0x7FFFFFFF) + Le32(1) + "a", {"a"}, kept},
        {head + Le32(0x80000000) + Le32(1) + "a", {"a"}, kept},
        {head + Le32(0xFFFFFFFF), {}, kept},
        {head + Le32(2) + Le32(2) + "\xFF\xFF" + Le32(1) + "b", {"b"}, kept},
        {head + Le32(1) + Le32(2) + "..", {}, kept},
        {head, {}, kept},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(load(c.bytes), c.names);
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(fs::exists(CQelCyclePlanMan::ListPath() + ".bad"), c.bad);
        // An operator at a terminal hears of it even with the log off.
        EXPECT_EQ(told.find("tavrix: " + CQelCyclePlanMan::ListPath()) == 0 &&
                      told.find("kept as " + CQelCyclePlanMan::ListPath() + ".bad") != std::string::npos,
                  c.bad)
            << told;
    }

    // A cycle file of another version, or one that does not parse, gives
    // no cells and is kept; a Plan without seconds reads as 0.
    WriteText(CQelCyclePlanMan::ListPath(), head + Le32(3) + Le32(1) + "v" + Le32(1) + "w" + Le32(1) + "s");
    WriteText(CQelCyclePlan::FilePath("v"), "<CyclePlan version=\"V2\"><Cycle numberofcycles=\"2\"/><Plans>"
                                            "<Plan name=\"p\" cyclesec=\"4\"/></Plans></CyclePlan>");
    WriteText(CQelCyclePlan::FilePath("w"), "<CyclePlan version=");
    WriteText(CQelCyclePlan::FilePath("s"), "<CyclePlan version=\"V1\"><Plans><Plan name=\"p\"/></Plans>"
                                            "<Cycle/></CyclePlan>");
    CQelCyclePlanMan fresh;
    ASSERT_TRUE(fresh.LoadList());
    EXPECT_TRUE(fresh.Find("v")->GetCells().empty());
    EXPECT_EQ(fresh.Find("v")->GetNumberOfCycles(), -1);
    EXPECT_TRUE(fs::exists(CQelCyclePlan::FilePath("v") + ".bad"));
    EXPECT_TRUE(fs::exists(CQelCyclePlan::FilePath("w") + ".bad"));
    ASSERT_EQ(fresh.Find("s")->GetCells().size(), 1u);
    EXPECT_EQ(fresh.Find("s")->GetCells()[0]->seconds, 0);
    EXPECT_EQ(fresh.Find("s")->GetNumberOfCycles(), -1);
}

TEST_F(CyclePlans, DamagedCycleFilesAreKeptAndNeverRewrittenEmpty)
{
    const std::vector<std::string> damaged = {
        "<Cycles version=\"V1\"><Cycle/><Plans/></Cycles>",
        "<CyclePlan version=\"V1\"><Plans><Plan name=\"p\"/></Plans></CyclePlan>",
        "<CyclePlan version=\"V1\"><Cycle numberofcycles=\"2\"/></CyclePlan>",
        "<CyclePlan version=\"V1\"><Cycle numberofcycles=\"two\"/><Plans/></CyclePlan>",
        "<CyclePlan version=\"V1\"><Cycle/><Plans><Plan name=\"p\" cyclesec=\"5s\"/></Plans></CyclePlan>",
        "<CyclePlan version=\"V1\"><Cycle/><Plans><Plan name=\"p&#1;\"/></Plans></CyclePlan>",
    };
    std::string list = Le32(0x8EB00001) + Le32(uint32_t(damaged.size()));
    for (size_t i = 0; i < damaged.size(); ++i) {
        const std::string name = "d" + std::to_string(i);
        list += Le32(uint32_t(name.size())) + name;
        WriteText(CQelCyclePlan::FilePath(name), damaged[i]);
    }
    WriteText(CQelCyclePlanMan::ListPath(), list);
    ASSERT_TRUE(cycles->LoadList());
    ASSERT_EQ(cycles->GetPlans().size(), damaged.size());
    ASSERT_TRUE(cycles->SaveList()); // as at shut-down
    for (size_t i = 0; i < damaged.size(); ++i) {
        const std::string path = CQelCyclePlan::FilePath("d" + std::to_string(i));
        EXPECT_TRUE(cycles->GetPlans()[i]->GetCells().empty()) << i;
        EXPECT_EQ(ReadText(path + ".bad"), damaged[i]) << i;
        EXPECT_EQ(ReadText(path), damaged[i]) << i;
    }
    // Once the operator changes one, it is written.
    ASSERT_TRUE(cycles->GetPlans()[0]->AddCell("p"));
    ASSERT_TRUE(cycles->SaveList());
    CQelCyclePlan back("d0");
    back.Load();
    EXPECT_EQ(Cells(back), Names{"p"});
}

TEST_F(CyclePlans, ClosingWritesOnlyWhatChanged)
{
    for (const char* name : {"edited", "renamed", "kept", "also kept"})
        Make(name, {"p"});
    ASSERT_TRUE(cycles->SaveList());
    CQelPlanMan plans; // as at the next start
    ASSERT_TRUE(plans.LoadPlanList());
    CQelCyclePlanMan started;
    ASSERT_TRUE(started.LoadList());
    using Stamp = std::pair<ino_t, int64_t>;
    const auto stamp = [](const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
        return Stamp(st.st_ino, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec);
    };
    struct File {
        std::string before, after;
        bool rewritten;
    };
    const auto cycle = CQelCyclePlan::FilePath;
    const std::vector<File> files = {
        {cycle("edited"), cycle("edited"), true},
        {cycle("renamed"), cycle("now renamed"), false}, // moved, not written
        {cycle("kept"), cycle("kept"), false},
        {cycle("also kept"), cycle("also kept"), false},
        {CQelCyclePlanMan::ListPath(), CQelCyclePlanMan::ListPath(), true},
        {CQelPlanMan::PlanListPath(), CQelPlanMan::PlanListPath(), false},
    };
    std::vector<Stamp> before;
    for (const auto& f : files)
        before.push_back(stamp(f.before));
    ASSERT_TRUE(started.Find("edited")->AddCell("q"));
    ASSERT_TRUE(started.Rename("renamed", "now renamed"));
    ASSERT_TRUE(plans.SavePlanList()); // what the close saves
    ASSERT_TRUE(started.SaveList());
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(stamp(files[i].after) != before[i], files[i].rewritten) << files[i].after;

    CQelCyclePlanMan again;
    ASSERT_TRUE(again.LoadList());
    EXPECT_EQ(Cells(*again.Find("edited")), (Names{"p", "q"}));
    EXPECT_EQ(Cells(*again.Find("now renamed")), Names{"p"});
    EXPECT_EQ(again.Find("renamed"), nullptr);
}

TEST(PlanContext, OwnsOneOfEachManagerUntilDestroyed)
{
    const std::weak_ptr<CQelPlanMan> plans = CQelContext::GetPlanMan();
    const std::weak_ptr<CQelCyclePlanMan> cycles = CQelContext::GetCyclePlanMan();
    EXPECT_EQ(plans.lock(), CQelContext::GetPlanMan());
    EXPECT_EQ(cycles.lock(), CQelContext::GetCyclePlanMan());
    CQelContext::Destroy();
    EXPECT_TRUE(plans.expired());
    EXPECT_TRUE(cycles.expired());
    EXPECT_NE(CQelContext::GetPlanMan(), nullptr);
    CQelContext::Destroy();
}
