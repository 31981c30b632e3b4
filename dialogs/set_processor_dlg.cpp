#include "dialogs/set_processor_dlg.h"

#include "core/debug_logs.h"
#include "core/event_signals.h"
#include "comm/sport_operator.h"
#include "dialogs/dialog_support.h"
#include "dialogs/field_check.h"
#include "dialogs/ip_address_ctrl.h"
#include "dialogs/password_check.h"
#include "dialogs/password_dlg.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/processor_settings.h"
#include "platform/clock.h"
#include "platform/ui/modal.h"
#include "model/requests.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

namespace {

constexpr char kSetAddressFailed[] = "设置设备IP失败，请重启程序后，再次操作!";
constexpr char kSetMaskFailed[] = "设置设备子网掩码失败，请重启程序后，再次操作!";
constexpr char kSetGatewayFailed[] = "设置设备网关失败，请重启程序后，再次操作!";
constexpr char kConnectFirst[] = "请连接画面处理器后，重新设置！";
constexpr char kReadFirst[] = "请先读取IP信息，再更新至本地!";

template <class Widget>
Widget* Named(Widget* widget, int id)
{
    widget->setObjectName(QString::number(id));
    return widget;
}

QLabel* Label(const char* text, QWidget* parent)
{
    return new QLabel(Tr(text), parent);
}

QString Colon(const char* text)
{
    return Tr(text) + QStringLiteral(" :");
}

// A display of a value the device reported: not for typing.
CIpAddressCtrl* ShownAddress(QWidget* parent, int id)
{
    auto* control = Named(new CIpAddressCtrl(parent), id);
    control->setEnabled(false);
    return control;
}

// The real milliseconds a wait of the process clock lasts, rounded up.
int RealMs(int productionMs)
{
    const auto real = platform::GetClock().RealDuration(std::chrono::milliseconds(productionMs));
    return int(std::chrono::ceil<std::chrono::milliseconds>(real).count());
}

// A running job refuses requests, and a set request's own result cannot
// tell that from a device that took a new address without echoing on the
// old link: asked before sending.
bool Busy(const CQelProcessor& processor)
{
    return processor.GetJobState() != CQelProcessor::kJobIdle;
}

} // namespace

// ---- CSetIpAddrDlg ---------------------------------------------------------

CSetIpAddrDlg::CSetIpAddrDlg(QWidget* parent) : CModalDialog(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    address_ = Named(new CIpAddressCtrl(this), 1004);
    port_ = Named(new QLineEdit(this), 1005);
    form->addRow(QStringLiteral("Ip地址："), address_);
    form->addRow(QStringLiteral("端口："), port_);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    MakeOkCancel(row);
}

void CSetIpAddrDlg::OnInitDialog()
{
    setWindowTitle(QStringLiteral("设置硬件设备Ip地址"));
    address_->SetText(QString::fromStdString(m_strIpAddr));
    port_->setText(QString::fromStdString(m_strPort));
}

void CSetIpAddrDlg::OnOK()
{
    const auto address = ReadAddressField(*address_);
    if (!address)
        return;
    const auto port = ParseIntField(port_->text(), 0, 65535);
    if (!port) {
        ui::inform(this, RangeMessage(0, 65535));
        port_->setFocus();
        return;
    }
    m_strIpAddr = address->toStdString();
    m_strPort = std::to_string(*port);
    accept();
}

// ---- CSetProcessorDlg ------------------------------------------------------

CSetProcessorDlg::CSetProcessorDlg(std::shared_ptr<CQelProcessor> processor, QWidget* parent)
    : CModalDialog(parent), processor_(std::move(processor))
{
    auto* layout = new QVBoxLayout(this);

    auto* tcp = Named(new QGroupBox(Tr("Tcp连接设置"), this), 1014);
    auto* tcpGrid = new QGridLayout(tcp);
    tcpAddress_ = Named(new CIpAddressCtrl(tcp), 1004);
    tcpPort_ = Named(new QLineEdit(tcp), 1005);
    setAddress_ = Named(new QPushButton(Tr("设置"), tcp), 1077);
    tcpGrid->addWidget(new QLabel(Colon("设备IP地址"), tcp), 0, 0);
    tcpGrid->addWidget(tcpAddress_, 0, 1);
    tcpGrid->addWidget(new QLabel(Colon("端口"), tcp), 1, 0);
    tcpGrid->addWidget(tcpPort_, 1, 1);
    tcpGrid->addWidget(setAddress_, 1, 2);
    layout->addWidget(tcp);

    auto* serial = Named(new QGroupBox(Tr("串口连接设置"), this), 1015);
    auto* serialGrid = new QGridLayout(serial);
    ports_ = Named(new QComboBox(serial), 1007);
    rates_ = Named(new QComboBox(serial), 1224);
    autoDetect_ = Named(new QCheckBox(Tr("使用串口连接时，自动检测连接处理器的COM口"), serial), 1103);
    serialGrid->addWidget(new QLabel(Colon("COM口"), serial), 0, 0);
    serialGrid->addWidget(ports_, 0, 1);
    serialGrid->addWidget(new QLabel(Colon("波特率"), serial), 1, 0);
    serialGrid->addWidget(rates_, 1, 1);
    serialGrid->addWidget(autoDetect_, 2, 0, 1, 2);
    layout->addWidget(serial);

    // The row keeps its place when hidden, as on the dialog template.
    networkPortRow_ = new QWidget(this);
    auto* portRow = new QHBoxLayout(networkPortRow_);
    portRow->setContentsMargins(0, 0, 0, 0);
    networkPort_ = Named(new QComboBox(networkPortRow_), 1018);
    portRow->addWidget(Named(Label("网口选择：", networkPortRow_), 1019));
    portRow->addWidget(networkPort_);
    portRow->addStretch();
    QSizePolicy keep = networkPortRow_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    networkPortRow_->setSizePolicy(keep);
    layout->addWidget(networkPortRow_);

    auto* read = Named(new QGroupBox(Tr("读取IP"), this), 1211);
    auto* readGrid = new QGridLayout(read);
    readAddressShow_ = ShownAddress(read, 1106);
    readPort_ = Named(new QLineEdit(read), 1105);
    readPort_->setReadOnly(true);
    readAddress_ = Named(new QPushButton(Tr("读取IP"), read), 1078);
    updateToLocal_ = Named(new QPushButton(Tr("更新至本地"), read), 1079);
    readGrid->addWidget(Named(Label("处理器IP地址", read), 1212), 0, 0);
    readGrid->addWidget(readAddressShow_, 0, 1);
    readGrid->addWidget(readAddress_, 0, 2);
    readGrid->addWidget(Named(Label("处理器端口", read), 1213), 1, 0);
    readGrid->addWidget(readPort_, 1, 1);
    readGrid->addWidget(updateToLocal_, 1, 2);
    layout->addWidget(read);

    auto* maskBox = Named(new QGroupBox(Tr("子网掩码"), this), 1214);
    auto* maskGrid = new QGridLayout(maskBox);
    mask_ = Named(new CIpAddressCtrl(maskBox), 1167);
    setMask_ = Named(new QPushButton(Tr("确定"), maskBox), 1083);
    readMask_ = Named(new QPushButton(Tr("获取子网掩码"), maskBox), 1166);
    readMaskShow_ = ShownAddress(maskBox, 1169);
    maskGrid->addWidget(Named(Label("设置子网掩码", maskBox), 1215), 0, 0);
    maskGrid->addWidget(mask_, 0, 1);
    maskGrid->addWidget(setMask_, 0, 2);
    maskGrid->addWidget(readMask_, 1, 0);
    maskGrid->addWidget(readMaskShow_, 1, 1);
    layout->addWidget(maskBox);

    auto* gatewayBox = Named(new QGroupBox(Tr("网关"), this), 1216);
    auto* gatewayGrid = new QGridLayout(gatewayBox);
    gateway_ = Named(new CIpAddressCtrl(gatewayBox), 1170);
    setGateway_ = Named(new QPushButton(Tr("确定"), gatewayBox), 1081);
    readGateway_ = Named(new QPushButton(Tr("获取网关地址"), gatewayBox), 1168);
    readGatewayShow_ = Named(new CIpAddressCtrl(gatewayBox), 1171);
    gatewayGrid->addWidget(Named(Label("设置网关地址", gatewayBox), 1217), 0, 0);
    gatewayGrid->addWidget(gateway_, 0, 1);
    gatewayGrid->addWidget(setGateway_, 0, 2);
    gatewayGrid->addWidget(readGateway_, 1, 0);
    gatewayGrid->addWidget(readGatewayShow_, 1, 1);
    layout->addWidget(gatewayBox);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    MakeOkCancel(buttons);

    connect(setAddress_, &QPushButton::clicked, this, [this] { OnSetDeviceAddress(); });
    connect(setMask_, &QPushButton::clicked, this, [this] { OnSetSubnetMask(); });
    connect(setGateway_, &QPushButton::clicked, this, [this] { OnSetGateway(); });
    connect(readAddress_, &QPushButton::clicked, this, [this] { OnReadAddress(); });
    connect(readMask_, &QPushButton::clicked, this, [this] { OnReadSubnetMask(); });
    connect(readGateway_, &QPushButton::clicked, this, [this] { OnReadGateway(); });
    connect(updateToLocal_, &QPushButton::clicked, this, [this] { OnUpdateToLocal(); });
    connect(networkPort_, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (row >= 0)
            settings.networkPort = networkPort_->itemData(row).toInt();
    });

    // Made once for the dialog and dropped with it, so no reply reaches a
    // closed dialog.
    connections_[size_t(NetValue::Address)] = CQelEvtSignals::ConnectProcessorIP([this](const CProcessorIPEvent& e) {
        WriteDebugLog("5");
        OnReply(NetValue::Address, e.address);
    });
    connections_[size_t(NetValue::Port)] =
        CQelEvtSignals::ConnectProcessorPort([this](const CProcessorPortEvent& e) { OnReply(NetValue::Port, e.port); });
    connections_[size_t(NetValue::Mask)] =
        CQelEvtSignals::ConnectProcessorSM([this](const CProcessorSMEvent& e) { OnReply(NetValue::Mask, e.mask); });
    connections_[size_t(NetValue::Gateway)] = CQelEvtSignals::ConnectProcessorGW(
        [this](const CProcessorGWEvent& e) { OnReply(NetValue::Gateway, e.gateway); });
}

CSetProcessorDlg::~CSetProcessorDlg() = default;

void CSetProcessorDlg::OnInitDialog()
{
    if (!processor_ || !processor_->IsConnected()) {
        readAddress_->setEnabled(false);
        updateToLocal_->setEnabled(false);
    }
    setWindowTitle(Tr("处理器通讯设置"));

    tcpAddress_->SetText(QString::fromStdString(settings.tcpAddress));
    tcpPort_->setText(QString::fromStdString(settings.tcpPort));
    tcpAddress_->setEnabled(false);
    tcpPort_->setEnabled(false);

    std::vector<std::string> ports;
    CSPortOperator::EnumPorts(ports);
    ports_->clear();
    for (const std::string& port : ports)
        ports_->addItem(QString::fromStdString(port));
    ports_->setCurrentIndex(PortRowOf(ports, settings.serialDevice));

    rates_->clear();
    for (int rate : kBaudRates)
        rates_->addItem(QString::number(rate), rate);
    rates_->setCurrentIndex(rates_->findData(settings.baudRate));

    {
        // Filling the list must not pass for the operator's choice.
        const QSignalBlocker quiet(networkPort_);
        networkPort_->clear();
        networkPort_->addItem(QStringLiteral("网口0"), 0);
        networkPort_->addItem(QStringLiteral("网口1"), 1);
    }

    if (processor_)
        settings.autoDetect = processor_->settings().GetConnection().serialAutoDetect;
    autoDetect_->setChecked(settings.autoDetect != 0);
    readAddressShow_->SetAddress(0);
    readMaskShow_->SetAddress(0);
    readPortValue_ = 0;
    readPort_->setText(QStringLiteral("0"));

    const bool twoPorts = processor_ && processor_->GetKind() == kTwoNetworkPortKind;
    if (!twoPorts)
        settings.networkPort = 0;
    networkPort_->setCurrentIndex(settings.networkPort == 1 ? 1 : 0);
    networkPortRow_->setVisible(twoPorts);
}

void CSetProcessorDlg::OnOK()
{
    if (!tcpAddress_->IsBlank()) {
        const auto address = ReadAddressField(*tcpAddress_);
        if (!address)
            return;
        settings.tcpAddress = address->toStdString();
    }
    settings.tcpPort = tcpPort_->text().toStdString();
    settings.serialDevice = ports_->currentIndex() >= 0 ? ports_->currentText().toStdString() : std::string();
    // No rate selected (a stored rate the list lacks): the rate stays, so
    // no rate change goes to the device.
    if (rates_->currentIndex() >= 0)
        settings.baudRate = rates_->currentData().toInt();
    settings.autoDetect = autoDetect_->isChecked() ? 1 : 0;
    accept();
}

std::string CSetProcessorDlg::TcpAddressText() const
{
    return tcpAddress_->IsBlank() ? settings.tcpAddress : tcpAddress_->Text().toStdString();
}

void CSetProcessorDlg::OnSetDeviceAddress()
{
    // Always asked, whatever the accepted flag says.
    CPasswordDlg password(QString::fromStdString(OperationPassword()), this);
    if (password.DoModal() != QDialog::Accepted)
        return;
    const auto processor = CurrentProcessor();
    if (!processor) {
        ui::inform(this, Tr(kSetAddressFailed));
        return;
    }
    CSetIpAddrDlg address(this);
    address.m_strIpAddr = TcpAddressText();
    address.m_strPort = tcpPort_->text().toStdString();
    if (address.DoModal() != QDialog::Accepted)
        return;
    settings.tcpAddress = address.m_strIpAddr;
    settings.tcpPort = address.m_strPort;
    tcpAddress_->SetText(QString::fromStdString(settings.tcpAddress));
    tcpPort_->setText(QString::fromStdString(settings.tcpPort));
    if (!processor->IsConnected()) {
        ui::inform(this, Tr(kConnectFirst));
        return;
    }
    if (Busy(*processor)) {
        ui::inform(this, Tr(kSetAddressFailed));
        return;
    }
    processor->jobs().Dispatch(NetSetCode(NetValue::Address, settings.networkPort),
                               request::Network{settings.tcpAddress, settings.tcpPort});
    ui::inform(this, Tr("设置设备IP完毕!"));
}

void CSetProcessorDlg::SetAddressWord(NetValue value, CIpAddressCtrl* control, std::string& field,
                                      const char* noProcessorText, const char* doneText)
{
    const auto text = ReadAddressField(*control);
    if (!text)
        return;
    field = text->toStdString();
    const auto processor = CurrentProcessor();
    if (!processor) {
        ui::inform(this, Tr(noProcessorText));
        return;
    }
    if (!processor->IsConnected()) {
        ui::inform(this, Tr(kConnectFirst));
        return;
    }
    if (Busy(*processor)) {
        ui::inform(this, Tr(noProcessorText));
        return;
    }
    processor->jobs().Dispatch(NetSetCode(value, settings.networkPort), request::Text{field});
    ui::inform(this, Tr(doneText));
}

void CSetProcessorDlg::OnSetSubnetMask()
{
    SetAddressWord(NetValue::Mask, mask_, subnetMask_, kSetMaskFailed, "设置设备子网掩码完毕!");
}

void CSetProcessorDlg::OnSetGateway()
{
    SetAddressWord(NetValue::Gateway, gateway_, gatewayText_, kSetGatewayFailed, "设置设备网关完毕!");
}

void CSetProcessorDlg::OnReply(NetValue value, uint32_t received)
{
    ReplyCell& cell = Cell(value);
    ++cell.replies;
    cell.value = received;
}

void CSetProcessorDlg::Query(NetValue value, Done done)
{
    const unsigned before = Cell(value).replies;
    const auto processor = CurrentProcessor();
    if (!processor || !processor->IsConnected() ||
        processor->jobs().Dispatch(NetQueryCode(value, settings.networkPort)) != 0) {
        done(false);
        return;
    }
    // The whole wait, also when the reply comes early; the timer dies with
    // the dialog, so a closed dialog hears nothing more.
    QTimer::singleShot(RealMs(kReadWaitMs), this,
                       [this, value, before, done = std::move(done)] { done(Cell(value).replies != before); });
}

void CSetProcessorDlg::OnReadAddress()
{
    Query(NetValue::Address, [this](bool ok) {
        if (!ok) {
            ui::inform(this, Tr("读取IP信息失败，请重新读取!"));
            return;
        }
        Query(NetValue::Port, [this](bool ok) {
            if (!ok) {
                ui::inform(this, Tr("读取端口信息失败，请重新读取!"));
                return;
            }
            readAddressValue_ = Cell(NetValue::Address).value;
            readPortValue_ = int(Cell(NetValue::Port).value);
            readAddressShow_->SetAddress(readAddressValue_);
            readPort_->setText(QString::number(readPortValue_));
            ui::inform(this, Tr("读取IP信息完毕!"));
        });
    });
}

void CSetProcessorDlg::ReadOne(NetValue value, CIpAddressCtrl* show, const char* doneText, const char* failText)
{
    Query(value, [this, value, show, doneText, failText](bool ok) {
        if (!ok) {
            ui::inform(this, Tr(failText));
            return;
        }
        const uint32_t received = Cell(value).value;
        (value == NetValue::Mask ? readMaskValue_ : readGatewayValue_) = received;
        show->SetAddress(received);
        ui::inform(this, Tr(doneText));
    });
}

void CSetProcessorDlg::OnReadSubnetMask()
{
    ReadOne(NetValue::Mask, readMaskShow_, "读取SM信息完毕!", "读取子网掩码信息失败，请重新读取!");
}

void CSetProcessorDlg::OnReadGateway()
{
    ReadOne(NetValue::Gateway, readGatewayShow_, "读取GW信息完毕!", "读取网关信息失败，请重新读取!");
}

void CSetProcessorDlg::OnUpdateToLocal()
{
    const auto shown = readAddressShow_->Address();
    if (!shown || *shown == 0 || readPortValue_ == 0) {
        ui::inform(this, Tr(kReadFirst));
        return;
    }
    tcpAddress_->SetAddress(*shown);
    tcpPort_->setText(QString::number(readPortValue_));
}

void OnSetProcessor(QWidget* parent)
{
    const auto processor = CurrentProcessor();
    if (!processor)
        return;
    CSetProcessorDlg dialog(processor, parent);
    dialog.settings = LinkSettingsOf(*processor);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    ApplyLinkSettings(*processor, dialog.settings);
}
