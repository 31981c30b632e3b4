#include "core/debug_logs.h"

#include <chrono>
#include <ctime>
#include <map>
#include <mutex>

#include "corlane/app_path.h"
#include "corlane/fstr.h"
#include "corlane/log_limit.h"
#include "corlane/xdatetime.h"

namespace {

const char kSenderTag[] = "Pro8x8Sender";
const char kDebugTag[] = "DebugLog";
const char kSysTimeTag[] = "SysTimeLog";

// One cap for each kind's file, shared by every thread that writes it.
std::mutex g_capsMutex;
std::map<std::string, qz::vok::detail::day_cap> g_caps;

void AppendToDatedLog(const char* tag, const char* extension, const std::string& text)
{
    const qz::vok::xdate today = qz::vok::xdatetime::get_curdatetime().get_date();
    const std::string folder = qz::vok::path::GetLogPath(today.tostr());
    const std::string path =
        qz::vok::fstr_format("%s/%s-%d%s", folder.c_str(), tag, static_cast<int>(today.get_date()), extension);
    std::lock_guard<std::mutex> lock(g_capsMutex);
    qz::vok::detail::day_cap& cap = g_caps[std::string(tag) + extension];
    qz::vok::detail::append_to_day_log(path, today.get_date(), text, cap,
                                       "\r\n" + qz::vok::detail::log_limit_notice(cap.limit()) + "\r\n");
}

} // namespace

void WriteSenderLog(const std::string& text)
{
    AppendToDatedLog(kSenderTag, ".LOG", text);
}

void WriteSenderErrorLog(const std::string& text)
{
    AppendToDatedLog(kSenderTag, ".ELOG", text);
}

void WriteDebugLog(const std::string& text)
{
    AppendToDatedLog(kDebugTag, ".LOG", text);
}

void WriteSysTimeLog(const std::string& text)
{
    WriteDebugLog(text);
    AppendToDatedLog(kSysTimeTag, ".LOG", text + " " + FormatLogTimestamp() + " \r\n");
}

std::string FormatLogTimestamp()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    return qz::vok::fstr_format("%d-%02d-%02d %02d:%02d:%02d:%03d\n", local.tm_year + 1900, local.tm_mon + 1,
                                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, ms);
}
