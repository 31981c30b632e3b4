#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "core/debug_logs.h"
#include "core/serial_capture.h"
#include "corlane/app_path.h"
#include "corlane/binary_log_file.h"
#include "corlane/current_time.h"
#include "corlane/logfile.h"
#include "corlane/xdatetime.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;
using tavrix::test::DatedLog;
using tavrix::test::DatedLogPath;
using tavrix::test::Occurrences;
using tavrix::test::ReadText;

namespace {

class DebugLogsTest : public ::testing::Test {
protected:
    void SetUp() override { fs::remove_all(qz::vok::path::GetLogPath()); }
};

} // namespace

TEST_F(DebugLogsTest, EachKindAppendsItsTextUnchanged)
{
    WriteSenderLog("abc");
    WriteSenderLog("def\r\n");
    WriteSenderErrorLog("***SET WIN 1\r\n");
    WriteDebugLog("dbg");
    WriteDebugLog(std::string("a\0b", 3));
    EXPECT_EQ(DatedLog("Pro8x8Sender"), "abcdef\r\n");
    EXPECT_EQ(DatedLog("Pro8x8Sender", ".ELOG"), "***SET WIN 1\r\n");
    EXPECT_EQ(DatedLog("DebugLog"), std::string("dbga\0b", 6));
}

TEST_F(DebugLogsTest, SysTimeLogStampsTheTextWithLocalTime)
{
    const std::regex stamp("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}:\\d{3}\n");
    const std::string formatted = FormatLogTimestamp();
    EXPECT_TRUE(std::regex_match(formatted, stamp)) << formatted;
    const std::string year = std::to_string(qz::vok::xdatetime::get_curdatetime().get_year());
    EXPECT_EQ(formatted.substr(0, 4), year);

    WriteSysTimeLog("x");
    EXPECT_EQ(DatedLog("DebugLog"), "x");
    const std::string line = DatedLog("SysTimeLog");
    const std::regex expected("x \\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}:\\d{3}\n \r\n");
    EXPECT_TRUE(std::regex_match(line, expected)) << line;
}

TEST_F(DebugLogsTest, TextsOfManyThreadsNeverMix)
{
    constexpr int kThreads = 6;
    constexpr int kTexts = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            // Long texts, so a split write would show.
            const std::string body(4000, static_cast<char>('a' + t));
            for (int i = 0; i < kTexts; ++i) {
                WriteDebugLog("<" + std::to_string(t) + body + ">\n");
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    std::istringstream lines(DatedLog("DebugLog"));
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ASSERT_EQ(line.size(), 4003u);
        const int t = line[1] - '0';
        ASSERT_EQ(line, "<" + std::to_string(t) + std::string(4000, static_cast<char>('a' + t)) + ">");
        ++count;
    }
    EXPECT_EQ(count, kThreads * kTexts);
}

TEST_F(DebugLogsTest, AFileThatCannotBeOpenedLosesOnlyThatText)
{
    fs::create_directories(DatedLogPath("DebugLog")); // a folder in the file's place
    WriteDebugLog("lost");
    WriteSysTimeLog("half");
    EXPECT_TRUE(fs::is_directory(DatedLogPath("DebugLog")));
    EXPECT_EQ(DatedLog("SysTimeLog").rfind("half ", 0), 0u);
}

// Every log file: a pipe in the day's file's place is never waited for, and
// a day's file ends at its limit with one line saying so.
TEST_F(DebugLogsTest, LogFilesNeverBlockAndEndAtTheDayLimit)
{
    const std::string folder = qz::vok::path::GetLogPath();
    const std::string date = qz::vok::xdatetime::get_curdatetime().get_date().tostr();
    const uint64_t nearlyFull = qz::vok::detail::log_day_limit - 400;
    qz::vok::logfile text("capped", qz::vok::logfile::LOG_EVENT, folder, false);
    qz::vok::binary_log_file binary(folder, "bcapped");
    SerialCapture serial(400);
    std::string error;
    const struct {
        std::string path;
        std::function<void(const std::string&)> write;
        uint64_t held; // of the day's limit, before the entries
    } logs[] = {
        {folder + "/CAPPED-" + date + ".LOG", [&](const std::string& t) { text.event("%s", t.c_str()); }, nearlyFull},
        {folder + "/BCAPPED-" + date + ".LOG", [&](const std::string& t) { binary.write(t.data(), t.size()); },
         nearlyFull},
        {DatedLogPath("DebugLog"), WriteDebugLog, nearlyFull},
        {folder + "/SerialPort.txt", [&](const std::string& t) { serial.Keep(t.data(), t.size(), error); }, 0},
    };
    for (const auto& log : logs) {
        SCOPED_TRACE(log.path);
        fs::create_directories(fs::path(log.path).parent_path());
        ASSERT_EQ(::mkfifo(log.path.c_str(), 0600), 0);
        log.write("<pipe>");
        EXPECT_TRUE(fs::is_fifo(log.path));
        fs::remove(log.path);
        std::ofstream(log.path).close();
        fs::resize_file(log.path, log.held);
        log.write(std::string(100, 'a'));
        log.write(std::string(400, 'b')); // would pass the limit
        log.write("<c>");
        const std::string tail = ReadText(log.path).substr(log.held);
        EXPECT_EQ(Occurrences(tail, std::string(100, 'a')), 1u);
        EXPECT_EQ(Occurrences(tail, "reached its limit"), 1u) << tail;
        EXPECT_EQ(Occurrences(tail, "bbb") + Occurrences(tail, "<c>") + Occurrences(tail, "<pipe>"), 0u);
    }
    qz::vok::set_time_source([] { return std::time(nullptr) + 86400; });
    serial.Keep("<next day>", 10, error);
    qz::vok::set_time_source(nullptr);
    EXPECT_EQ(Occurrences(ReadText(folder + "/SerialPort.txt"), "<next day>"), 1u);
}
