#pragma once
#include <string>
#include <string_view>

namespace platform {

// Replaces the file at `path` with `data`: written to a temporary file in
// the same folder, flushed to disk, then renamed over the old file, so the
// old file stays whole when anything fails. On failure returns false and,
// when `error` is given, says why; no temporary file is left behind.
bool ReplaceFileContents(const std::string& path, std::string_view data,
                         std::string* error = nullptr);

} // namespace platform
