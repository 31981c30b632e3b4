#pragma once
// Chooses the current processor's output resolution from its list, or a
// custom width and height; a picture splitter gets one for each output.
#include <cstdint>

#include "dialogs/modal_dialog.h"
#include "dialogs/output_resolution.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

class CSetOutResolutionDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CSetOutResolutionDlg(QWidget* parent = nullptr);

    // In: the processor's id and its resolution; out after OK: the chosen
    // id (255 for a custom entry), its resolution, and the second list's.
    uint32_t m_nResolutionId = 0;
    Resolution m_firstResolution{0, 0, outres::kCustomRate};
    Resolution m_secondResolution{0, 0, outres::kCustomRate};
    int32_t m_nCustomWidth = 0;
    int32_t m_nCustomHeight = 0;
    bool m_bCustom = false;

    QComboBox* FirstList() const { return first_; }
    QComboBox* SecondList() const { return second_; }
    QLineEdit* WidthEdit() const { return width_; }
    QLineEdit* HeightEdit() const { return height_; }
    QCheckBox* CustomCheck() const { return custom_; }
    QLabel* FirstLabel() const { return firstLabel_; }
    QLabel* SecondLabel() const { return secondLabel_; }

    void OnBnClickedOk();
    void OnBnClickedCustom();

protected:
    void OnInitDialog() override;
    void OnOK() override { OnBnClickedOk(); }

private:
    // List 1001 usable with the custom switch off, the edits with it on.
    void EnableByCustom();

    QGroupBox* group_ = nullptr;
    QLabel* firstLabel_ = nullptr;
    QLabel* secondLabel_ = nullptr;
    QLabel* by_ = nullptr;
    QComboBox* first_ = nullptr;
    QComboBox* second_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* height_ = nullptr;
    QCheckBox* custom_ = nullptr;
};
