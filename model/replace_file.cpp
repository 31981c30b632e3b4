#include "model/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Describe(const char* step, const std::string& path)
{
    return std::string(step) + " " + path + ": " + std::strerror(errno);
}

} // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& error)
{
    std::vector<char> tmp(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    tmp.insert(tmp.end(), suffix, suffix + sizeof(suffix)); // with the terminator
    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        error = Describe("cannot create a temporary file for", path);
        return false;
    }
    const std::string tmpPath(tmp.data());
    fchmod(fd, 0644);

    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = Describe("cannot write", tmpPath);
            ok = false;
        } else {
            done += static_cast<size_t>(n);
        }
    }
    if (ok && fsync(fd) != 0) {
        error = Describe("cannot flush", tmpPath);
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        error = Describe("cannot close", tmpPath);
        ok = false;
    }
    if (ok && std::rename(tmpPath.c_str(), path.c_str()) != 0) {
        error = Describe("cannot rename over", path);
        ok = false;
    }
    if (!ok)
        unlink(tmpPath.c_str());
    return ok;
}
