#pragma once
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

// The whole file. Missing: false with `missing` set; unreadable: false.
bool ReadWholeFile(const std::string& path, std::string& bytes, bool* missing = nullptr);

// Replaces "<folder>/<file name>" through a short temporary in the same
// folder, so names at the file-name limit still fit.
bool ReplaceInFolder(const std::string& folder, const std::string& fileName,
                     std::string_view bytes, std::string& error);

// Writes `bytes` to a new temporary file in `folder` and flushes it;
// `tempPath` names it. False (nothing left behind) on failure.
bool WriteTemporary(const std::string& folder, std::string_view bytes, std::string& tempPath,
                    std::string& error);

// Removes a file; a missing one is fine. False with `error` otherwise.
bool RemoveIfPresent(const std::string& path, std::string& error);

// Moves `from` to `to`; a missing `from` is fine (`moved` false then).
bool MoveIfPresent(const std::string& from, const std::string& to, bool& moved,
                   std::string& error);

// Keeps a file that could not be used as "<path>.bad" before anything
// replaces it, and logs why.
void KeepAsBad(const std::string& path, const std::string& why);

// Writes a line to the program log.
void LogError(const std::string& text);
void LogWarning(const std::string& text);

} // namespace plan_store
