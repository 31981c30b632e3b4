#include "dialogs/init_processor_dlg.h"

#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/key_layouts.h"
#include "model/processor.h"
#include "platform/ui/modal.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr char kStarting[] = "正在初始化处理器快捷键设置...";
constexpr char kNothingToDo[] = "该处理器不需要初始化，请直接退出。";
constexpr char kKeyDone[] = "快捷键初始化成功...";
constexpr char kKeyFailed[] = "快捷键初始化失败！";
} // namespace

CInitProcessorDlg::CInitProcessorDlg(std::shared_ptr<CQelProcessor> processor, QWidget* parent)
    : CModalDialog(parent), processor_(std::move(processor))
{
    setWindowTitle(Tr("初始化处理器"));
    setFixedSize(360, 130);
    auto* column = new QVBoxLayout(this);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("1049"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("1048"));
    progress_->setTextVisible(false);
    progress_->setRange(0, kKeyLayoutCount);
    progress_->setValue(0);
    column->addWidget(label_);
    column->addWidget(progress_);
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    MakeOkCancel(row);
    // Only "取消": the run closes the dialog itself.
    ok_->hide();
    ok_->setDefault(false);
    cancel_->setDefault(true);
    connect(&timer_, &ui::UiTimer::timeout, this, &CInitProcessorDlg::OnTimer);
}

void CInitProcessorDlg::OnInitDialog()
{
    if (!processor_ || processor_->GetKind() != kKeyLayoutKind) {
        label_->setText(Tr(kNothingToDo));
        return;
    }
    label_->setText(Tr(kStarting));
    progress_->setRange(0, kKeyLayoutCount);
    timer_.start(kStepMs);
}

void CInitProcessorDlg::OnTimer()
{
    if (step_ >= kKeyLayoutCount) {
        timer_.stop();
        return;
    }
    const KeyStep& key = KeySteps()[size_t(step_)];
    if (!key.build(*processor_, key.keyMode, key.inputs)) {
        // Going on would show each key as programmed with nothing sent.
        Stop(processor_->IsConnected() ? QStringLiteral("%1 %2").arg(key.keyMode).arg(Tr(kKeyFailed))
                                       : Tr(dlgtext::kNotConnected));
        return;
    }
    label_->setText(QStringLiteral("%1 %2").arg(key.keyMode).arg(Tr(kKeyDone)));
    progress_->setValue(++step_);
    if (step_ == kKeyLayoutCount) {
        timer_.stop();
        accept();
    }
}

void CInitProcessorDlg::Stop(const QString& message)
{
    timer_.stop();
    label_->setText(message);
    ui::inform(this, message);
}

void CInitProcessorDlg::done(int result)
{
    // However the dialog ends, no key follows; those sent stay in effect.
    timer_.stop();
    CModalDialog::done(result);
}

int RunInitProcessorDlg(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor)
{
    CInitProcessorDlg dialog(processor, parent);
    return dialog.DoModal();
}
