#pragma once
// Test colours on the selected processor's outputs: a solid colour on the
// chosen output, its picture back, and every output's picture back when
// the dialog closes.
#include <array>
#include <cstdint>

#include "dialogs/modal_dialog.h"

class CUiButton;
class CUiSheetCtrl;
class QLabel;
class QLineEdit;
class QPushButton;

// The device's colour word of a test pattern: 0xRRGGBB.
constexpr uint32_t TestPatternColour(int red, int green, int blue)
{
    return uint32_t(red) << 16 | uint32_t(green) << 8 | uint32_t(blue);
}

class CTestOutputDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CTestOutputDlg(QWidget* parent = nullptr);

    int m_nRed = 255;
    int m_nGreen = 0;
    int m_nBlue = 0;

    void OnTestOutput();
    void OnPictureOutput();
    void OnChooseColour();
    // Escape and the close box: the picture back on every output first.
    void reject() override;

    CUiButton* Swatch() const { return swatch_; }
    CUiSheetCtrl* OutputSheet() const { return sheet_; }
    QLineEdit* ColourEdit(int index) const { return edits_[size_t(index)]; }
    QPushButton* TestButton() const { return test_; }
    QPushButton* PictureButton() const { return picture_; }

protected:
    void OnInitDialog() override;
    // Closing puts the picture back on every output first.
    void OnCancel() override;

private:
    // Reads the three edits with their range check; false, told, when one
    // is outside 0 to 255.
    bool ReadColour();
    void ShowColour();
    // Sends the pattern to the first selected row's output; told when none.
    void SendToSelected(int mode, uint32_t colour);

    CUiButton* swatch_ = nullptr;
    CUiSheetCtrl* sheet_ = nullptr;
    std::array<QLineEdit*, 3> edits_{};
    QPushButton* test_ = nullptr;
    QPushButton* picture_ = nullptr;
    QLabel* prompt_ = nullptr;
};

// The source tree's "测试输出端口" on a processor.
void RunTestOutput(QWidget* parent);
