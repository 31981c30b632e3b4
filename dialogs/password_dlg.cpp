#include "dialogs/password_dlg.h"

#include "app/config.h"
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
} // namespace

CPasswordDlg::CPasswordDlg(const QString& expected, QWidget* parent) : QDialog(parent), expected_(expected)
{
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    edit_ = HiddenEdit(this);
    edit_->setObjectName(QStringLiteral("password"));
    form->addRow(Tr("密码:"), edit_);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    AddOkCancel(*this, *row, ok_, cancel_);
    layout->addLayout(row);
    connect(ok_, &QPushButton::clicked, this, [this] { OnOK(); });
}

int CPasswordDlg::DoModal()
{
    OnInitDialog();
    return ui::runDialog(*this);
}

void CPasswordDlg::OnInitDialog()
{
    setWindowTitle(Tr("密码输入窗口"));
    ok_->setText(Tr("确定"));
    cancel_->setText(Tr("取消"));
}

void CPasswordDlg::OnOK()
{
    if (TryPassword(edit_->text().toStdString(), expected_.toStdString())) {
        accept();
        return;
    }
    ui::inform(this, Tr(dlgtext::kWrongPassword));
}

CResetPasswordDlg::CResetPasswordDlg(QWidget* parent) : QDialog(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    password_ = HiddenEdit(this);
    password_->setObjectName(QStringLiteral("password"));
    repeat_ = HiddenEdit(this);
    repeat_->setObjectName(QStringLiteral("repeat"));
    form->addRow(QStringLiteral("新密码:"), password_);
    form->addRow(QStringLiteral("确认密码:"), repeat_);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    AddOkCancel(*this, *row, ok_, cancel_);
    layout->addLayout(row);
    connect(ok_, &QPushButton::clicked, this, [this] { OnOK(); });
}

int CResetPasswordDlg::DoModal()
{
    OnInitDialog();
    return ui::runDialog(*this);
}

void CResetPasswordDlg::OnInitDialog() { setWindowTitle(Tr("修改密码")); }

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
