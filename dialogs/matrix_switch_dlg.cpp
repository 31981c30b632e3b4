#include "dialogs/matrix_switch_dlg.h"

#include <QComboBox>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "dialogs/dialog_support.h"
#include "dialogs/matrix_switch.h"
#include "model/processor.h"
#include "platform/ui/modal.h"
#include "uikit/ui_edit_sheet_ctrl.h"

namespace {
// Pixel layout of template 108.
constexpr int kDialogWidth = 380;
constexpr int kDialogHeight = 300;
constexpr QRect kInputLabel(10, 46, 34, 20);
constexpr QRect kInputList(44, 44, 80, 24);
constexpr QRect kOutputLabel(166, 46, 44, 20);
constexpr QRect kOutputList(210, 44, 80, 24);
constexpr QRect kAdd(298, 43, 70, 26);
constexpr QRect kGrid(10, 80, 360, 170); // frame 1255
constexpr QRect kSend(10, 262, 75, 26);
constexpr QRect kOk(210, 262, 75, 26);
constexpr QRect kCancel(295, 262, 75, 26);
constexpr QSize kArrowBox(24, 16);
constexpr int kNumberColumnWidth = 60;

} // namespace

CDlgMatrixSwitch::CDlgMatrixSwitch(QWidget* parent) : CModalDialog(parent)
{
    setFixedSize(kDialogWidth, kDialogHeight);
    inputLabel_ = new QLabel(QStringLiteral("输入:"), this);
    inputLabel_->setGeometry(kInputLabel);
    input_ = PlaceControl(new QComboBox(this), kInputList, 1257);
    outputLabel_ = new QLabel(QStringLiteral("输出："), this);
    outputLabel_->setGeometry(kOutputLabel);
    output_ = PlaceControl(new QComboBox(this), kOutputList, 1259);
    add_ = PlaceControl(new QPushButton(this), kAdd, 1256);
    m_list = PlaceControl(new CUiEditSheetCtrl(this), kGrid, 103);
    send_ = PlaceControl(new QPushButton(this), kSend, 1177);
    for (QPushButton* button : {add_, send_})
        button->setAutoDefault(false);
    MakeOkCancel();
    ok_->setGeometry(kOk);
    cancel_->setGeometry(kCancel);
    connect(add_, &QPushButton::clicked, this, [this] { OnAddSwitch(); });
    connect(send_, &QPushButton::clicked, this, [this] { OnSendSwitches(); });
    connect(m_list, &CUiSheetCtrl::sheetNotify, this, [this](const SheetNotify& notify) {
        if (notify.code == kSheetRightClick)
            OnListRClick(notify);
    });
}

void CDlgMatrixSwitch::OnInitDialog()
{
    for (QComboBox* list : {input_, output_}) {
        for (int n = 1; n <= matrixswitch::kChannelCount; ++n)
            list->addItem(QString::number(n));
        list->setCurrentIndex(0);
    }
    add_->setText(QStringLiteral("添加"));
    send_->setText(QStringLiteral("发送"));
    m_list->InsertColumn(0, Tr("序号"), 0, 0, kNumberColumnWidth);
    m_list->InsertColumn(1, Tr("通道切换"), 0, 0, kGrid.width() - kNumberColumnWidth - 4);
}

void CDlgMatrixSwitch::paintEvent(QPaintEvent* event)
{
    CModalDialog::paintEvent(event);
    OnPaint();
}

void CDlgMatrixSwitch::OnPaint()
{
    QPainter dc(this);
    // Solid black strokes, as the platform's plain text output draws them.
    QFont font = dc.font();
    font.setStyleStrategy(QFont::NoAntialias);
    dc.setFont(font);
    dc.setPen(Qt::black);
    dc.drawText(QRect(kArrowAt, kArrowBox), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("=>"));
}

void CDlgMatrixSwitch::OnAddSwitch()
{
    const int n = m_list->GetRowCount();
    const int row = m_list->AddRow(n, QString::number(n + 1));
    const int input = input_->currentText().toInt();
    const int output = output_->currentText().toInt();
    m_list->SetItemText(row, 1, SwitchLabel(input, output));
    m_tokens.push_back(SwitchToken(input, output));
    m_list->update();
}

void CDlgMatrixSwitch::OnSendSwitches()
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    if (!processor->IsConnected()) {
        ui::inform(this, Tr(matrixswitch::kNotConnected));
        return;
    }
    if (SendSwitchLines(*processor, m_tokens))
        ui::inform(this, Tr(matrixswitch::kSent));
}

void CDlgMatrixSwitch::OnListRClick(const SheetNotify& notify)
{
    if (m_list->GetRowCount() == 0)
        return;
    ui::MenuSpec menu;
    menu.items = {ui::MenuSpec::item(kMenuDelete, Tr("删除")), ui::MenuSpec::item(kMenuClear, Tr("清空"))};
    switch (ui::popupMenu(this, menu, QCursor::pos())) {
    case kMenuDelete: {
        // Right-clicking below the rows names no row to delete.
        const int row = notify.p0;
        if (row >= 0 && row < m_list->GetRowCount() && size_t(row) < m_tokens.size()) {
            m_list->DeleteRow(row);
            m_tokens.erase(m_tokens.begin() + row);
        }
        break;
    }
    case kMenuClear:
        m_list->DeleteAllRows();
        m_tokens.clear();
        break;
    default: return;
    }
    m_list->update();
}
