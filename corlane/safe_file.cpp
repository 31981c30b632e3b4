#include "corlane/safe_file.h"

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qz::vok {

namespace {

class fd_guard {
public:
    explicit fd_guard(int fd) : fd_(fd) {}
    ~fd_guard()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    fd_guard(const fd_guard&) = delete;
    fd_guard& operator=(const fd_guard&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// A shared (read) lock: readers and writers of this library never exclude
// each other, only holders of an exclusive lock are kept out.
bool lock_range(int fd, short type, uint32_t length)
{
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = static_cast<off_t>(length);
    while (::fcntl(fd, F_SETLKW, &fl) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void unlock_range(int fd, uint32_t length)
{
    lock_range(fd, F_UNLCK, length);
}

} // namespace

uint32_t fs_safe_read_binary(uint8_t*& out, const char* path)
{
    if (!path)
        return 0;
    fd_guard file(::open(path, O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return 0;
    struct stat st {};
    if (::fstat(file.get(), &st) != 0 || st.st_size <= 0)
        return 0;
    if (static_cast<uint64_t>(st.st_size) > UINT32_MAX)
        return 0; // the size would not fit the result
    const uint32_t size = static_cast<uint32_t>(st.st_size);
    if (!lock_range(file.get(), F_RDLCK, size))
        return 0;

    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size]);
    uint32_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(file.get(), bytes.get() + done, size - done, done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<uint32_t>(n);
    }
    unlock_range(file.get(), size);
    if (done != size) {
        out = nullptr;
        return 0;
    }
    out = bytes.release();
    return size;
}

uint32_t fs_safe_write_binary(const void* data, uint32_t length, const char* path)
{
    if (!path || (!data && length > 0))
        return 0;
    // Read-write: a read lock needs a descriptor open for reading.
    fd_guard file(::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (file.get() < 0 || length == 0)
        return 0; // a zero-length lock would cover the whole file
    if (!lock_range(file.get(), F_RDLCK, length))
        return 0;

    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t done = 0;
    while (done < length) {
        ssize_t n = ::pwrite(file.get(), bytes + done, length - done, done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<uint32_t>(n);
    }
    bool ok = done == length && ::fsync(file.get()) == 0;
    unlock_range(file.get(), length);
    return ok ? length : 0;
}

} // namespace qz::vok
