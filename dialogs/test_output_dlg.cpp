#include "dialogs/test_output_dlg.h"

#include "core/text_helpers.h"
#include "dialogs/dialog_support.h"
#include "dialogs/field_check.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/sig_out.h"
#include "platform/ui/modal.h"
#include "uikit/ui_button.h"
#include "uikit/ui_sheet_ctrl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int kPatternColour = 1;
constexpr int kPatternPicture = 0;
constexpr std::array<int, 3> kEditIds{1068, 1069, 1070};
} // namespace

CTestOutputDlg::CTestOutputDlg(QWidget* parent) : CModalDialog(parent)
{
    auto* grid = new QGridLayout(this);
    sheet_ = new CUiSheetCtrl(this);
    sheet_->setObjectName(QStringLiteral("1074"));
    sheet_->setMinimumSize(180, 200);
    grid->addWidget(sheet_, 0, 0, 6, 1);

    prompt_ = new QLabel(this);
    grid->addWidget(prompt_, 0, 1, 1, 2);
    static const char* const kNames[] = {"R:", "G:", "B:"};
    for (size_t i = 0; i < edits_.size(); ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(kEditIds[i]));
        edit->setMaxLength(3);
        grid->addWidget(new QLabel(QString::fromLatin1(kNames[i]), this), int(i) + 1, 1);
        grid->addWidget(edit, int(i) + 1, 2);
        edits_[i] = edit;
        connect(edit, &QLineEdit::textEdited, this, [this] { ShowColour(); });
    }
    swatch_ = new CUiButton(this);
    swatch_->setObjectName(QStringLiteral("1071"));
    swatch_->setMinimumSize(60, 24);
    grid->addWidget(swatch_, 4, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    test_ = new QPushButton(this);
    test_->setObjectName(QStringLiteral("1072"));
    picture_ = new QPushButton(this);
    picture_->setObjectName(QStringLiteral("1073"));
    buttons->addWidget(test_);
    buttons->addWidget(picture_);
    grid->addLayout(buttons, 5, 1, 1, 2);

    connect(swatch_, &CUiButton::clicked, this, [this] { OnChooseColour(); });
    connect(test_, &QPushButton::clicked, this, [this] { OnTestOutput(); });
    connect(picture_, &QPushButton::clicked, this, [this] { OnPictureOutput(); });
}

void CTestOutputDlg::OnInitDialog()
{
    prompt_->setText(Tr("请输入颜色值"));
    test_->setText(Tr("测试输出"));
    picture_->setText(Tr("图像输出"));
    sheet_->DeleteAllColumns(true);
    sheet_->InsertColumn(0, Tr("输出端口"), 0, 0, 160);
    if (const auto processor = CurrentProcessor()) {
        for (const auto& output : processor->GetSigOuts())
            sheet_->SetRowValue(sheet_->AddRow(sheet_->GetRowCount(), StdToCString(output->GetName())),
                                int(output->GetId()));
    }
    sheet_->UpdateLayout();
    sheet_->UpdateVScroll();
    m_nRed = 255;
    m_nGreen = 0;
    m_nBlue = 0;
    edits_[0]->setText(QString::number(m_nRed));
    edits_[1]->setText(QString::number(m_nGreen));
    edits_[2]->setText(QString::number(m_nBlue));
    swatch_->SetFaceColor(ui::rgb(m_nRed, m_nGreen, m_nBlue));
}

void CTestOutputDlg::ShowColour()
{
    // While typing, a blank field waits for its number; anything else
    // that is no value from 0 to 255 is refused as typed, so the edits never
    // show other numbers than the swatch's colour.
    std::array<int, 3> values{};
    const std::array<int, 3> held{m_nRed, m_nGreen, m_nBlue};
    for (size_t i = 0; i < edits_.size(); ++i) {
        const QString text = edits_[i]->text();
        const auto value = ParseIntField(text, 0, 255);
        if (!value && !text.trimmed().isEmpty()) {
            edits_[i]->setText(QString::number(held[i]));
            ui::inform(this, RangeMessage(0, 255));
        }
        if (!value)
            return;
        values[i] = int(*value);
    }
    m_nRed = values[0];
    m_nGreen = values[1];
    m_nBlue = values[2];
    swatch_->SetFaceColor(ui::rgb(m_nRed, m_nGreen, m_nBlue));
}

bool CTestOutputDlg::ReadColour()
{
    std::array<int, 3> values{};
    for (size_t i = 0; i < edits_.size(); ++i) {
        const auto value = ParseIntField(edits_[i]->text(), 0, 255);
        if (!value) {
            ui::inform(this, RangeMessage(0, 255));
            edits_[i]->setFocus();
            edits_[i]->selectAll();
            return false;
        }
        values[i] = int(*value);
    }
    m_nRed = values[0];
    m_nGreen = values[1];
    m_nBlue = values[2];
    swatch_->SetFaceColor(ui::rgb(m_nRed, m_nGreen, m_nBlue));
    return true;
}

void CTestOutputDlg::OnChooseColour()
{
    const auto chosen = ui::chooseColour(this, ui::rgb(0, 0, 0));
    if (!chosen)
        return;
    m_nRed = ui::redOf(*chosen);
    m_nGreen = ui::greenOf(*chosen);
    m_nBlue = ui::blueOf(*chosen);
    edits_[0]->setText(QString::number(m_nRed));
    edits_[1]->setText(QString::number(m_nGreen));
    edits_[2]->setText(QString::number(m_nBlue));
    swatch_->SetFaceColor(*chosen);
}

void CTestOutputDlg::SendToSelected(int mode, uint32_t colour)
{
    const auto rows = sheet_->GetSelectedRows();
    if (rows.empty()) {
        ui::inform(this, Tr("请选择输出端口！"));
        return;
    }
    if (const auto processor = CurrentProcessor())
        processor->jobs().SetTestPatternRequest(uint32_t(sheet_->GetRowValue(rows.front())), mode, colour);
}

void CTestOutputDlg::OnTestOutput()
{
    if (ReadColour())
        SendToSelected(kPatternColour, TestPatternColour(m_nRed, m_nGreen, m_nBlue));
}

void CTestOutputDlg::OnPictureOutput()
{
    SendToSelected(kPatternPicture, 0);
}

void CTestOutputDlg::OnCancel()
{
    if (const auto processor = CurrentProcessor()) {
        for (const auto& output : processor->GetSigOuts())
            processor->jobs().SetTestPatternRequest(output->GetId(), kPatternPicture, 0);
    }
    QDialog::reject();
}

void CTestOutputDlg::reject()
{
    // Escape and the close box come here.
    OnCancel();
}

void RunTestOutput(QWidget* parent)
{
    CTestOutputDlg dialog(parent);
    dialog.DoModal();
}
