#pragma once
#include <memory>
#include <string>

#include "startup/bootstrap.h"

class CMainFrame;

// The application object: start-up up to the shown main window, and the
// tear-down after it has closed. Needs a QApplication.
class CTavrixApp {
public:
    explicit CTavrixApp(std::string lockDir = {});
    ~CTavrixApp();
    CTavrixApp(const CTavrixApp&) = delete;
    CTavrixApp& operator=(const CTavrixApp&) = delete;

    // False when this process is to end without a window (another copy
    // runs); the caller then goes straight to ExitInstance.
    bool InitInstance();
    // Closes the window if it is still open, then tears everything down.
    void ExitInstance();

    CMainFrame* MainFrame() const { return frame_.get(); }
    CTavrixBootstrap& Bootstrap() { return bootstrap_; }

private:
    CTavrixBootstrap bootstrap_;
    std::unique_ptr<CMainFrame> frame_;
    bool exited_ = false;
};

// The program: runs the application object around the Qt event loop and
// returns the process's exit status.
int RunTavrix(int argc, char** argv);
