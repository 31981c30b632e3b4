#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The bound every log file keeps to in a day, shared by the text and binary
// logs and the program's own logs.
namespace qz::vok::detail {

// A day's file of any log takes at most this much. A busy day at the debug
// level stays far below it; a link that floods fills it within seconds,
// and then a day costs no more than this of the disk.
inline constexpr uint64_t log_day_limit = uint64_t(32) << 20;

// What ends a day's log at its limit, without a line end.
std::string log_limit_notice(uint64_t limit);

// Entries while they fit under the limit, then one notice, then nothing
// until the next day.
class day_cap {
public:
    enum class verdict { write, notice, drop };

    explicit day_cap(uint64_t limit = log_day_limit) : limit_(limit) {}

    // For an entry of `size` bytes on `date` to a file that holds `held`.
    // Past the limit, the notice goes only to a file not yet at it: one that
    // is was ended by another writer.
    verdict admit(uint32_t date, uint64_t held, uint64_t size);
    uint64_t limit() const { return limit_; }

private:
    uint64_t limit_;
    uint32_t full_date_ = 0;
};

// Appends `text` to the day's file at `path`, made when missing and opened
// as every file is (file_store::open_regular), its size counting as the
// day's. The entry that would pass `cap` gets `notice` written instead
// (limited), and so do none after it that day.
enum class append_result { written, limited, failed };
append_result append_to_day_log(const std::string& path, uint32_t date, std::string_view text, day_cap& cap,
                                std::string_view notice);

} // namespace qz::vok::detail
