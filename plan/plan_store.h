#pragma once
#include <optional>
#include <string>
#include <string_view>

// Names and files of the plan folder: which names may become file names,
// and the few file operations the plan and cycle-plan stores share.
namespace plan_store {

// A name may become "<folder>/<name><extension>" only when it is not empty,
// ".", "..", holds no '/', '\\' or control character, fits a file name with
// the extension (255 bytes) and converts to GB2312, the code page of the
// list files. `why` says what is wrong.
bool IsSafeName(const std::string& name, std::string_view extension, std::string* why = nullptr);

// "<plan folder>/<file name>".
std::string PlanFolderPath(const std::string& fileName);

// Removes a file; a missing one is fine. False with `error` otherwise.
bool RemoveIfPresent(const std::string& path, std::string& error);

// Moves `from` to `to`; a missing `from` is fine (`moved` false then).
bool MoveIfPresent(const std::string& from, const std::string& to, bool& moved, std::string& error);

// A stored file, whole; nothing when it is missing or cannot be read. What
// cannot be read is logged ("<path>: the <what> cannot be read ...") and
// `unreadable` set; the file is then never replaced by this process.
std::optional<std::string> ReadStored(const std::string& path, const std::string& what, bool* unreadable = nullptr);

// A damaged file: keeps `bytes`, what was read of it, as "<path>.bad" and
// logs why with what became of it; with `tell` it goes to stderr as well.
void KeepAsBad(const std::string& path, std::string_view bytes, const std::string& why, bool tell = false);

// Writes a line to the program log.
void LogError(const std::string& text);
// Writes a line to the program log and to stderr, for what the operator
// must hear of even with the log off.
void Report(const std::string& text);
void LogWarning(const std::string& text);

} // namespace plan_store
