// The frame's plan operations on the running window: new plans with their
// layouts, opening, renaming, deleting and saving plans under new names.
#include <QDialog>
#include <gtest/gtest.h>

#include "context/context.h"
#include "frame/command_ids.h"
#include "frame/main_frame.h"
#include "frame/plan_layout.h"
#include "model/processor.h"
#include "plan/cycle_plan.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "tests/builder/sender_test_support.h"
#include "tests/frame/plan_frame_fixture.h"
#include "tests/support/test_files.h"
#include "views/multi_screen_view.h"
#include "views/switch_view.h"
#include "views/view_dialogs.h"
#include "views/view_manager.h"
#include "views/wall_view_core.h"

using namespace plantest;
using tavrix::test::Prompt;

TEST_F(PlanFrame, NewPlanProposesAFreeNameAndRefusesBadOnes)
{
    MakeFrame();
    frame->NewPlan(); // no processor: not even the dialog
    EXPECT_TRUE(modal().prompts().empty());
    frame.reset();
    CViewManager::get_instance().DestroyViews();

    AddProcessor(3, 3);
    MakeFrame(); // opens 新建方案_1
    SavedPlan("新建方案_2");
    const int views = frame->ViewCounter();

    // Empty, taken and unusable names are told; nothing is made.
    const std::pair<QString, QString> refused[] = {
        {"", "方案名称不能为空"},
        {"新建方案_2", "该方案名称已经存在"},
        {"新建方案_1", "该方案名称已经存在"},
        {"a/b", QString::fromUtf8(plantext::kNameUnsafe)},
    };
    for (const auto& [name, message] : refused) {
        QString proposed;
        AnswerNewPlan(name, "1 x 3 布局", &proposed);
        modal().expectInform();
        frame->OnCommand(cmd::kNewPlan);
        EXPECT_EQ(proposed, "新建方案_3");
        EXPECT_EQ(LastPrompt(), message);
    }
    EXPECT_EQ(frame->ViewCounter(), views);
    EXPECT_EQ(CQelContext::GetPlanMan()->GetLoadedPlans().size(), 2u);

    // Cancel ends it too.
    modal().answerDialog(QDialog::Rejected);
    frame->OnCtrlBarNotify(2);
    EXPECT_EQ(frame->ViewCounter(), views);

    // The caption button makes the plan, its windows and its view.
    AnswerNewPlan("Hall <1> & \"2\"", "1 x 3 布局");
    frame->OnCtrlBarNotify(2);
    const auto plan = ActivePlan();
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->GetName(), "Hall <1> & \"2\"");
    EXPECT_EQ(frame->ViewCounter(), views + 1);
    EXPECT_NE(CViewManager::get_instance().FindView(QStringLiteral("VMultiScreen_%1").arg(views + 1)), nullptr);
    EXPECT_EQ(TabTexts().back(), "Hall <1> & \"2\"");
    EXPECT_EQ(CQelContext::GetSelPlanId(), plan->GetId());
    ASSERT_EQ(plan->GetWindowCount(), 3);
    EXPECT_EQ(plan->GetWindowAt(0)->rect, (Rect{0, 0, 1280, 2160}));
    EXPECT_EQ(plan->GetWindowAt(2)->rect, (Rect{2560, 0, 3840, 2160}));
    EXPECT_EQ(plan->GetWindowAt(1)->sigsrc, 101);
    EXPECT_EQ(plan->GetHistoryCount(), 1);

    // The name round-trips through its file.
    ASSERT_TRUE(CQelContext::GetPlanMan()->SavePlanFile(plan));
    CQelContext::GetPlanMan()->RemovePlanFromList(plan);
    std::shared_ptr<CQelPlan> loaded;
    ASSERT_TRUE(CQelContext::GetPlanMan()->LoadPlanFile("Hall <1> & \"2\"", loaded));
    EXPECT_EQ(loaded->GetWindowCount(), 3);
}

TEST_F(PlanFrame, NewPlanOfTheSwitchProgramIsASwitchPlanWithTheLayoutsWindows)
{
    SetAppType(0);
    AddProcessor(3, 3);
    MakeFrame();
    AnswerNewPlan("Switch", "3 x 1 布局");
    frame->NewPlan();
    const auto plan = ActivePlan();
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(CViewManager::GetViewKind(frame->ActiveView()), kViewSwitch);
    EXPECT_EQ(frame->ActiveView(), CViewManager::get_instance().FindView("VSwitch_2"));
    EXPECT_EQ(plan->GetType(), 2);
    EXPECT_EQ(plan->GetWindowCount(), 3);

    // The switch view's save-as goes through the frame too.
    auto* view = static_cast<CSwitchView*>(frame->ActiveView());
    AnswerName("Switch copy");
    view->OnSaveAs();
    EXPECT_EQ(view->GetSwitchPlan()->GetName(), "Switch copy");
    EXPECT_EQ(TabTexts().back(), "Switch copy");
}

TEST_F(PlanFrame, OpeningSelectsAShownPlanAndTellsWhyAnUnreadableOneStaysShut)
{
    AddProcessor(3, 1);
    const auto plans = CQelContext::GetPlanMan();
    plans->RemovePlanFromList(SavedPlan("Saved", 2));
    SavedPlan("Broken");
    tavrix::test::WriteText(PlanFile("Broken"), "<Plan");
    std::shared_ptr<CQelPlan> broken;
    ASSERT_TRUE(plans->FindPlanByName("Broken", broken));
    plans->RemovePlanFromList(broken);
    MakeFrame();
    const int views = frame->ViewCounter();

    frame->CreatePlanViews("Saved");
    EXPECT_EQ(frame->ViewCounter(), views + 1);
    EXPECT_EQ(ActivePlan()->GetName(), "Saved");
    frame->ViewContainer()->Tabs().SelectTab(0);
    ASSERT_NE(ActivePlan()->GetName(), "Saved");
    frame->CreatePlanViews("Saved");
    EXPECT_EQ(frame->ViewCounter(), views + 1);
    EXPECT_EQ(ActivePlan()->GetName(), "Saved");

    // No such plan: nothing; a damaged file: the operator hears why.
    frame->CreatePlanViews("Missing");
    EXPECT_TRUE(modal().prompts().empty());
    modal().expectInform();
    frame->CreatePlanViews("Broken");
    EXPECT_EQ(LastPrompt(), QString::fromUtf8(plantext::kOpenFailed));
    EXPECT_EQ(frame->ViewCounter(), views + 1);
    EXPECT_EQ(TabTexts().size(), 2u);
}

TEST_F(PlanFrame, RenameMovesTheFileTheTabAndTheCycleCells)
{
    AddProcessor(3, 1);
    SavedPlan("Old", 1);
    SavedPlan("Other");
    auto cycle = std::make_shared<CQelCyclePlan>("Round");
    ASSERT_TRUE(cycle->AddCell("Old"));
    ASSERT_TRUE(cycle->AddCell("Other"));
    ASSERT_TRUE(CQelContext::GetCyclePlanMan()->Add(cycle));
    MakeFrame();
    frame->CreatePlanViews("Old");
    const auto cells = [&] { return std::vector<std::string>{cycle->GetCellName(0), cycle->GetCellName(1)}; };

    // Cancel, an unchanged, empty, taken or unusable name: nothing moves.
    AnswerName(std::nullopt);
    frame->RenamePlan("Old");
    AnswerName("Old");
    frame->RenamePlan("Old");
    EXPECT_EQ(modal().prompts().size(), 2u);
    for (const QString name : {"", "Other", "../up", "tab\tname"}) {
        AnswerName(name);
        modal().expectInform();
        frame->RenamePlan("Old");
    }
    EXPECT_EQ(modal().prompts().size(), 10u);
    EXPECT_TRUE(fs::exists(PlanFile("Old")));
    EXPECT_EQ(TabTexts().back(), "Old");
    EXPECT_EQ(cells(), (std::vector<std::string>{"Old", "Other"}));

    // A file that cannot move is told and changes no name.
    fs::create_directory(PlanFile("Blocked"));
    fs::create_directory(PlanFile("Blocked") + "/keep");
    AnswerName("Blocked");
    modal().expectInform();
    frame->RenamePlan("Old");
    EXPECT_EQ(LastPrompt(), QString::fromUtf8(plantext::kRenameFailed));
    EXPECT_TRUE(fs::exists(PlanFile("Old")));
    EXPECT_EQ(TabTexts().back(), "Old");
    EXPECT_EQ(cells(), (std::vector<std::string>{"Old", "Other"}));
    fs::remove_all(PlanFile("Blocked"));

    QString caption;
    AnswerName("New & <name>", &caption);
    frame->RenamePlan("Old");
    EXPECT_EQ(caption, "重新命名");
    EXPECT_FALSE(fs::exists(PlanFile("Old")));
    EXPECT_TRUE(fs::exists(PlanFile("New & <name>")));
    EXPECT_EQ(TabTexts().back(), "New & <name>");
    EXPECT_EQ(ActivePlan()->GetName(), "New & <name>");
    EXPECT_EQ(cells(), (std::vector<std::string>{"New & <name>", "Other"}));
}

TEST_F(PlanFrame, DeleteClosesTheOpenPlanWithoutAskingAndDropsItsCells)
{
    AddProcessor(3, 1);
    SavedPlan("Gone", 1);
    SavedPlan("Kept");
    auto cycle = std::make_shared<CQelCyclePlan>("Round");
    ASSERT_TRUE(cycle->AddCell("Gone"));
    ASSERT_TRUE(cycle->AddCell("Kept"));
    ASSERT_TRUE(cycle->AddCell("Gone"));
    ASSERT_TRUE(CQelContext::GetCyclePlanMan()->Add(cycle));
    MakeFrame();
    frame->CreatePlanViews("Gone");
    ActivePlan()->SetDirty(true);
    ASSERT_EQ(TabTexts().size(), 2u);

    frame->DeletePlan("Gone");
    EXPECT_TRUE(modal().prompts().empty());
    EXPECT_EQ(TabTexts().size(), 1u);
    EXPECT_FALSE(fs::exists(PlanFile("Gone")));
    EXPECT_EQ(CQelContext::GetPlanMan()->GetSavedNames(), std::vector<std::string>{"Kept"});
    ASSERT_EQ(cycle->GetCells().size(), 1u);
    EXPECT_EQ(cycle->GetCellName(0), "Kept");

    // A file that cannot be removed is told; the tab, list and cells stay.
    frame->CreatePlanViews("Kept");
    fs::remove(PlanFile("Kept"));
    fs::create_directory(PlanFile("Kept"));
    fs::create_directory(PlanFile("Kept") + "/keep");
    modal().expectInform();
    frame->DeletePlan("Kept");
    EXPECT_EQ(LastPrompt(), QString::fromUtf8(plantext::kDeleteFailed));
    EXPECT_EQ(TabTexts().size(), 2u);
    EXPECT_EQ(CQelContext::GetPlanMan()->GetSavedNames(), std::vector<std::string>{"Kept"});
    EXPECT_EQ(cycle->GetCells().size(), 1u);
}

TEST_F(PlanFrame, SaveAsFromAViewRenamesItsTabOrSaysWhyNot)
{
    AddProcessor(3, 1);
    SavedPlan("Taken");
    MakeFrame();
    const auto plan = ActivePlan();
    ASSERT_NE(plan, nullptr);
    std::string name = plan->GetName();

    AnswerName(std::nullopt);
    EXPECT_FALSE(viewDialogs().SavePlanAs(nullptr, plan, name));
    AnswerName(QString::fromStdString(name));
    EXPECT_FALSE(viewDialogs().SavePlanAs(nullptr, plan, name));
    for (const QString bad : {"", "Taken", "a\\b"}) {
        AnswerName(bad);
        modal().expectInform();
        EXPECT_FALSE(viewDialogs().SavePlanAs(nullptr, plan, name));
    }
    EXPECT_EQ(name, "新建方案_1");

    QString caption;
    AnswerName("Copy", &caption);
    EXPECT_TRUE(viewDialogs().SavePlanAs(nullptr, plan, name));
    EXPECT_EQ(caption, "另存为");
    EXPECT_EQ(name, "Copy");
    EXPECT_EQ(TabTexts().back(), "Copy");
    EXPECT_TRUE(fs::exists(PlanFile("Copy")));

    // The wall view's own save-as ends on the copy.
    auto* view = frame->ActiveWallView();
    ASSERT_NE(view, nullptr);
    AnswerName("Copy 2");
    view->commands().OnCommand(WallViewCore::kCmdSaveAs);
    EXPECT_EQ(view->GetPlan()->GetName(), "Copy 2");
    EXPECT_EQ(TabTexts().back(), "Copy 2");
}

TEST_F(PlanFrame, StandardOutputPlanComesOnlyFromAWallPlan)
{
    auto processor = AddProcessor(7, 1);
    auto wall = processor->GetWall();
    wall.rowHeights = {1080, 1080};
    wall.colWidths = {1920, 1920};
    processor->SetWall(wall);
    MakeFrame();
    auto* view = frame->ActiveWallView();
    ASSERT_NE(view, nullptr);
    const auto source = view->GetPlan();
    ASSERT_EQ(source->GetType(), 1);
    AddTestWindow(*source, 100, Rect{1000, 500, 2800, 1600}); // over all four outputs
    const int views = frame->ViewCounter();

    EXPECT_TRUE(viewDialogs().NewPlanFromView(source));
    EXPECT_EQ(frame->ViewCounter(), views + 1);
    auto* derivedView = frame->ActiveWallView();
    ASSERT_NE(derivedView, nullptr);
    EXPECT_NE(derivedView, view);
    EXPECT_EQ(derivedView->GetPlan()->GetName(), "新建方案_2");
    EXPECT_EQ(derivedView->GetPlan()->GetWindowCount(), 4);
    EXPECT_EQ(TabTexts().back(), "新建方案_2");

    source->SetType(0);
    EXPECT_FALSE(viewDialogs().NewPlanFromView(source));
    EXPECT_EQ(frame->ViewCounter(), views + 1);
}
