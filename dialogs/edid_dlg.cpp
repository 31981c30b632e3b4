#include "dialogs/edid_dlg.h"

#include "core/text_helpers.h"
#include "dialogs/dialog_support.h"
#include "dialogs/password_dlg.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/sig_src.h"
#include "platform/ui/modal.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
// The list shows a name without the line end the file gave it.
QString Shown(const std::string& name)
{
    size_t end = name.size();
    while (end > 0 && (name[end - 1] == '\n' || name[end - 1] == '\r'))
        --end;
    return StdToCString(name.substr(0, end));
}
} // namespace

CSetEDIDDlg::CSetEDIDDlg(QWidget* parent) : CModalDialog(parent)
{
    auto* grid = new QGridLayout(this);
    list_ = new QComboBox(this);
    list_->setObjectName(QStringLiteral("1045"));
    list_->setMinimumWidth(220);
    label_ = new QLabel(QStringLiteral("EDID:"), this);
    grid->addWidget(label_, 0, 0);
    grid->addWidget(list_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Please select EDID"), this), 1, 1);
    auto* row = new QHBoxLayout;
    grid->addLayout(row, 2, 0, 1, 2);
    MakeOkCancel(row);
}

void CSetEDIDDlg::OnInitDialog()
{
    setWindowTitle(Tr("设置EDID"));
    ok_->setText(Tr("设置"));
    cancel_->setText(Tr("取消"));
    label_->setText(Tr("请选择EDID"));
    entries_ = LoadEdidList(EdidFilePath());
    list_->clear();
    for (const EdidEntry& entry : entries_)
        list_->addItem(Shown(entry.name));
    list_->setCurrentIndex(EdidRowOf(entries_, m_nEdid));
}

void CSetEDIDDlg::OnOK()
{
    const int row = list_->currentIndex();
    if (row >= 0 && size_t(row) < entries_.size())
        m_nEdid = entries_[size_t(row)].id;
    accept();
}

void RunSetEdid(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor, uint32_t sourceId)
{
    if (!processor || !AskOperationPassword(parent))
        return;
    const auto source = processor->GetSigSrc(sourceId);
    if (!source)
        return;
    CSetEDIDDlg dialog(parent);
    dialog.m_nEdid = int(source->GetEdid());
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    source->SetEdid(uint32_t(dialog.m_nEdid));
    if (processor->jobs().ProgramEdidRequest(sourceId, dialog.m_nEdid) != 0)
        ui::inform(parent, Tr("设置EDID失败，请重试!"));
}
