#include "dialogs/sig_src_dlg.h"

#include "core/text_helpers.h"
#include "dialogs/dialog_support.h"
#include "model/processor.h"
#include "model/processor_requests.h"
#include "model/sig_src.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {
struct ControlIds {
    int slider;
    int label;
    int value;
    const char* caption;
};
constexpr std::array<ControlIds, CSetSigSrcDlg::kControls> kControlIds{{
    {1063, 1231, 1075, "亮度"},
    {1064, 1233, 1076, "对比度"},
    {1065, 1234, 1077, "饱和度"},
    {1066, 1236, 1078, "颜色"},
}};
constexpr int kMaxValue = 255;
} // namespace

CSetSigSrcDlg::CSetSigSrcDlg(std::shared_ptr<CQelSigSrc> source, QWidget* parent)
    : CModalDialog(parent), source_(std::move(source))
{
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < kControls; ++i) {
        const ControlIds& ids = kControlIds[size_t(i)];
        auto* label = new QLabel(this);
        label->setObjectName(QString::number(ids.label));
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(QString::number(ids.slider));
        slider->setRange(0, kMaxValue);
        slider->setMinimumWidth(256);
        auto* value = new QLabel(this);
        value->setObjectName(QString::number(ids.value));
        value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")));
        grid->addWidget(label, i, 0);
        grid->addWidget(slider, i, 1);
        grid->addWidget(value, i, 2);
        labels_[size_t(i)] = label;
        sliders_[size_t(i)] = slider;
        values_[size_t(i)] = value;
        // The text follows the slider; the device hears the value once the
        // slider is let go (a key or a page click ends at once).
        connect(slider, &QSlider::valueChanged, this, [this, i](int v) {
            values_[size_t(i)]->setText(QString::number(v));
            if (!sliders_[size_t(i)]->isSliderDown())
                SendControl(i, v);
        });
        connect(slider, &QSlider::sliderReleased, this, [this, i] { SendControl(i, sliders_[size_t(i)]->value()); });
    }
    defaults_ = new QPushButton(this);
    defaults_->setObjectName(QStringLiteral("1067"));
    grid->addWidget(defaults_, kControls, 2);
    connect(defaults_, &QPushButton::clicked, this, [this] { OnDefaults(); });
}

void CSetSigSrcDlg::OnInitDialog()
{
    setWindowTitle(Tr("设置输入信号源参数") + (source_ ? StdToCString(source_->GetName()) : QString()));
    defaults_->setText(Tr("默认值"));
    const auto adjust = source_ ? source_->GetAdjust() : CQelSigSrc::Adjust{};
    for (int i = 0; i < kControls; ++i) {
        labels_[size_t(i)]->setText(Tr(kControlIds[size_t(i)].caption));
        QSignalBlocker quiet(sliders_[size_t(i)]);
        sliders_[size_t(i)]->setValue(adjust[size_t(i)]);
        values_[size_t(i)]->setText(QString::number(sliders_[size_t(i)]->value()));
    }
}

void CSetSigSrcDlg::SendControl(int control, int value)
{
    const auto processor = source_ ? source_->GetOwner() : nullptr;
    if (processor && processor->requests().SetPictureControl(source_->GetId(), control, value))
        source_->SetAdjust(size_t(control), value);
}

void CSetSigSrcDlg::OnDefaults()
{
    const auto defaults = CQelSigSrc::DefaultAdjust(source_ ? source_->GetType() : 0);
    for (int i = 0; i < kControls; ++i) {
        QSignalBlocker quiet(sliders_[size_t(i)]);
        sliders_[size_t(i)]->setValue(defaults[size_t(i)]);
        values_[size_t(i)]->setText(QString::number(defaults[size_t(i)]));
    }
    for (int i = 0; i < kControls; ++i)
        SendControl(i, defaults[size_t(i)]);
}

void RunSetSigSrc(QWidget* parent, const std::shared_ptr<CQelSigSrc>& source)
{
    if (!source)
        return;
    CSetSigSrcDlg dialog(source, parent);
    dialog.DoModal();
}
