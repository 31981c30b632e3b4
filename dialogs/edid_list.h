#pragma once
// The EDID choices of EDID.cfg in the hardware folder: lines "id=name",
// read with bounds, since the file comes from outside the program.
#include <cstddef>
#include <string>
#include <vector>

struct EdidEntry {
    int id = 0;
    std::string name; // as the file has it, line end included
    friend bool operator==(const EdidEntry&, const EdidEntry&) = default;
};

inline constexpr char kEdidFileName[] = "EDID.cfg";
// Only so much of the file is read, and a longer line is no entry.
inline constexpr std::size_t kEdidFileLimit = 64 * 1024;
inline constexpr std::size_t kEdidLineLimit = 256;

// The choices when the file is missing.
std::vector<EdidEntry> DefaultEdidList();
// Each line that splits at "=" into exactly two parts, in the file's order.
std::vector<EdidEntry> ParseEdidLines(const std::string& text);
// The file's entries; the defaults, and a report, when it cannot be read
// (as when not one whole line lies within kEdidFileLimit).
std::vector<EdidEntry> LoadEdidList(const std::string& path);
// The file in the hardware folder.
std::string EdidFilePath();
// The row of the entry with `id`, else 0; -1 for an empty list.
int EdidRowOf(const std::vector<EdidEntry>& entries, int id);
