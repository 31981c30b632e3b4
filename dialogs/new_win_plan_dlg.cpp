#include "dialogs/new_win_plan_dlg.h"

#include "dialogs/dialog_support.h"
#include "dialogs/layout_choices.h"
#include "model/processor.h"
#include "model/processor_records.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CNewWinPlanDlg::CNewWinPlanDlg(QWidget* parent) : CModalDialog(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("1000"));
    combo_ = new QComboBox(this);
    combo_->setObjectName(QStringLiteral("1062"));
    form->addRow(Tr("名称"), edit_);
    form->addRow(Tr("画面布局"), combo_);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    MakeOkCancel(row);
    layout->addLayout(row);
}

void CNewWinPlanDlg::OnInitDialog()
{
    setWindowTitle(Tr("创建新预案"));
    edit_->setText(m_strName);
    const auto processor = CurrentProcessor();
    combo_->clear();
    codes_.clear();
    for (const LayoutChoice& choice :
         LayoutChoices(processor ? std::optional<size_t>(processor->records().GetSigSrcCount()) : std::nullopt)) {
        combo_->addItem(Tr(choice.entry));
        codes_.push_back(choice.code);
    }
    combo_->setCurrentIndex(0);
}

void CNewWinPlanDlg::OnOK()
{
    m_strName = edit_->text();
    const int index = combo_->currentIndex();
    if (index >= 0 && size_t(index) < codes_.size())
        m_nLayout = codes_[size_t(index)];
    accept();
}
