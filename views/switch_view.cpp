#include "views/switch_view.h"

#include <QPainter>

#include "context/context.h"
#include "core/language_tr.h"
#include "builder/pro16x16_builder.h"
#include "model/processor.h"
#include "plan/plan.h"
#include "plan/plan_manager.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/modal.h"
#include "uikit/ui_resource_cache.h"
#include "views/modal_plan_prompts.h"
#include "views/switch_grid.h"
#include "views/view_dialogs.h"

namespace {

constexpr int kHeaderHeight = 26;
constexpr int kRowHeight = 26;
constexpr ui::ColorRef kSheetBackground = ui::rgb(128, 128, 128);

} // namespace

CSwitchView::CSwitchView(QWidget* parent) : QWidget(parent), m_sheet(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_sheet.setObjectName(QStringLiteral("SwitchSheet"));
    m_sheet.SetStyle(kSheetStyle);
    m_sheet.SetHeaderHeight(kHeaderHeight);
    m_sheet.SetBkColor(kSheetBackground);
    m_sheet.SetHeaderBkColor(switchgrid::kNameCell);
    m_sheet.SetHeaderFont(GetUiFont12());
    m_sheet.SetItemFont(GetUiFont12());
    m_sheet.SetDefaultRowHeight(kRowHeight);
    m_sheet.UpdateLayout();
    m_sheet.UpdateVScroll();
    connect(&m_sheet, &CUiSheetCtrl::sheetNotify, this, &CSwitchView::OnSheetNotify);

    BuildSwitchGrid();
    m_connRename =
        CQelEvtSignals::ConnectSigSrcRename([this](const CSigSrcRenameEvent& event) { OnSigSrcRename(event); });
}

CSwitchView::~CSwitchView() = default;

void CSwitchView::SetSwitchPlan(const std::shared_ptr<CQelPlan>& plan)
{
    m_pSwitchPlan = plan;
    RefreshSwitchGrid();
}

void CSwitchView::SelectPlanInContext() const
{
    CQelContext::SetSelPlan(m_pSwitchPlan ? m_pSwitchPlan->GetId() : 0);
}

void CSwitchView::RecalcLayout()
{
    m_rcClient = Rect{0, 0, width(), height()};
    m_sheet.setGeometry(0, 0, width(), height());
    m_sheet.update();
}

void CSwitchView::BuildSwitchGrid()
{
    if (const auto processor = SelectedProcessor())
        ::BuildSwitchGrid(m_sheet, *processor);
}

void CSwitchView::RefreshSwitchGrid()
{
    if (const auto processor = SelectedProcessor()) {
        ::RefreshSwitchGrid(m_sheet, *processor, m_pSwitchPlan.get());
        m_sheet.update();
    }
}

int CSwitchView::FindRowBySource(int sourceId) const
{
    return ::FindRowBySource(m_sheet, sourceId);
}

bool CSwitchView::OnCommand(int id)
{
    switch (id) {
    case kCmdSave: OnSave(); return true;
    case kCmdSaveAs: OnSaveAs(); return true;
    case kCmdSend: OnSend(); return true;
    default: return false;
    }
}

void CSwitchView::OnSheetNotify(const SheetNotify& notify)
{
    if (notify.code == kSheetClick)
        OnSheetClick(notify.p0, notify.p1);
    else if (notify.code == kSheetRightClick)
        OnSheetRowMenu(m_sheet.mapToGlobal(QPoint(notify.p3, notify.p4)));
}

void CSwitchView::OnSheetClick(int row, int column)
{
    if (m_pSwitchPlan && ClickSwitchCell(m_sheet, *m_pSwitchPlan, row, column))
        m_sheet.update();
}

void CSwitchView::OnSheetRowMenu(QPoint global)
{
    if (!m_pSwitchPlan)
        return;
    ui::MenuSpec menu;
    menu.items = {ui::MenuSpec::item(kMenuSend, Tr("执行")), ui::MenuSpec::item(kMenuClear, Tr("清空")),
                  ui::MenuSpec::separatorItem(), ui::MenuSpec::item(kMenuSave, Tr("保存")),
                  ui::MenuSpec::item(kMenuSaveAs, Tr("另存为"))};
    switch (ui::popupMenu(this, menu, global)) {
    case kMenuSend: OnSend(); break;
    case kMenuClear:
        // The plan of a cleared matrix is modified like that of any other
        // edit, so closing its tab asks before the change is lost.
        if (m_pSwitchPlan) {
            ClearSwitchRoutes(*m_pSwitchPlan);
            RefreshSwitchGrid();
        }
        break;
    case kMenuSave: OnSave(); break;
    case kMenuSaveAs: OnSaveAs(); break;
    default: break;
    }
}

void CSwitchView::OnSend()
{
    if (!m_pSwitchPlan)
        return;
    const auto processor = SelectedProcessor();
    if (!processor)
        return;
    if (!processor->IsConnected()) {
        ui::inform(this, Tr(viewtext::kNotConnected));
        return;
    }
    if (!m_pSwitchPlan->Apply(0, nullptr))
        ui::inform(this, Tr("发送失败!请重试!"));
}

void CSwitchView::OnSave()
{
    if (m_pSwitchPlan)
        SavePlanTelling(*CQelContext::GetPlanMan(), m_pSwitchPlan, ModalPlanPrompts(this));
}

void CSwitchView::OnSaveAs()
{
    if (!m_pSwitchPlan)
        return;
    std::string name = m_pSwitchPlan->GetName();
    if (!viewDialogs().SavePlanAs(this, m_pSwitchPlan, name))
        return;
    std::shared_ptr<CQelPlan> saved;
    if (CQelContext::GetPlanMan()->FindPlanByName(name, saved))
        m_pSwitchPlan = saved;
    update();
}

void CSwitchView::OnSigSrcRename(const CSigSrcRenameEvent& event)
{
    const auto processor = SelectedProcessor();
    if (processor && static_cast<int32_t>(processor->GetId()) == event.processorId &&
        RenameSourceRow(m_sheet, *processor, event.sourceId))
        m_sheet.update();
}

void CSwitchView::DrawBackground(QPainter& p)
{
    ui::fillRect(p, Rect{0, 0, width(), height()}, switchgrid::kPlainCell);
}

void CSwitchView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    DrawBackground(p);
}

void CSwitchView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcLayout();
}
