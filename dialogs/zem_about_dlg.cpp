#include "dialogs/zem_about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "core/event_signals.h"
#include "dialogs/about_text.h"
#include "dialogs/dialog_support.h"
#include "dialogs/dialog_texts.h"
#include "model/processor.h"
#include "model/processor_settings.h"
#include "platform/ui/modal.h"

namespace {
// Pixel layout of template 161.
constexpr int kDialogWidth = 420;
constexpr int kDialogHeight = 330;
constexpr QRect kAbout(12, 12, 396, 150);
constexpr QRect kFpgaButton(12, 172, 120, 26);
constexpr QRect kMcuButton(216, 172, 120, 26);
constexpr QRect kFpgaText(12, 204, 192, 80);
constexpr QRect kMcuText(216, 204, 192, 80);
constexpr QRect kClose(333, 294, 75, 26);

constexpr char kQueryFpga[] = "GP GFPV 0xff\r\n";
constexpr char kQueryMcu[] = "GP GFWV 0xff\r\n";

QLabel* TextLabel(QWidget* parent, const QRect& rect, int id)
{
    auto* label = PlaceControl(new QLabel(parent), rect, id);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QPushButton* Button(QWidget* parent, const QString& text, const QRect& rect, int id)
{
    auto* button = PlaceControl(new QPushButton(text, parent), rect, id);
    button->setAutoDefault(false);
    return button;
}

// The current processor when it is connected; told otherwise.
std::shared_ptr<CQelProcessor> ConnectedProcessor(QWidget* parent)
{
    auto processor = CurrentProcessor();
    if (processor && processor->IsConnected())
        return processor;
    ui::inform(parent, Tr(dlgtext::kNotConnected));
    return nullptr;
}
} // namespace

CZemAboutDlg::CZemAboutDlg(QWidget* parent) : CModalDialog(parent)
{
    setFixedSize(kDialogWidth, kDialogHeight);
    about_ = TextLabel(this, kAbout, 1076);
    fpga_ = Button(this, QStringLiteral("获取FPGA版本"), kFpgaButton, 1265);
    mcu_ = Button(this, QStringLiteral("获取单片机版本"), kMcuButton, 1177);
    fpgaText_ = TextLabel(this, kFpgaText, 1267);
    mcuText_ = TextLabel(this, kMcuText, 1266);
    close_ = Button(this, QString(), kClose, 2);
    close_->setDefault(true);
    connect(fpga_, &QPushButton::clicked, this, [this] { OnGetFpgaVersion(); });
    connect(mcu_, &QPushButton::clicked, this, [this] { OnGetMcuVersion(); });
    connect(close_, &QPushButton::clicked, this, [this] { OnCancel(); });
}

CZemAboutDlg::~CZemAboutDlg() = default;

void CZemAboutDlg::OnInitDialog()
{
    setWindowTitle(Tr("关于"));
    close_->setText(Tr("关闭"));
    about_->setText(ReadAboutText(AboutFilePath()));
    fpgaConnection_ =
        CQelEvtSignals::ConnectGetFPGAVer([this](const CGetFPGAVerEvent& event) { OnFpgaVersion(event); });
    mcuConnection_ = CQelEvtSignals::ConnectGetSTMVer([this](const CGetSTMVerEvent& event) { OnMcuVersion(event); });
}

void CZemAboutDlg::OnGetFpgaVersion()
{
    if (const auto processor = ConnectedProcessor(this)) {
        processor->settings().ClearFpgaVersions();
        processor->QueueCommand(kQueryFpga);
    }
}

void CZemAboutDlg::OnGetMcuVersion()
{
    if (const auto processor = ConnectedProcessor(this)) {
        processor->settings().ClearFirmwareVersions();
        processor->QueueCommand(kQueryMcu);
    }
}

void CZemAboutDlg::OnFpgaVersion(const CGetFPGAVerEvent&)
{
    const auto processor = CurrentProcessor();
    if (processor && processor->IsConnected())
        fpgaText_->setText(VersionListText(processor->settings().GetFpgaVersions()));
}

void CZemAboutDlg::OnMcuVersion(const CGetSTMVerEvent&)
{
    const auto processor = CurrentProcessor();
    if (processor && processor->IsConnected())
        mcuText_->setText(VersionListText(processor->settings().GetFirmwareVersions()));
}
