#include "frame/main_frame.h"

#include <QCloseEvent>

#include "app/event_pump.h"
#include "app/single_instance.h"
#include "app/termination_signals.h"
#include "frame/about_dlg.h"
#include "platform/ui/modal.h"
#include "views/view_manager.h"

CMainFrame::CMainFrame(std::function<void()> onClose, CSingleInstance* instance, QWidget* parent)
    : QMainWindow(parent), onClose_(std::move(onClose)), instance_(instance)
{
    setWindowTitle(QStringLiteral("Tavrix"));
    doc_.OnNewDocument();
    connect(&timer_, &ui::UiTimer::timeout, this, &CMainFrame::OnTimer);
    timer_.start(kTimerMs);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::OnTimer()
{
    if (TerminationRequested()) {
        close();
        return;
    }
    PumpEvents();
    if (instance_ && instance_->PollRaise())
        RaiseFromOtherInstance();
}

void CMainFrame::RaiseFromOtherInstance()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(this);
    ui::runDialog(dialog);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!closing_) {
        closing_ = true;
        // Nothing reaches the UI once the close has begun.
        timer_.stop();
        // The views save their settings as they go, before the close
        // handler writes the settings file.
        CViewManager::get_instance().DestroyViews();
        if (onClose_)
            onClose_();
    }
    event->accept();
}
