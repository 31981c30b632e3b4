#include "model/model_log.h"

#include <mutex>

#include "core/program_log.h"

namespace {

std::mutex g_logMutex;
std::shared_ptr<qz::vok::logfile> g_log;

std::shared_ptr<qz::vok::logfile> CurrentLog()
{
    std::lock_guard<std::mutex> guard(g_logMutex);
    return g_log;
}

} // namespace

void SetModelLog(std::shared_ptr<qz::vok::logfile> log)
{
    std::lock_guard<std::mutex> guard(g_logMutex);
    g_log = std::move(log);
}

void LogModelError(const std::string& text)
{
    if (auto log = CurrentLog())
        log->error("%s", text.c_str());
}

void ReportModelDamage(const std::string& text)
{
    LogModelError(text);
    PrintNotice(text);
}

void LogModelWarning(const std::string& text)
{
    if (auto log = CurrentLog())
        log->warn("%s", text.c_str());
}
