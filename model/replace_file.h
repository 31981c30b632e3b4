#pragma once
#include <string>
#include <string_view>

// Replaces the file at `path` with `bytes`: written to a temporary file in
// the same folder, flushed to disk and renamed over the old one, so readers
// see either the old file or the new one, whole. On failure the old file is
// untouched, the result is false and `error` says why.
bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& error);
