#pragma once
// An input's picture: brightness, contrast, saturation and colour, each
// sent to the device when its slider is let go.
#include <array>
#include <memory>

#include "dialogs/modal_dialog.h"

class CQelSigSrc;
class QLabel;
class QPushButton;
class QSlider;

class CSetSigSrcDlg : public CModalDialog {
    Q_OBJECT
public:
    static constexpr int kControls = 4;

    explicit CSetSigSrcDlg(std::shared_ptr<CQelSigSrc> source, QWidget* parent = nullptr);

    QSlider* Slider(int control) const { return sliders_[size_t(control)]; }
    QLabel* ValueText(int control) const { return values_[size_t(control)]; }
    QPushButton* DefaultsButton() const { return defaults_; }

    // Sends one control's value and stores it when the device has the
    // source.
    void SendControl(int control, int value);
    void OnDefaults();

protected:
    void OnInitDialog() override;

private:
    std::shared_ptr<CQelSigSrc> source_;
    std::array<QSlider*, kControls> sliders_{};
    std::array<QLabel*, kControls> labels_{};
    std::array<QLabel*, kControls> values_{};
    QPushButton* defaults_ = nullptr;
};

// The source tree's "设置输入信号源参数" on an input.
void RunSetSigSrc(QWidget* parent, const std::shared_ptr<CQelSigSrc>& source);
