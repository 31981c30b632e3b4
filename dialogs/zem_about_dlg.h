#pragma once
// The about box of the device menu: the text of About.CFG, and the FPGA
// and microcontroller versions of the current processor on request.
#include <boost/signals2/connection.hpp>

#include "core/events.h"
#include "dialogs/modal_dialog.h"

class QLabel;

class CZemAboutDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CZemAboutDlg(QWidget* parent = nullptr);
    ~CZemAboutDlg() override;

    void OnGetFpgaVersion();
    void OnGetMcuVersion();
    void OnFpgaVersion(const CGetFPGAVerEvent& event);
    void OnMcuVersion(const CGetSTMVerEvent& event);

    QLabel* AboutText() const { return about_; }
    QLabel* FpgaText() const { return fpgaText_; }
    QLabel* McuText() const { return mcuText_; }
    QPushButton* FpgaButton() const { return fpga_; }
    QPushButton* McuButton() const { return mcu_; }
    QPushButton* CloseButton() const { return close_; }

protected:
    void OnInitDialog() override;

private:
    boost::signals2::scoped_connection fpgaConnection_;
    boost::signals2::scoped_connection mcuConnection_;
    QLabel* about_ = nullptr;
    QPushButton* fpga_ = nullptr;
    QPushButton* mcu_ = nullptr;
    QLabel* fpgaText_ = nullptr;
    QLabel* mcuText_ = nullptr;
    QPushButton* close_ = nullptr;
};
