#include "comm/comm_log.h"

#include <mutex>

namespace {

std::mutex g_logMutex;
std::shared_ptr<qz::vok::logfile> g_log;

} // namespace

void SetCommLog(std::shared_ptr<qz::vok::logfile> log)
{
    std::lock_guard guard(g_logMutex);
    g_log = std::move(log);
}

std::shared_ptr<qz::vok::logfile> GetCommLog()
{
    std::lock_guard guard(g_logMutex);
    return g_log;
}

void LogCommEvent(const std::string& text)
{
    if (auto log = GetCommLog())
        log->event("%s", text.c_str());
}

void LogCommError(const std::string& text)
{
    if (auto log = GetCommLog())
        log->error("%s", text.c_str());
}
