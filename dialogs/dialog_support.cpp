#include "dialogs/dialog_support.h"

#include "app/context.h"
#include "app/language_tr.h"
#include "model/processor_manager.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

QString Tr(const char* text) { return TranslateText(QString::fromUtf8(text)); }

std::shared_ptr<CQelProcessor> CurrentProcessor()
{
    const int id = CQelContext::GetSelProcessorId();
    if (id < 0)
        return nullptr;
    return CQelContext::GetProMan()->FindById(uint32_t(id));
}

void AddOkCancel(QDialog& dialog, QBoxLayout& row, QPushButton*& ok, QPushButton*& cancel)
{
    row.addStretch();
    ok = new QPushButton(Tr("确定"), &dialog);
    ok->setDefault(true);
    cancel = new QPushButton(Tr("取消"), &dialog);
    row.addWidget(ok);
    row.addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}
