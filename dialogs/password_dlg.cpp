#include "dialogs/password_dlg.h"

#include "core/config.h"
#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/password_check.h"
#include "platform/ui/modal.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit* HiddenEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

// The dialog's fields above the OK / Cancel row.
QFormLayout* FormWithButtons(CModalDialog& dialog, QHBoxLayout* row)
{
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    layout->addLayout(row);
    return form;
}
} // namespace

CPasswordDlg::CPasswordDlg(const QString& expected, QWidget* parent) : CModalDialog(parent), expected_(expected)
{
    auto* row = new QHBoxLayout;
    QFormLayout* form = FormWithButtons(*this, row);
    edit_ = HiddenEdit(this);
    form->addRow(Tr("密码:"), edit_);
    MakeOkCancel(row);
}

void CPasswordDlg::OnInitDialog()
{
    setWindowTitle(Tr("密码输入窗口"));
}

void CPasswordDlg::OnOK()
{
    if (TryPassword(edit_->text().toStdString(), expected_.toStdString())) {
        accept();
        return;
    }
    ui::inform(this, Tr(dlgtext::kWrongPassword));
}

CResetPasswordDlg::CResetPasswordDlg(QWidget* parent) : CModalDialog(parent)
{
    auto* row = new QHBoxLayout;
    QFormLayout* form = FormWithButtons(*this, row);
    password_ = HiddenEdit(this);
    repeat_ = HiddenEdit(this);
    form->addRow(QStringLiteral("新密码:"), password_);
    form->addRow(QStringLiteral("确认密码:"), repeat_);
    MakeOkCancel(row);
}

void CResetPasswordDlg::OnInitDialog()
{
    setWindowTitle(Tr("修改密码"));
}

void CResetPasswordDlg::OnOK()
{
    const std::string password = password_->text().toStdString();
    if (const auto problem = NewPasswordProblem(password, repeat_->text().toStdString())) {
        ui::inform(this, Tr(*problem));
        return;
    }
    SetConfigString(kPasswordKey, password);
    accept();
}

bool AskOperationPassword(QWidget* parent, const QString& expected)
{
    if (!IsPasswordAccepted()) {
        CPasswordDlg dialog(expected, parent);
        dialog.DoModal();
    }
    return IsPasswordAccepted();
}

bool AskOperationPassword(QWidget* parent)
{
    return AskOperationPassword(parent, QString::fromStdString(OperationPassword()));
}

void OnResetPassword(QWidget* parent)
{
    CResetPasswordDlg dialog(parent);
    dialog.DoModal();
}
