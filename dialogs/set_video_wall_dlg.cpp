#include "dialogs/set_video_wall_dlg.h"

#include "dialogs/dialog_support.h"
#include "dialogs/field_check.h"
#include "dialogs/spin_button_ctrl.h"
#include "dialogs/wall_setup_core.h"
#include "model/processor.h"
#include "platform/ui/modal.h"
#include "uikit/ui_video_wall_wnd.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// Pixel layout of template 146 (409 x 246 dialog units).
constexpr int kDialogWidth = 614;
constexpr int kDialogHeight = 400;
constexpr Rect kGridArea{200, 15, 600, 345}; // the frame static 1054
constexpr int kLabelX = 15;
constexpr int kEditX = 95;
constexpr int kEditWidth = 70;
constexpr int kRowHeight = 24;
constexpr int kRowPitch = 40;

struct FieldSpec {
    const char* label;
    const char* id;
};
constexpr FieldSpec kMarginFields[] = {
    {"左边距:", "1002"}, {"上边距:", "1004"}, {"右边距:", "1003"}, {"下边距:", "1005"}};
} // namespace

CSetVideoWallDlg::CSetVideoWallDlg(QWidget* parent) : CModalDialog(parent)
{
    setWindowTitle(Tr("设置屏幕墙"));
    setFixedSize(kDialogWidth, kDialogHeight);
    int y = 20;
    const auto field = [&](const char* label, const char* id) {
        auto* caption = new QLabel(Tr(label), this);
        caption->setGeometry(kLabelX, y, kEditX - kLabelX - 5, kRowHeight);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(id));
        edit->setGeometry(kEditX, y, kEditWidth, kRowHeight);
        y += kRowPitch;
        return edit;
    };
    const auto spin = [&](QLineEdit* buddy, const char* id) {
        auto* s = new CSpinButtonCtrl(this);
        s->setObjectName(QString::fromLatin1(id));
        s->move(buddy->geometry().right() + 2, buddy->y());
        s->SetBuddy(buddy);
        s->SetRange(1, kVideoWallMaxCells);
        return s;
    };
    rows_ = field("行数:", "1050");
    rowsSpin_ = spin(rows_, "1051");
    cols_ = field("列数:", "1052");
    colsSpin_ = spin(cols_, "1053");
    y += kRowPitch / 2;
    for (int m = 0; m < kMarginCount; ++m)
        margins_[size_t(m)] = field(kMarginFields[m].label, kMarginFields[m].id);

    grid_ = new CUiVideoWallWnd;
    MakeOkCancel();
    ok_->setGeometry(kDialogWidth - 190, kDialogHeight - 40, 80, 26);
    cancel_->setGeometry(kDialogWidth - 100, kDialogHeight - 40, 80, 26);
    for (QLineEdit* edit : {rows_, cols_})
        connect(edit, &QLineEdit::textChanged, this, [this] { OnWallSizeChanged(); });
}

void CSetVideoWallDlg::OnInitDialog()
{
    filling_ = true;
    m_nRows = m_nCols = 1;
    m_margin = Rect{};
    const auto processor = CurrentProcessor();
    const bool led = processor && IsLedWallKind(processor->GetKind());
    if (processor) {
        const CQelProcessor::Wall wall = processor->GetWall();
        m_nRows = wall.rows;
        m_nCols = wall.cols;
        if (led)
            m_margin = wall.margin;
    }
    rows_->setText(QString::number(m_nRows));
    cols_->setText(QString::number(m_nCols));
    const int32_t margins[] = {m_margin.left, m_margin.top, m_margin.right, m_margin.bottom};
    for (int m = 0; m < kMarginCount; ++m) {
        margins_[size_t(m)]->setText(QString::number(margins[m]));
        margins_[size_t(m)]->setEnabled(led);
    }
    grid_->Init(this, 1, kGridArea, false);
    if (processor) {
        // The committed grid carries the sizes too: keep the processor's.
        const CQelProcessor::Wall wall = processor->GetWall();
        grid_->SetRowHeights(wall.rowHeights);
        grid_->SetColumnWidths(wall.colWidths);
    }
    grid_->SetWall(m_nRows, m_nCols);
    filling_ = false;
}

bool CSetVideoWallDlg::UpdateData()
{
    const auto read = [this](QLineEdit* edit, int64_t lo, int64_t hi, int32_t& into) {
        const auto value = ParseIntField(edit->text(), lo, hi);
        if (!value) {
            ui::inform(this, RangeMessage(lo, hi));
            edit->setFocus();
            return false;
        }
        into = int32_t(*value);
        return true;
    };
    int32_t rows = 0;
    int32_t cols = 0;
    Rect margin;
    int32_t* sides[] = {&margin.left, &margin.top, &margin.right, &margin.bottom};
    if (!read(rows_, 1, kVideoWallMaxCells, rows) || !read(cols_, 1, kVideoWallMaxCells, cols))
        return false;
    for (int m = 0; m < kMarginCount; ++m)
        if (!read(margins_[size_t(m)], 0, kMaxWallMargin, *sides[m]))
            return false;
    m_nRows = rows;
    m_nCols = cols;
    m_margin = margin;
    return true;
}

void CSetVideoWallDlg::OnWallSizeChanged()
{
    if (filling_ || !UpdateData())
        return;
    grid_->SetWall(m_nRows, m_nCols);
}

void CSetVideoWallDlg::OnOK()
{
    if (!UpdateData())
        return;
    if (const auto processor = CurrentProcessor()) {
        if (const auto problem = MarginProblem(m_margin)) {
            ui::inform(this, *problem);
            return;
        }
        // The other kinds cannot show or edit their margins here: what
        // their file holds stays.
        if (IsLedWallKind(processor->GetKind())) {
            CQelProcessor::Wall wall = processor->GetWall();
            wall.margin = m_margin;
            processor->SetWall(wall);
        }
    }
    grid_->SetWall(m_nRows, m_nCols);
    grid_->CommitToProcessor();
    accept();
}
