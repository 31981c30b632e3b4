#include "dialogs/screen_power_dlg.h"

#include "comm/sport_operator.h"
#include "dialogs/dialog_support.h"
#include "dialogs/field_check.h"
#include "dialogs/screen_power_system.h"
#include "platform/ui/modal.h"

#include <algorithm>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Template 170 shown at 430 x 300: the model group right of it stays out
// of view.
constexpr int kDialogWidth = 430;
constexpr int kDialogHeight = 300;
constexpr int kMaxNetPort = 65535;
constexpr int kMinBaud = 1;
constexpr char kCommandTooLong[] = "命令过长，最多255个字符！";
constexpr char kCommandNotHex[] = "命令格式错误，请输入以空格分隔的十六进制字节，如：D5 11 FF 10 01 AA";
constexpr char kBadAddress[] = "请输入有效的IP地址！";
constexpr char kFallbackPort[] = "COM1";

const char* DetailCaption(int mode)
{
    switch (mode) {
    case 0: return "串口连接详细参数";
    case 1: return "TCP连接详细参数";
    case 2: return "UDP连接详细参数";
    default: return "详细参数";
    }
}

QLabel* Label(QWidget* parent, const QRect& at)
{
    auto* label = new QLabel(parent);
    label->setGeometry(at);
    return label;
}

// A control of the template, named by its id.
template <class Control>
Control* Place(QWidget* parent, const char* id, const QRect& at)
{
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(id));
    control->setGeometry(at);
    return control;
}

} // namespace

CDlgScreenConfig::CDlgScreenConfig(QWidget* parent) : CModalDialog(parent)
{
    resize(kDialogWidth, kDialogHeight);

    connection_ = new QGroupBox(this);
    connection_->setGeometry(10, 8, 410, 52);
    modeLabel_ = Label(connection_, QRect(12, 20, 80, 22));
    mode_ = Place<QComboBox>(connection_, "1120", QRect(96, 20, 160, 22));

    detail_ = Place<QGroupBox>(this, "1125", QRect(10, 66, 410, 84));
    portLabel_ = Label(detail_, QRect(12, 22, 80, 22));
    ports_ = Place<QComboBox>(detail_, "1121", QRect(96, 22, 160, 22));
    baudLabel_ = Label(detail_, QRect(12, 52, 80, 22));
    baud_ = Place<QLineEdit>(detail_, "1122", QRect(96, 52, 160, 22));
    ipLabel_ = Label(detail_, QRect(12, 22, 80, 22));
    ip_ = Place<QLineEdit>(detail_, "1123", QRect(96, 22, 160, 22));
    netPortLabel_ = Label(detail_, QRect(12, 52, 80, 22));
    port_ = Place<QLineEdit>(detail_, "1124", QRect(96, 52, 160, 22));

    commands_ = new QGroupBox(this);
    commands_->setGeometry(10, 156, 410, 100);
    openLabel_ = Label(commands_, QRect(12, 20, 80, 22));
    open_ = Place<QLineEdit>(commands_, "1180", QRect(96, 20, 300, 22));
    closeLabel_ = Label(commands_, QRect(12, 48, 80, 22));
    close_ = Place<QLineEdit>(commands_, "1178", QRect(96, 48, 300, 22));
    hint_ = Label(commands_, QRect(96, 74, 300, 20));

    advanced_ = new QGroupBox(this);
    advanced_->setGeometry(440, 8, 150, 60);
    model_ = new QRadioButton(QStringLiteral("kestavo"), advanced_);
    model_->setObjectName(QStringLiteral("1126"));
    model_->setGeometry(12, 24, 120, 22);
    advanced_->hide();

    MakeOkCancel();
    ok_->setGeometry(250, 264, 80, 26);
    cancel_->setGeometry(340, 264, 80, 26);

    connect(mode_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowModeDetails(index); });
}

void CDlgScreenConfig::OnInitDialog()
{
    setWindowTitle(Tr("屏幕设置"));
    connection_->setTitle(Tr("连接设置"));
    modeLabel_->setText(Tr("连接方式:"));
    portLabel_->setText(Tr("串口号:"));
    baudLabel_->setText(Tr("波特率:"));
    ipLabel_->setText(Tr("IP地址:"));
    netPortLabel_->setText(Tr("端口号:"));
    commands_->setTitle(Tr("开/关机协议"));
    openLabel_->setText(Tr("打开指令"));
    closeLabel_->setText(Tr("关闭指令"));
    hint_->setText(Tr("命令格式示例：XX XX XX XX XX"));
    advanced_->setTitle(Tr("高级设置"));
    model_->setChecked(true);

    const QSignalBlocker quiet(mode_);
    mode_->clear();
    for (const char* text : {"串口连接", "TCP连接", "UDP连接"})
        mode_->addItem(Tr(text));
    const int mode = m_settings.commMode == 0 ? 0 : m_settings.commMode == 1 ? 1 : 2;
    mode_->setCurrentIndex(mode);
    ShowModeDetails(m_settings.commMode);

    std::vector<std::string> found;
    CSPortOperator::EnumPorts(found);
    ports_->clear();
    for (const std::string& name : found)
        ports_->addItem(QString::fromStdString(name));
    // The stored port, else the first one found.
    const auto stored = std::find_if(found.begin(), found.end(), [this](const std::string& name) {
        return CSPortOperator::SamePort(name, m_settings.serial.portName);
    });
    ports_->setCurrentIndex(found.empty() ? -1 : stored == found.end() ? 0 : int(stored - found.begin()));

    baud_->setText(QString::number(m_settings.serial.baudRate));
    port_->setText(QString::number(m_settings.port));
    ip_->setText(QString::fromStdString(FormatDottedQuad(m_settings.ip)));
    // The stored commands, so that OK after changing only the line keeps them.
    open_->setText(QString::fromStdString(m_settings.openCmd));
    close_->setText(QString::fromStdString(m_settings.closeCmd));
}

void CDlgScreenConfig::ShowModeDetails(int mode)
{
    detail_->setTitle(Tr(DetailCaption(mode)));
    const bool serial = mode == 0;
    for (QWidget* w : {static_cast<QWidget*>(ports_), static_cast<QWidget*>(baud_), static_cast<QWidget*>(portLabel_),
                       static_cast<QWidget*>(baudLabel_)})
        w->setVisible(serial);
    for (QWidget* w : {static_cast<QWidget*>(ip_), static_cast<QWidget*>(port_), static_cast<QWidget*>(ipLabel_),
                       static_cast<QWidget*>(netPortLabel_)})
        w->setVisible(!serial);
}

bool CDlgScreenConfig::TakeCommand(QLineEdit* edit, std::string& command)
{
    const std::string text = edit->text().toStdString();
    switch (CheckHexCommand(text)) {
    case HexCommandCheck::ok: command = text; return true;
    case HexCommandCheck::too_long: ui::inform(this, Tr(kCommandTooLong)); break;
    case HexCommandCheck::bad_piece: ui::inform(this, Tr(kCommandNotHex)); break;
    }
    edit->setFocus();
    return false;
}

void CDlgScreenConfig::OnOK()
{
    const auto port = ParseIntField(port_->text(), 0, kMaxNetPort);
    if (!port) {
        ui::inform(this, RangeMessage(0, kMaxNetPort));
        return;
    }
    // No line runs at 0 baud. The field shows in serial mode only: there a
    // bad rate is refused, elsewhere the stored one stays.
    auto baud = ParseIntField(baud_->text(), kMinBaud, INT32_MAX);
    if (!baud && mode_->currentIndex() == 0) {
        ui::inform(this, RangeMessage(kMinBaud, INT32_MAX));
        baud_->setFocus();
        baud_->selectAll();
        return;
    }
    if (!baud)
        baud = m_settings.serial.baudRate;
    uint32_t ip = 0;
    if (!ParseDottedQuad(ip_->text().trimmed().toStdString(), ip)) {
        ui::inform(this, Tr(kBadAddress));
        return;
    }
    std::string openCmd;
    std::string closeCmd;
    if (!TakeCommand(open_, openCmd) || !TakeCommand(close_, closeCmd))
        return;

    const int index = mode_->currentIndex();
    m_settings.commMode = index == 0 ? 0 : index == 1 ? 1 : 2;
    m_settings.serial.portName = ports_->currentIndex() >= 0 ? ports_->currentText().toStdString() : kFallbackPort;
    m_settings.serial.baudRate = uint32_t(*baud);
    m_settings.ip = ip;
    m_settings.port = uint16_t(*port);
    m_nSpare = 0;
    m_settings.openCmd = openCmd;
    m_settings.closeCmd = closeCmd;
    accept();
}

bool RunScreenConfig(CLargeScreenSystem& system, QWidget* parent)
{
    if (!system.FileNotice().empty())
        ui::inform(parent, QString::fromStdString(system.FileNotice()));
    CDlgScreenConfig dlg(parent);
    dlg.m_settings = system.Settings();
    if (dlg.DoModal() != QDialog::Accepted)
        return false;
    system.SetSettings(dlg.m_settings);
    system.SetTV(CreateTVByModel(dlg.m_settings.model));
    system.SaveConfig();
    return true;
}
