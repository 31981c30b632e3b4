#pragma once
// Real file faults for the tests: a case run in a child process, as the
// user nobody where a file without read permission must really be
// unreadable (root reads everything), and a small tmpfs that fills up.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrix::test {

// What a case in a child process found wrong, one line each; empty when
// all was well.
class ChildReport {
public:
    void Expect(bool ok, const std::string& what)
    {
        if (!ok)
            text_ += what + "\n";
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// Runs `body` in a child process, as nobody when `asNobody`, and returns
// what it reported, or why the child failed (a crash shows as its signal).
inline std::string RunInChild(const std::function<std::string()>& body, bool asNobody = false)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe";
    const struct passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody ? nobody->pw_uid : 65534;
    const gid_t gid = nobody ? nobody->pw_gid : 65534;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string text;
        if (asNobody && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)) {
            text = "cannot become nobody: " + std::string(std::strerror(errno));
        } else {
            try {
                text = body();
            } catch (const std::exception& e) {
                text = std::string("exception: ") + e.what();
            }
        }
        for (size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(pipeFds[1], text.data() + done, text.size() - done);
            if (n <= 0)
                break;
            done += size_t(n);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        text.append(buffer, size_t(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status))
        text += "the child ended with signal " + std::to_string(WTERMSIG(status)) + "\n";
    else if (WEXITSTATUS(status) != 0)
        text += "the child exited with " + std::to_string(WEXITSTATUS(status)) + "\n";
    return text;
}

// Root alone can take another user's identity; elsewhere a case that needs
// it is skipped with this text.
inline std::optional<std::string> WhyNotAsNobody()
{
    if (::geteuid() != 0)
        return "needs root to run the case as the user nobody (root reads any file)";
    return std::nullopt;
}

// Gives `path` and the folders above it to nobody, so a case run as nobody
// can work there.
inline void HandToNobody(const std::filesystem::path& path)
{
    const struct passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody ? nobody->pw_uid : 65534;
    const gid_t gid = nobody ? nobody->pw_gid : 65534;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
        if (::lchown(entry.path().c_str(), uid, gid) != 0) {
        }
    if (::lchown(path.c_str(), uid, gid) != 0) {
    }
    // The folders above only need to be passed through.
    namespace fs = std::filesystem;
    for (auto up = fs::absolute(path).parent_path(); up != up.root_path(); up = up.parent_path())
        if ((fs::status(up).permissions() & fs::perms::others_exec) == fs::perms::none)
            fs::permissions(up, fs::perms::others_exec, fs::perm_options::add);
}

// In a child process: mounts a tmpfs of `kib` KiB at `dir` in a mount
// namespace of the child's own, so it goes when the child does. False,
// with why, where that is not allowed.
inline bool MountSmallTmpfs(const std::filesystem::path& dir, int kib, std::string& why)
{
    std::filesystem::create_directories(dir);
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", dir.c_str(), "tmpfs", 0, ("size=" + std::to_string(kib) + "k").c_str()) != 0) {
        why = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace tavrix::test
