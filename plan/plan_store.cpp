#include "plan/plan_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/context.h"
#include "app/program_log.h"
#include "corlane/app_path.h"
#include "corlane/fstr.h"

namespace fs = std::filesystem;

namespace plan_store {

namespace {

constexpr size_t kMaxFileName = 255;
constexpr char kBadSuffix[] = ".bad";
constexpr char kTempPattern[] = "/.plantmp.XXXXXX";

std::string ErrnoText(int err)
{
    return std::strerror(err);
}

} // namespace

bool IsSafeName(const std::string& name, std::string_view extension, std::string* why)
{
    auto fail = [why](const char* reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (name.empty())
        return fail("the name is empty");
    if (name == "." || name == "..")
        return fail("the name is a folder reference");
    for (unsigned char c : name) {
        if (c == '/' || c == '\\')
            return fail("the name holds a path separator");
        if (c < 0x20 || c == 0x7F)
            return fail("the name holds a control character");
    }
    if (name.size() + extension.size() > kMaxFileName)
        return fail("the name is too long for a file name");
    std::string ansi;
    if (!qz::vok::fstr_utf8toansi(name, ansi))
        return fail("the name has a character GB2312 lacks");
    return true;
}

std::string PlanFolderPath(const std::string& fileName)
{
    return qz::vok::path::GetPlanPath() + "/" + fileName;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, bool* missing)
{
    bytes.clear();
    std::error_code ec;
    const bool exists = fs::exists(fs::symlink_status(path, ec));
    if (missing)
        *missing = !exists;
    if (!exists)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteTemporary(const std::string& folder, std::string_view bytes, std::string& tempPath,
                    std::string& error)
{
    std::string pattern = folder + kTempPattern;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error = "cannot create a temporary file in " + folder + ": " + ErrnoText(errno);
        return false;
    }
    tempPath = name.data();
    // mkostemp makes the file 0600; the stored files are as readable as any.
    ::fchmod(fd, 0644);
    const char* p = bytes.data();
    size_t left = bytes.size();
    int err = 0;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            err = n < 0 ? errno : EIO;
            break;
        }
        p += n;
        left -= size_t(n);
    }
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        ::unlink(tempPath.c_str());
        error = "cannot write " + tempPath + ": " + ErrnoText(err);
        tempPath.clear();
        return false;
    }
    return true;
}

bool ReplaceInFolder(const std::string& folder, const std::string& fileName,
                     std::string_view bytes, std::string& error)
{
    std::string temp;
    if (!WriteTemporary(folder, bytes, temp, error))
        return false;
    const std::string path = folder + "/" + fileName;
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + ErrnoText(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool RemoveIfPresent(const std::string& path, std::string& error)
{
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return true;
    const int err = errno;
    error = "cannot remove " + path + ": " + ErrnoText(err);
    return false;
}

bool MoveIfPresent(const std::string& from, const std::string& to, bool& moved,
                   std::string& error)
{
    moved = false;
    if (std::rename(from.c_str(), to.c_str()) == 0) {
        moved = true;
        return true;
    }
    const int err = errno;
    if (err == ENOENT) {
        struct stat st;
        if (::lstat(from.c_str(), &st) != 0)
            return true; // nothing to move
    }
    error = "cannot move " + from + " to " + to + ": " + ErrnoText(err);
    return false;
}

void KeepAsBad(const std::string& path, const std::string& why)
{
    const std::string bad = path + kBadSuffix;
    std::error_code ec;
    fs::copy_file(path, bad, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        // A folder or unreadable file cannot be copied; moved aside it
        // still is not overwritten by the next save.
        std::error_code ec2;
        fs::rename(path, bad, ec2);
        if (ec2) {
            LogError(path + ": " + why + "; it could not be kept as " + bad + ": " +
                     ec2.message());
            return;
        }
    }
    LogError(path + ": " + why + "; kept as " + bad);
}

void LogError(const std::string& text)
{
    if (auto* log = CQelContext::GetLog())
        log->error("%s", text.c_str());
}

void LogWarning(const std::string& text)
{
    if (auto* log = CQelContext::GetLog())
        log->warn("%s", text.c_str());
}

} // namespace plan_store
