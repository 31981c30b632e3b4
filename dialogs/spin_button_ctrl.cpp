#include "dialogs/spin_button_ctrl.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

CSpinButtonCtrl::CSpinButtonCtrl(QWidget* parent) : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFixedSize(16, 12);
        column->addWidget(button);
    }
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void CSpinButtonCtrl::SetRange(int32_t lo, int32_t hi)
{
    lo_ = std::min(lo, hi);
    hi_ = std::max(lo, hi);
}

void CSpinButtonCtrl::Step(int delta)
{
    if (!buddy_)
        return;
    bool ok = false;
    const qlonglong shown = buddy_->text().trimmed().toLongLong(&ok);
    // A text that is no number, or one out of range, steps from the nearer end.
    const int64_t from = ok ? std::clamp<int64_t>(shown, lo_, hi_) : lo_;
    const int64_t next = ok && shown >= lo_ && shown <= hi_ ? from + delta : from;
    buddy_->setText(QString::number(std::clamp<int64_t>(next, lo_, hi_)));
}
