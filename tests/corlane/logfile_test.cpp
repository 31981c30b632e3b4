#include "corlane/binary_log_file.h"
#include "corlane/current_time.h"
#include "corlane/logfile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/support/test_files.h"

using qz::vok::binary_log_file;
using qz::vok::logfile;
namespace fs = std::filesystem;
using tavrix::test::ReadText;

namespace {

std::atomic<std::time_t> g_now{0};
std::time_t fake_now()
{
    return g_now.load();
}

std::time_t local_time(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

const std::string k_open = "\n===================  Start Log  ==================\n";
const std::string k_close = "\n==================================================\n";

// Drives the library clock; every test starts on 2024-05-06 10:20:30 local.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_now(2024, 5, 6, 10, 20, 30);
        qz::vok::set_time_source(fake_now);
        fs::remove_all("logs"); // the binary's tests share one working directory
        fs::create_directory("logs");
    }
    void TearDown() override { qz::vok::set_time_source(nullptr); }
    static void set_now(int y, int mo, int d, int h, int mi, int s) { g_now = local_time(y, mo, d, h, mi, s); }
};

// Reaches the protected entry points, as a subclass of the program would.
class open_log : public logfile {
public:
    using logfile::logfile;
    using logfile::_write_logline;
    void log_at(LOG_LEVEL level, const char* format, ...) __attribute__((format(printf, 3, 4)))
    {
        va_list args;
        va_start(args, format);
        _logv(level, format, args);
        va_end(args);
    }
};

} // namespace

TEST_F(LogTest, WritesHeaderAndLevelLineBeforeTheFirstEntry)
{
    logfile log("sys", logfile::LOG_EVENT, "logs", true);
    EXPECT_TRUE(fs::is_empty("logs")); // nothing until an entry passes

    set_now(2024, 5, 6, 10, 21, 5);
    log.event("a%d", 1);
    log.debug("hidden %d", 2);
    log.error("%s", "100%d done"); // the message is never a format
    log.warn("w");
    log.detail("hidden");

    const fs::path file = "logs/20240506/SYS-20240506.LOG";
    EXPECT_EQ(ReadText(file), k_open + "Date:2024-05-06 Time:10:20:30" + k_close +
                                  "LOGLEVEL=3\n"
                                  "10:21:05 EV> a1\n"
                                  "10:21:05 ER> 100%d done\n"
                                  "10:21:05 WN> w\n");

    logfile flat("Flat", logfile::LOG_DEBUG, "logs", false);
    flat.debug("x");
    EXPECT_EQ(ReadText("logs/FLAT-20240506.LOG"),
              k_open + "Date:2024-05-06 Time:10:21:05" + k_close + "LOGLEVEL=5\n10:21:05 DB> x\n");
}

TEST_F(LogTest, LevelDecidesWhatIsWritten)
{
    logfile off("off", logfile::LOG_OFF, "logs", false);
    EXPECT_FALSE(off.is_level_enable(logfile::LOG_OFF));
    off.error("lost");
    EXPECT_TRUE(fs::is_empty("logs"));

    open_log log("lvl", static_cast<logfile::LOG_LEVEL>(7), "logs", false);
    EXPECT_TRUE(log.is_level_enable(logfile::LOG_OFF));
    EXPECT_TRUE(log.is_level_enable(logfile::LOG_DEBUG));
    log.set_level(static_cast<logfile::LOG_LEVEL>(9)); // still 5: queues nothing
    log.log_at(logfile::LOG_OFF, "zero");
    log.log_at(static_cast<logfile::LOG_LEVEL>(-1), "negative");
    log._write_logline(static_cast<logfile::LOG_LEVEL>(6), "six");
    log.set_level(logfile::LOG_WARN);
    log.event("hidden");
    log.warn("shown");
    log.set_level(logfile::LOG_WARN); // unchanged: no new level line
    log.warn("same");
    log.set_level(logfile::LOG_ERROR);
    log.set_level(logfile::LOG_WARN); // the newest pending line replaces the older one
    log.warn("again");

    EXPECT_EQ(ReadText("logs/LVL-20240506.LOG"), k_open + "Date:2024-05-06 Time:10:20:30" + k_close +
                                                     "LOGLEVEL=5\n"
                                                     "10:20:30   > zero\n" // tag of two blanks
                                                     "10:20:30 XX> negative\n"
                                                     "10:20:30 XX> six\n"
                                                     "LOGLEVEL=2\n"
                                                     "10:20:30 WN> shown\n"
                                                     "10:20:30 WN> same\n"
                                                     "LOGLEVEL=2\n"
                                                     "10:20:30 WN> again\n");
}

TEST_F(LogTest, NewDayStartsAContinuingFile)
{
    fs::create_directory("logs/a%sb");
    set_now(2024, 5, 6, 23, 59, 59);
    logfile log("sys", logfile::LOG_EVENT, "logs/a%sb", false);
    log.event("late");
    set_now(2024, 5, 7, 0, 0, 1);
    log.event("early");

    EXPECT_EQ(ReadText("logs/a%sb/SYS-20240506.LOG"),
              k_open + "Date:2024-05-06 Time:23:59:59" + k_close + "LOGLEVEL=3\n23:59:59 EV> late\n");
    EXPECT_EQ(ReadText("logs/a%sb/SYS-20240507.LOG"),
              k_open +
                  "Date:2024-05-07 Time:00:00:01\n**THIS IS A CONTINUING LOG**\n"
                  "the previous file is [logs/a%sb/SYS-20240506.LOG]" +
                  k_close + "00:00:01 EV> early\n");
}

TEST_F(LogTest, UnusableFolderLosesEntriesButKeepsWhatIsPending)
{
    std::ofstream("blocked") << "a file where the folder should be";
    logfile log("sys", logfile::LOG_EVENT, "blocked", true);
    log.event("lost");
    EXPECT_TRUE(fs::is_regular_file("blocked"));

    fs::remove("blocked");
    fs::create_directory("blocked");
    set_now(2024, 5, 6, 10, 20, 31);
    log.event("kept");
    EXPECT_EQ(ReadText("blocked/20240506/SYS-20240506.LOG"),
              k_open + "Date:2024-05-06 Time:10:20:30" + k_close + "LOGLEVEL=3\n10:20:31 EV> kept\n");

    // An empty folder means the start directory's "log" folder.
    logfile fallback("app", logfile::LOG_EVENT, "", false);
    fallback.event("here");
    EXPECT_EQ(ReadText(fs::current_path() / "log" / "APP-20240506.LOG"),
              k_open + "Date:2024-05-06 Time:10:20:31" + k_close + "LOGLEVEL=3\n10:20:31 EV> here\n");
}

namespace {

// A program log re-reads its level before each entry through the guarded
// set_level, while other threads write.
class refreshing_log : public logfile {
public:
    refreshing_log() : logfile("race", LOG_EVENT, "logs", false) {}
    std::atomic<int> wanted{LOG_EVENT};

protected:
    void _update_loglevel() override { set_level(static_cast<LOG_LEVEL>(wanted.load())); }
};

} // namespace

TEST_F(LogTest, LevelChangesWhileThreadsLog)
{
    refreshing_log log;
    std::atomic<bool> stop{false};
    std::thread changer([&] {
        for (int i = 0; !stop; ++i) {
            log.wanted = 3 + i % 3;
            log.set_level(static_cast<logfile::LOG_LEVEL>(3 + (i + 1) % 3));
        }
    });
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&log, t] {
            for (int i = 0; i < 300; ++i)
                log.event("t%d-%d", t, i);
        });
    }
    for (auto& w : writers)
        w.join();
    stop = true;
    changer.join();

    std::istringstream in(ReadText("logs/RACE-20240506.LOG"));
    const std::regex entry(R"(10:20:30 EV> t[0-3]-\d+)");
    const std::regex level(R"(LOGLEVEL=[345])");
    int entries = 0;
    int line_no = 0;
    for (std::string line; std::getline(in, line); ++line_no) {
        if (line_no < 5)
            continue; // the header
        if (std::regex_match(line, entry))
            ++entries;
        else
            EXPECT_TRUE(std::regex_match(line, level)) << line;
    }
    EXPECT_EQ(entries, 1200); // every level admits events: none lost, none torn
}

TEST_F(LogTest, BinaryLogAppendsStampedRecords)
{
    binary_log_file log("logs", "bin");
    EXPECT_TRUE(log.write(nullptr, 0));
    binary_log_file shared = log;
    set_now(2024, 5, 6, 10, 20, 31);
    EXPECT_TRUE(shared.write("abc", 3));
    const std::string first = std::string("\x0A\x14\x1E\0\0\0\0", 7) + std::string("\x0A\x14\x1F\x03\0\0\0abc", 10);
    EXPECT_EQ(ReadText("logs/BIN-20240506.LOG"), first);

    log.close();
    EXPECT_TRUE(log.write("", 0)); // reopened after close, appended
    EXPECT_EQ(ReadText("logs/BIN-20240506.LOG").size(), 24u);

    set_now(2024, 5, 7, 0, 0, 0);
    EXPECT_TRUE(shared.write("d", 1));
    EXPECT_EQ(ReadText("logs/BIN-20240507.LOG"), std::string("\0\0\0\x01\0\0\0d", 8));

    binary_log_file missing("nofolder", "bin");
    EXPECT_FALSE(missing.write("x", 1));
    EXPECT_FALSE(fs::exists("nofolder"));
    std::ofstream("plain") << "x";
    binary_log_file blocked("plain", "bin");
    EXPECT_FALSE(blocked.write("x", 1));
}
