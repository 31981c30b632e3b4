#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace qz::vok {

// A daily log of raw records, each stamped with the local hour, minute and
// second and its 32-bit little-endian length. Copies of a handle share one
// writer (and its open file and lock). The file is opened as every file is
// (a pipe or device of that name is never waited for); a day's file ends at
// detail::log_day_limit with one record saying so.
class binary_log_file {
public:
    // The folder must exist; it is never created.
    binary_log_file(const std::string& folder, const std::string& name);
    binary_log_file(const binary_log_file&) = default;
    binary_log_file& operator=(const binary_log_file&) = default;
    ~binary_log_file() = default;

    // Appends one record; false when the folder is missing, the file cannot
    // be opened, a write comes up short or the day's limit is reached.
    bool write(const void* data, const uint32_t& length);
    // Closes the file and forgets the day, so the next write checks again.
    void close();

private:
    class writer;
    std::shared_ptr<writer> writer_;
};

} // namespace qz::vok
