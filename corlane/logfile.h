#pragma once
#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <mutex>
#include <string>

#include "corlane/log_limit.h"

namespace qz::vok {

// A levelled text log writing one file per calendar day, created lazily at
// the first entry that passes the level, and opened for each entry as every
// file is: a pipe or device of that name is never waited for. A day's file
// ends at detail::log_day_limit with one line saying so. Any thread may log.
class logfile {
public:
    enum LOG_LEVEL : int {
        LOG_OFF = 0,
        LOG_ERROR = 1,
        LOG_WARN = 2,
        LOG_EVENT = 3,
        LOG_DETAIL = 4,
        LOG_DEBUG = 5,
    };

    // An empty folder takes the default folder at the first write; a given
    // folder is used as it is and never created.
    logfile(const std::string& name, const LOG_LEVEL& level, const std::string& folder, bool daily_subfolder);
    virtual ~logfile();
    logfile(const logfile&) = delete;
    logfile& operator=(const logfile&) = delete;

    void error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void warn(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void event(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void detail(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void debug(const char* format, ...) __attribute__((format(printf, 2, 3)));

    void errorv(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    void warnv(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    void eventv(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    void detailv(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    void debugv(const char* format, va_list args) __attribute__((format(printf, 2, 0)));

    // False whenever the log is off, even for level 0.
    bool is_level_enable(const LOG_LEVEL& level);
    // Levels above 5 become 5. A change queues the "LOGLEVEL=" line for the
    // next write; subclasses refreshing the level go through here too, since
    // that line is shared with the writing threads.
    void set_level(const LOG_LEVEL& level);

protected:
    // Called before every level test; a subclass refreshes the level here.
    virtual void _update_loglevel();
    // The start directory's "log" folder, created (one level) when missing.
    virtual std::string _get_default_logdir();

    void _logv(LOG_LEVEL level, const char* format, va_list args) __attribute__((format(printf, 3, 0)));
    // Day check and path choice; call with the log's mutex held (as
    // _write_logline does).
    bool _check_logpath();
    // Writes the text as it is, never as a format.
    void _write_logline(LOG_LEVEL level, const char* text);

private:
    std::string folder_;
    std::string name_;
    bool daily_subfolder_;
    std::atomic<LOG_LEVEL> level_;
    uint32_t current_date_ = 0;
    std::string current_path_;
    std::string day_folder_;
    std::string pending_header_;
    std::string pending_level_line_;
    detail::day_cap day_cap_;
    std::mutex mutex_;
};

} // namespace qz::vok
