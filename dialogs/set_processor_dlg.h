#pragma once
// The processor link and network settings: how the program reaches the
// selected processor, and the processor's own address, port, mask and
// gateway, read and set on the device.
#include <array>
#include <boost/signals2/connection.hpp>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/link_settings.h"
#include "dialogs/modal_dialog.h"

class CIpAddressCtrl;
class CQelProcessor;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Sets the device's address and port: the texts it opens with are those
// of the settings dialog, and OK hands them back checked.
class CSetIpAddrDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CSetIpAddrDlg(QWidget* parent = nullptr);

    std::string m_strIpAddr;
    std::string m_strPort;

    CIpAddressCtrl* AddressCtrl() const { return address_; }
    QLineEdit* PortEdit() const { return port_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CIpAddressCtrl* address_ = nullptr;
    QLineEdit* port_ = nullptr;
};

// The link settings go in and out through `settings`; the device
// operations act at once on the context's selected processor. Each read is
// a query followed by a fixed wait on the UI thread, after which the reply
// the event pump delivered meanwhile is taken; closing the dialog cancels
// the waits.
class CSetProcessorDlg : public CModalDialog {
    Q_OBJECT
public:
    static constexpr int kReadWaitMs = 5000;

    explicit CSetProcessorDlg(std::shared_ptr<CQelProcessor> processor, QWidget* parent = nullptr);
    ~CSetProcessorDlg() override;

    LinkSettings settings;

    void OnSetDeviceAddress();
    void OnSetSubnetMask();
    void OnSetGateway();
    void OnReadAddress();
    void OnReadSubnetMask();
    void OnReadGateway();
    void OnUpdateToLocal();

    // The controls, by their ids.
    CIpAddressCtrl* TcpAddressCtrl() const { return tcpAddress_; }
    QLineEdit* TcpPortEdit() const { return tcpPort_; }
    QComboBox* PortList() const { return ports_; }
    QComboBox* RateList() const { return rates_; }
    QCheckBox* AutoDetectBox() const { return autoDetect_; }
    QComboBox* NetworkPortList() const { return networkPort_; }
    QWidget* NetworkPortRow() const { return networkPortRow_; }
    QPushButton* SetAddressButton() const { return setAddress_; }
    QPushButton* ReadAddressButton() const { return readAddress_; }
    QPushButton* UpdateToLocalButton() const { return updateToLocal_; }
    CIpAddressCtrl* ReadAddressCtrl() const { return readAddressShow_; }
    QLineEdit* ReadPortEdit() const { return readPort_; }
    CIpAddressCtrl* MaskCtrl() const { return mask_; }
    QPushButton* SetMaskButton() const { return setMask_; }
    QPushButton* ReadMaskButton() const { return readMask_; }
    CIpAddressCtrl* ReadMaskCtrl() const { return readMaskShow_; }
    CIpAddressCtrl* GatewayCtrl() const { return gateway_; }
    QPushButton* SetGatewayButton() const { return setGateway_; }
    QPushButton* ReadGatewayButton() const { return readGateway_; }
    CIpAddressCtrl* ReadGatewayCtrl() const { return readGatewayShow_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // The last reply of one value and how many came; a read succeeds when
    // one came during its wait.
    struct ReplyCell {
        unsigned replies = 0;
        uint32_t value = 0;
    };
    using Done = std::function<void(bool)>;

    void OnReply(NetValue value, uint32_t received);
    // Sends the value's query; `done` runs with the outcome after the wait,
    // or at once when nothing could be asked.
    void Query(NetValue value, Done done);
    void ReadOne(NetValue value, CIpAddressCtrl* show, const char* doneText, const char* failText);
    // The set-mask and set-gateway buttons.
    void SetAddressWord(NetValue value, CIpAddressCtrl* control, std::string& field, const char* noProcessorText,
                        const char* doneText);
    // The TCP address as it stands in 1004: a text it cannot show stays.
    std::string TcpAddressText() const;
    ReplyCell& Cell(NetValue value) { return cells_[size_t(value)]; }

    std::shared_ptr<CQelProcessor> processor_;
    std::string subnetMask_;
    std::string gatewayText_;
    uint32_t readAddressValue_ = 0;
    int readPortValue_ = 0;
    uint32_t readMaskValue_ = 0;
    uint32_t readGatewayValue_ = 0;
    std::array<ReplyCell, 4> cells_{};
    std::array<boost::signals2::scoped_connection, 4> connections_;

    CIpAddressCtrl* tcpAddress_ = nullptr;
    QLineEdit* tcpPort_ = nullptr;
    QPushButton* setAddress_ = nullptr;
    QComboBox* ports_ = nullptr;
    QComboBox* rates_ = nullptr;
    QCheckBox* autoDetect_ = nullptr;
    QWidget* networkPortRow_ = nullptr;
    QComboBox* networkPort_ = nullptr;
    CIpAddressCtrl* readAddressShow_ = nullptr;
    QLineEdit* readPort_ = nullptr;
    QPushButton* readAddress_ = nullptr;
    QPushButton* updateToLocal_ = nullptr;
    CIpAddressCtrl* mask_ = nullptr;
    QPushButton* setMask_ = nullptr;
    QPushButton* readMask_ = nullptr;
    CIpAddressCtrl* readMaskShow_ = nullptr;
    CIpAddressCtrl* gateway_ = nullptr;
    QPushButton* setGateway_ = nullptr;
    QPushButton* readGateway_ = nullptr;
    CIpAddressCtrl* readGatewayShow_ = nullptr;
};

// The main frame's processor settings command: runs the dialog on the
// current processor and applies what OK hands back (ApplyLinkSettings).
void OnSetProcessor(QWidget* parent);
