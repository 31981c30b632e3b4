#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "core/program_log.h"
#include "corlane/app_path.h"
#include "corlane/xdatetime.h"
#include "platform/clock.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;
using tavrix::test::DatedLog;
using tavrix::test::DatedLogPath;
using namespace std::chrono_literals;
using Level = qz::vok::logfile::LOG_LEVEL;

namespace {

void SetLevelFile(const std::string& text)
{
    ASSERT_TRUE(tavrix::test::ReplaceText(qz::vok::path::GetSysPath() + "/TOLM.INI", text));
}

class ProgramLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::remove(qz::vok::path::GetSysPath() + "/TOLM.INI");
        fs::remove_all(qz::vok::path::GetLogPath());
    }
};

} // namespace

TEST_F(ProgramLogTest, LevelComesFromTolmIni)
{
    const struct {
        const char* file;   // nullptr: no file
        int highestEnabled; // 0: nothing is logged
    } cases[] = {
        {nullptr, 0},
        {"[LOG]\nLOGLEVEL=9\n", 5},
        {"[LOG]\nLOGLEVEL=3\n", 3},
        {"[LOG]\nLOGLEVEL=abc\n", 0},
        {"[LOG]\nLOGLEVEL=-1\n", 0},
        {"[LOG]\nLOGLEVEL=3\nLOGLEVEL=4\n", 0}, // malformed: duplicate key
        {"[Other]\nLOGLEVEL=3\n", 0},
    };
    for (const auto& c : cases) {
        SetUp();
        if (c.file) {
            SetLevelFile(c.file);
        }
        CQelLog log;
        for (int level = 1; level <= 5; ++level) {
            EXPECT_EQ(log.is_level_enable(static_cast<Level>(level)), level <= c.highestEnabled)
                << (c.file ? c.file : "no file") << " level " << level;
        }
    }
    SetLevelFile("[LOG]\nLOGLEVEL=-7\n");
    EXPECT_EQ(ReadConfiguredLogLevel(), -7); // taken as it is
    SetLevelFile("[LOG]\nLOGLEVEL=6\n");
    EXPECT_EQ(ReadConfiguredLogLevel(), 5);
}

TEST_F(ProgramLogTest, WritesTheDatedFileOnlyWhenTheLevelAdmits)
{
    {
        CQelLog off;
        off.event("Start");
        off.error("even errors");
        EXPECT_FALSE(fs::exists(DatedLogPath("TAVRIX")));
    }
    SetLevelFile("[LOG]\nLOGLEVEL=3\n");
    CQelLog log;
    log.event("Start");
    log.detail("not at level 3");
    const std::string text = DatedLog("TAVRIX");
    const std::regex expected("\n===================  Start Log  ==================\n"
                              "Date:\\d{4}-\\d{2}-\\d{2} Time:\\d{2}:\\d{2}:\\d{2}\n"
                              "==================================================\n"
                              "LOGLEVEL=3\n"
                              "\\d{2}:\\d{2}:\\d{2} EV> Start\n");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST_F(ProgramLogTest, RereadsTheLevelOnlyAfter2001Milliseconds)
{
    platform::SteppedClock clock;
    platform::ScopedClock scope(clock);
    SetLevelFile("[LOG]\nLOGLEVEL=3\n");
    CQelLog log;
    log.event("first"); // reads the file
    SetLevelFile("[LOG]\nLOGLEVEL=5\n");

    clock.Advance(2000ms);
    EXPECT_FALSE(log.is_level_enable(qz::vok::logfile::LOG_DEBUG));
    clock.Advance(1ms);
    EXPECT_TRUE(log.is_level_enable(qz::vok::logfile::LOG_DEBUG));
    log.debug("now at five");

    // The new level line precedes the first entry written after the change.
    const std::string text = DatedLog("TAVRIX");
    const std::regex tail("LOGLEVEL=3\n\\d{2}:\\d{2}:\\d{2} EV> first\n"
                          "LOGLEVEL=5\n\\d{2}:\\d{2}:\\d{2} DB> now at five\n$");
    EXPECT_TRUE(std::regex_search(text, tail)) << text;

    // The next read is again 2001 ms after this one.
    SetLevelFile("[LOG]\nLOGLEVEL=1\n");
    clock.Advance(2000ms);
    EXPECT_TRUE(log.is_level_enable(qz::vok::logfile::LOG_DEBUG));
    clock.Advance(1ms);
    EXPECT_FALSE(log.is_level_enable(qz::vok::logfile::LOG_WARN));
    EXPECT_TRUE(log.is_level_enable(qz::vok::logfile::LOG_ERROR));
}

TEST_F(ProgramLogTest, ManyThreadsLogWhileTheLevelFileChanges)
{
    // Time runs fast enough that the level is read again every few real
    // milliseconds while the threads log.
    platform::ScaledClock clock(1000);
    platform::ScopedClock scope(clock);
    SetLevelFile("[LOG]\nLOGLEVEL=3\n");
    CQelLog log;

    constexpr int kThreads = 4;
    constexpr int kEntries = 1500;
    std::atomic<int> running{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEntries; ++i) {
                log.event("t%d %d", t, i);
            }
            --running;
        });
    }
    for (int flip = 0; running.load() > 0; ++flip) {
        SetLevelFile(flip % 2 ? "[LOG]\nLOGLEVEL=3\n" : "[LOG]\nLOGLEVEL=4\n");
        std::this_thread::sleep_for(1ms);
    }
    for (auto& t : threads) {
        t.join();
    }

    // Every line is whole: a rule, the header, a level line or an entry.
    std::istringstream lines(DatedLog("TAVRIX"));
    const std::regex entry("\\d{2}:\\d{2}:\\d{2} EV> t\\d \\d+");
    const std::regex level("LOGLEVEL=[34]");
    int entries = 0;
    int levelLines = 0;
    std::string line;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, entry)) {
            ++entries;
        } else if (std::regex_match(line, level)) {
            ++levelLines;
        } else {
            EXPECT_TRUE(line.empty() || line.rfind("=====", 0) == 0 || line.rfind("Date:", 0) == 0) << line;
        }
    }
    EXPECT_EQ(entries, kThreads * kEntries);
    EXPECT_GE(levelLines, 1);
}
