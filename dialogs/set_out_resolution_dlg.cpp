#include "dialogs/set_out_resolution_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_support.h"
#include "dialogs/resolution_list.h"
#include "model/processor.h"
#include "model/processor_records.h"
#include "platform/ui/modal.h"

namespace {
// Pixel layout of template 107.
constexpr int kDialogWidth = 300;
constexpr int kDialogHeight = 192;
constexpr QRect kGroup(10, 8, 280, 140);
constexpr QRect kFirstLabel(20, 32, 62, 20);
constexpr QRect kFirstList(85, 30, 190, 24);
constexpr QRect kSecondLabel(20, 62, 62, 20);
constexpr QRect kSecondList(85, 60, 190, 24);
constexpr QRect kCustom(20, 90, 160, 22);
constexpr QRect kWidth(20, 116, 90, 24);
constexpr QRect kBy(114, 116, 14, 24);
constexpr QRect kHeight(132, 116, 90, 24);
constexpr QRect kOk(120, 156, 75, 26);
constexpr QRect kCancel(205, 156, 75, 26);

// The entry id the list's current item carries; none without a selection.
std::optional<uint32_t> SelectedId(const QComboBox& list)
{
    const QVariant data = list.currentData();
    if (!data.isValid())
        return std::nullopt;
    return data.toUInt();
}

void SelectOrFirst(QComboBox& list, int index)
{
    list.setCurrentIndex(index >= 0 ? index : (list.count() > 0 ? 0 : -1));
}
} // namespace

CSetOutResolutionDlg::CSetOutResolutionDlg(QWidget* parent) : CModalDialog(parent)
{
    setFixedSize(kDialogWidth, kDialogHeight);
    group_ = PlaceControl(new QGroupBox(this), kGroup, 1016);
    firstLabel_ = PlaceControl(new QLabel(this), kFirstLabel, 1013);
    first_ = PlaceControl(new QComboBox(this), kFirstList, 1001);
    secondLabel_ = PlaceControl(new QLabel(this), kSecondLabel, 1017);
    second_ = PlaceControl(new QComboBox(this), kSecondList, 1002);
    custom_ = PlaceControl(new QCheckBox(this), kCustom, 1226);
    width_ = PlaceControl(new QLineEdit(this), kWidth, 1252);
    by_ = PlaceControl(new QLabel(this), kBy, 1253);
    by_->setAlignment(Qt::AlignCenter);
    height_ = PlaceControl(new QLineEdit(this), kHeight, 1251);
    MakeOkCancel();
    ok_->setGeometry(kOk);
    cancel_->setGeometry(kCancel);
    connect(custom_, &QCheckBox::clicked, this, [this] { OnBnClickedCustom(); });
}

void CSetOutResolutionDlg::OnInitDialog()
{
    group_->setTitle(Tr("输出分辨率设置"));
    firstLabel_->setText(Tr("分辨率:"));
    secondLabel_->setText(Tr("分辨率:"));
    custom_->setText(Tr("自定义分辨率"));
    by_->setText(Tr("x"));

    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    const auto list = processor->records().GetResolutionList();
    const bool splitter = processor->GetKind() == outres::kSplitterKind;
    for (const auto& entry : list) {
        first_->addItem(QString::fromStdString(entry.friendName), entry.id);
        if (splitter)
            second_->addItem(SplitterResolutionLabel(entry.resolution), entry.id);
    }

    int firstIndex = -1;
    int secondIndex = -1;
    if (splitter) {
        const auto firstOut = processor->GetSigOut(outres::kFirstOutputId);
        const auto secondOut = processor->GetSigOut(outres::kSecondOutputId);
        if (firstOut)
            firstIndex = FindResolutionIndex(list, firstOut->GetResolution());
        if (secondOut)
            secondIndex = FindResolutionIndex(list, secondOut->GetResolution());
        firstLabel_->setText(firstOut ? QString::fromStdString(firstOut->GetName()) : QString());
        secondLabel_->setText(secondOut ? QString::fromStdString(secondOut->GetName()) : QString());
        setWindowTitle(Tr(outres::kSplitterTitle));
    } else {
        firstIndex = FindResolutionIdIndex(list, m_nResolutionId);
        secondLabel_->hide();
        second_->hide();
    }
    SelectOrFirst(*first_, firstIndex);
    SelectOrFirst(*second_, secondIndex);

    if (const int custom = FindResolutionIdIndex(list, CQelProcessor::kCustomResolutionId); custom >= 0) {
        width_->setText(QString::number(list[size_t(custom)].resolution.width));
        height_->setText(QString::number(list[size_t(custom)].resolution.height));
    }
    m_bCustom = processor->records().GetCustomizeResolutionSwitch() != 0;
    custom_->setChecked(m_bCustom);
    EnableByCustom();
}

void CSetOutResolutionDlg::EnableByCustom()
{
    first_->setEnabled(!m_bCustom);
    width_->setEnabled(m_bCustom);
    height_->setEnabled(m_bCustom);
}

void CSetOutResolutionDlg::OnBnClickedCustom()
{
    m_bCustom = custom_->isChecked();
    // Kept at once, even when the dialog is cancelled afterwards.
    if (const auto processor = CurrentProcessor())
        processor->records().SetCustomizeResolutionSwitch(m_bCustom ? 1 : 0);
    EnableByCustom();
}

void CSetOutResolutionDlg::OnBnClickedOk()
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    if (const auto id = SelectedId(*first_))
        m_nResolutionId = *id;
    if (m_bCustom) {
        // A size of 0, or one the timing fields cannot carry, would be
        // sent to the device as its output timing.
        const auto size = ParseCustomResolution(width_->text(), height_->text());
        if (!size) {
            ui::inform(this, Tr(outres::kBadCustomSize));
            return;
        }
        m_nResolutionId = CQelProcessor::kCustomResolutionId;
        m_nCustomWidth = size->cx;
        m_nCustomHeight = size->cy;
        StoreCustomResolution(*processor, *size);
    }
    m_firstResolution = processor->records().GetResolutionByIdOrZero(m_nResolutionId);
    const auto secondId = SelectedId(*second_);
    m_secondResolution =
        secondId ? processor->records().GetResolutionByIdOrZero(*secondId) : Resolution{0, 0, outres::kCustomRate};
    accept();
}
