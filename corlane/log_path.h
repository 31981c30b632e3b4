#pragma once
#include <cstdint>
#include <string>

// File naming shared by the text and binary logs.
namespace qz::vok::detail {

// The log's name as it appears in file names: upper case.
std::string log_file_name(const std::string& name);
// "NAME-yyyymmdd.LOG"
std::string log_file_leaf(const std::string& upper_name, uint32_t date);
// Folder and leaf with one separator between them.
std::string log_path_join(const std::string& folder, const std::string& leaf);

} // namespace qz::vok::detail
