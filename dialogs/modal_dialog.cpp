#include "dialogs/modal_dialog.h"

#include "dialogs/dialog_support.h"
#include "platform/ui/modal.h"

#include <QBoxLayout>
#include <QPushButton>

int CModalDialog::DoModal()
{
    OnInitDialog();
    return ui::runDialog(*this);
}

void CModalDialog::MakeOkCancel(QBoxLayout* row)
{
    ok_ = new QPushButton(Tr("确定"), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(Tr("取消"), this);
    if (row) {
        row->addStretch();
        row->addWidget(ok_);
        row->addWidget(cancel_);
    }
    connect(ok_, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { OnCancel(); });
}
