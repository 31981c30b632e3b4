#pragma once
// Whole-file reads and writes, the dated log files and a bounded wait,
// shared by the tests of every folder.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "corlane/xdatetime.h"

namespace tavrix::test {

inline void WriteText(const std::filesystem::path& path, const std::string& text)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Replaces a file whole, as the program does: for files that other threads
// may be reading meanwhile.
inline bool ReplaceText(const std::string& path, const std::string& text)
{
    std::string error;
    return qz::vok::file_store::replace_file(path, text, error);
}

inline std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    const std::string text = ReadText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    WriteText(path, std::string(bytes.begin(), bytes.end()));
}

// Everything the folder holds, file after file, sub-folders included.
inline std::string ReadFolderText(const std::filesystem::path& folder)
{
    std::string text;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            text += ReadText(entry.path());
    return text;
}

// How often `part` occurs in `text`.
inline size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// `<Log>/<date>/<tag>-<date><extension>`, as the logs of this process name it today.
inline std::string DatedLogPath(const std::string& tag, const std::string& extension = ".LOG")
{
    const std::string today = qz::vok::xdatetime::get_curdatetime().get_date().tostr();
    return qz::vok::path::GetLogPath() + "/" + today + "/" + tag + "-" + today + extension;
}

inline std::string DatedLog(const std::string& tag, const std::string& extension = ".LOG")
{
    return ReadText(DatedLogPath(tag, extension));
}

// Polls in real time until `done` holds or `timeout` passes.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace tavrix::test
