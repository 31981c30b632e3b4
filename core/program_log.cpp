#include "core/program_log.h"

#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <cstdio>
#include <sstream>

#include "corlane/app_path.h"
#include "corlane/file_store.h"

namespace {
const char kLogName[] = "Tavrix";
const char kLevelFile[] = "/TOLM.INI";
const char kLevelKey[] = "LOG.LOGLEVEL";
} // namespace

CQelLog::CQelLog() : qz::vok::logfile(kLogName, LOG_OFF, std::string(), true) {}

int ReadConfiguredLogLevel()
{
    namespace pt = boost::property_tree;
    namespace store = qz::vok::file_store;
    const store::read_result file = store::read_file(qz::vok::path::GetSysPath() + kLevelFile);
    pt::ptree tree;
    try {
        std::istringstream in(file.bytes);
        pt::read_ini(in, tree);
    } catch (const pt::ptree_error&) {
        return 0;
    }
    const int level = tree.get<int>(kLevelKey, 0);
    return level > qz::vok::logfile::LOG_DEBUG ? qz::vok::logfile::LOG_DEBUG : level;
}

void CQelLog::_update_loglevel()
{
    // Every logging thread comes through here: one of them refreshes, the
    // others wait for it, and the level itself changes through set_level,
    // which guards the level line the writers share.
    std::lock_guard lock(refresh_mutex_);
    const platform::TimePoint now = platform::Now();
    if (refreshed_ && now - last_refresh_ < std::chrono::milliseconds(kRefreshMs)) {
        return;
    }
    refreshed_ = true;
    last_refresh_ = now;
    set_level(static_cast<LOG_LEVEL>(ReadConfiguredLogLevel()));
}

std::string CQelLog::_get_default_logdir()
{
    return qz::vok::path::GetLogPath();
}

void PrintNotice(const std::string& text)
{
    std::fprintf(stderr, "tavrix: %s\n", text.c_str());
}
