#pragma once
// Programs the shortcut-key layouts of a kind-2 processor, one key every
// 2 s, while a progress bar counts the keys.
#include <memory>

#include "dialogs/modal_dialog.h"
#include "platform/ui/ui_timer.h"

class CQelProcessor;
class QLabel;
class QProgressBar;

class CInitProcessorDlg : public CModalDialog {
    Q_OBJECT
public:
    static constexpr int kStepMs = 2000;

    CInitProcessorDlg(std::shared_ptr<CQelProcessor> processor, QWidget* parent = nullptr);

    int CurrentStep() const { return step_; }
    bool IsRunning() const { return timer_.isActive(); }
    QLabel* Label() const { return label_; }
    QProgressBar* Progress() const { return progress_; }

    void done(int result) override;

protected:
    void OnInitDialog() override;
    void OnTimer();

private:
    // Ends the run with a message in the label and a message box.
    void Stop(const QString& message);

    std::shared_ptr<CQelProcessor> processor_;
    int step_ = 0;
    QLabel* label_ = nullptr;
    QProgressBar* progress_ = nullptr;
    ui::UiTimer timer_;
};

// The processor node's "初始化处理器" item, once the password is given.
int RunInitProcessorDlg(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor);
