#include "corlane/file_store.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qz::vok::file_store {

namespace {

constexpr char bad_suffix[] = ".bad";
constexpr int create_attempts = 16;

std::string errno_text(int err)
{
    return std::strerror(err);
}

// What the process found of each path it could not use; see the header.
class outcomes {
public:
    static outcomes& get()
    {
        static outcomes instance;
        return instance;
    }
    void set(const std::string& path, outcome what)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (what == outcome::none)
            map_.erase(path);
        else
            map_[path] = what;
    }
    // A successful read only clears the mark of an unreadable file: one
    // found damaged stays marked until it is kept or gone.
    void readable(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = map_.find(path);
        if (it != map_.end() && it->second == outcome::unreadable)
            map_.erase(it);
    }
    outcome get(const std::string& path) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = map_.find(path);
        return it == map_.end() ? outcome::none : it->second;
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, outcome> map_;
};

// The file a replace writes: the link's target for a link, the path itself
// otherwise. `exists` tells whether there is a file to take the mode from.
struct target_file {
    std::string path;
    bool exists = false;
    struct stat st {};
};

bool resolve_target(const std::string& path, target_file& target, std::string& error)
{
    target.path = path;
    struct stat ls {};
    if (::lstat(path.c_str(), &ls) != 0) {
        if (errno == ENOENT)
            return true; // a new file
        error = "cannot look at " + path + ": " + errno_text(errno);
        return false;
    }
    if (S_ISLNK(ls.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real) {
            error = path + " is a link to nothing";
            return false;
        }
        target.path = real;
        std::free(real);
    }
    if (::stat(target.path.c_str(), &target.st) != 0) {
        error = "cannot look at " + target.path + ": " + errno_text(errno);
        return false;
    }
    if (!S_ISREG(target.st.st_mode)) {
        error = path + " is not a file";
        return false;
    }
    target.exists = true;
    return true;
}

std::string folder_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporary files of one target share a short prefix made from its name, so
// the next save finds a killed save's leftovers; a name at the file-name
// limit still leaves room for it.
std::string temp_prefix(const std::string& name)
{
    uint64_t hash = 0xcbf29ce484222325ull; // FNV-1a
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    char text[32];
    std::snprintf(text, sizeof text, ".%016llx.tmp", static_cast<unsigned long long>(hash));
    return text;
}

std::string unique_suffix()
{
    static std::atomic<uint64_t> serial{0};
    const uint64_t ticks = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const uint64_t mix = (uint64_t(::getpid()) << 40) ^ (serial++ << 20) ^ ticks;
    char text[24];
    std::snprintf(text, sizeof text, "%012llx", static_cast<unsigned long long>(mix & 0xFFFFFFFFFFFFull));
    return text;
}

// A live save holds a lock on its temporary file until it is renamed, so
// only files nobody holds are leftovers.
void remove_leftovers(const std::string& folder, const std::string& prefix)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const int dir_fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const int fd = ::openat(dir_fd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        // Only what it could lock, and only while the name still is that file.
        struct stat st {};
        struct stat named {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dir_fd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == st.st_dev &&
            named.st_ino == st.st_ino)
            ::unlinkat(dir_fd, name.c_str(), 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Locks a new temporary file for as long as it is open. Between its creation
// and the lock another program's clean-up may have found no holder and
// removed it: false then, as it is no longer linked.
bool lock_new_temporary(int fd)
{
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        // a file system without locks leaves every clean-up without them too
    }
    struct stat st {};
    return ::fstat(fd, &st) == 0 && st.st_nlink > 0;
}

void sync_folder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool refused(const std::string& path, std::string& error)
{
    const outcome what = outcomes::get().get(path);
    if (what != outcome::unreadable && what != outcome::not_kept)
        return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) {
        outcomes::get().set(path, outcome::none); // gone: nothing left to lose
        return false;
    }
    error = path + (what == outcome::unreadable ? " could not be read" : " is damaged and was not kept") +
            "; it is left as it is";
    return true;
}

// Writes and flushes the temporary file of `target`; `mode` (when not
// negative) is given to it instead of the old file's.
bool write_temporary(const target_file& target, std::string_view bytes, int mode, std::string& temp, int& fd,
                     std::string& error)
{
    const std::string folder = folder_of(target.path);
    const std::string prefix = temp_prefix(name_of(target.path));
    remove_leftovers(folder, prefix);

    fd = -1;
    for (int attempt = 0; attempt < create_attempts && fd < 0; ++attempt) {
        temp = folder + "/" + prefix + unique_suffix();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
        if (fd >= 0 && !lock_new_temporary(fd)) {
            ::close(fd);
            fd = -1;
            errno = ENOENT; // taken away each time
        }
    }
    if (fd < 0) {
        error = "cannot create a temporary file in " + folder + ": " + errno_text(errno);
        temp.clear();
        return false;
    }
    if (mode >= 0) {
        ::fchmod(fd, mode_t(mode));
    } else if (target.exists) {
        ::fchmod(fd, target.st.st_mode & 07777);
        if ((target.st.st_uid != ::geteuid() || target.st.st_gid != ::getegid()) &&
            ::fchown(fd, target.st.st_uid, target.st.st_gid) != 0) {
            // not the process's to give: the file becomes its own
        }
    }
    if (!write_all(fd, bytes) || ::fsync(fd) != 0) {
        error = "cannot write " + temp + ": " + errno_text(errno);
        ::unlink(temp.c_str());
        ::close(fd);
        fd = -1;
        temp.clear();
        return false;
    }
    return true;
}

} // namespace

bool write_all(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        p += n;
        left -= size_t(n);
    }
    return true;
}

opened_file open_regular(const std::string& path, int flags)
{
    opened_file file;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    if (fd < 0) {
        file.err = errno;
        file.error = errno_text(file.err);
        return file;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        file.err = errno;
        file.error = errno_text(file.err);
    } else if (!S_ISREG(st.st_mode)) {
        file.err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        file.error = S_ISDIR(st.st_mode) ? "it is a folder, not a file" : "it is not a regular file";
    } else {
        file.fd = fd;
        file.size = uint64_t(st.st_size);
        return file;
    }
    ::close(fd);
    return file;
}

read_result read_file(const std::string& path, size_t limit)
{
    read_result result;
    auto fail = [&](const std::string& why) {
        result.status = read_status::unreadable;
        result.bytes.clear();
        result.error = why;
        outcomes::get().set(path, outcome::unreadable);
        return result;
    };

    struct stat ls {};
    if (::lstat(path.c_str(), &ls) != 0) {
        if (errno == ENOENT) {
            outcomes::get().set(path, outcome::none);
            return result;
        }
        return fail(errno_text(errno));
    }
    const opened_file file = open_regular(path, O_RDONLY);
    if (file.fd < 0) {
        if (file.err == ENOENT && S_ISLNK(ls.st_mode))
            return fail("it is a link to nothing");
        return fail(file.error);
    }
    const int fd = file.fd;
    if (file.size > limit) {
        ::close(fd);
        return fail("it is larger than " + std::to_string(limit) + " bytes");
    }
    // One byte more than the size: a file that grows while read shows it.
    std::string bytes(size_t(file.size) + 1, '\0');
    size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > limit)
                break;
            bytes.resize(std::min(limit + 1, done * 2));
        }
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return fail(errno_text(err));
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    ::close(fd);
    if (done > limit)
        return fail("it is larger than " + std::to_string(limit) + " bytes");
    bytes.resize(done);
    result.status = read_status::ok;
    result.bytes = std::move(bytes);
    outcomes::get().readable(path);
    return result;
}

pending_replace::~pending_replace()
{
    discard();
}

void pending_replace::discard()
{
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    if (fd_ >= 0)
        ::close(fd_);
    temp_.clear();
    target_.clear();
    fd_ = -1;
}

bool pending_replace::prepare(const std::string& path, std::string_view bytes, std::string& error)
{
    discard();
    target_file target;
    if (refused(path, error) || !resolve_target(path, target, error))
        return false;
    if (!write_temporary(target, bytes, -1, temp_, fd_, error))
        return false;
    target_ = target.path;
    return true;
}

bool pending_replace::commit(std::string& error)
{
    if (temp_.empty()) {
        error = "nothing prepared to replace " + target_;
        return false;
    }
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
        error = "cannot replace " + target_ + ": " + errno_text(errno);
        discard();
        return false;
    }
    temp_.clear(); // it is the file now
    sync_folder(folder_of(target_));
    discard();
    return true;
}

bool replace_file(const std::string& path, std::string_view bytes, std::string& error)
{
    pending_replace replacement;
    return replacement.prepare(path, bytes, error) && replacement.commit(error);
}

create_status create_file(const std::string& path, std::string_view bytes, std::string& error)
{
    target_file target;
    target.path = path;
    std::string temp;
    int fd = -1;
    if (!write_temporary(target, bytes, -1, temp, fd, error))
        return create_status::failed;
    // link() refuses any name that is taken, where rename() would replace it.
    const int linked = ::link(temp.c_str(), path.c_str());
    const int err = errno;
    ::unlink(temp.c_str());
    ::close(fd);
    if (linked == 0) {
        sync_folder(folder_of(path));
        return create_status::created;
    }
    if (err == EEXIST)
        return create_status::exists;
    error = "cannot create " + path + ": " + errno_text(err);
    return create_status::failed;
}

keep_result keep_as_bad(const std::string& path, std::string_view bytes)
{
    const std::string bad = path + bad_suffix;
    keep_result result;
    std::string error;
    struct stat st {};
    const int mode = ::stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    target_file target;
    std::string temp;
    int fd = -1;
    if (resolve_target(bad, target, error) && write_temporary(target, bytes, mode, temp, fd, error)) {
        if (std::rename(temp.c_str(), target.path.c_str()) == 0) {
            sync_folder(folder_of(target.path));
            result.kept = true;
        } else {
            error = "cannot replace " + target.path + ": " + errno_text(errno);
            ::unlink(temp.c_str());
        }
        ::close(fd);
    }
    if (result.kept) {
        result.text = "kept as " + bad;
        outcomes::get().set(path, outcome::kept_as_bad);
    } else {
        result.text = "not kept (" + error + "); it is left as it is and not replaced";
        outcomes::get().set(path, outcome::not_kept);
    }
    return result;
}

outcome last_outcome(const std::string& path)
{
    return outcomes::get().get(path);
}

} // namespace qz::vok::file_store
