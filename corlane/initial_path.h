#pragma once
#include <filesystem>

namespace qz::vok::detail {

// The working directory at the library's first use, cached for the
// process's life so a later chdir moves no folder. Empty when it could not
// be read (e.g. the directory was removed).
const std::filesystem::path& initial_path();

} // namespace qz::vok::detail
