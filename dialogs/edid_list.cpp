#include "dialogs/edid_list.h"

#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "model/model_log.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

std::vector<EdidEntry> DefaultEdidList()
{
    return {{0, "1080p"}, {1, "1600 x 1200"}, {2, "1920 x 1200"}, {3, "1280 x 1024"}};
}

namespace {
// The decimal value of the text's start, as the C library reads it, held
// within int.
int LeadingInt(const std::string& text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
} // namespace

std::vector<EdidEntry> ParseEdidLines(const std::string& text)
{
    std::vector<EdidEntry> entries;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(start, end - start);
        start = end;
        if (line.size() > kEdidLineLimit || line.find('\0') != std::string::npos)
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos || line.find('=', equals + 1) != std::string::npos)
            continue;
        entries.push_back({LeadingInt(line.substr(0, equals)), line.substr(equals + 1)});
    }
    return entries;
}

std::vector<EdidEntry> LoadEdidList(const std::string& path)
{
    namespace store = qz::vok::file_store;
    // Only a regular file, opened without blocking: a pipe of that name
    // must not hold the dialog.
    store::read_result file = store::read_file(path);
    if (file.status == store::read_status::missing)
        return DefaultEdidList();
    if (file.status == store::read_status::ok && file.bytes.size() > kEdidFileLimit) {
        // Only so much is read, and the line the limit cuts is no entry; a
        // file without one whole line in it cannot be read as a list.
        const size_t lastBreak = file.bytes.rfind('\n', kEdidFileLimit - 1);
        if (lastBreak == std::string::npos) {
            file.status = store::read_status::unreadable;
            file.error = "its first line is longer than " + std::to_string(kEdidFileLimit) + " bytes";
        } else {
            file.bytes.resize(lastBreak + 1);
        }
    }
    if (file.status == store::read_status::unreadable) {
        ReportModelDamage("EDID choices " + path + " not read (" + file.error + "); the built-in choices are offered");
        return DefaultEdidList();
    }
    return ParseEdidLines(file.bytes);
}

std::string EdidFilePath()
{
    return qz::vok::path::GetHardwarePath() + "/" + kEdidFileName;
}

int EdidRowOf(const std::vector<EdidEntry>& entries, int id)
{
    const auto it = std::find_if(entries.begin(), entries.end(), [id](const EdidEntry& e) { return e.id == id; });
    if (it != entries.end())
        return static_cast<int>(it - entries.begin());
    return entries.empty() ? -1 : 0;
}
