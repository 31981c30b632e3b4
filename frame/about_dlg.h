#pragma once
#include <QDialog>

class QPushButton;

// The program's about box; its OK button closes it.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    QPushButton* OkButton() const { return ok_; }

private:
    QPushButton* ok_ = nullptr;
};
