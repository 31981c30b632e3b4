#include "frame/plan_man_wnd.h"

#include "context/context.h"
#include "core/language_tr.h"
#include "dialogs/cycle_plan_actions.h"
#include "frame/main_frame.h"
#include "plan/cycle_plan.h"
#include "plan/plan_manager.h"
#include "platform/ui/modal.h"
#include "uikit/sheet_items.h"
#include "views/multi_screen_view.h"
#include "views/view_manager.h"

namespace {

constexpr std::uint32_t kListSheetStyle = 0x1B;
constexpr int kHeaderHeight = 20;
constexpr ui::ColorRef kHeaderColour = ui::rgb(0xEC, 0xE9, 0xD8);
// The sheet's default header text is yellow, which cannot be read on this
// beige.
constexpr ui::ColorRef kHeaderTextColour = ui::rgb(0x20, 0x20, 0x20);
constexpr int kRowHeight = 28;
constexpr int kPlanNameWidth = 100;
constexpr int kCycleNameWidth = 180;

constexpr char kDeletePlansQuestion[] = "您确定要删除选中的方案吗？";
constexpr char kDeleteCyclesQuestion[] = "您确定要删除选中的轮巡吗？";

} // namespace

CUiListPane::CUiListPane(const QString& title, int nameWidth, QWidget* parent)
    : CUiTitledPane(title, parent), m_sheet(this)
{
    panelook::SetUpSheet(m_sheet, kListSheetStyle, kHeaderHeight, kRowHeight);
    m_sheet.SetHeaderBkColor(kHeaderColour);
    m_sheet.SetHeaderTextColor(kHeaderTextColour);
    m_sheet.InsertColumn(0, Tr("序号"), kColumnFrozen, 0, kNumberWidth);
    m_sheet.InsertColumn(1, Tr("名称"), 0, 0, nameWidth);
    m_sheet.show();
    SetSheet(&m_sheet, 1, kNumberWidth);
    connect(&m_sheet, &CUiSheetCtrl::sheetNotify, this, [this](const SheetNotify& n) { OnSheetNotify(n); });
}

void CUiListPane::FillNames(const std::vector<std::string>& names)
{
    m_sheet.DeleteAllRows();
    for (size_t i = 0; i < names.size(); ++i) {
        const int row = m_sheet.AddRow(m_sheet.GetRowCount(), QString::number(i + 1));
        m_sheet.SetItemText(row, 1, QString::fromStdString(names[i]));
    }
    FitColumn();
}

std::string CUiListPane::NameAt(int row) const
{
    return m_sheet.GetItemText(row, 1).toStdString();
}

std::vector<std::string> CUiListPane::SelectedNames() const
{
    std::vector<std::string> names;
    for (int row : m_sheet.GetSelectedRows())
        names.push_back(NameAt(row));
    return names;
}

CUiPlanManWnd::CUiPlanManWnd(QWidget* parent) : CUiListPane(Tr("方案"), kPlanNameWidth, parent)
{
    AddButton(kNewPlan, "创建新方案", "new_plan_16x16.png");
    AddButton(kOpenPlan, "打开方案", "open_plan_16x16.png");
    AddButton(kRenamePlan, "重新命名", "plan_rename_16x16.png");
    AddButton(kDeletePlan, "删除方案", "delete_16x16.png");
    m_connection = CQelEvtSignals::ConnectPlanListChanged(
        [this](const CPlanListChangedEvent& event) { OnPlanListChanged(event); });
    FillRows();
}

CUiPlanManWnd::~CUiPlanManWnd()
{
    m_connection.disconnect();
}

void CUiPlanManWnd::OnPlanListChanged(const CPlanListChangedEvent&)
{
    FillRows();
}

void CUiPlanManWnd::FillRows()
{
    FillNames(CQelContext::GetPlanMan()->GetSavedNames());
}

void CUiPlanManWnd::OnSheetNotify(const SheetNotify& notify)
{
    CMainFrame* frame = PaneMainFrame(this);
    if (!frame)
        return;
    if (notify.code == kSheetClick && notify.p0 >= 0) {
        frame->CreatePlanViews(NameAt(notify.p0));
    } else if (notify.code == kSheetDoubleClick) {
        QWidget* active = frame->ActiveView();
        if (CViewManager::GetViewKind(active) == kViewWall) {
            auto* view = static_cast<CMultiScreenView*>(active);
            if (view->m_bAutoExecute)
                view->ExecutePlan(WallViewCore::kExecLayout, 1);
        }
    }
}

void CUiPlanManWnd::OnCommand(int id)
{
    CMainFrame* frame = PaneMainFrame(this);
    if (!frame)
        return;
    const std::vector<std::string> selected = SelectedNames();
    switch (id) {
    case kNewPlan: frame->NewPlan(); break;
    case kOpenPlan:
        if (!selected.empty())
            frame->CreatePlanViews(selected.front());
        break;
    case kRenamePlan:
        if (!selected.empty())
            frame->RenamePlan(selected.front());
        break;
    case kDeletePlan:
        if (selected.empty() || !ui::askYesNo(this, Tr(kDeletePlansQuestion)))
            break;
        for (const std::string& name : selected)
            frame->DeletePlan(name);
        break;
    default: break;
    }
}

CUiCyclePlanManWnd::CUiCyclePlanManWnd(QWidget* parent) : CUiListPane(Tr("轮巡"), kCycleNameWidth, parent)
{
    AddButton(kRunCycle, "运行", "run_16x16.png");
    AddButton(kNewCycle, "创建新轮巡方案", "new_cycle_16x16.png");
    AddButton(kEditCycle, "编辑轮巡方案", "edit_16x16.png");
    AddButton(kDeleteCycle, "删除方案", "delete_16x16.png");
    FillRows();
}

void CUiCyclePlanManWnd::FillRows()
{
    std::vector<std::string> names;
    for (const auto& plan : CQelContext::GetCyclePlanMan()->GetPlans())
        names.push_back(plan->GetName());
    FillNames(names);
}

void CUiCyclePlanManWnd::OnSheetNotify(const SheetNotify& notify)
{
    if (notify.code == kSheetDoubleClick && notify.p0 >= 0 && EditCyclePlanAt(this, notify.p0))
        FillRows();
}

void CUiCyclePlanManWnd::OnCommand(int id)
{
    // Rows stand in the cycle-plan manager's order.
    const std::vector<int> rows = m_sheet.GetSelectedRows();
    const int first = rows.empty() ? -1 : rows.front();
    switch (id) {
    case kNewCycle:
        if (NewCyclePlan(this))
            FillRows();
        return;
    case kEditCycle:
        if (first >= 0 && EditCyclePlanAt(this, first))
            FillRows();
        return;
    case kRunCycle:
        if (first >= 0)
            RunCyclePlanAt(this, first);
        return;
    case kDeleteCycle: break;
    default: return;
    }
    const std::vector<std::string> selected = SelectedNames();
    if (!selected.empty()) {
        if (!ui::askYesNo(this, Tr(kDeleteCyclesQuestion)))
            return;
        const auto cycles = CQelContext::GetCyclePlanMan();
        for (const std::string& name : selected)
            cycles->Remove(name);
    }
    FillRows();
}
