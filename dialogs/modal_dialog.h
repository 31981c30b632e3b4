#pragma once
// What the program's dialogs share: DoModal fills the controls once
// (OnInitDialog) and runs the dialog through the modal seam; "确定" calls
// OnOK, which accepts once its checks pass, and "取消" calls OnCancel.
#include <QDialog>

class QBoxLayout;
class QPushButton;

class CModalDialog : public QDialog {
    Q_OBJECT
public:
    explicit CModalDialog(QWidget* parent = nullptr) : QDialog(parent) {}
    int DoModal();

    // Null in a dialog without them.
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    virtual void OnInitDialog() {}
    virtual void OnOK() { accept(); }
    virtual void OnCancel() { reject(); }
    // Makes the two buttons, OK the default one, at the right of `row`
    // when one is given (else the caller places them).
    void MakeOkCancel(QBoxLayout* row = nullptr);

    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
