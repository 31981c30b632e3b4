#include "dialogs/led_wall_wizard.h"

#include "context/context.h"
#include "core/program_log.h"
#include "dialogs/dialog_support.h"
#include "dialogs/field_check.h"
#include "dialogs/set_video_wall_dlg.h"
#include "dialogs/spin_button_ctrl.h"
#include "model/processor.h"
#include "platform/ui/modal.h"
#include "uikit/ui_video_wall_wnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <set>

namespace {

constexpr QSize kGridMinimum(420, 300);
constexpr QSize kMonitorGridMinimum(560, 80);

QLineEdit* MakeEdit(QWidget* parent, const char* id)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(id));
    edit->setFixedWidth(80);
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const char* id, const QString& text = QString())
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(id));
    return label;
}

std::set<int32_t> OutputsOf(const CQelProcessor::WallMap& cells)
{
    std::set<int32_t> outputs;
    for (const auto& [cell, output] : cells)
        outputs.insert(output);
    return outputs;
}

int32_t SizeAt(const std::vector<int32_t>& sizes, int32_t index)
{
    return index >= 0 && size_t(index) < sizes.size() ? sizes[size_t(index)] : 0;
}

} // namespace

void CLedWallPage::Activate()
{
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    OnSetActive();
}

CSetLEDVideoWallPropertySheet& CLedWallPage::Sheet() const
{
    return *static_cast<CSetLEDVideoWallPropertySheet*>(wizard());
}

LedWallDraft& CLedWallPage::Draft() const
{
    return Sheet().Draft();
}

void CLedWallPage::PutText(QLineEdit* edit, const QString& text)
{
    const bool filling = filling_;
    filling_ = true;
    edit->setText(text);
    filling_ = filling;
}

// ---- Step 3: the wall and its screen outputs

CSetLEDVideoWallStep3PageEx::CSetLEDVideoWallStep3PageEx(QWidget* parent) : CLedWallPage(parent)
{
    auto* form = new QGridLayout;
    rows_ = MakeEdit(this, "1079");
    cols_ = MakeEdit(this, "1080");
    rowHeight_ = MakeEdit(this, "1063");
    colWidth_ = MakeEdit(this, "1062");
    rowsSpin_ = new CSpinButtonCtrl(this);
    rowsSpin_->setObjectName(QStringLiteral("1082"));
    colsSpin_ = new CSpinButtonCtrl(this);
    colsSpin_->setObjectName(QStringLiteral("1081"));
    wallHeight_ = MakeLabel(this, "1083");
    wallWidth_ = MakeLabel(this, "1084");
    info_ = MakeLabel(this, "1085");
    info_->setWordWrap(true);
    const struct {
        const char* caption;
        QWidget* field;
        QWidget* spin;
    } rows[] = {
        {"行", rows_, rowsSpin_},
        {"列", cols_, colsSpin_},
        {"行高(像素)", rowHeight_, nullptr},
        {"列宽(像素)", colWidth_, nullptr},
        {"墙高(像素)", wallHeight_, nullptr},
        {"墙宽(像素)", wallWidth_, nullptr},
    };
    int line = 0;
    for (const auto& row : rows) {
        form->addWidget(new QLabel(Tr(row.caption), this), line, 0);
        form->addWidget(row.field, line, 1);
        if (row.spin)
            form->addWidget(row.spin, line, 2);
        ++line;
    }
    form->addWidget(info_, line++, 0, 1, 3);
    form->setRowStretch(line, 1);

    grid_ = new CUiVideoWallWnd;
    grid_->setMinimumSize(kGridMinimum);
    auto* page = new QHBoxLayout(this);
    page->addLayout(form);
    page->addWidget(grid_, 1);

    connect(rowHeight_, &QLineEdit::textChanged, this, [this] { OnRowHeightChanged(); });
    connect(colWidth_, &QLineEdit::textChanged, this, [this] { OnColWidthChanged(); });
    connect(rows_, &QLineEdit::textChanged, this, [this] { OnRowsChanged(); });
    connect(cols_, &QLineEdit::textChanged, this, [this] { OnColsChanged(); });
    for (QLineEdit* count : {rows_, cols_})
        connect(count, &QLineEdit::editingFinished, this, [this, count] {
            // Leaving for Next or Finish is checked there, once.
            const QWidget* to = QApplication::focusWidget();
            for (const auto button :
                 {QWizard::NextButton, QWizard::FinishButton, QWizard::BackButton, QWizard::CancelButton})
                if (wizard() && to == wizard()->button(button))
                    return;
            CheckCount(count);
        });
    connect(grid_, &CUiVideoWallWnd::notify, this, &CSetLEDVideoWallStep3PageEx::OnGridNotify);
}

void CSetLEDVideoWallStep3PageEx::OnInitDialog()
{
    filling_ = true;
    const auto& processor = Sheet().Processor();
    const LedWallDraft& draft = Draft();
    PutText(rows_, QString::number(draft.rows));
    PutText(cols_, QString::number(draft.cols));
    ShowTotals();
    grid_->Init(this, kGridId, Rect{0, 0, kGridMinimum.width(), kGridMinimum.height()}, false);
    grid_->SetRowHeights(draft.rowHeights);
    grid_->SetColumnWidths(draft.colWidths);
    grid_->SetCells(draft.screens);
    grid_->SetWall(draft.rows, draft.cols);
    selRow_ = selCol_ = 0;
    ShowSelectedSizes();
    info_->setText(LedWallInfoText(draft.output, processor->GetSigOutCount(), processor->GetKind()));
    for (CSpinButtonCtrl* spin : {rowsSpin_, colsSpin_}) {
        spin->SetRange(1, kLedWallMaxCells);
        spin->SetBuddy(spin == rowsSpin_ ? rows_ : cols_);
    }
    filling_ = false;
}

void CSetLEDVideoWallStep3PageEx::OnSetActive()
{
    filling_ = true;
    Sheet().setWindowTitle(Tr("设置屏幕墙向导 - 屏幕墙输出"));
    const LedWallDraft& draft = Draft();
    // An output that feeds a monitor is not offered to the screens.
    std::set<int32_t> monitors(draft.monitors.begin(), draft.monitors.end());
    monitors.erase(-1);
    grid_->SetExcludedOutputs(monitors);
    RefreshGrid();
    filling_ = false;
}

void CSetLEDVideoWallStep3PageEx::RefreshGrid()
{
    const LedWallDraft& draft = Draft();
    grid_->SetRowHeights(draft.rowHeights);
    grid_->SetColumnWidths(draft.colWidths);
    grid_->SetCells(draft.screens);
    grid_->SetWall(draft.rows, draft.cols);
}

void CSetLEDVideoWallStep3PageEx::ShowSelectedSizes()
{
    PutText(colWidth_, QString::number(SizeAt(Draft().colWidths, selCol_)));
    PutText(rowHeight_, QString::number(SizeAt(Draft().rowHeights, selRow_)));
}

void CSetLEDVideoWallStep3PageEx::ShowTotals()
{
    wallHeight_->setText(QString::number(Draft().totalHeight));
    wallWidth_->setText(QString::number(Draft().totalWidth));
}

void CSetLEDVideoWallStep3PageEx::OnGridNotify(const ui::Notify& n)
{
    if (n.code == CUiVideoWallWnd::NotifySelected) {
        selRow_ = n.p0;
        selCol_ = n.p1;
        ShowSelectedSizes();
        // Typing a count redraws the grid, which selects its first cell:
        // the focus stays where the operator types.
        const QWidget* focus = window()->focusWidget();
        if (!filling_ && focus != rows_ && focus != cols_) {
            rowHeight_->setFocus();
            rowHeight_->selectAll();
        }
        return;
    }
    if (n.code != CUiVideoWallWnd::NotifyCellsChanged)
        return;
    LedWallDraft& draft = Draft();
    const CQelProcessor::WallMap cells = grid_->GetCells();
    if (OutputsOverlap(cells, draft.monitors)) {
        grid_->SetCells(draft.screens);
        ui::inform(this, Tr(walltext::kScreenOutputTaken));
        return;
    }
    draft.screens = cells;
}

void CSetLEDVideoWallStep3PageEx::OnRowHeightChanged()
{
    OnSizeChanged(rowHeight_, true);
}

void CSetLEDVideoWallStep3PageEx::OnColWidthChanged()
{
    OnSizeChanged(colWidth_, false);
}

void CSetLEDVideoWallStep3PageEx::OnSizeChanged(QLineEdit* edit, bool row)
{
    if (filling_)
        return;
    LedWallDraft& draft = Draft();
    const int32_t old = row ? SizeAt(draft.rowHeights, selRow_) : SizeAt(draft.colWidths, selCol_);
    const auto value = ParsePixelField(edit->text());
    std::optional<QString> problem;
    if (!value)
        problem = Tr(walltext::kNotAPositiveInteger);
    else
        problem = row ? SetDraftRowHeight(draft, selRow_, *value) : SetDraftColWidth(draft, selCol_, *value);
    if (problem) {
        ui::inform(this, *problem);
        PutText(edit, QString::number(old));
        return;
    }
    ShowTotals();
    row ? grid_->SetRowHeights(draft.rowHeights) : grid_->SetColumnWidths(draft.colWidths);
}

void CSetLEDVideoWallStep3PageEx::OnRowsChanged()
{
    OnCountChanged(rows_, true);
}

void CSetLEDVideoWallStep3PageEx::OnColsChanged()
{
    OnCountChanged(cols_, false);
}

void CSetLEDVideoWallStep3PageEx::OnCountChanged(QLineEdit* edit, bool rows)
{
    if (filling_)
        return;
    LedWallDraft& draft = Draft();
    // Named, not a temporary: GCC 12 at -O3 otherwise warns, wrongly, that
    // the parsed value dangles once the text is gone (-Wdangling-pointer).
    const QString text = edit->text();
    const auto value = ParseIntField(text, 1, kLedWallMaxCells);
    if (!value)
        return;
    rows ? SetDraftRows(draft, int32_t(*value)) : SetDraftCols(draft, int32_t(*value));
    ShowTotals();
    RefreshGrid();
}

bool CSetLEDVideoWallStep3PageEx::CheckCount(QLineEdit* edit)
{
    if (ParseIntField(edit->text(), 1, kLedWallMaxCells))
        return true;
    ui::inform(this, RangeMessage(1, kLedWallMaxCells));
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool CSetLEDVideoWallStep3PageEx::validatePage()
{
    return CheckCount(rows_) && CheckCount(cols_);
}

// ---- Step 4: the monitor outputs

CSetLEDVideoWallStep4Page::CSetLEDVideoWallStep4Page(QWidget* parent) : CLedWallPage(parent)
{
    label_ = MakeLabel(this, "1064.label");
    count_ = MakeEdit(this, "1064");
    grid_ = new CUiVideoWallWnd;
    grid_->setMinimumSize(kMonitorGridMinimum);
    auto* page = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(label_);
    row->addWidget(count_);
    row->addStretch();
    page->addLayout(row);
    page->addWidget(grid_, 1);
    connect(count_, &QLineEdit::textChanged, this, [this] { OnCountChanged(); });
    connect(grid_, &CUiVideoWallWnd::notify, this, &CSetLEDVideoWallStep4Page::OnGridNotify);
}

void CSetLEDVideoWallStep4Page::OnInitDialog()
{
    filling_ = true;
    label_->setText(Tr("监视输出个数"));
    const std::vector<int32_t>& monitors = Draft().monitors;
    PutText(count_, QString::number(monitors.size()));
    grid_->Init(this, kGridId, Rect{0, 0, kMonitorGridMinimum.width(), kMonitorGridMinimum.height()}, true);
    grid_->SetWall(1, int32_t(monitors.size()));
    grid_->SetCells(CellsOfMonitors(monitors));
    filling_ = false;
}

void CSetLEDVideoWallStep4Page::OnSetActive()
{
    // An output that drives a screen is not offered to the monitors.
    grid_->SetExcludedOutputs(OutputsOf(Draft().screens));
}

void CSetLEDVideoWallStep4Page::OnCountChanged()
{
    if (filling_)
        return;
    QString problem;
    const auto count = ParseMonitorCount(count_->text(), Sheet().Processor()->GetSigOutCount(), problem);
    if (!count) {
        ui::inform(this, problem);
        return;
    }
    grid_->SetWall(1, *count);
    Draft().monitors = MonitorsOfCells(grid_->GetCells(), *count);
}

void CSetLEDVideoWallStep4Page::OnGridNotify(const ui::Notify& n)
{
    if (n.code != CUiVideoWallWnd::NotifyCellsChanged)
        return;
    LedWallDraft& draft = Draft();
    const std::vector<int32_t> monitors = MonitorsOfCells(grid_->GetCells(), grid_->GetCols());
    if (OutputsOverlap(draft.screens, monitors)) {
        grid_->SetCells(CellsOfMonitors(draft.monitors));
        ui::inform(this, Tr(walltext::kMonitorOutputTaken));
        return;
    }
    draft.monitors = monitors;
}

// ---- The sheet

CSetLEDVideoWallPropertySheet::CSetLEDVideoWallPropertySheet(const QString& caption,
                                                             std::shared_ptr<CQelProcessor> processor, QWidget* parent)
    : QWizard(parent), caption_(caption), processor_(std::move(processor)), draft_(DraftOf(*processor_))
{
    setWindowTitle(caption_);
    setWizardStyle(QWizard::ClassicStyle);
    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        if (auto* p = qobject_cast<CLedWallPage*>(page(id)))
            p->Activate();
    });
}

void CSetLEDVideoWallPropertySheet::AddPage(CLedWallPage* page)
{
    addPage(page);
}

int CSetLEDVideoWallPropertySheet::DoModal()
{
    OnInitDialog();
    // The first page is filled before the wizard shows.
    restart();
    return ui::runDialog(*this);
}

void CSetLEDVideoWallPropertySheet::OnInitDialog()
{
    Resolution output = processor_->GetOutputResolution();
    if (output.rate == 0)
        output.rate = 60;
    StartDraft(draft_, output);
    setButtonText(QWizard::BackButton, Tr("上一步"));
    setButtonText(QWizard::NextButton, Tr("下一步"));
    setButtonText(QWizard::CancelButton, Tr("取消"));
    setButtonText(QWizard::FinishButton, Tr("完成"));
}

bool CSetLEDVideoWallPropertySheet::OnWizardFinish()
{
    if (const auto problem = FinishProblem(draft_)) {
        ui::inform(this, *problem);
        return false;
    }
    CommitDraft(draft_, *processor_);
    if (!processor_->SavePro())
        CQelContext::GetLog()->error("wall: the processor file could not be written");
    return true;
}

void CSetLEDVideoWallPropertySheet::done(int result)
{
    if (result == QDialog::Accepted && !OnWizardFinish())
        return;
    QWizard::done(result);
}

bool RunWallSetup(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor)
{
    if (!processor)
        return false;
    if (!IsLedWallKind(processor->GetKind())) {
        CSetVideoWallDlg dialog(parent);
        dialog.DoModal();
        return false;
    }
    CSetLEDVideoWallPropertySheet sheet(Tr("LED屏幕墙设置"), processor, parent);
    sheet.AddPage(new CSetLEDVideoWallStep3PageEx);
    sheet.AddPage(new CSetLEDVideoWallStep4Page);
    return sheet.DoModal() == QDialog::Accepted;
}
