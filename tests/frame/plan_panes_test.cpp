// The control bar's plan, cycle-plan, history, layer and monitor panes on
// the running window.
#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>
#include <QTreeWidget>

#include "context/context.h"
#include "core/event_signals.h"
#include "core/events.h"
#include "frame/main_ctrl_bar.h"
#include "frame/main_frame.h"
#include "frame/monitor_sub_wnd.h"
#include "frame/plan_his_wnd.h"
#include "frame/plan_man_wnd.h"
#include "frame/plan_sub_wnd.h"
#include "frame/plan_win_layer_wnd.h"
#include "frame/win_sub_wnd.h"
#include "model/processor_settings.h"
#include "plan/cycle_plan.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "plan/window.h"
#include "platform/ui/rect_convert.h"
#include "tests/builder/sender_test_support.h"
#include "tests/frame/plan_frame_fixture.h"
#include "tests/model/link_fixture.h"
#include "tests/support/ui/screenshot.h"
#include "uikit/ui_button.h"
#include "uikit/ui_layer_sheet_ctrl.h"
#include "uikit/ui_sheet_ctrl.h"
#include "uikit/ui_splitter.h"
#include "views/multi_screen_view.h"
#include "views/wall_view_core.h"

using namespace plantest;
using tavrix::test::pixelAt;

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

void DragRow(CUiSheetCtrl& sheet, int from, int to)
{
    const QPoint start = RowCentre(sheet, from);
    const QPoint end = RowCentre(sheet, to);
    Mouse(&sheet, QEvent::MouseButtonPress, start, Qt::LeftButton);
    Mouse(&sheet, QEvent::MouseMove, (start + end) / 2, Qt::LeftButton);
    Mouse(&sheet, QEvent::MouseMove, end, Qt::LeftButton);
    Mouse(&sheet, QEvent::MouseButtonRelease, end, Qt::NoButton);
}

// A point of the row's lock icon.
std::optional<QPoint> LockIconOf(CUiLayerSheetCtrl& sheet, int row)
{
    Rect r;
    if (!sheet.GetRowRect(row, r))
        return std::nullopt;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (sheet.HitTestLockIcon(x, y) == row)
                return QPoint(x, y);
    return std::nullopt;
}

// A text pixel of the greyed rows: grey, with the edges of the glyphs
// blended into the white.
bool IsGreyText(ui::ColorRef c)
{
    const int r = ui::redOf(c);
    return r >= 0x7C && r <= 0x98 && r == ui::greenOf(c) && r == ui::blueOf(c);
}

std::vector<QString> Numbers(int count)
{
    std::vector<QString> numbers;
    for (int i = 1; i <= count; ++i)
        numbers.push_back(QString::number(i));
    return numbers;
}

} // namespace

TEST_F(PlanFrame, PlanPaneListsOpensRenamesAndDeletesPlans)
{
    AddProcessor(3, 1);
    for (const char* name : {"A", "B", "C", "D", "E"})
        CQelContext::GetPlanMan()->RemovePlanFromList(SavedPlan(name, 1));
    MakeFrame();
    CUiPlanManWnd& pane = PlanPane();
    CUiSheetCtrl& sheet = pane.Sheet();
    EXPECT_EQ(Column(sheet, 0), Numbers(5));
    EXPECT_EQ(Column(sheet, 1), (std::vector<QString>{"A", "B", "C", "D", "E"}));

    // A click opens the plan, a second one only brings its tab forward.
    ShowPage(1);
    ASSERT_TRUE(sheet.AllRowsFit());
    EXPECT_EQ(sheet.Header().At(1)->width, pane.width() - 40);
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, RowCentre(sheet, 1));
    EXPECT_EQ(ActivePlan()->GetName(), "B");
    const int views = frame->ViewCounter();
    frame->ViewContainer()->Tabs().SelectTab(0);
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, RowCentre(sheet, 1));
    EXPECT_EQ(ActivePlan()->GetName(), "B");
    EXPECT_EQ(frame->ViewCounter(), views);

    // Open (103) takes the first selected row; new (102) runs the dialog.
    sheet.ClearSelection();
    sheet.SelectRow(3);
    pane.Button(CUiPlanManWnd::kOpenPlan)->click();
    EXPECT_EQ(ActivePlan()->GetName(), "D");
    modal().answerDialog(QDialog::Rejected);
    pane.Button(CUiPlanManWnd::kNewPlan)->click();
    EXPECT_EQ(modal().prompts().back().kind, tavrix::test::Prompt::Dialog);

    // Rename (104) of the selected row refills in the list's order.
    sheet.ClearSelection();
    sheet.SelectRow(2);
    AnswerName("Z");
    pane.Button(CUiPlanManWnd::kRenamePlan)->click();
    Deliver();
    EXPECT_EQ(Column(sheet, 0), Numbers(5));
    EXPECT_EQ(Column(sheet, 1), (std::vector<QString>{"A", "B", "Z", "D", "E"}));

    // Delete asks once for all selected rows; No keeps them.
    sheet.ClearSelection();
    sheet.SelectRow(1);
    QTest::mouseClick(&sheet, Qt::LeftButton, Qt::ControlModifier, RowCentre(sheet, 3));
    ASSERT_EQ(sheet.GetSelectedRows(), (std::vector<int>{1, 3}));
    const size_t asked = modal().prompts().size();
    modal().answerYesNo(false);
    pane.Button(CUiPlanManWnd::kDeletePlan)->click();
    Deliver();
    EXPECT_EQ(sheet.GetRowCount(), 5);
    modal().answerYesNo(true);
    pane.Button(CUiPlanManWnd::kDeletePlan)->click();
    Deliver();
    EXPECT_EQ(modal().prompts().size(), asked + 2);
    EXPECT_EQ(modal().prompts().back().text, "您确定要删除选中的方案吗？");
    EXPECT_EQ(Column(sheet, 0), Numbers(3));
    EXPECT_EQ(Column(sheet, 1), (std::vector<QString>{"A", "Z", "E"}));
    EXPECT_FALSE(fs::exists(PlanFile("B")));
    EXPECT_FALSE(fs::exists(PlanFile("D")));

    // Without a selection the buttons do nothing.
    sheet.ClearSelection();
    for (int id : {CUiPlanManWnd::kOpenPlan, CUiPlanManWnd::kRenamePlan, CUiPlanManWnd::kDeletePlan})
        pane.Button(id)->click();
    EXPECT_EQ(modal().prompts().size(), asked + 2);
}

TEST_F(PlanFrame, CyclePaneDeletesTheSelectedCyclePlansAfterAsking)
{
    AddProcessor(3, 1);
    SavedPlan("P");
    const auto cycles = CQelContext::GetCyclePlanMan();
    for (const char* name : {"Morning", "Night"}) {
        auto cycle = std::make_shared<CQelCyclePlan>(name);
        cycle->AddCell("P");
        ASSERT_TRUE(cycles->Add(cycle));
    }
    ASSERT_TRUE(cycles->SaveList());
    MakeFrame();
    CUiCyclePlanManWnd& pane = CyclePane();
    CUiSheetCtrl& sheet = pane.Sheet();
    EXPECT_EQ(Column(sheet, 1), (std::vector<QString>{"Morning", "Night"}));

    // Nothing selected: refilled, nothing asked.
    ASSERT_TRUE(cycles->Remove("Night"));
    pane.Button(CUiCyclePlanManWnd::kDeleteCycle)->click();
    EXPECT_TRUE(modal().prompts().empty());
    EXPECT_EQ(Column(sheet, 1), std::vector<QString>{"Morning"});

    sheet.SelectRow(0);
    modal().answerYesNo(false);
    pane.Button(CUiCyclePlanManWnd::kDeleteCycle)->click();
    EXPECT_EQ(sheet.GetRowCount(), 1);
    modal().answerYesNo(true);
    sheet.SelectRow(0);
    pane.Button(CUiCyclePlanManWnd::kDeleteCycle)->click();
    EXPECT_EQ(LastPrompt(), "您确定要删除选中的轮巡吗？");
    EXPECT_EQ(sheet.GetRowCount(), 0);
    EXPECT_FALSE(fs::exists(CQelCyclePlan::FilePath("Morning")));
    EXPECT_TRUE(cycles->GetPlans().empty());
}

TEST_F(PlanFrame, HistoryPaneFollowsRestoresAndGreysLaterEntries)
{
    AddProcessor(3, 1);
    MakeFrame();
    CUiPlanHisWnd& pane = HistoryPane();
    CUiSheetCtrl& sheet = pane.Sheet();
    frame->ActiveWallView()->m_bAutoExecute = false;
    const auto plan = ActivePlan();
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(pane.PlanId(), plan->GetId());
    const auto window = AddTestWindow(*plan, 100, Rect{0, 0, 960, 540});
    plan->AddHistory(3);
    window->rect = Rect{100, 0, 1060, 540};
    plan->AddHistory(8);
    window->rect = Rect{100, 0, 1160, 640};
    plan->AddHistory(9);
    window->status = 1;
    plan->AddHistory(12);
    Deliver();
    EXPECT_EQ(Column(sheet, 0), (std::vector<QString>{"新建方案", "新建窗口", "移动窗口", "改变窗口大小", "锁定窗口"}));

    // A double click on the third row restores its entry; rows 4 and 5 grey.
    ShowPage(2);
    QTest::mouseDClick(&sheet, Qt::LeftButton, {}, RowCentre(sheet, 2));
    Deliver();
    EXPECT_EQ(plan->GetWindowAt(0)->rect, (Rect{100, 0, 1060, 540}));
    std::vector<ui::ColorRef> colours;
    for (int row = 0; row < sheet.GetRowCount(); ++row)
        colours.push_back(sheet.Row(row)->textColour);
    const ui::ColorRef black = CUiPlanHisWnd::kEntryColour;
    const ui::ColorRef grey = CUiPlanHisWnd::kLaterEntryColour;
    EXPECT_EQ(colours, (std::vector<ui::ColorRef>{black, black, black, grey, grey}));
    EXPECT_EQ(grey, ui::rgb(0x84, 0x84, 0x84));

    // The greyed row shows grey text.
    const QImage shot = tavrix::test::screenshot(sheet);
    Rect greyRow;
    ASSERT_TRUE(sheet.GetRowRect(4, greyRow));
    int greyText = 0;
    for (int y = greyRow.top; y < greyRow.bottom; ++y)
        for (int x = greyRow.left; x < greyRow.left + 80; ++x)
            greyText += IsGreyText(pixelAt(shot, x, y));
    EXPECT_GT(greyText, 5);

    // Events of another plan, and of entries that are gone, change nothing.
    CQelEvtSignals::Fire(std::make_shared<CPlanHisAddedEvent>(plan->GetId() + 100, 1));
    CQelEvtSignals::Fire(std::make_shared<CPlanHisDeletedEvent>(plan->GetId() + 100, 1));
    CQelEvtSignals::Fire(std::make_shared<CPlanHisAddedEvent>(plan->GetId(), 999));
    EXPECT_EQ(sheet.GetRowCount(), 5);
    QTest::mouseDClick(&sheet, Qt::LeftButton, {}, QPoint(10, sheet.height() - 2)); // below the rows
    Deliver();

    // A new entry drops the greyed ones and appends its own row.
    window->rect = Rect{0, 0, 960, 540};
    plan->AddHistory(8);
    Deliver();
    EXPECT_EQ(Column(sheet, 0), (std::vector<QString>{"新建方案", "新建窗口", "移动窗口", "移动窗口"}));
    EXPECT_TRUE(sheet.IsRowVisible(3));
}

TEST_F(PlanFrame, LayerPaneSelectsLocksAndReordersWindows)
{
    AddProcessor(3, 1);
    MakeFrame();
    const auto plan = ActivePlan();
    ASSERT_NE(plan, nullptr);
    for (int i = 0; i < 3; ++i)
        AddTestWindow(*plan, 100, Rect{i * 500, 0, i * 500 + 400, 400});
    plan->AddHistory(3);
    Deliver();
    CUiPlanWinLayerWnd& pane = LayerPane();
    CUiLayerSheetCtrl& sheet = pane.Sheet();
    EXPECT_EQ(sheet.GetRowCount(), 3);
    ShowPage(2);
    auto* view = frame->ActiveWallView();
    ASSERT_NE(view, nullptr);
    view->m_bAutoExecute = false;

    // A click beside the icon selects the window, and the wall view follows.
    const auto second = plan->GetWindowAt(1);
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, RowCentre(sheet, 1) + QPoint(60, 0));
    Deliver();
    EXPECT_TRUE(second->active);
    EXPECT_EQ(view->m_pActiveWnd, second);
    EXPECT_EQ(sheet.GetSelectedRows(), std::vector<int>{1});
    EXPECT_EQ(second->status, 0);

    // The lock icon flips the lock, one history entry each time.
    const auto icon = LockIconOf(sheet, 1);
    ASSERT_TRUE(icon);
    const int entries = plan->GetHistoryCount();
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, *icon);
    Deliver();
    EXPECT_EQ(second->status, 1);
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, *icon);
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, *icon);
    Deliver();
    EXPECT_EQ(second->status, 1);
    EXPECT_EQ(plan->GetHistoryCount(), entries + 3);
    const std::vector<QString> history = Column(HistoryPane().Sheet(), 0);
    EXPECT_EQ(std::vector<QString>(history.end() - 3, history.end()),
              (std::vector<QString>{"锁定窗口", "锁定窗口", "锁定窗口"}));

    // Dragging the top row two places down moves that window two layers.
    const auto top = plan->GetWindowAt(0);
    DragRow(sheet, 0, 2);
    Deliver();
    EXPECT_EQ(plan->GetWindowAt(2), top);
    EXPECT_EQ(top->layer, 3);
    EXPECT_EQ(plan->GetHistoryCount(), entries + 4);
    EXPECT_EQ(Column(HistoryPane().Sheet(), 0).back(), "层顺序变化");
    EXPECT_EQ(sheet.GetRowCount(), 3);
    // Dropped where it started: nothing moves, nothing is recorded.
    DragRow(sheet, 1, 1);
    Deliver();
    EXPECT_EQ(plan->GetHistoryCount(), entries + 4);

    // Rows beyond the windows and events of other plans do nothing.
    CQelEvtSignals::Fire(std::make_shared<CPlanWindowEvent>(plan->GetId(), 9));
    CQelEvtSignals::Fire(std::make_shared<CPlanHisRecoveredEvent>(plan->GetId() + 100, 1));
    EXPECT_EQ(sheet.GetRowCount(), 3);

    // The lock is the window's status: it survives saving and loading.
    int lockedAt = 0;
    while (plan->GetWindowAt(lockedAt) != second)
        ++lockedAt;
    const auto plans = CQelContext::GetPlanMan();
    ASSERT_TRUE(plans->SavePlanFile(plan));
    plans->RemovePlanFromList(plan);
    std::shared_ptr<CQelPlan> loaded;
    ASSERT_TRUE(plans->LoadPlanFile(plan->GetName(), loaded));
    ASSERT_EQ(loaded->GetWindowCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(loaded->GetWindowAt(i)->status, i == lockedAt ? 1 : 0) << i;
}

TEST_F(PlanFrame, PanesSendThePlanOnlyWhenAutoExecuteIsOn)
{
    platform::SteadyClock clock;
    LinkFixture link{clock, 1, 0};
    auto& processor = *link.processor;
    processor.settings().SetStatusPoll(false);
    processor.SetOutputResolution(1920, 1080, 60);
    AddTestSource(processor, 100, 1920, 1080);
    auto wall = processor.GetWall();
    wall.rows = 2;
    wall.cols = 2;
    processor.SetWall(wall);
    CQelContext::SetSelSigSrc(1, 100);
    ASSERT_TRUE(tavrix::test::pumpUntil([&] { return processor.IsConnected(); }));
    MakeFrame();
    auto* view = frame->ActiveWallView();
    ASSERT_NE(view, nullptr);
    const auto plan = view->GetPlan();
    ASSERT_TRUE(CQelContext::GetPlanMan()->SavePlanFile(plan));
    Deliver();
    CUiSheetCtrl& plans = PlanPane().Sheet();
    ASSERT_EQ(plans.GetRowCount(), 1);
    ShowPage(1);

    view->m_bAutoExecute = false;
    QTest::mouseDClick(&plans, Qt::LeftButton, {}, RowCentre(plans, 0));
    EXPECT_TRUE(link.SentBefore().empty());
    view->m_bAutoExecute = true;
    QTest::mouseDClick(&plans, Qt::LeftButton, {}, RowCentre(plans, 0));
    EXPECT_EQ(link.SentBefore(), std::vector<std::string>{"INPUT_FPGA CLEAR_OUTPUT_WIN\r\n"});

    // A layer drag sends the reordered plan once.
    for (int i = 0; i < 2; ++i)
        AddTestWindow(*plan, 100, Rect{i * 500, 0, i * 500 + 400, 400});
    plan->AddHistory(3);
    Deliver();
    ShowPage(2);
    view->m_bAutoExecute = false;
    DragRow(LayerPane().Sheet(), 0, 1);
    Deliver();
    EXPECT_TRUE(link.SentBefore().empty());
    view->m_bAutoExecute = true;
    DragRow(LayerPane().Sheet(), 0, 1);
    Deliver();
    const std::vector<std::string> sent = link.SentBefore();
    view->ExecutePlan(WallViewCore::kExecLayout, 1); // what one send of the reordered plan is
    const std::vector<std::string> once = link.SentBefore();
    EXPECT_FALSE(once.empty());
    EXPECT_EQ(sent, once);
    frame.reset();
}

TEST_F(PlanFrame, MonitorAndWindowPagesAreBuiltWithoutTabsWhereHidden)
{
    SetAppType(2);
    MakeFrame();
    CUiMainCtrlBar& bar = *frame->CtrlBar();
    for (const auto& item : bar.Items()) {
        EXPECT_NE(item->page, static_cast<QWidget*>(bar.MonitorPage()));
        EXPECT_NE(item->page, static_cast<QWidget*>(bar.WinPage()));
    }
    ASSERT_NE(bar.WinPage()->HistoryPane(), nullptr);
    ASSERT_NE(bar.WinPage()->LayerPane(), nullptr);

    QTreeWidget* tree = bar.MonitorPage()->Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 4);
    const char* kinds[] = {"DVI矩阵", "VGA矩阵", "VIDEO矩阵", "RGB矩阵"};
    for (int i = 0; i < 4; ++i) {
        QTreeWidgetItem* top = tree->topLevelItem(i);
        EXPECT_EQ(top->text(0), QString::fromUtf8(kinds[i]));
        ASSERT_EQ(top->childCount(), 20);
        EXPECT_EQ(top->child(0)->text(0), QString::fromUtf8(kinds[i]) + "1");
        EXPECT_EQ(top->child(19)->text(0), QString::fromUtf8(kinds[i]) + "20");
    }
}

TEST_F(PlanFrame, PlanPageShowsTheTitleBandsAndTheSplitter)
{
    AddProcessor(3, 1);
    SavedPlan("One");
    MakeFrame();
    CUiMainCtrlBar& bar = *frame->CtrlBar();
    ShowPage(1);
    CUiPlanSubWnd& page = *bar.PlanPage();
    ASSERT_TRUE(page.isVisible());
    QCoreApplication::processEvents();

    const QImage shot = tavrix::test::screenshot(page);
    const QPoint pane = PlanPane().mapTo(&page, QPoint(0, 0));
    const int w = PlanPane().width();
    EXPECT_EQ(pixelAt(shot, pane.x() + 100, pane.y() + 2), ui::rgb(0xCE, 0xCB, 0xBA));
    EXPECT_EQ(pixelAt(shot, pane.x() + 4 + 30, pane.y() + 20), ui::rgb(0xCE, 0xCB, 0xBA));
    EXPECT_EQ(pixelAt(shot, pane.x() + 100, pane.y() + 23), ui::rgb(0x80, 0x80, 0x80));
    int dark = 0; // the title "方案", black on the band
    for (int y = pane.y() + 4; y < pane.y() + 20; ++y)
        for (int x = pane.x() + 4; x < pane.x() + 30; ++x)
            dark += ui::redOf(pixelAt(shot, x, y)) < 0x40;
    EXPECT_GT(dark, 10);
    const Rect button = ui::fromQRect(PlanPane().Button(CUiPlanManWnd::kDeletePlan)->geometry());
    EXPECT_EQ(button, (Rect{w - 26, 2, w - 6, 22}));

    const Rect bar4 = page.Splitter()->Bar();
    EXPECT_EQ(bar4.bottom - bar4.top, 4);
    const QPoint splitter = page.Splitter()->mapTo(&page, QPoint(0, 0));
    for (int dy = 0; dy < 4; ++dy)
        EXPECT_EQ(pixelAt(shot, splitter.x() + 50, splitter.y() + bar4.top + dy), ui::rgb(0x3D, 0x3D, 0x3D));
    EXPECT_EQ(pixelAt(shot, splitter.x() + 50, splitter.y() + bar4.bottom + 2), ui::rgb(0xCE, 0xCB, 0xBA));
}
