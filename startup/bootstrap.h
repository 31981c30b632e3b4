#pragma once
#include <memory>
#include <string>
#include <vector>

#include "startup/single_instance.h"

// The program's start and end, without any window: what runs before the
// main window is made, what its close handler runs, and the ordered
// tear-down after it has gone. The UI layer drives it (tests drive it
// directly): Start, then Close from the close handler once the window's
// event pump has stopped, then Shutdown.
class CTavrixBootstrap {
public:
    enum class StartResult {
        Run,          // go on and show the window
        OtherRunning, // another copy runs and only one may: end quietly
    };

    // `lockDir` overrides the lock folder choice (tests); empty chooses it.
    explicit CTavrixBootstrap(std::string lockDir = {});
    // Runs Shutdown when the caller did not.
    ~CTavrixBootstrap();
    CTavrixBootstrap(const CTavrixBootstrap&) = delete;
    CTavrixBootstrap& operator=(const CTavrixBootstrap&) = delete;

    StartResult Start();

    // Problems the operator is told about once the window shows; each is
    // handed out once.
    std::vector<std::string> TakeOperatorMessages();

    CSingleInstance& Instance() { return *instance_; }

    // The close handler's work, done once: stop jobs and paced senders
    // (queued commands are dropped), close the links, then save the plan
    // list, the cycle plans, every processor file, Main.ini and
    // MultiScreenView.ini. A file that cannot be written is logged and
    // printed, and the close goes on.
    void Close();
    // Whether the close could not save some file: the program's exit status
    // tells it.
    bool SaveFailed() const { return saveFailed_; }

    // Closes when that has not happened, then releases the process-wide
    // objects in the reverse order of their making. Once.
    void Shutdown();

private:
    void StopJobs();
    void TellOfProcessorFile();
    void LoadPlanLists();
    void SavePlanLists();
    void ReportSaveFailure(const std::string& what);

    std::unique_ptr<CSingleInstance> instance_;
    std::vector<std::string> messages_;
    bool started_ = false;
    bool closed_ = false;
    bool shutDown_ = false;
    bool saveFailed_ = false;
};
