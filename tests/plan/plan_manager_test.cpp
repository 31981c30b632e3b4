#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "plan_files_support.h"

namespace {

using PlanManager = PlanFolderTest;

CQelPlanMan::PlanPtr Sized(CQelPlanMan& man, const std::string& name)
{
    auto plan = man.CreatePlan(name);
    if (plan) {
        plan->SetGrid(1, 1);
        plan->SetResolution({1920, 1080, 60});
    }
    return plan;
}

// Writes larger than a few bytes fail while it lives, as on a full disk.
class FileSizeLimit {
public:
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old_;
        small.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// Root may remove any file, so refused removals are tried as another user.
constexpr uid_t kOtherUser = 65534; // nobody
constexpr int kCannotBeOtherUser = 77;

// Runs `body` in a child process as kOtherUser and gives its exit code;
// kCannotBeOtherUser when the child cannot become that user or reach
// `folder`.
int AsOtherUser(const std::string& folder, const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0 ||
            ::access(folder.c_str(), X_OK) != 0)
            _exit(kCannotBeOtherUser);
        _exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void GiveTo(const std::string& path, uid_t user)
{
    ASSERT_EQ(::chown(path.c_str(), user, user), 0) << path;
}

} // namespace

TEST_F(PlanManager, PlanListIsOneGb2312NameALine)
{
    ASSERT_TRUE(man->SavePlanFile(Sized(*man, "a b")));
    ASSERT_TRUE(man->SavePlanFile(Sized(*man, "方案")));
    EXPECT_EQ(ReadText(CQelPlanMan::PlanListPath()), Golden("PlanList.txt"));
    EXPECT_EQ(CountPlanListEvents(), 2);

    const std::vector<std::string> both = {"a b", "方案"};
    for (const std::string& text : {Golden("PlanList.txt"), std::string("a b\n\xB7\xBD\xB0\xB8"),
                                    std::string("\r\n\na b\n\n\xB7\xBD\xB0\xB8\r\n\n")}) {
        WriteText(CQelPlanMan::PlanListPath(), text);
        CQelPlanMan fresh;
        EXPECT_TRUE(fresh.LoadPlanList());
        EXPECT_EQ(fresh.GetSavedNames(), both);
    }
    EXPECT_FALSE(fs::exists(CQelPlanMan::PlanListPath() + ".bad"));

    WriteText(CQelPlanMan::PlanListPath(), "");
    EXPECT_FALSE(man->LoadPlanList());
    fs::remove(CQelPlanMan::PlanListPath());
    EXPECT_FALSE(man->LoadPlanList());
    EXPECT_TRUE(man->GetSavedNames().empty());

    // Lines that cannot be names are skipped and the file kept aside; an
    // operator at a terminal hears of it even with the log off.
    const std::string damaged = "ok\n..\n\xFF\xFF\nx/y\n";
    WriteText(CQelPlanMan::PlanListPath(), damaged);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(man->LoadPlanList());
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(man->GetSavedNames(), std::vector<std::string>{"ok"});
    EXPECT_EQ(ReadText(CQelPlanMan::PlanListPath() + ".bad"), damaged);
    EXPECT_EQ(told, "tavrix: " + CQelPlanMan::PlanListPath() +
                        ": the plan list holds lines that are not plan names; kept as " + CQelPlanMan::PlanListPath() +
                        ".bad\n");
}

TEST_F(PlanManager, SavingPostsAndWritesTheListOnlyForANewName)
{
    auto plan = Sized(*man, "p");
    plan->SetDirty(true);
    ASSERT_TRUE(man->SavePlanFile(plan));
    EXPECT_FALSE(plan->IsDirty());
    EXPECT_EQ(CountPlanListEvents(), 1);
    WriteText(CQelPlanMan::PlanListPath(), "p\n");
    ASSERT_TRUE(man->SavePlanFile(plan));
    EXPECT_EQ(CountPlanListEvents(), 0);
    EXPECT_EQ(ReadText(CQelPlanMan::PlanListPath()), "p\n");
}

TEST_F(PlanManager, FailedSaveKeepsTheOldFilesAndTheDirtyFlag)
{
    auto plan = Sized(*man, "p");
    plan->AddWindow(Logo(32, 1, 1, 5), CurrentPlanSelection());
    ASSERT_TRUE(man->SavePlanFile(plan));
    const std::string oldPlan = ReadText(InPlanFolder("p.plan"));
    const std::string oldOsd = ReadText(InPlanFolder("p.osd"));
    plan->ClearWindowsOfKind(true);
    plan->SetDirty(true);
    {
        FileSizeLimit full;
        EXPECT_FALSE(man->SavePlanFile(plan));
    }
    EXPECT_TRUE(plan->IsDirty());
    EXPECT_EQ(ReadText(InPlanFolder("p.plan")), oldPlan);
    EXPECT_EQ(ReadText(InPlanFolder("p.osd")), oldOsd);

    // The ".plan" cannot be put in place: the ".osd" already swapped in
    // comes back.
    auto other = Sized(*man, "q");
    WriteText(InPlanFolder("q.osd"), "old");
    WriteText(InPlanFolder("q.plan/x"), ""); // a folder in the file's place
    EXPECT_FALSE(man->SavePlanFile(other));
    EXPECT_EQ(ReadText(InPlanFolder("q.osd")), "old");
    EXPECT_EQ(man->GetSavedNames(), std::vector<std::string>{"p"});
    EXPECT_EQ(CountPlanListEvents(), 1);
    for (const auto& entry : fs::directory_iterator(qz::vok::path::GetPlanPath()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << "temporary file left";
}

TEST_F(PlanManager, WhatIsSavedAlwaysLoadsAgain)
{
    // A plan without a screen grid or resolution yet would not load: it is
    // refused before anything is written.
    auto empty = man->CreatePlan("empty");
    auto noRate = Sized(*man, "no rate");
    noRate->SetResolution({1920, 1080, 0});
    for (const auto& plan : {empty, noRate}) {
        auto ref = plan;
        EXPECT_FALSE(man->SavePlanFile(plan));
        EXPECT_FALSE(man->SavePlanAs(ref, "copy of " + plan->GetName()));
        EXPECT_EQ(ref, plan);
    }
    EXPECT_TRUE(fs::is_empty(qz::vok::path::GetPlanPath()));
    EXPECT_TRUE(man->GetSavedNames().empty());
    EXPECT_EQ(CountPlanListEvents(), 0);

    // Names that reach the file from windows and groups lose what XML
    // cannot carry; a plan name holding it never becomes a file name.
    std::string every;
    for (int c = 1; c < 0x20; ++c)
        every += char(c);
    EXPECT_EQ(man->CreatePlan("a" + every), nullptr);
    auto plan = Sized(*man, "names");
    auto group = std::make_shared<CQelGroup>();
    group->id = 1;
    group->name = "g" + every;
    plan->AddGroup(group);
    auto window = MakeWindow({0, 0, 10, 10}, 3);
    window->group = 1;
    plan->AddWindow(window, CurrentPlanSelection());
    window->name = "w" + every;
    ASSERT_TRUE(man->SavePlanFile(plan));
    CQelPlanMan fresh;
    fresh.LoadPlanList();
    CQelPlanMan::PlanPtr back;
    ASSERT_TRUE(fresh.LoadPlanFile("names", back));
    EXPECT_EQ(back->GetWindowAt(0)->name, "w\t\n\r");
    EXPECT_EQ(back->GetGroupById(1)->name, "g\t\n\r");
}

TEST_F(PlanManager, SaveFailsWhenThePlanListCannotBeWritten)
{
    WriteText(CQelPlanMan::PlanListPath() + "/x", ""); // a folder in the file's place
    auto plan = Sized(*man, "p");
    plan->SetDirty(true);
    EXPECT_FALSE(man->SavePlanFile(plan));
    EXPECT_TRUE(plan->IsDirty());
    auto ref = plan;
    EXPECT_FALSE(man->SavePlanAs(ref, "q"));
    EXPECT_EQ(ref, plan);
    CQelPlanMan::PlanPtr none;
    EXPECT_FALSE(man->FindPlanByName("q", none));
    EXPECT_TRUE(man->GetSavedNames().empty());
    EXPECT_EQ(CountPlanListEvents(), 0);
    for (const char* orphan : {"p.plan", "p.osd", "q.plan", "q.osd"})
        EXPECT_FALSE(fs::exists(InPlanFolder(orphan))) << orphan;

    // The name joins the list with the next save that can write it.
    fs::remove_all(CQelPlanMan::PlanListPath());
    ASSERT_TRUE(man->SavePlanFile(plan));
    EXPECT_FALSE(plan->IsDirty());
    EXPECT_EQ(ReadText(CQelPlanMan::PlanListPath()), "p\r\n");
    EXPECT_EQ(CountPlanListEvents(), 1);

    // Neither a rename nor a delete goes on without the list.
    fs::remove(CQelPlanMan::PlanListPath());
    WriteText(CQelPlanMan::PlanListPath() + "/x", "");
    EXPECT_FALSE(man->RenamePlanFile("r", "p"));
    EXPECT_FALSE(man->DeletePlanFile("p"));
    EXPECT_EQ(plan->GetName(), "p");
    EXPECT_EQ(man->GetSavedNames(), std::vector<std::string>{"p"});
    EXPECT_EQ(CountPlanListEvents(), 0);
    for (const char* file : {"p.plan", "p.osd"})
        EXPECT_TRUE(fs::exists(InPlanFolder(file))) << file;
}

TEST_F(PlanManager, OpeningCreatingAndNaming)
{
    // Ids count on across closes.
    auto a = Sized(*man, "a");
    auto b = Sized(*man, "b");
    man->RemovePlanFromList(b);
    EXPECT_EQ(Sized(*man, "c")->GetId(), 3);
    man->RemovePlanFromList(a);
    EXPECT_EQ(Sized(*man, "d")->GetId(), 4);

    // OpenPlan reads no file, and gives the loaded plan back unchanged.
    WriteText(InPlanFolder("f.plan"), Golden("reading_rules.plan"));
    CQelPlanMan::PlanPtr opened;
    ASSERT_TRUE(man->OpenPlan("f", opened));
    EXPECT_EQ(opened->GetWindowCount(), 0);
    EXPECT_EQ(opened->GetHistoryAt(0)->GetActionName(), "新建方案");
    CQelPlanMan::PlanPtr again;
    ASSERT_TRUE(man->OpenPlan("f", again));
    EXPECT_EQ(again, opened);

    // A file alone does not make a saved plan.
    man->RemovePlanFromList(opened);
    CQelPlanMan::PlanPtr loaded;
    EXPECT_FALSE(man->LoadPlanFile("f", loaded));

    // 新建方案_1 loaded and 新建方案_3 saved: the new plan is 新建方案_2.
    auto source = Sized(*man, "src");
    source->SetType(kPlanSizedGrid);
    source->SetGrid(1, 2);
    source->SetRowHeights({1080});
    source->SetColumnWidths({1920, 1920});
    Sized(*man, "新建方案_1");
    ASSERT_TRUE(man->SavePlanFile(Sized(*man, "新建方案_3")));
    CQelPlanMan::PlanPtr derived;
    ASSERT_TRUE(man->NewPlan(derived, source));
    EXPECT_EQ(derived->GetName(), "新建方案_2");
    CQelPlanMan::PlanPtr found;
    EXPECT_TRUE(man->FindPlanById(derived->GetId(), found));
    EXPECT_EQ(found, derived);
    EXPECT_FALSE(man->NewPlan(derived, nullptr));
}

TEST_F(PlanManager, SaveAsCopiesToAFreeNameOnly)
{
    auto plan = Sized(*man, "orig");
    plan->SetType(kPlanSizedGrid);
    plan->SetRowHeights({1080});
    plan->SetColumnWidths({1920});
    auto group = std::make_shared<CQelGroup>();
    group->id = 1;
    group->name = "g";
    plan->AddGroup(group);
    auto logo = Logo(64, 4, 2, 9);
    logo->group = 1;
    plan->AddWindow(logo, CurrentPlanSelection());
    ASSERT_TRUE(man->SavePlanFile(plan));
    Sized(*man, "taken");
    plan->SetDirty(true);
    TakeEvents();

    auto ref = plan;
    EXPECT_FALSE(man->SavePlanAs(ref, "taken"));
    EXPECT_FALSE(man->SavePlanAs(ref, "orig"));
    EXPECT_EQ(ref, plan);
    EXPECT_TRUE(plan->IsDirty());

    WriteText(InPlanFolder("blocked.plan/x"), ""); // a folder in the file's place
    EXPECT_FALSE(man->SavePlanAs(ref, "blocked"));
    EXPECT_EQ(ref, plan);
    EXPECT_TRUE(plan->IsDirty());
    CQelPlanMan::PlanPtr none;
    EXPECT_FALSE(man->FindPlanByName("blocked", none));
    EXPECT_EQ(man->GetLoadedPlans().size(), 2u);

    ASSERT_TRUE(man->SavePlanAs(ref, "copy"));
    EXPECT_NE(ref, plan);
    EXPECT_EQ(ref->GetName(), "copy");
    EXPECT_FALSE(plan->IsDirty());
    // One "new plan" entry that holds the copied windows.
    ASSERT_EQ(ref->GetHistoryCount(), 1);
    EXPECT_EQ(ref->GetHistoryAt(0)->GetActionName(), "新建方案");
    EXPECT_EQ(ref->GetHistoryAt(0)->GetWindows().size(), 1u);
    EXPECT_EQ(CountPlanListEvents(), 1);

    CQelPlanMan fresh;
    fresh.LoadPlanList();
    CQelPlanMan::PlanPtr back;
    ASSERT_TRUE(fresh.LoadPlanFile("copy", back));
    EXPECT_EQ(back->GetType(), kPlanSizedGrid);
    EXPECT_EQ(back->GetRowHeights(), std::vector<int32_t>{1080});
    EXPECT_EQ(back->GetColumnWidths(), std::vector<int32_t>{1920});
    ASSERT_EQ(back->GetGroupCount(), 1);
    ASSERT_EQ(back->GetWindowCount(), 1);
    EXPECT_EQ(back->GetWindowAt(0)->group, 1);
    EXPECT_EQ(back->GetWindowAt(0)->osd->bitmap, logo->osd->bitmap);
}

TEST_F(PlanManager, RenameMovesBothFilesFirst)
{
    auto plan = Sized(*man, "old");
    plan->AddWindow(Logo(32, 1, 4, 7), CurrentPlanSelection());
    ASSERT_TRUE(man->SavePlanFile(plan));
    man->RemovePlanFromList(plan);
    Sized(*man, "busy");
    TakeEvents();

    EXPECT_FALSE(man->RenamePlanFile("busy", "old"));

    WriteText(InPlanFolder("new.plan/x"), ""); // a folder in the file's place
    EXPECT_FALSE(man->RenamePlanFile("new", "old"));
    EXPECT_TRUE(fs::exists(InPlanFolder("old.osd")));
    EXPECT_TRUE(fs::exists(InPlanFolder("old.plan")));
    EXPECT_EQ(man->GetSavedNames(), std::vector<std::string>{"old"});
    fs::remove_all(InPlanFolder("new.plan"));

    ASSERT_TRUE(man->RenamePlanFile("new", "old"));
    EXPECT_EQ(man->GetSavedNames(), std::vector<std::string>{"new"});
    EXPECT_EQ(CountPlanListEvents(), 1);
    EXPECT_FALSE(fs::exists(InPlanFolder("old.osd")));
    CQelPlanMan::PlanPtr back;
    ASSERT_TRUE(man->LoadPlanFile("new", back));
    EXPECT_EQ(back->GetWindowAt(0)->osd->background, 7); // the logo came along
}

TEST_F(PlanManager, RenamedOpenPlanSavesUnderItsNewName)
{
    auto plan = Sized(*man, "old");
    auto logo = Logo(32, 1, 4, 7);
    plan->AddWindow(logo, CurrentPlanSelection());
    ASSERT_TRUE(man->SavePlanFile(plan));
    TakeEvents();

    ASSERT_TRUE(man->RenamePlanFile("new", "old"));
    EXPECT_EQ(plan->GetName(), "new");
    CQelPlanMan::PlanPtr found;
    EXPECT_TRUE(man->FindPlanByName("new", found));
    EXPECT_EQ(found, plan);
    EXPECT_FALSE(man->PlanNameExists("old"));
    EXPECT_EQ(CountPlanListEvents(), 1);

    plan->GetWindowAt(0)->rect = {10, 20, 110, 120};
    plan->SetDirty(true);
    ASSERT_TRUE(man->SavePlanFile(plan));
    EXPECT_FALSE(plan->IsDirty());
    EXPECT_EQ(CountPlanListEvents(), 0);
    EXPECT_EQ(man->GetSavedNames(), std::vector<std::string>{"new"});
    EXPECT_EQ(ReadText(CQelPlanMan::PlanListPath()), "new\r\n");
    for (const char* gone : {"old.plan", "old.osd"})
        EXPECT_FALSE(fs::exists(InPlanFolder(gone))) << gone;

    CQelPlanMan fresh;
    ASSERT_TRUE(fresh.LoadPlanList());
    CQelPlanMan::PlanPtr back;
    ASSERT_TRUE(fresh.LoadPlanFile("new", back));
    ASSERT_EQ(back->GetWindowCount(), 1);
    EXPECT_EQ(back->GetWindowAt(0)->rect, (Rect{10, 20, 110, 120}));
    EXPECT_EQ(back->GetWindowAt(0)->osd->bitmap, logo->osd->bitmap);
}

TEST_F(PlanManager, DeleteRemovesFilesBeforeTheName)
{
    ASSERT_TRUE(man->SavePlanFile(Sized(*man, "s")));
    TakeEvents();
    WriteText(InPlanFolder("loose.plan"), "x");
    WriteText(InPlanFolder("loose.osd"), "x");
    EXPECT_TRUE(man->DeletePlanFile("loose"));
    EXPECT_FALSE(fs::exists(InPlanFolder("loose.plan")));
    EXPECT_FALSE(fs::exists(InPlanFolder("loose.osd")));
    EXPECT_EQ(CountPlanListEvents(), 0);

    // A removal that fails keeps the name.
    fs::remove(InPlanFolder("s.plan"));
    fs::create_directory(InPlanFolder("s.plan"));
    EXPECT_FALSE(man->DeletePlanFile("s"));
    EXPECT_EQ(man->GetSavedNames(), std::vector<std::string>{"s"});
    fs::remove(InPlanFolder("s.plan"));

    EXPECT_TRUE(man->DeletePlanFile("s"));
    EXPECT_TRUE(man->GetSavedNames().empty());
    EXPECT_TRUE(man->GetLoadedPlans().empty());
    EXPECT_EQ(CountPlanListEvents(), 1);
    EXPECT_EQ(ReadText(CQelPlanMan::PlanListPath()), "");
}

TEST_F(PlanManager, DeleteThatFailsHalfWayLeavesTheWholePlanOrNone)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the plan's files to another user";
    const fs::path here = fs::current_path();
    const fs::perms hereMode = fs::status(here).permissions();
    fs::permissions(here, fs::perms::others_exec, fs::perm_options::add);
    const std::string folder = qz::vok::path::GetPlanPath();
    auto plan = Sized(*man, "s");
    auto logo = Logo(32, 1, 3, 9);
    plan->AddWindow(logo, CurrentPlanSelection());

    // A sticky folder lets the other user remove only its own files.
    struct Row {
        const char* what;
        fs::perms folderMode;
        uid_t planOwner;
        uid_t osdOwner;
        bool deleted;
    };
    const Row rows[] = {
        {"read-only folder", fs::perms(0555), kOtherUser, kOtherUser, false},
        {"the .plan may not go", fs::perms(01777), 0, kOtherUser, false},
        {"the .osd may not go", fs::perms(01777), kOtherUser, 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(man->SavePlanFile(plan));
        GiveTo(InPlanFolder("s.plan"), row.planOwner);
        GiveTo(InPlanFolder("s.osd"), row.osdOwner);
        GiveTo(CQelPlanMan::PlanListPath(), kOtherUser);
        fs::permissions(folder, row.folderMode);
        // Bits: deleted, still a saved name, still loaded.
        const int outcome = AsOtherUser(folder, [&] {
            const bool deleted = man->DeletePlanFile("s");
            CQelPlanMan::PlanPtr loaded;
            return int(deleted) | (CQelPlanMan::PlanNameInList(man->GetSavedNames(), "s") << 1) |
                   (man->FindPlanByName("s", loaded) << 2);
        });
        fs::permissions(folder, fs::perms(0755));
        if (outcome == kCannotBeOtherUser) {
            fs::permissions(here, hereMode);
            GTEST_SKIP() << "the plan folder cannot be reached as user " << kOtherUser;
        }
        if (row.deleted) {
            EXPECT_EQ(outcome, 1);
            EXPECT_FALSE(fs::exists(InPlanFolder("s.plan")));
            EXPECT_EQ(ReadText(CQelPlanMan::PlanListPath()), "");
            continue;
        }
        EXPECT_EQ(outcome, 6);
        EXPECT_EQ(ReadText(CQelPlanMan::PlanListPath()), "s\r\n");
        CQelPlanMan fresh;
        fresh.LoadPlanList();
        CQelPlanMan::PlanPtr back;
        ASSERT_TRUE(fresh.LoadPlanFile("s", back));
        ASSERT_EQ(back->GetWindowCount(), 1);
        EXPECT_EQ(back->GetWindowAt(0)->osd->bitmap, logo->osd->bitmap);
    }
    fs::permissions(here, hereMode);
}

TEST_F(PlanManager, UnsafeNamesNeverBecomePaths)
{
    const std::string outside = qz::vok::path::GetMainPath() + "/x.plan";
    WriteText(outside, "keep");
    const std::vector<std::string> unsafe = {
        "", ".", "..", "../x", "a/b", "a\\b", "a\x01", std::string("a\0b", 3), "a\x7F", std::string(251, 'n'), "😀"};
    auto plan = Sized(*man, "fine");
    ASSERT_TRUE(man->SavePlanFile(plan));
    for (const auto& name : unsafe) {
        CQelPlanMan::PlanPtr p = plan;
        EXPECT_EQ(man->CreatePlan(name), nullptr);
        EXPECT_FALSE(man->OpenPlan(name, p));
        EXPECT_FALSE(man->SavePlanAs(p, name));
        EXPECT_FALSE(man->RenamePlanFile(name, "fine"));
        EXPECT_FALSE(man->DeletePlanFile(name));
        EXPECT_FALSE(man->LoadPlanFile(name, p));
    }
    EXPECT_NE(Sized(*man, std::string(250, 'n')), nullptr);
    EXPECT_EQ(ReadText(outside), "keep");
    EXPECT_EQ(man->GetSavedNames(), std::vector<std::string>{"fine"});
    fs::remove(outside);
}
