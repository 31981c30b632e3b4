#pragma once
// The window border fine-tune: whether the border is adjusted, its size
// (0-15) and brightness (0-3). The opener fills the values before the run
// and reads them after OK.
#include <functional>

#include "dialogs/modal_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class CDlgFWndSizeFineTune : public CModalDialog {
    Q_OBJECT
public:
    explicit CDlgFWndSizeFineTune(QWidget* parent = nullptr);

    bool m_bEnable = false;
    int m_nSize = 0;
    int m_nBrightness = 0;

    QLineEdit* SizeEdit() const { return size_; }
    QLineEdit* BrightnessEdit() const { return brightness_; }
    QCheckBox* EnableCheck() const { return enable_; }

protected:
    void OnInitDialog() override;
    // Refuses a size or brightness outside its range with the standard
    // message; the device would take any number it is sent.
    void OnOK() override;

private:
    QLabel* sizeLabel_ = nullptr;
    QLineEdit* size_ = nullptr;
    QLabel* sizeHint_ = nullptr;
    QLabel* brightnessLabel_ = nullptr;
    QLineEdit* brightness_ = nullptr;
    QLabel* brightnessHint_ = nullptr;
    QCheckBox* enable_ = nullptr;
};

// The main frame's border fine-tune for the current processor: the dialog,
// then the processor file and the two border lines; `resendPlan` runs last,
// when the processor is connected.
void RunBorderFineTune(QWidget* parent, const std::function<void()>& resendPlan);
