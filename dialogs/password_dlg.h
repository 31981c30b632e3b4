#pragma once
// The operation password's dialogs: asking for it and setting a new one.
#include "dialogs/modal_dialog.h"

class QLineEdit;

// Asks for the password and compares it with the expected one; every OK
// attempt clears the accepted flag, a match sets it and closes with OK.
class CPasswordDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(const QString& expected, QWidget* parent = nullptr);
    QLineEdit* PasswordEdit() const { return edit_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    QString expected_;
    QLineEdit* edit_ = nullptr;
};

// Sets a new password, entered twice, into the configuration.
class CResetPasswordDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CResetPasswordDlg(QWidget* parent = nullptr);
    QLineEdit* PasswordEdit() const { return password_; }
    QLineEdit* RepeatEdit() const { return repeat_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    QLineEdit* password_ = nullptr;
    QLineEdit* repeat_ = nullptr;
};

// What the guarded operations ask: shows CPasswordDlg with `expected` only
// while the accepted flag is not set; true when it is set afterwards.
bool AskOperationPassword(QWidget* parent, const QString& expected);
// The same with the configured password.
bool AskOperationPassword(QWidget* parent);

// The main frame's "reset password" command.
void OnResetPassword(QWidget* parent);
