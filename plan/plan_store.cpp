#include "plan/plan_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "context/context.h"
#include "core/program_log.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "corlane/fstr.h"

namespace plan_store {

namespace {

constexpr size_t kMaxFileName = 255;

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

bool RemoveIfPresent(const std::string& path, std::string& error)
{
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return true;
    const int err = errno;
    error = "cannot remove " + path + ": " + ErrnoText(err);
    return false;
}

bool MoveIfPresent(const std::string& from, const std::string& to, bool& moved, std::string& error)
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

std::optional<std::string> ReadStored(const std::string& path, const std::string& what, bool* unreadable)
{
    namespace store = qz::vok::file_store;
    store::read_result file = store::read_file(path);
    if (unreadable)
        *unreadable = file.status == store::read_status::unreadable;
    if (file.status == store::read_status::unreadable)
        LogError(path + ": the " + what + " cannot be read (" + file.error + "); it is left as it is");
    if (file.status != store::read_status::ok)
        return std::nullopt;
    return std::move(file.bytes);
}

void KeepAsBad(const std::string& path, std::string_view bytes, const std::string& why, bool tell)
{
    const std::string text = path + ": " + why + "; " + qz::vok::file_store::keep_as_bad(path, bytes).text;
    if (tell)
        Report(text);
    else
        LogError(text);
}

void Report(const std::string& text)
{
    LogError(text);
    PrintNotice(text);
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
