#include "dialogs/fwnd_size_fine_tune_dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/device_values.h"
#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/field_check.h"
#include "model/processor.h"
#include "model/processor_settings.h"
#include "platform/ui/modal.h"

namespace {
constexpr int kWidth = 330;
constexpr int kHeight = 150;
// The size row alone when the brightness is hidden.
constexpr QRect kSingleLabel(10, 30, 70, 20);
constexpr QRect kSingleEdit(90, 30, 160, 20);
constexpr QRect kSingleHint(260, 30, 50, 20);
constexpr int kObmSingleRow = 1;

// A number field's value when it lies in 0 to hi; else tells the range,
// puts the focus on the field and gives nothing.
std::optional<int> TakeField(QWidget* dialog, QLineEdit* edit, int hi)
{
    if (const auto value = ParseIntField(edit->text(), 0, hi))
        return int(*value);
    ui::inform(dialog, RangeMessage(0, hi));
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}
} // namespace

CDlgFWndSizeFineTune::CDlgFWndSizeFineTune(QWidget* parent) : CModalDialog(parent)
{
    setFixedSize(kWidth, kHeight);
    const auto place = [this](QWidget* w, const QRect& r, const char* id) {
        w->setGeometry(r);
        w->setObjectName(QString::fromLatin1(id));
    };
    sizeLabel_ = new QLabel(this);
    place(sizeLabel_, {10, 20, 70, 20}, "sizeLabel");
    size_ = new QLineEdit(this);
    place(size_, {90, 20, 160, 20}, "1198");
    sizeHint_ = new QLabel(QStringLiteral("(0-15)"), this);
    place(sizeHint_, {260, 20, 50, 20}, "sizeHint");
    brightnessLabel_ = new QLabel(this);
    place(brightnessLabel_, {10, 50, 70, 20}, "brightnessLabel");
    brightness_ = new QLineEdit(this);
    place(brightness_, {90, 50, 160, 20}, "1174");
    brightnessHint_ = new QLabel(QStringLiteral("(0-3)"), this);
    place(brightnessHint_, {260, 50, 50, 20}, "brightnessHint");
    enable_ = new QCheckBox(this);
    place(enable_, {10, 80, 200, 20}, "1137");
    MakeOkCancel();
    ok_->setGeometry(150, 112, 75, 26);
    cancel_->setGeometry(240, 112, 75, 26);
}

void CDlgFWndSizeFineTune::OnInitDialog()
{
    setWindowTitle(Tr("边框微调"));
    sizeLabel_->setText(Tr("边框大小:"));
    brightnessLabel_->setText(Tr("边框亮度:"));
    enable_->setText(Tr("启用调整"));
    size_->setText(QString::number(m_nSize));
    brightness_->setText(QString::number(m_nBrightness));
    enable_->setChecked(m_bEnable);
    const auto processor = CurrentProcessor();
    if (processor && processor->settings().GetObm() == kObmSingleRow) {
        for (QWidget* w : {static_cast<QWidget*>(brightnessLabel_), static_cast<QWidget*>(brightness_),
                           static_cast<QWidget*>(brightnessHint_)})
            w->hide();
        sizeLabel_->setGeometry(kSingleLabel);
        size_->setGeometry(kSingleEdit);
        sizeHint_->setGeometry(kSingleHint);
    }
}

void CDlgFWndSizeFineTune::OnOK()
{
    const auto size = TakeField(this, size_, border::kMaxSize);
    if (!size)
        return;
    const auto brightness = TakeField(this, brightness_, border::kMaxBrightness);
    if (!brightness)
        return;
    m_bEnable = enable_->isChecked();
    m_nSize = *size;
    m_nBrightness = *brightness;
    SetLastBorderTuning({m_nSize, m_nBrightness});
    accept();
}

void RunBorderFineTune(QWidget* parent, const std::function<void()>& resendPlan)
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    CDlgFWndSizeFineTune dialog(parent);
    CQelProcessor::AppOptions options = processor->settings().GetAppOptions();
    dialog.m_bEnable = options.inflateEnable != 0;
    dialog.m_nSize = options.inflateRect.bottom;
    dialog.m_nBrightness = LastBorderTuning().brightness;
    if (dialog.DoModal() != QDialog::Accepted)
        return;

    const int size = dialog.m_nSize;
    options.inflateRect = Rect{size, size, size, size};
    options.inflateEnable = dialog.m_bEnable ? 1 : 0;
    processor->settings().SetAppOptions(options);
    processor->SavePro();
    // Queued either way: the sender drops them while the link is down.
    for (const std::string& line : BorderCommands(dialog.m_bEnable, size, dialog.m_nBrightness))
        processor->QueueCommand(line);
    if (!processor->IsConnected()) {
        ui::inform(parent, Tr(dlgtext::kNotConnected));
        return;
    }
    if (resendPlan)
        resendPlan();
}
