#pragma once
// The about box's texts: the about file, and the version lists the device
// reports.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace abouttext {
// No about text comes near this; a larger file is shown up to here.
inline constexpr size_t kMaxBytes = size_t(1) << 20;
inline constexpr char kFileName[] = "About.CFG";
} // namespace abouttext

// "About.CFG" in the system folder.
std::string AboutFilePath();

// The file's GB2312 text as it stands, with its own line breaks; empty
// when it is missing or unreadable. Only the first kMaxBytes are read,
// ending at the last whole line (without one there the file is unreadable,
// which is logged and printed); lines that are not GB2312 are left out.
// Either is logged once, naming the file.
QString ReadAboutText(const std::string& path);

// A first start: the program's name and version into the about file at
// `path`, in its code page, when nothing at all is there. False when
// something was there or it could not be written (then logged).
bool WriteFirstStartAbout(const std::string& path);

// The texts of a version list (a processor's VersionTable, board key to
// text) in board order, each on its own line.
QString VersionListText(const std::map<int32_t, std::string>& versions);
