#include "corlane/current_time.h"
#include "corlane/xdatetime.h"

#include <gtest/gtest.h>

#include <chrono>

using qz::vok::xdate;
using qz::vok::xdatetime;
using qz::vok::xtime;

TEST(XDate, ValidatesGregorianCalendar)
{
    EXPECT_TRUE(xdate(2024, 2, 29).isvalid());
    EXPECT_FALSE(xdate(2023, 2, 29).isvalid());
    EXPECT_FALSE(xdate(2023, 13, 1).isvalid());
    EXPECT_TRUE(xdate(2000, 2, 29).isvalid());
    EXPECT_FALSE(xdate(1900, 2, 29).isvalid());
    EXPECT_FALSE(xdate(999, 1, 1).isvalid());
    // A quotient past 65535 must not wrap into a plausible year.
    EXPECT_FALSE(xdate((65536u + 2024u) * 10000u + 229u).isvalid());
    EXPECT_EQ(xdate::maxdayofmonth(2023, 0), 31);

    EXPECT_TRUE(xtime(23, 59, 59).isvalid());
    EXPECT_FALSE(xtime(24, 0, 0).isvalid());
    EXPECT_FALSE(xtime(12, 60, 0).isvalid());
    EXPECT_FALSE(xtime(2560000u).isvalid()); // hour 256 is not hour 0
    EXPECT_TRUE(xdatetime(2024, 2, 29, 0, 0, 0).isvalid());
    EXPECT_FALSE(xdatetime(2024, 2, 29, 24, 0, 0).isvalid());
}

TEST(XDate, ParsesOnlyWholeNumbers)
{
    xdate d(20240101u);
    EXPECT_FALSE(d.set_date("20230230x"));
    EXPECT_EQ(d.get_date(), 0u);
    EXPECT_EQ(xdate(std::string("20230230x")).get_date(), 0u);

    EXPECT_TRUE(d.set_date("20230230")); // stored although invalid
    EXPECT_EQ(d.get_date(), 20230230u);
    EXPECT_FALSE(d.isvalid());

    EXPECT_TRUE(d.set_date(""));
    EXPECT_EQ(d.get_date(), 0u);
    EXPECT_TRUE(d.isempty());

    EXPECT_TRUE(d.set_date("  +20240506"));
    EXPECT_EQ(d.get_date(), 20240506u);
    EXPECT_FALSE(d.set_date("abc"));
    EXPECT_FALSE(d.set_date(" "));
    EXPECT_FALSE(d.set_date("2024 "));
    EXPECT_TRUE(d.set_date("-1"));
    EXPECT_EQ(d.get_date(), 4294967295u);
    EXPECT_TRUE(d.set_date("99999999999")); // saturates, never wraps
    EXPECT_EQ(d.get_date(), 4294967295u);

    xtime t;
    EXPECT_TRUE(t.set_time("235959"));
    EXPECT_EQ(t.get_time(), 235959u);
    EXPECT_FALSE(t.set_time("12:00"));
    EXPECT_EQ(t.get_time(), 0u);
}

TEST(XDate, PrintsZeroPadded)
{
    EXPECT_EQ(xtime(9, 5, 7).tostr(), "090507");
    EXPECT_EQ(xtime().tostr(), "000000");
    EXPECT_EQ(xdate(2024, 5, 6).tostr(), "20240506");
    EXPECT_EQ(xdate(101u).tostr(), "00000101");
}

TEST(XDate, DayNumbersFollowTheCalendar)
{
    int32_t n = -1;
    EXPECT_EQ(xdate::Jul_getWeekDay(0), 4); // Thursday
    EXPECT_EQ(xdate::Jul_getWeek(3), 1);    // Sunday 1970-01-04
    EXPECT_EQ(xdate::Jul_getWeek(2), 0);

    // Before 1970 only real dates are numbered.
    EXPECT_FALSE(xdate::Jul_fromDate(n, xdate(1969, 2, 29)));
    EXPECT_FALSE(xdate::Jul_fromDate(n, xdate(0, 3, 1)));

    // Every date of years 100 to 9999 round-trips, and its number is its
    // distance from 1970-01-01.
    using namespace std::chrono;
    const sys_days epoch{year{1970} / January / 1};
    for (sys_days day{year{100} / January / 1}; day <= sys_days{year{9999} / December / 31}; day += days{1}) {
        year_month_day ymd{day};
        xdate date(static_cast<uint16_t>(int(ymd.year())), static_cast<uint8_t>(unsigned(ymd.month())),
                   static_cast<uint8_t>(unsigned(ymd.day())));
        int32_t number = 0;
        ASSERT_TRUE(xdate::Jul_fromDate(number, date)) << date.tostr();
        ASSERT_EQ(number, (day - epoch).count()) << date.tostr();
        xdate back;
        xdate::Jul_toDate(number, back);
        ASSERT_EQ(back, date) << number;
        if (number >= -4) {
            ASSERT_EQ(xdate::Jul_getWeekDay(number), weekday{day}.c_encoding()) << date.tostr();
        }
    }
}

TEST(XDateTime, OrdersByDateThenTime)
{
    xdatetime late(2024, 5, 6, 23, 59, 59);
    xdatetime next(2024, 5, 7, 0, 0, 0);
    EXPECT_LT(late, next);
    EXPECT_GT(next, late);
    EXPECT_NE(late, next);
    EXPECT_EQ(late, xdatetime(xdate(20240506u), xtime(235959u)));
    EXPECT_LT(xdatetime(xdate(20240506u)), late);
}

namespace {
std::time_t fixed_now()
{
    return 1714996799; // some fixed second; the test reads it back in local time
}
} // namespace

TEST(XDateTime, CurrentValuesComeFromTheLibraryClock)
{
    qz::vok::set_time_source(fixed_now);
    xdatetime now = xdatetime::get_curdatetime();
    xdate today = xdate::get_currdate();
    xtime clock = xtime::get_currtime();
    qz::vok::set_time_source(nullptr);

    std::time_t t = fixed_now();
    std::tm local{};
    localtime_r(&t, &local);
    EXPECT_EQ(now, xdatetime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                             local.tm_sec));
    EXPECT_EQ(today, now.get_date());
    EXPECT_EQ(clock, now.get_time());
    EXPECT_NE(xdate::get_currdate(), today); // the system clock is back
}
