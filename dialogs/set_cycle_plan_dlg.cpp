#include "dialogs/set_cycle_plan_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "context/context.h"
#include "dialogs/cycle_plan_edit.h"
#include "dialogs/dialog_support.h"
#include "plan/cycle_plan.h"
#include "plan/plan_manager.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/modal.h"
#include "platform/ui/rect_convert.h"
#include "uikit/ui_edit_sheet_ctrl.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/ui_static.h"

namespace {
// Pixel layout of template 137 (371 x 235 dialog units).
constexpr int kDialogWidth = 557;
constexpr int kDialogHeight = 382;
constexpr QRect kNameLabelRect(12, 14, 50, 20);
constexpr QRect kNameEditRect(64, 12, 220, 22);
constexpr QRect kPlanHeadingRect(12, 46, 220, 22);
constexpr QRect kCycleHeadingRect(244, 46, 301, 22);
// The frames the two lists lie in, one pixel inside.
constexpr QRect kPlanFrame(12, 68, 220, 262);
constexpr QRect kCycleFrame(244, 68, 301, 262);
constexpr QRect kSaveRect(384, 344, 75, 26);
constexpr QRect kCancelRect(470, 344, 75, 26);

constexpr ui::ColorRef kHeadingBack = ui::rgb(80, 80, 80);
constexpr ui::ColorRef kHeadingText = ui::rgb(255, 255, 255);
constexpr ui::ColorRef kHeaderBack = ui::rgb(236, 233, 216);
constexpr ui::ColorRef kHeaderText = ui::rgb(0, 0, 0);
constexpr ui::ColorRef kFrameColour = ui::rgb(0, 0, 0);
constexpr int kHeaderHeight = 20;
constexpr int kRowHeight = 24;
constexpr int kNumberWidth = 40;
constexpr int kNameWidth = 140;
constexpr int kSecondsWidth = 80;
constexpr int kNameColumn = 1;
constexpr int kSecondsColumn = 2;

constexpr char kNewCaption[] = "创建新轮巡方案";
constexpr char kEditCaption[] = "编辑轮巡方案";
constexpr char kNewNamePrefix[] = "新建轮巡方案";

QRect Inside(const QRect& frame)
{
    return frame.adjusted(1, 1, -1, -1);
}

void SetUpSheet(CUiSheetCtrl& sheet, int id, const QRect& frame)
{
    sheet.setObjectName(QString::number(id));
    sheet.setGeometry(Inside(frame));
    sheet.SetStyle(kSheetHorzGrid | kSheetVertGrid);
    sheet.SetHeaderHeight(kHeaderHeight);
    sheet.SetHeaderBkColor(kHeaderBack);
    sheet.SetHeaderTextColor(kHeaderText);
    sheet.SetDefaultRowHeight(kRowHeight);
    sheet.SetHeaderFont(GetUiFont12());
    sheet.SetItemFont(GetUiFont12());
}

CUiStatic* Heading(const char* text, int id, const QRect& rect, QWidget* parent)
{
    auto* heading = new CUiStatic(QStringLiteral("  ") + Tr(text), parent);
    heading->setObjectName(QString::number(id));
    heading->setGeometry(rect);
    heading->SetBkColor(kHeadingBack);
    heading->SetTextColor(kHeadingText);
    return heading;
}
} // namespace

CSetCyclePlanDlg::CSetCyclePlanDlg(QWidget* parent, std::shared_ptr<CQelCyclePlan> cycle)
    : CModalDialog(parent), cycle_(std::move(cycle))
{
    setFixedSize(kDialogWidth, kDialogHeight);
    nameLabel_ = new QLabel(this);
    nameLabel_->setObjectName(QString::number(kNameLabel));
    nameLabel_->setGeometry(kNameLabelRect);
    nameEdit_ = new QLineEdit(this);
    nameEdit_->setObjectName(QString::number(kNameEdit));
    nameEdit_->setGeometry(kNameEditRect);
    planHeading_ = Heading("方案", kPlanHeading, kPlanHeadingRect, this);
    cycleHeading_ = Heading("轮巡", kCycleHeading, kCycleHeadingRect, this);

    planList_ = new CUiSheetCtrl(this);
    SetUpSheet(*planList_, kPlanList, kPlanFrame);
    cycleList_ = new CUiEditSheetCtrl(this);
    SetUpSheet(*cycleList_, kCycleList, kCycleFrame);
    cycleList_->EnableRowDrag(true);
    connect(planList_, &CUiSheetCtrl::sheetNotify, this, &CSetCyclePlanDlg::OnPlanListNotify);
    connect(cycleList_, &CUiSheetCtrl::sheetNotify, this, &CSetCyclePlanDlg::OnCycleListNotify);

    MakeOkCancel();
    ok_->setObjectName(QString::number(kSave));
    ok_->setGeometry(kSaveRect);
    cancel_->setGeometry(kCancelRect);
    // The mouse reaches the drag before any widget, wherever it goes.
    qApp->installEventFilter(this);
}

CSetCyclePlanDlg::~CSetCyclePlanDlg()
{
    qApp->removeEventFilter(this);
}

void CSetCyclePlanDlg::OnInitDialog()
{
    const auto cycles = CQelContext::GetCyclePlanMan();
    if (cycle_->GetName().empty()) {
        setWindowTitle(Tr(kNewCaption));
        nameEdit_->setText(QString::fromStdString(ProposeCycleName(*cycles, Tr(kNewNamePrefix).toStdString())));
    } else {
        setWindowTitle(Tr(kEditCaption));
        nameEdit_->setText(QString::fromStdString(cycle_->GetName()));
    }
    nameLabel_->setText(Tr("名称") + QStringLiteral(":"));
    ok_->setText(Tr("保存"));
    cancel_->setText(Tr("取消"));

    planList_->DeleteAllColumns(true);
    planList_->InsertColumn(0, Tr("序号"), kColumnFrozen, 0, kNumberWidth);
    planList_->InsertColumn(1, Tr("名称"), 0, 0, kNameWidth);
    cycleList_->DeleteAllColumns(true);
    cycleList_->InsertColumn(0, Tr("序号"), kColumnFrozen, 0, kNumberWidth);
    cycleList_->InsertColumn(1, Tr("名称"), kColumnFrozen, 0, kNameWidth);
    cycleList_->InsertColumn(2, Tr("时间(秒)"), kColumnEditable, 0, kSecondsWidth);

    int row = 0;
    for (const std::string& name : CQelContext::GetPlanMan()->GetSavedNames()) {
        planList_->AddRow(row, QString::number(row + 1));
        planList_->SetItemText(row, kNameColumn, QString::fromStdString(name));
        ++row;
    }
    row = 0;
    for (const auto& cell : cycle_->GetCells()) {
        cycleList_->AddRow(row, QString::number(row + 1));
        cycleList_->SetItemText(row, kNameColumn, QString::fromStdString(cell->planName));
        cycleList_->SetItemText(row, kSecondsColumn, QString::number(cell->seconds));
        ++row;
    }
}

void CSetCyclePlanDlg::AddPlanCell(const std::string& planName)
{
    // The cell first: a row without its cell would shift every later row
    // off its cell.
    if (!cycle_->AddCell(planName))
        return;
    const auto cells = cycle_->GetCells();
    const int row = cycleList_->GetRowCount();
    cycleList_->AddRow(row, QString::number(row + 1));
    cycleList_->SetItemText(row, kNameColumn, QString::fromStdString(planName));
    cycleList_->SetItemText(row, kSecondsColumn, QString::number(cells.back()->seconds));
}

void CSetCyclePlanDlg::OnPlanListNotify(const SheetNotify& notify)
{
    if (notify.code == kSheetDoubleClick && notify.p0 >= 0)
        AddPlanCell(planList_->GetItemText(notify.p0, kNameColumn).toStdString());
}

void CSetCyclePlanDlg::OnCycleListNotify(const SheetNotify& notify)
{
    switch (notify.code) {
    case kSheetRightClick: OnCycleContextMenu(notify); break;
    case kSheetEditCommitted: OnSecondsCommitted(notify.p0); break;
    case kSheetRowMoved: cycle_->MoveCell(notify.p0, notify.p2 - notify.p0); break;
    default: break;
    }
}

void CSetCyclePlanDlg::OnCycleContextMenu(const SheetNotify& notify)
{
    if (cycleList_->GetRowCount() < 1)
        return;
    ui::MenuSpec menu;
    menu.items = {ui::MenuSpec::item(kCmdDelete, Tr("删除")), ui::MenuSpec::item(kCmdClear, Tr("清空"))};
    const int row = notify.p0;
    switch (ui::popupMenu(this, menu, cycleList_->mapToGlobal(QPoint(notify.p3, notify.p4)))) {
    case kCmdDelete:
        // The rows below keep their numbers.
        if (cycleList_->DeleteRow(row))
            cycle_->RemoveCell(row);
        break;
    case kCmdClear:
        cycleList_->DeleteAllRows();
        while (cycle_->RemoveCell(0)) {
        }
        break;
    default: break;
    }
}

void CSetCyclePlanDlg::OnSecondsCommitted(int row)
{
    if (row < 0)
        return;
    const SecondsEntry entry = ParseSecondsEntry(cycleList_->GetItemText(row, kSecondsColumn).toStdString());
    const auto cells = cycle_->GetCells();
    const bool hasCell = row < int(cells.size());
    switch (entry.action) {
    case SecondsEntry::Store:
        if (hasCell)
            cycle_->SetCellSeconds(row, entry.value);
        break;
    case SecondsEntry::Keep: break;
    case SecondsEntry::Restore:
        cycleList_->SetItemText(row, kSecondsColumn, QString::number(hasCell ? cells[size_t(row)]->seconds : 0));
        break;
    }
}

void CSetCyclePlanDlg::OnBnClickedSave()
{
    const std::string name = nameEdit_->text().toStdString();
    const std::string current = cycle_->GetName();
    const auto cycles = CQelContext::GetCyclePlanMan();
    const auto tell = [this](const char* text) { ui::inform(this, Tr(text)); };
    switch (CheckCycleSave(*cycles, current, name)) {
    case CycleSaveStep::Empty: tell(cycletext::kNameEmpty); return;
    case CycleSaveStep::Taken: tell(cycletext::kNameTaken); return;
    case CycleSaveStep::Unsafe: tell(cycletext::kNameUnsafe); return;
    case CycleSaveStep::Add:
        // Written before it joins the list, so a failed write leaves none.
        cycle_->SetName(name);
        if (!cycle_->Save()) {
            cycle_->SetName(current);
            tell(cycletext::kNotSaved);
            return;
        }
        cycles->Add(cycle_);
        break;
    case CycleSaveStep::Rename:
        if (!cycles->Rename(current, name)) {
            tell(cycletext::kNotRenamed);
            return;
        }
        cycle_->SetName(name);
        if (!cycle_->Save()) {
            // Back to the old name, so the list and the file agree again.
            cycles->Rename(name, current);
            cycle_->SetName(current);
            tell(cycletext::kNotSaved);
            return;
        }
        break;
    case CycleSaveStep::Keep:
        if (!cycle_->Save()) {
            tell(cycletext::kNotSaved);
            return;
        }
        break;
    }
    accept();
}

bool CSetCyclePlanDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched->isWidgetType() && PreTranslateMessage(watched, event))
        return true;
    return CModalDialog::eventFilter(watched, event);
}

bool CSetCyclePlanDlg::PreTranslateMessage(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == planList_ && dragName_.empty()) {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton)
            return false;
        const QPoint p = planList_->mapFromGlobal(e->globalPosition().toPoint());
        if (!planList_->rect().contains(p))
            return false;
        const SheetHit hit = planList_->HitTest(Point{p.x(), p.y()});
        if (hit.kind != kHitRow || hit.row < 0)
            return false;
        planList_->ClearSelection();
        planList_->SelectRow(hit.row);
        dragName_ = planList_->GetItemText(hit.row, kNameColumn).toStdString();
        grabMouse();
        setCursor(Qt::DragCopyCursor);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && !dragName_.empty()) {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton)
            return false;
        const QPoint p = cycleList_->mapFromGlobal(e->globalPosition().toPoint());
        const bool over = cycleList_->rect().contains(p);
        const std::string name = dragName_;
        EndDrag();
        if (over)
            AddPlanCell(name);
        return over;
    }
    return false;
}

void CSetCyclePlanDlg::EndDrag()
{
    releaseMouse();
    dragName_.clear();
    setCursor(Qt::ArrowCursor);
}

void CSetCyclePlanDlg::paintEvent(QPaintEvent* event)
{
    CModalDialog::paintEvent(event);
    QPainter p(this);
    for (const QRect& frame : {kPlanFrame, kCycleFrame})
        ui::frameRect(p, ui::fromQRect(frame), kFrameColour);
}
