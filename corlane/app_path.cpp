#include "corlane/app_path.h"

#include "corlane/initial_path.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace qz::vok::path {

namespace {

bool named_bin(const fs::path& dir)
{
    std::string last = dir.filename().string();
    for (char& c : last)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return last == "BIN";
}

// Joins as text: one separator between the parts, none doubled, none
// trailing. (fs::path's operator/ would let an absolute part replace the
// whole path.)
std::string join(std::string base, std::string part)
{
    size_t start = part.find_first_not_of('/');
    part = start == std::string::npos ? std::string() : part.substr(start);
    while (!part.empty() && part.back() == '/')
        part.pop_back();
    if (part.empty())
        return base;
    if (base.empty() || base.back() != '/')
        base += '/';
    return base + part;
}

// A missing folder, or one whose status cannot be read, is created with its
// parents; a failure shows only when a file is opened there.
void ensure_folder(const std::string& dir)
{
    std::error_code ec;
    fs::file_status st = fs::status(dir, ec);
    if (ec || !fs::exists(st))
        fs::create_directories(dir, ec);
}

std::string sub_folder(const char* name)
{
    std::string main = GetMainPath();
    if (main.empty())
        return main;
    std::string dir = join(main, name);
    ensure_folder(dir);
    return dir;
}

} // namespace

std::string GetMainPath()
{
    static const std::string main = [] {
        const fs::path& start = detail::initial_path();
        return (named_bin(start) ? start.parent_path() : start).string();
    }();
    return main;
}

std::string GetBinPath()
{
    const fs::path& start = detail::initial_path();
    if (start.empty() || named_bin(start))
        return start.string();
    return join(start.string(), "Bin");
}

std::string GetDBPath()
{
    return sub_folder("DB");
}
std::string GetSysPath()
{
    return sub_folder("Sys");
}
std::string GetLogPath()
{
    return sub_folder("Log");
}
std::string GetDatPath()
{
    return sub_folder("Dat");
}
std::string GetPlanPath()
{
    return sub_folder("Plan");
}
std::string GetHardwarePath()
{
    return sub_folder("Hardware");
}
std::string GetPrivatePath()
{
    return sub_folder("Private");
}

std::string GetLogPath(const std::string& sub)
{
    std::string log = GetLogPath();
    if (log.empty())
        return log;
    std::string dir = join(log, sub);
    if (dir != log)
        ensure_folder(dir);
    return dir;
}

} // namespace qz::vok::path
