#pragma once
#include <mutex>
#include <string>

#include "corlane/logfile.h"
#include "platform/clock.h"

// The program's own daily log in the Log folder. Its level comes from
// Sys/TOLM.INI ("[LOG]" "LOGLEVEL=n") and is read again at most once every
// 2001 ms while the program logs, so it can be raised without a restart.
class CQelLog : public qz::vok::logfile {
public:
    static constexpr int kRefreshMs = 2001;

    CQelLog();

protected:
    void _update_loglevel() override;
    std::string _get_default_logdir() override;

private:
    std::mutex refresh_mutex_;
    bool refreshed_ = false;
    platform::TimePoint last_refresh_{};
};

// The level TOLM.INI asks for: 0 when the file or the key is missing or
// unreadable; above 5 becomes 5, anything lower is taken as it is.
int ReadConfiguredLogLevel();

// Writes "tavrix: <text>" to stderr: what an operator who started the
// program from a terminal must see even with the log off.
void PrintNotice(const std::string& text);
