#include "startup/single_instance.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A raise request still incomplete after this many polls (about a second
// at the window's tick) is dropped, and so is any connection beyond these.
constexpr int kMaxPendingPolls = 20;
constexpr size_t kMaxPending = 8;

bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A connected socket to the raise path, or -1.
int ConnectTo(const std::string& path)
{
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool UsableDir(const char* path)
{
    struct stat st;
    return path && *path && stat(path, &st) == 0 && S_ISDIR(st.st_mode) && access(path, W_OK | X_OK) == 0;
}

} // namespace

std::string ChooseLockDir(const char* runtimeDir, const std::string& fallbackBase, std::string& warning)
{
    warning.clear();
    if (UsableDir(runtimeDir))
        return runtimeDir;
    const std::string dir = fallbackBase + "/tavrix-" + std::to_string(getuid());
    warning = runtimeDir && *runtimeDir ? "XDG_RUNTIME_DIR is not a writable folder" : "XDG_RUNTIME_DIR is not set";
    warning += "; using " + dir;
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        warning = "no lock folder: cannot make " + dir + ": " + std::strerror(errno);
        return {};
    }
    // Whatever is there must be our own real folder: another user could
    // otherwise read our requests or hold our flag.
    struct stat st;
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
        warning = "no lock folder: " + dir + " is not a folder of this user";
        return {};
    }
    if ((st.st_mode & 0077) != 0 && chmod(dir.c_str(), 0700) != 0) {
        warning = "no lock folder: cannot make " + dir + " private";
        return {};
    }
    return dir;
}

CSingleInstance::CSingleInstance(std::string lockDir) : dir_(std::move(lockDir)) {}

CSingleInstance::~CSingleInstance()
{
    Release();
}

CSingleInstance::Result CSingleInstance::Acquire()
{
    if (dir_.empty() || flagFd_ >= 0)
        return flagFd_ >= 0 ? Result::First : Result::NoLock;
    // Testing the flag and taking a shared hold on it are two steps; the
    // guard file keeps two starting copies from interleaving them.
    const std::string guardPath = Path(kFlagName) + ".guard";
    const int guard = open(guardPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (guard < 0)
        return Result::NoLock;
    if (flock(guard, LOCK_EX) != 0) {
        close(guard);
        return Result::NoLock;
    }
    const std::string flagPath = Path(kFlagName);
    flagFd_ = open(flagPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    Result result = Result::NoLock;
    if (flagFd_ >= 0) {
        const bool alone = flock(flagFd_, LOCK_EX | LOCK_NB) == 0;
        if (flock(flagFd_, LOCK_SH) == 0) {
            result = alone ? Result::First : Result::Running;
        } else {
            close(flagFd_);
            flagFd_ = -1;
        }
    }
    close(guard);
    return result;
}

void CSingleInstance::Release()
{
    for (auto& p : pending_)
        close(p.fd);
    pending_.clear();
    if (listenFd_ >= 0) {
        // Remove the path only while it is still ours.
        struct stat st;
        const std::string path = Path(kRaiseSocketName);
        if (lstat(path.c_str(), &st) == 0 && st.st_ino == listenInode_)
            unlink(path.c_str());
        close(listenFd_);
        listenFd_ = -1;
    }
    if (flagFd_ >= 0) {
        close(flagFd_);
        flagFd_ = -1;
    }
}

bool CSingleInstance::RequestRaise() const
{
    if (dir_.empty())
        return false;
    const int fd = ConnectTo(Path(kRaiseSocketName));
    if (fd < 0)
        return false;
    const ssize_t sent = send(fd, kRaiseRequest.data(), kRaiseRequest.size(), MSG_NOSIGNAL);
    close(fd);
    return sent == ssize_t(kRaiseRequest.size());
}

bool CSingleInstance::Listen()
{
    if (dir_.empty() || listenFd_ >= 0)
        return listenFd_ >= 0;
    const std::string path = Path(kRaiseSocketName);
    if (const int other = ConnectTo(path); other >= 0) {
        close(other); // another running copy serves it
        return false;
    }
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return false;
    unlink(path.c_str()); // left by a copy that was killed
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    struct stat st;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
        lstat(path.c_str(), &st) != 0) {
        close(fd);
        return false;
    }
    listenFd_ = fd;
    listenInode_ = st.st_ino;
    return true;
}

bool CSingleInstance::PollRaise()
{
    if (listenFd_ < 0)
        return false;
    for (;;) {
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            break;
        if (pending_.size() >= kMaxPending) {
            close(fd);
            continue;
        }
        pending_.push_back({fd, {}, 0});
    }
    bool raise = false;
    for (auto it = pending_.begin(); it != pending_.end();) {
        bool done = false;
        char buffer[64];
        for (;;) {
            const ssize_t got = recv(it->fd, buffer, sizeof buffer, 0);
            if (got > 0) {
                it->data.append(buffer, size_t(got));
                if (it->data.size() > kRaiseRequest.size()) {
                    done = true;
                    break;
                }
                continue;
            }
            if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
                done = true;
            break;
        }
        if (!done && it->data.size() == kRaiseRequest.size())
            done = true; // a complete request needs no end of stream
        if (!done && ++it->polls >= kMaxPendingPolls)
            done = true;
        if (done) {
            raise = raise || it->data == kRaiseRequest;
            close(it->fd);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    return raise;
}
