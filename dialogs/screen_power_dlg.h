#pragma once
// The screen power settings dialog: how the wall's displays are reached
// and the two commands that switch them on and off.
#include "dialogs/modal_dialog.h"
#include "dialogs/screen_power_file.h"

class CLargeScreenSystem;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class CDlgScreenConfig : public CModalDialog {
    Q_OBJECT
public:
    explicit CDlgScreenConfig(QWidget* parent = nullptr);

    // Set by the opener before DoModal and read back after OK; the model
    // and its list pass through unchanged.
    ScreenPowerSettings m_settings;
    int m_nSpare = 0;

    QComboBox* ModeList() const { return mode_; }
    QComboBox* PortList() const { return ports_; }
    QLineEdit* BaudEdit() const { return baud_; }
    QLineEdit* IpEdit() const { return ip_; }
    QLineEdit* PortEdit() const { return port_; }
    QLineEdit* OpenEdit() const { return open_; }
    QLineEdit* CloseEdit() const { return close_; }
    QGroupBox* DetailGroup() const { return detail_; }
    QGroupBox* AdvancedGroup() const { return advanced_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void ShowModeDetails(int mode);
    // The command of an edit when the wire format takes it; else tells why.
    bool TakeCommand(QLineEdit* edit, std::string& command);

    QComboBox* mode_ = nullptr;
    QComboBox* ports_ = nullptr;
    QLineEdit* baud_ = nullptr;
    QLineEdit* ip_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* open_ = nullptr;
    QLineEdit* close_ = nullptr;
    QGroupBox* connection_ = nullptr;
    QGroupBox* detail_ = nullptr;
    QGroupBox* commands_ = nullptr;
    QGroupBox* advanced_ = nullptr;
    QRadioButton* model_ = nullptr;
    QLabel* modeLabel_ = nullptr;
    QLabel* portLabel_ = nullptr;
    QLabel* baudLabel_ = nullptr;
    QLabel* ipLabel_ = nullptr;
    QLabel* netPortLabel_ = nullptr;
    QLabel* openLabel_ = nullptr;
    QLabel* closeLabel_ = nullptr;
    QLabel* hint_ = nullptr;
};

// The frame's screen configuration command: runs the dialog over the
// current settings and, on OK, takes its values, installs a controller for
// the chosen model and saves the file. True when the operator confirmed.
bool RunScreenConfig(CLargeScreenSystem& system, QWidget* parent = nullptr);
