#pragma once
#include <QMainWindow>
#include <functional>

#include "frame/tavrix_doc.h"
#include "platform/ui/ui_timer.h"

class CSingleInstance;

// The main window. Its 50 ms timer carries the events that worker threads
// post to the UI thread, turns a termination signal into an ordinary close
// and answers another copy's raise request. Closing it stops that timer
// first, then runs the close handler given at construction.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 50;

    // `instance` (may be null) is polled for raise requests.
    CMainFrame(std::function<void()> onClose, CSingleInstance* instance, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CTavrixDoc& GetDocument() { return doc_; }
    bool IsPumping() const { return timer_.isActive(); }

    // Restores the window when minimised and brings it forward.
    void RaiseFromOtherInstance();

public slots:
    // The application's about command.
    void OnAppAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnTimer();

    std::function<void()> onClose_;
    CSingleInstance* instance_ = nullptr;
    CTavrixDoc doc_;
    ui::UiTimer timer_;
    bool closing_ = false;
};
