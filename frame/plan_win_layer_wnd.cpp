#include "frame/plan_win_layer_wnd.h"

#include "context/context.h"
#include "core/language_tr.h"
#include "frame/main_frame.h"
#include "plan/plan.h"
#include "plan/plan_his.h"
#include "plan/plan_manager.h"
#include "views/multi_screen_view.h"
#include "views/view_manager.h"

namespace {
constexpr std::uint32_t kLayerSheetStyle = 0x2011;
constexpr int kRowHeight = 40;
constexpr int kColumnWidth = 100;

// History kinds after which the plan's window list is another one.
bool ChangesWindowList(int32_t kind)
{
    switch (kind) {
    case kActNewPlan:
    case kActOpenPlan:
    case kActNewWindow:
    case kActDeleteWindow:
    case kActClearWindows:
    case kActLayerOrder:
    case kActSnap: return true;
    default: return false;
    }
}
} // namespace

CUiPlanWinLayerWnd::CUiPlanWinLayerWnd(QWidget* parent)
    : CUiPlanPane(TranslateText(QStringLiteral("窗口层")), parent), m_sheet(this)
{
    panelook::SetUpSheet(m_sheet, kLayerSheetStyle, 0, kRowHeight);
    m_sheet.InsertColumn(0, QString(), 0, 0, kColumnWidth);
    m_sheet.EnableRowDrag(true);
    m_sheet.show();
    SetSheet(&m_sheet, 0, 0);
    connect(&m_sheet, &CUiSheetCtrl::sheetNotify, this, [this](const SheetNotify& n) {
        if (n.code == kSheetClick && n.p0 >= 0)
            OnRowClicked(n.p0, n.p3, n.p4);
        else if (n.code == kSheetRowMoved)
            OnRowMoved(n.p0, n.p2);
    });
    Fill();
    m_connections = {
        CQelEvtSignals::ConnectPlanSelChanged([this](const CPlanSelChangedEvent& e) { OnPlanSelChanged(e); }),
        CQelEvtSignals::ConnectSigSrcJoinChanged([this](const CSigSrcJoinChangedEvent&) { OnSigSrcChanged(); }),
        CQelEvtSignals::ConnectSigSrcResolutionChanged(
            [this](const CSigSrcResolutionChangedEvent&) { OnSigSrcChanged(); }),
        CQelEvtSignals::ConnectPlanWindow([this](const CPlanWindowEvent& e) { OnPlanWindow(e); }),
        CQelEvtSignals::ConnectPlanHisAdded([this](const CPlanHisAddedEvent& e) { OnPlanHisAdded(e); }),
        CQelEvtSignals::ConnectPlanHisRecovered([this](const CPlanHisRecoveredEvent& e) { OnPlanHisRecovered(e); }),
    };
}

CUiPlanWinLayerWnd::~CUiPlanWinLayerWnd()
{
    for (auto& connection : m_connections)
        connection.disconnect();
}

void CUiPlanWinLayerWnd::RepaintRows()
{
    m_sheet.update();
}

void CUiPlanWinLayerWnd::Fill()
{
    m_sheet.DeleteAllRows();
    m_nPlanId = CQelContext::GetSelPlanId();
    const auto plan = Plan();
    m_sheet.SetPlan(plan);
    if (plan)
        for (int i = 0; i < plan->GetWindowCount(); ++i)
            m_sheet.AddRow(m_sheet.GetRowCount(), QString());
    FitColumn();
}

void CUiPlanWinLayerWnd::OnPlanSelChanged(const CPlanSelChangedEvent& event)
{
    if (event.planId != m_nPlanId)
        Fill();
}

void CUiPlanWinLayerWnd::OnSigSrcChanged()
{
    RepaintRows();
}

void CUiPlanWinLayerWnd::OnPlanWindow(const CPlanWindowEvent& event)
{
    const auto plan = event.planId == m_nPlanId ? Plan() : nullptr;
    if (!plan)
        return;
    if (event.code == CPlanWindowEvent::kSelected) {
        // The event names the window by its 1-based position.
        if (plan->GetWindowAt(event.windowId - 1) && event.windowId - 1 < m_sheet.GetRowCount())
            m_sheet.SelectRow(event.windowId - 1);
    } else if (event.code == CPlanWindowEvent::kChanged) {
        RepaintRows();
    }
}

void CUiPlanWinLayerWnd::OnPlanHisAdded(const CPlanHisAddedEvent& event)
{
    const auto plan = event.planId == m_nPlanId ? Plan() : nullptr;
    const auto entry = plan ? plan->GetHistoryBySerial(event.serial) : nullptr;
    if (!entry)
        return;
    if (ChangesWindowList(entry->GetKind()))
        Fill();
    else
        RepaintRows();
}

void CUiPlanWinLayerWnd::OnPlanHisRecovered(const CPlanHisRecoveredEvent& event)
{
    if (event.planId == m_nPlanId)
        Fill();
}

void CUiPlanWinLayerWnd::OnRowClicked(int row, int x, int y)
{
    const auto plan = Plan();
    const auto window = plan ? plan->GetWindowAt(row) : nullptr;
    if (!window)
        return;
    plan->SelectWindow(window);
    if (m_sheet.HitTestLockIcon(x, y) != row)
        return;
    window->status = window->status == 1 ? 0 : 1;
    plan->SetDirty(true);
    plan->AddHistory(kActLockWindow);
    RepaintRows();
}

void CUiPlanWinLayerWnd::OnRowMoved(int from, int to)
{
    const auto plan = Plan();
    const auto window = plan ? plan->GetWindowAt(from) : nullptr;
    if (!window)
        return;
    plan->MoveLayer(window->layer, to - from);
    CMainFrame* frame = PaneMainFrame(this);
    QWidget* active = frame ? frame->ActiveView() : nullptr;
    if (CViewManager::GetViewKind(active) == kViewWall) {
        auto* view = static_cast<CMultiScreenView*>(active);
        view->geometry().UpdateAllWindowGeometry();
        if (view->m_bAutoExecute)
            view->ExecutePlan(WallViewCore::kExecLayout, 1);
        view->viewport()->update();
    }
    if (plan->CompareHistory())
        plan->AddHistory(kActLayerOrder);
}
