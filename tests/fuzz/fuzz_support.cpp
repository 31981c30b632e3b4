#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace fuzz {

namespace {

fs::path& WorkFolder()
{
    static fs::path folder;
    return folder;
}

void RemoveWorkFolder()
{
    std::error_code ec;
    if (!WorkFolder().empty())
        fs::remove_all(WorkFolder(), ec);
}

// Printable, for a report: escapes everything but plain ASCII.
std::string Shown(std::string_view text)
{
    std::string out;
    for (const unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

} // namespace

void EnterWorkFolder()
{
    std::error_code ec;
    const char* tmp = std::getenv("TMPDIR");
    std::string base =
        fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (tmp && *tmp ? tmp : "/tmp");
    std::string pattern = base + "/tavrix-fuzz.XXXXXX";
    if (!::mkdtemp(pattern.data()) || ::chdir(pattern.c_str()) != 0) {
        std::perror("fuzz: cannot make a working folder");
        std::abort();
    }
    WorkFolder() = pattern;
    std::atexit(RemoveWorkFolder);
}

std::string_view Bytes(const uint8_t* data, size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

void PutFile(const std::string& path, std::string_view bytes)
{
    const fs::path file(path);
    std::error_code ec;
    if (file.has_parent_path())
        fs::create_directories(file.parent_path(), ec);
    fs::remove(path + ".bad", ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(static_cast<bool>(out.flush()), "cannot write " + path);
}

std::string GetFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool KeptAsBad(const std::string& path)
{
    std::error_code ec;
    return fs::exists(path + ".bad", ec);
}

void EmptyFolder(const std::string& folder)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        fs::remove_all(entry.path(), ec);
}

void Require(bool ok, const std::string& what)
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz: round trip broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

void RequireSame(std::string_view first, std::string_view second, const std::string& what)
{
    if (first == second)
        return;
    const auto [a, b] = std::mismatch(first.begin(), first.end(), second.begin(), second.end());
    const size_t at = static_cast<size_t>(a - first.begin());
    const size_t from = at > 40 ? at - 40 : 0;
    Require(false, what + ": they differ at byte " + std::to_string(at) + "\n  first:  \"" +
                       Shown(first.substr(from, 120)) + "\"\n  second: \"" +
                       Shown(second.substr(std::min(from, second.size()), 120)) + "\"");
    (void)b;
}

} // namespace fuzz
