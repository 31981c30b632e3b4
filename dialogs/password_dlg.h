#pragma once
// The operation password's dialogs: asking for it and setting a new one.
#include <QDialog>

class QLineEdit;
class QPushButton;

// Asks for the password and compares it with the expected one; every OK
// attempt clears the accepted flag, a match sets it and closes with OK.
class CPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(const QString& expected, QWidget* parent = nullptr);
    int DoModal();

    QLineEdit* PasswordEdit() const { return edit_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    void OnInitDialog();
    void OnOK();

private:
    QString expected_;
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Sets a new password, entered twice, into the configuration.
class CResetPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CResetPasswordDlg(QWidget* parent = nullptr);
    int DoModal();

    QLineEdit* PasswordEdit() const { return password_; }
    QLineEdit* RepeatEdit() const { return repeat_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    void OnInitDialog();
    void OnOK();

private:
    QLineEdit* password_ = nullptr;
    QLineEdit* repeat_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// What the guarded operations ask: shows CPasswordDlg with `expected` only
// while the accepted flag is not set; true when it is set afterwards.
bool AskOperationPassword(QWidget* parent, const QString& expected);
// The same with the configured password.
bool AskOperationPassword(QWidget* parent);

// The main frame's "reset password" command.
void OnResetPassword(QWidget* parent);
