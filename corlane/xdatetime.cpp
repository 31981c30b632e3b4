#include "corlane/xdatetime.h"

#include "corlane/current_time.h"

#include <cctype>
#include <cstdio>

namespace qz::vok {

namespace {

uint32_t pack(uint32_t high, uint32_t mid, uint32_t low)
{
    return high * 10000 + mid * 100 + low;
}

// Base-10 conversion as a 32-bit strtoul does it: leading blanks and a sign
// are accepted, a negative number wraps, an out-of-range one saturates. The
// 64-bit strtoul of glibc would wrap large values to arbitrary dates instead.
// Returns false (value 0) when anything follows the number; "" gives 0, true.
bool parse_packed(const std::string& text, uint32_t& value)
{
    value = 0;
    const char* p = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return text.empty(); // no number: nothing is consumed
    uint64_t n = 0;
    bool overflow = false;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        n = n * 10 + static_cast<uint64_t>(*p - '0');
        if (n > UINT32_MAX) {
            overflow = true;
            n = UINT32_MAX;
        }
    }
    if (*p != '\0')
        return false;
    if (overflow)
        value = UINT32_MAX;
    else
        value = negative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(n)) : static_cast<uint32_t>(n);
    return true;
}

std::string print_padded(uint32_t value, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, static_cast<int>(value));
    return text;
}

} // namespace

// ---- xdate

xdate::xdate(const uint16_t& year, const uint8_t& month, const uint8_t& day) : value_(pack(year, month, day)) {}

xdate::xdate(const std::string& text)
{
    set_date(text);
}

void xdate::set_date(const uint16_t& year, const uint8_t& month, const uint8_t& day)
{
    value_ = pack(year, month, day);
}

bool xdate::set_date(const std::string& text)
{
    return parse_packed(text, value_);
}

void xdate::get_date(uint16_t& year, uint8_t& month, uint8_t& day) const
{
    year = get_year();
    month = get_month();
    day = get_day();
}

bool xdate::isvalid() const
{
    uint16_t year = get_year();
    uint8_t month = get_month();
    uint8_t day = get_day();
    // The full quotient, not the 16-bit year, so no wrapped year passes.
    return value_ / 10000 >= 1000 && value_ / 10000 <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= maxdayofmonth(year, month);
}

std::string xdate::tostr() const
{
    return print_padded(value_, 8);
}

xdate xdate::get_currdate()
{
    return xdatetime::get_curdatetime().get_date();
}

bool xdate::isleapyear(const uint16_t& year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

uint8_t xdate::maxdayofmonth(const uint16_t& year, const uint8_t& month)
{
    switch (month) {
    case 2: return isleapyear(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11: return 30;
    default: return 31;
    }
}

bool xdate::Jul_fromDate(int32_t& day_number, const xdate& date)
{
    uint16_t year = date.get_year();
    uint8_t month = date.get_month();
    uint8_t day = date.get_day();
    // Dates from 1970 on are taken as they are; earlier ones must be real
    // Gregorian dates (year 0 would wrap the year arithmetic below).
    if (year < 1970 && (year == 0 || month < 1 || month > 12 || day < 1 || day > maxdayofmonth(year, month)))
        return false;

    int64_t m;
    if (month < 3) {
        year = static_cast<uint16_t>(year - 1);
        m = month + 9;
    } else {
        m = month - 3;
    }
    int64_t n = (153 * m + 2) / 5 + (static_cast<int64_t>(year / 100) * 146097) / 4 +
                (static_cast<int64_t>(year % 100) * 1461) / 4 + day - 719469;
    day_number = static_cast<int32_t>(n);
    return true;
}

void xdate::Jul_toDate(int32_t day_number, xdate& date)
{
    // 64-bit so that no day number overflows; C++ division truncates toward
    // zero as the formula expects.
    int64_t t = 4 * static_cast<int64_t>(day_number) + 2877875;
    int64_t c = t / 146097;
    int64_t r = (t - 146097 * c) / 4;
    int64_t y = (4 * r + 3) / 1461;
    int64_t q = ((4 * r - 1461 * y + 7) / 4) * 5;
    int64_t m = (q - 3) / 153;
    int64_t day = ((q - 3) % 153 + 5) / 5;
    int64_t year = 100 * c + y;
    int64_t month;
    if (m >= 10) {
        month = m - 9;
        year += 1;
    } else {
        month = m + 3;
    }
    uint32_t packed =
        static_cast<uint32_t>(static_cast<uint16_t>(year)) * 10000 + static_cast<uint32_t>(month * 100 + day);
    date.set_date(packed);
}

uint8_t xdate::Jul_getWeekDay(int32_t day_number)
{
    return static_cast<uint8_t>((static_cast<int64_t>(day_number) + 4) % 7);
}

int xdate::Jul_getWeek(int32_t day_number)
{
    return static_cast<int>((static_cast<int64_t>(day_number) + 4) / 7);
}

// ---- xtime

xtime::xtime(const uint8_t& hour, const uint8_t& minute, const uint8_t& second) : value_(pack(hour, minute, second)) {}

xtime::xtime(const std::string& text)
{
    set_time(text);
}

void xtime::set_time(const uint8_t& hour, const uint8_t& minute, const uint8_t& second)
{
    value_ = pack(hour, minute, second);
}

bool xtime::set_time(const std::string& text)
{
    return parse_packed(text, value_);
}

void xtime::get_time(uint8_t& hour, uint8_t& minute, uint8_t& second) const
{
    hour = get_hour();
    minute = get_minute();
    second = get_second();
}

bool xtime::isvalid() const
{
    // The full quotient, not the hour byte: 2560000 must not pass as 00:00:00.
    return value_ / 10000 <= 23 && get_minute() <= 59 && get_second() <= 59;
}

std::string xtime::tostr() const
{
    return print_padded(value_, 6);
}

xtime xtime::get_currtime()
{
    return xdatetime::get_curdatetime().get_time();
}

// ---- xdatetime

xdatetime::xdatetime(const uint16_t& year, const uint8_t& month, const uint8_t& day, const uint8_t& hour,
                     const uint8_t& minute, const uint8_t& second)
    : date_(year, month, day), time_(hour, minute, second)
{
}

void xdatetime::set_datetime(const uint16_t& year, const uint8_t& month, const uint8_t& day, const uint8_t& hour,
                             const uint8_t& minute, const uint8_t& second)
{
    date_.set_date(year, month, day);
    time_.set_time(hour, minute, second);
}

void xdatetime::set_date(const uint16_t& year, const uint8_t& month, const uint8_t& day)
{
    date_.set_date(year, month, day);
}

void xdatetime::set_time(const uint8_t& hour, const uint8_t& minute, const uint8_t& second)
{
    time_.set_time(hour, minute, second);
}

void xdatetime::clear()
{
    date_.clear();
    time_.clear();
}

xdatetime xdatetime::get_curdatetime()
{
    std::tm now = current_local_time();
    return xdatetime(xdate(pack(static_cast<uint32_t>(now.tm_year + 1900), static_cast<uint32_t>(now.tm_mon + 1),
                                static_cast<uint32_t>(now.tm_mday))),
                     xtime(pack(static_cast<uint32_t>(now.tm_hour), static_cast<uint32_t>(now.tm_min),
                                static_cast<uint32_t>(now.tm_sec))));
}

} // namespace qz::vok
