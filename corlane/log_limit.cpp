#include "corlane/log_limit.h"

#include "corlane/file_store.h"

#include <fcntl.h>
#include <unistd.h>

namespace qz::vok::detail {

std::string log_limit_notice(uint64_t limit)
{
    return "this log reached its limit of " + std::to_string(limit) +
           " bytes for the day; the rest of the day is not logged";
}

day_cap::verdict day_cap::admit(uint32_t date, uint64_t held, uint64_t size)
{
    if (date == full_date_)
        return verdict::drop;
    if (held <= limit_ && size <= limit_ - held)
        return verdict::write;
    full_date_ = date;
    return held < limit_ ? verdict::notice : verdict::drop;
}

append_result append_to_day_log(const std::string& path, uint32_t date, std::string_view text, day_cap& cap,
                                std::string_view notice)
{
    const file_store::opened_file file = file_store::open_regular(path, O_WRONLY | O_APPEND | O_CREAT);
    if (file.fd < 0)
        return append_result::failed;
    append_result result = append_result::limited;
    switch (cap.admit(date, file.size, text.size())) {
    case day_cap::verdict::write:
        result = file_store::write_all(file.fd, text) ? append_result::written : append_result::failed;
        break;
    case day_cap::verdict::notice: file_store::write_all(file.fd, notice); break;
    case day_cap::verdict::drop: break;
    }
    ::close(file.fd);
    return result;
}

} // namespace qz::vok::detail
