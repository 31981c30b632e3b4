#include "platform/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

bool Fail(std::string* error, const std::string& what, int err) {
    if (error) {
        *error = what + ": " + std::strerror(err);
    }
    return false;
}

} // namespace

bool ReplaceFileContents(const std::string& path, std::string_view data, std::string* error) {
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        return Fail(error, "cannot create a temporary file beside " + path, errno);
    }
    const std::string temp(name.data());
    // mkostemp makes the file 0600; a replaced file is as readable as any.
    ::fchmod(fd, 0644);

    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(temp.c_str());
            return Fail(error, "cannot write " + temp, err);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return Fail(error, "cannot flush " + temp, err);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Fail(error, "cannot close " + temp, err);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Fail(error, "cannot replace " + path, err);
    }
    return true;
}

} // namespace platform
