// The cycle-plan pane's new, edit and run actions and its double click on
// the running window: the editor and the runner open from the pane, and a
// run applies its plans at the simulator.
#include <gtest/gtest.h>

#include <QTest>

#include "context/context.h"
#include "dialogs/run_cycle_plan_dlg.h"
#include "dialogs/set_cycle_plan_dlg.h"
#include "frame/plan_man_wnd.h"
#include "model/processor_settings.h"
#include "plan/cycle_plan.h"
#include "platform/rect_math.h"
#include "tests/builder/sender_test_support.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/frame/plan_frame_fixture.h"
#include "tests/model/link_fixture.h"
#include "uikit/ui_button.h"
#include "uikit/ui_edit_sheet_ctrl.h"

using namespace plantest;
using dialogtest::AnswerAs;

namespace {

std::vector<QString> Names(CUiSheetCtrl& sheet)
{
    std::vector<QString> texts;
    for (int row = 0; row < sheet.GetRowCount(); ++row)
        texts.push_back(sheet.GetItemText(row, 1));
    return texts;
}

QPoint Centre(const Rect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::shared_ptr<CQelCyclePlan> ListCycle(const std::string& name, const std::string& plan, int32_t seconds)
{
    auto cycle = std::make_shared<CQelCyclePlan>(name);
    EXPECT_TRUE(cycle->AddCell(plan));
    cycle->SetCellSeconds(0, seconds);
    EXPECT_TRUE(CQelContext::GetCyclePlanMan()->Add(cycle));
    EXPECT_TRUE(CQelContext::GetCyclePlanMan()->SaveList());
    return cycle;
}

} // namespace

TEST_F(PlanFrame, CyclePaneNewAndEditOpenTheEditor)
{
    AddProcessor(3, 1);
    SavedPlan("P");
    SavedPlan("Q");
    const auto tour = ListCycle("Tour", "P", 5);
    MakeFrame();
    ShowPage(1);
    CUiCyclePlanManWnd& pane = CyclePane();
    CUiSheetCtrl& sheet = pane.Sheet();

    // New: the plan Q double-clicked over, then saved.
    AnswerAs<CSetCyclePlanDlg>([](CSetCyclePlanDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("创建新轮巡方案"));
        CUiSheetCtrl& plans = *editor.PlanList();
        Rect q;
        ASSERT_TRUE(plans.GetCellRect(1, 1, q));
        QTest::mouseDClick(&plans, Qt::LeftButton, {}, Centre(q));
        EXPECT_EQ(editor.CycleList()->GetRowCount(), 1);
        QTest::mouseClick(editor.SaveButton(), Qt::LeftButton);
    });
    pane.Button(CUiCyclePlanManWnd::kNewCycle)->click();
    EXPECT_EQ(Names(sheet), (std::vector<QString>{"Tour", "新建轮巡方案_1"}));
    CQelCyclePlanMan reread;
    ASSERT_TRUE(reread.LoadList());
    ASSERT_EQ(reread.GetPlans().size(), 2u);
    EXPECT_EQ(reread.GetPlans()[1]->GetCellName(0), "Q");

    // Edit without a selection: nothing opens.
    pane.Button(CUiCyclePlanManWnd::kEditCycle)->click();
    pane.Button(CUiCyclePlanManWnd::kRunCycle)->click();
    EXPECT_EQ(modal().prompts().size(), 1u);

    // A double click edits the row's cycle plan; saved under a new name,
    // the pane shows it.
    AnswerAs<CSetCyclePlanDlg>([](CSetCyclePlanDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("编辑轮巡方案"));
        EXPECT_EQ(editor.NameEdit()->text(), QStringLiteral("Tour"));
        editor.NameEdit()->setText(QStringLiteral("Evening"));
        QTest::mouseClick(editor.SaveButton(), Qt::LeftButton);
    });
    Rect row0;
    ASSERT_TRUE(sheet.GetRowRect(0, row0));
    QTest::mouseDClick(&sheet, Qt::LeftButton, {}, Centre(row0));
    EXPECT_EQ(Names(sheet), (std::vector<QString>{"Evening", "新建轮巡方案_1"}));
    EXPECT_EQ(tour->GetName(), "Evening");
    EXPECT_TRUE(fs::exists(CQelCyclePlan::FilePath("Evening")));

    // Edit on the selected row; Cancel changes nothing.
    sheet.SelectRow(1);
    AnswerAs<CSetCyclePlanDlg>([](CSetCyclePlanDlg& editor) {
        EXPECT_EQ(editor.NameEdit()->text(), QStringLiteral("新建轮巡方案_1"));
        editor.NameEdit()->setText(QStringLiteral("Other"));
        QTest::mouseClick(editor.CancelButton(), Qt::LeftButton);
    });
    pane.Button(CUiCyclePlanManWnd::kEditCycle)->click();
    EXPECT_EQ(Names(sheet), (std::vector<QString>{"Evening", "新建轮巡方案_1"}));
}

TEST_F(PlanFrame, CyclePaneRunsTheSelectedCyclePlanAtTheSimulator)
{
    platform::ScaledClock clock{10};
    LinkFixture link{clock, 1, 0};
    auto& processor = *link.processor;
    processor.settings().SetStatusPoll(false);
    processor.SetOutputResolution(1920, 1080, 60);
    AddTestSource(processor, 100, 1920, 1080);
    CQelContext::SetSelSigSrc(1, 100);
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return processor.IsConnected(); }));
    SavedPlan("A");
    ListCycle("Tour", "A", 2);
    MakeFrame();
    ShowPage(1);
    link.SentBefore();
    CUiCyclePlanManWnd& pane = CyclePane();
    pane.Sheet().SelectRow(0);

    const std::string clear = "INPUT_FPGA CLEAR_OUTPUT_WIN\r\n";
    const auto start = std::chrono::steady_clock::now();
    AnswerAs<CRunCyclePlanDlg>([&](CRunCyclePlanDlg& run) {
        // The shipped pictures give the buttons their places.
        EXPECT_FALSE(RectEmpty(run.Rects().close));
        EXPECT_FALSE(RectEmpty(run.Rects().minimise));
        EXPECT_TRUE(tavrix::test::pumpUntil([&] {
            const auto texts = link.simulator.Texts();
            return std::count(texts.begin(), texts.end(), clear) >= 2;
        }));
        QTest::mouseClick(&run, Qt::LeftButton, {}, Centre(run.Rects().close));
        EXPECT_TRUE(tavrix::test::pumpUntil([&] { return !run.isVisible(); }));
    });
    pane.Button(CUiCyclePlanManWnd::kRunCycle)->click();
    const auto lines = link.simulator.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, clear);
    EXPECT_GE(lines[0].at - start, clock.RealDuration(std::chrono::seconds(1)));
    EXPECT_GE(lines[1].at - start, clock.RealDuration(std::chrono::seconds(3)));
}
