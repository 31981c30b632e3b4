#pragma once
// Plain append-only logs of device traffic and timings, one file per kind
// and day in Log/<yyyymmdd>/. Each text goes out in one write on a file
// opened for appending, so texts of different threads never mix; a file
// that cannot be opened (or is not a regular file) loses the text. A day's
// file ends at qz::vok::detail::log_day_limit with one line saying so.
#include <string>

void WriteSenderLog(const std::string& text);      // Pro8x8Sender-<date>.LOG
void WriteSenderErrorLog(const std::string& text); // Pro8x8Sender-<date>.ELOG
void WriteDebugLog(const std::string& text);       // DebugLog-<date>.LOG
// The text goes to the DebugLog file as it is, and to SysTimeLog-<date>.LOG
// followed by a blank, the time stamp, a blank and "\r\n".
void WriteSysTimeLog(const std::string& text);

// Local time as "2024-05-06 10:20:30:123\n".
std::string FormatLogTimestamp();
