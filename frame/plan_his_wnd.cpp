#include "frame/plan_his_wnd.h"

#include "context/context.h"
#include "core/language_tr.h"
#include "plan/plan.h"
#include "plan/plan_his.h"
#include "plan/plan_manager.h"

namespace {
constexpr std::uint32_t kHistorySheetStyle = 0x11;
constexpr int kRowHeight = 28;
constexpr int kColumnWidth = 100;

QString EntryText(const CQelPlanHis& entry)
{
    return TranslateText(QString::fromStdString(entry.GetActionName()));
}
} // namespace

CUiPlanHisWnd::CUiPlanHisWnd(QWidget* parent)
    : CUiPlanPane(TranslateText(QStringLiteral("历史记录")), parent), m_sheet(this)
{
    panelook::SetUpSheet(m_sheet, kHistorySheetStyle, 0, kRowHeight);
    m_sheet.InsertColumn(0, QString(), 0, 0, kColumnWidth);
    m_sheet.show();
    SetSheet(&m_sheet, 0, 0);
    connect(&m_sheet, &CUiSheetCtrl::sheetNotify, this, [this](const SheetNotify& n) {
        if (n.code != kSheetDoubleClick || n.p0 < 0 || n.p0 >= m_sheet.GetRowCount())
            return;
        // The row keeps its entry's serial: rows and entries may differ in
        // number once old entries were dropped.
        if (const auto plan = Plan())
            plan->RecoverHistory(m_sheet.GetRowValue(n.p0), CurrentPlanSelection());
    });
    Load();
    m_connections = {
        CQelEvtSignals::ConnectPlanSelChanged([this](const CPlanSelChangedEvent& e) { OnPlanSelChanged(e); }),
        CQelEvtSignals::ConnectPlanHisAdded([this](const CPlanHisAddedEvent& e) { OnPlanHisAdded(e); }),
        CQelEvtSignals::ConnectPlanHisDeleted([this](const CPlanHisDeletedEvent& e) { OnPlanHisDeleted(e); }),
        CQelEvtSignals::ConnectPlanHisRecovered([this](const CPlanHisRecoveredEvent& e) { OnPlanHisRecovered(e); }),
    };
}

CUiPlanHisWnd::~CUiPlanHisWnd()
{
    for (auto& connection : m_connections)
        connection.disconnect();
}

int CUiPlanHisWnd::RowOfSerial(int32_t serial) const
{
    for (int row = 0; row < m_sheet.GetRowCount(); ++row)
        if (m_sheet.GetRowValue(row) == serial)
            return row;
    return -1;
}

void CUiPlanHisWnd::Load()
{
    m_sheet.DeleteAllRows();
    m_nPlanId = CQelContext::GetSelPlanId();
    if (const auto plan = Plan()) {
        for (int i = 0; i < plan->GetHistoryCount(); ++i)
            if (const auto entry = plan->GetHistoryAt(i))
                m_sheet.AddRow(m_sheet.GetRowCount(), EntryText(*entry), 0, 0, -1, ui::kNoColor, entry->GetSerial());
        ColourRows(*plan);
    }
    FitColumn();
}

void CUiPlanHisWnd::ColourRows(const CQelPlan& plan)
{
    const int32_t current = plan.GetUndoPosition();
    for (int row = 0; row < m_sheet.GetRowCount(); ++row)
        m_sheet.SetRowTextColor(row,
                                current != 0 && current < m_sheet.GetRowValue(row) ? kLaterEntryColour : kEntryColour);
}

void CUiPlanHisWnd::OnPlanSelChanged(const CPlanSelChangedEvent& event)
{
    if (event.planId != m_nPlanId)
        Load();
}

void CUiPlanHisWnd::OnPlanHisAdded(const CPlanHisAddedEvent& event)
{
    const auto plan = event.planId == m_nPlanId ? Plan() : nullptr;
    if (!plan || RowOfSerial(event.serial) >= 0)
        return;
    const auto entry = plan->GetHistoryBySerial(event.serial);
    if (!entry)
        return;
    const int row = m_sheet.AddRow(m_sheet.GetRowCount(), EntryText(*entry), 0, 0, -1, kEntryColour, event.serial);
    m_sheet.EnsureRowVisible(row);
    FitColumn();
}

void CUiPlanHisWnd::OnPlanHisDeleted(const CPlanHisDeletedEvent& event)
{
    if (event.planId != m_nPlanId || !Plan())
        return;
    for (int row = RowOfSerial(event.serial); row >= 0; row = RowOfSerial(event.serial))
        m_sheet.DeleteRow(row);
    FitColumn();
}

void CUiPlanHisWnd::OnPlanHisRecovered(const CPlanHisRecoveredEvent& event)
{
    // Only the shown plan's rows can be coloured by its position.
    if (event.planId != m_nPlanId)
        return;
    if (const auto plan = Plan())
        ColourRows(*plan);
}
