#pragma once
// Runs the real program as a child process for the tests that need it:
// offscreen, in a main folder of the test's choosing, with its own runtime
// folder. The harness's time-out is the hang guard; nothing here times out.
#include <chrono>
#include <fcntl.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/support/test_files.h"

extern char** environ;

namespace tavrix::test {

// A main folder `<root>/bin`-style: the program runs in `<root>/bin`.
inline std::filesystem::path MakeMainFolder(const std::filesystem::path& root)
{
    std::filesystem::create_directories(root / "bin");
    std::filesystem::create_directories(root / "Sys");
    return root;
}

inline std::filesystem::path MakeRuntimeFolder(const std::filesystem::path& dir)
{
    std::filesystem::create_directories(dir);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    return dir;
}

// How a child program starts, beyond the usual.
struct ChildOptions {
    std::string stderrPath;            // its stderr goes there when given
    bool removeWorkingFolder = false;  // gone before the program runs
    std::vector<std::string> launcher; // a command and its arguments that run it
};

// The child leads a process group of its own, as a terminal's foreground
// job does, so a signal to the group reaches what Ctrl+C would reach.
class ChildProgram {
public:
    ChildProgram(const std::string& exe, const std::filesystem::path& mainFolder,
                 const std::filesystem::path& runtimeFolder, const ChildOptions& options = {})
    {
        const std::string cwd = (mainFolder / "bin").string();
        // Everything the child needs is made before the fork.
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0 && entry.rfind("XDG_RUNTIME_DIR=", 0) != 0)
                env.push_back(entry);
        }
        env.push_back("QT_QPA_PLATFORM=offscreen");
        env.push_back("XDG_RUNTIME_DIR=" + runtimeFolder.string());
        std::vector<char*> envp;
        for (auto& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::vector<std::string> args = options.launcher;
        args.push_back(exe);
        args.push_back("--unknown-argument");
        std::vector<char*> argv;
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            if (chdir(cwd.c_str()) != 0)
                _exit(126);
            if (options.removeWorkingFolder && rmdir(cwd.c_str()) != 0)
                _exit(126);
            if (!options.stderrPath.empty()) {
                const int fd = open(options.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (fd < 0 || dup2(fd, 2) < 0)
                    _exit(126);
            }
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        if (pid_ > 0)
            setpgid(pid_, pid_); // whichever of the two runs first
    }
    ~ChildProgram()
    {
        if (pid_ > 0 && !exited_) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    void Signal(int signal) const { kill(pid_, signal); }
    void SignalGroup(int signal) const { kill(-pid_, signal); }
    pid_t Pid() const { return pid_; }

    // The exit status, or -1 when ended by a signal.
    int Wait()
    {
        if (!exited_) {
            int status = 0;
            waitpid(pid_, &status, 0);
            exited_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return status_;
    }

    bool Running()
    {
        if (exited_)
            return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == 0)
            return true;
        exited_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = -1;
};

// Polls until `done` holds; the harness's time-out bounds the wait.
template <class Predicate>
void WaitUntil(Predicate done)
{
    while (!done())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

} // namespace tavrix::test
