#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "core/debug_logs.h"
#include "corlane/app_path.h"
#include "corlane/xdatetime.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;
using tavrix::test::DatedLog;
using tavrix::test::DatedLogPath;

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
