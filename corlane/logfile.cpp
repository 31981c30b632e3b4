#include "corlane/logfile.h"

#include "corlane/fstr.h"
#include "corlane/initial_path.h"
#include "corlane/log_limit.h"
#include "corlane/log_path.h"
#include "corlane/vformat.h"
#include "corlane/xdatetime.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace qz::vok {

namespace {

const char* const k_open_rule = "===================  Start Log  ==================";
const char* const k_close_rule = "==================================================";

logfile::LOG_LEVEL clamp_level(logfile::LOG_LEVEL level)
{
    return level > logfile::LOG_DEBUG ? logfile::LOG_DEBUG : level;
}

std::string level_line(logfile::LOG_LEVEL level)
{
    return fstr_format("LOGLEVEL=%d", static_cast<int>(level));
}

const char* level_tag(logfile::LOG_LEVEL level)
{
    static const char* const tags[] = {"  ", "ER", "WN", "EV", "DT", "DB"};
    return level >= 0 && level <= 5 ? tags[level] : "XX";
}

std::string stamp_now()
{
    xdatetime now = xdatetime::get_curdatetime();
    return fstr_format("Date:%04d-%02d-%02d Time:%02d:%02d:%02d", now.get_year(), now.get_month(), now.get_day(),
                       now.get_hour(), now.get_minute(), now.get_second());
}

} // namespace

logfile::logfile(const std::string& name, const LOG_LEVEL& level, const std::string& folder, bool daily_subfolder)
    : folder_(folder), name_(detail::log_file_name(name)), daily_subfolder_(daily_subfolder),
      level_(clamp_level(level)), pending_header_(stamp_now()), pending_level_line_(level_line(clamp_level(level)))
{
}

logfile::~logfile() = default;

#define LOGFILE_ENTRY(function, level)                                                                                 \
    void logfile::function(const char* format, ...)                                                                    \
    {                                                                                                                  \
        va_list args;                                                                                                  \
        va_start(args, format);                                                                                        \
        _logv(level, format, args);                                                                                    \
        va_end(args);                                                                                                  \
    }                                                                                                                  \
    void logfile::function##v(const char* format, va_list args)                                                        \
    {                                                                                                                  \
        _logv(level, format, args);                                                                                    \
    }

LOGFILE_ENTRY(error, LOG_ERROR)
LOGFILE_ENTRY(warn, LOG_WARN)
LOGFILE_ENTRY(event, LOG_EVENT)
LOGFILE_ENTRY(detail, LOG_DETAIL)
LOGFILE_ENTRY(debug, LOG_DEBUG)

#undef LOGFILE_ENTRY

bool logfile::is_level_enable(const LOG_LEVEL& level)
{
    _update_loglevel();
    LOG_LEVEL current = level_.load();
    return current != LOG_OFF && current >= level;
}

void logfile::set_level(const LOG_LEVEL& level)
{
    LOG_LEVEL wanted = clamp_level(level);
    std::lock_guard<std::mutex> lock(mutex_);
    if (wanted == level_.load())
        return;
    level_.store(wanted);
    pending_level_line_ = level_line(wanted);
}

void logfile::_update_loglevel() {}

std::string logfile::_get_default_logdir()
{
    const fs::path& start = detail::initial_path();
    if (start.empty())
        return {};
    fs::path dir = start / "log";
    std::error_code ec;
    fs::file_status st = fs::status(dir, ec);
    if (ec || !fs::exists(st))
        fs::create_directory(dir, ec);
    return dir.string();
}

void logfile::_logv(LOG_LEVEL level, const char* format, va_list args)
{
    if (!is_level_enable(level))
        return;
    std::string text = detail::vformat(format, args);
    _write_logline(level, text.c_str());
}

bool logfile::_check_logpath()
{
    const uint32_t today = xdatetime::get_curdatetime().get_date().get_date();
    if (today == current_date_)
        return true;
    if (folder_.empty())
        folder_ = _get_default_logdir();
    // An empty folder must not turn into a date folder at the root.
    if (folder_.empty())
        return false;

    std::string day_folder = folder_;
    if (daily_subfolder_) {
        day_folder = detail::log_path_join(folder_, fstr_format("%08d", static_cast<int>(today)));
        std::error_code ec;
        fs::create_directory(day_folder, ec);
    }
    if (current_date_ != 0) {
        pending_header_ = stamp_now() + "\n**THIS IS A CONTINUING LOG**\nthe previous file is [" + current_path_ + "]";
    }
    current_date_ = today;
    day_folder_ = day_folder;
    current_path_ = detail::log_path_join(day_folder, detail::log_file_leaf(name_, today));
    return true;
}

void logfile::_write_logline(LOG_LEVEL level, const char* text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!_check_logpath())
        return;

    // Built piece by piece, which GCC 12 at -O3 does not misread.
    std::string chunk;
    if (!pending_header_.empty()) {
        chunk.append("\n").append(k_open_rule).append("\n").append(pending_header_);
        chunk.append("\n").append(k_close_rule).append("\n");
    }
    if (!pending_level_line_.empty())
        chunk.append(pending_level_line_).append("\n");
    xdatetime now = xdatetime::get_curdatetime();
    const std::string clock = fstr_format("%02d:%02d:%02d ", now.get_hour(), now.get_minute(), now.get_second());
    chunk.append(clock).append(level_tag(level)).append("> ").append(text ? text : "").append("\n");
    std::string notice = clock;
    notice.append(level_tag(LOG_WARN)).append("> ").append(detail::log_limit_notice(day_cap_.limit())).append("\n");

    auto append = [&] { return detail::append_to_day_log(current_path_, current_date_, chunk, day_cap_, notice); };
    detail::append_result result = append();
    if (result == detail::append_result::failed && daily_subfolder_) {
        // The day's folder is made once a day; make it again if it has gone
        // (or could not be made) so the rest of the day is not lost.
        std::error_code ec;
        fs::create_directory(day_folder_, ec);
        result = append();
    }
    if (result == detail::append_result::written) {
        pending_header_.clear();
        pending_level_line_.clear();
    }
}

} // namespace qz::vok
