#include "tests/frame/plan_frame_fixture.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "context/context.h"
#include "core/event_pump.h"
#include "corlane/app_path.h"
#include "dialogs/name_dlg.h"
#include "dialogs/new_win_plan_dlg.h"
#include "frame/main_ctrl_bar.h"
#include "frame/main_frame.h"
#include "frame/plan_grid.h"
#include "frame/plan_his_wnd.h"
#include "frame/plan_man_wnd.h"
#include "frame/plan_sub_wnd.h"
#include "frame/plan_win_layer_wnd.h"
#include "frame/win_sub_wnd.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "plan/cycle_plan.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "tests/builder/sender_test_support.h"
#include "tests/frame/test_processor.h"
#include "views/view_tab_container.h"

namespace plantest {

std::vector<QString> Column(CUiSheetCtrl& sheet, int column)
{
    std::vector<QString> texts;
    for (int row = 0; row < sheet.GetRowCount(); ++row)
        texts.push_back(sheet.GetItemText(row, column));
    return texts;
}

QPoint RowCentre(CUiSheetCtrl& sheet, int row)
{
    Rect r;
    EXPECT_TRUE(sheet.GetRowRect(row, r));
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void ShowBarPage(CMainFrame& frame, int tab)
{
    CUiMainCtrlBar& bar = *frame.CtrlBar();
    const Rect r = bar.Items()[size_t(tab)]->rect;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    QCoreApplication::processEvents();
}

void PlanFrame::SetUp()
{
    FrameWindowTest::SetUp();
    fs::create_directories(qz::vok::path::GetMainPath() + "/Plan");
}

std::shared_ptr<CQelProcessor> PlanFrame::AddProcessor(int kind, int sources)
{
    auto p = MakeTestProcessor(false);
    p->SetKind(kind);
    p->SetOutputResolution(1920, 1080, 60);
    for (int i = 0; i < sources; ++i)
        AddTestSource(*p, uint32_t(100 + i), 1920, 1080);
    CQelContext::GetProMan()->AddProcessor(p);
    CQelContext::SetSelSigSrc(1, sources > 0 ? 100 : -1);
    return p;
}

CMainFrame& PlanFrame::MakeFrame()
{
    FrameWindowTest::MakeFrame();
    Deliver();
    return *frame;
}

void PlanFrame::Deliver()
{
    QCoreApplication::processEvents();
    while (PumpEvents() > 0) {
    }
}

std::shared_ptr<CQelPlan> PlanFrame::SavedPlan(const std::string& name, int windows)
{
    const auto plans = CQelContext::GetPlanMan();
    std::shared_ptr<CQelPlan> plan;
    EXPECT_TRUE(plans->OpenPlan(name, plan));
    if (const auto processor = CMainFrame::CurrentProcessor())
        FillPlanGridFromProcessor(*plan, *processor);
    for (int i = 0; i < windows; ++i)
        AddTestWindow(*plan, 100, Rect{i * 200, 0, i * 200 + 200, 200});
    EXPECT_TRUE(plans->SavePlanFile(plan));
    return plan;
}

std::string PlanFrame::PlanFile(const std::string& name)
{
    return qz::vok::path::GetMainPath() + "/Plan/" + name + ".plan";
}

void PlanFrame::AnswerName(std::optional<QString> name, QString* caption)
{
    modal().answerDialog([name, caption](QDialog& dialog) {
        auto* names = dynamic_cast<CNameDlg*>(&dialog);
        EXPECT_NE(names, nullptr);
        if (!names || !name)
            return int(QDialog::Rejected);
        dialog.show();
        QCoreApplication::processEvents();
        if (caption)
            *caption = dialog.windowTitle();
        names->NameEdit()->setText(*name);
        names->OkButton()->click();
        return dialog.result();
    });
}

void PlanFrame::AnswerNewPlan(const QString& name, const QString& layout, QString* proposed)
{
    modal().answerDialog([=](QDialog& dialog) {
        auto* plan = dynamic_cast<CNewWinPlanDlg*>(&dialog);
        EXPECT_NE(plan, nullptr);
        if (!plan)
            return int(QDialog::Rejected);
        dialog.show();
        QCoreApplication::processEvents();
        if (proposed)
            *proposed = plan->NameEdit()->text();
        plan->LayoutCombo()->setCurrentIndex(plan->LayoutCombo()->findText(layout));
        EXPECT_GE(plan->LayoutCombo()->currentIndex(), 0) << layout.toStdString();
        plan->NameEdit()->setText(name);
        plan->OkButton()->click();
        return dialog.result();
    });
}

QString PlanFrame::LastPrompt() const
{
    const auto& prompts = tavrix::test::scriptedModal().prompts();
    return prompts.empty() ? QString() : prompts.back().text;
}

void PlanFrame::ShowPage(int tab)
{
    ShowBarPage(*frame, tab);
}

CUiPlanManWnd& PlanFrame::PlanPane()
{
    return *frame->CtrlBar()->PlanPage()->PlanPane();
}

CUiCyclePlanManWnd& PlanFrame::CyclePane()
{
    return *frame->CtrlBar()->PlanPage()->CyclePane();
}

CUiPlanHisWnd& PlanFrame::HistoryPane()
{
    return *frame->CtrlBar()->WinPage()->HistoryPane();
}

CUiPlanWinLayerWnd& PlanFrame::LayerPane()
{
    return *frame->CtrlBar()->WinPage()->LayerPane();
}

std::vector<QString> PlanFrame::TabTexts() const
{
    std::vector<QString> texts;
    CUiTabWnd& tabs = frame->ViewContainer()->Tabs();
    for (int i = 0; i < tabs.TabCount(); ++i)
        texts.push_back(tabs.GetTab(i)->text);
    return texts;
}

std::shared_ptr<CQelPlan> PlanFrame::ActivePlan() const
{
    return CViewTabContainer::PlanOfView(frame->ActiveView());
}

} // namespace plantest
