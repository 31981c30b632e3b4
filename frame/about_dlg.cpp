#include "frame/about_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("关于 Tavrix"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Tavrix 1.0 版"), this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ok_ = new QPushButton(QStringLiteral("确定"), this);
    ok_->setDefault(true);
    buttons->addWidget(ok_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}
