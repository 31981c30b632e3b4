#pragma once
// An up-down control bound to an edit: its arrows step the edit's number
// within a range and write it back as text. The edit stays an ordinary
// edit, so what the operator types reaches the dialog's change handler
// as typed and the dialog decides what a value out of range gets.
#include <QWidget>
#include <cstdint>

class QLineEdit;
class QToolButton;

class CSpinButtonCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButtonCtrl(QWidget* parent = nullptr);

    void SetBuddy(QLineEdit* buddy) { buddy_ = buddy; }
    QLineEdit* GetBuddy() const { return buddy_; }
    void SetRange(int32_t lo, int32_t hi);
    int32_t Lower() const { return lo_; }
    int32_t Upper() const { return hi_; }

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

private:
    void Step(int delta);

    QLineEdit* buddy_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int32_t lo_ = 0;
    int32_t hi_ = 100;
};
