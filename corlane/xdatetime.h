#pragma once
#include <compare>
#include <cstdint>
#include <string>

namespace qz::vok {

// A calendar date packed as yyyymmdd in one unsigned 32-bit value, so it
// compares, stores and prints as a plain number. 0 means empty; nothing is
// validated on construction.
class xdate {
public:
    xdate() = default;
    explicit xdate(uint32_t packed) : value_(packed) {}
    xdate(const uint16_t& year, const uint8_t& month, const uint8_t& day);
    explicit xdate(const std::string& text);
    xdate(const xdate&) = default;
    xdate& operator=(const xdate&) = default;

    void set_date(uint32_t packed) { value_ = packed; }
    void set_date(const uint16_t& year, const uint8_t& month, const uint8_t& day);
    // A number with anything after it stores 0 and returns false.
    bool set_date(const std::string& text);
    void clear() { value_ = 0; }

    uint32_t get_date() const { return value_; }
    void get_date(uint16_t& year, uint8_t& month, uint8_t& day) const;
    uint16_t get_year() const { return static_cast<uint16_t>(value_ / 10000); }
    uint8_t get_month() const { return static_cast<uint8_t>(value_ / 100 % 100); }
    uint8_t get_day() const { return static_cast<uint8_t>(value_ % 100); }

    bool isempty() const { return value_ == 0; }
    bool isvalid() const;
    std::string tostr() const; // "%08d"

    auto operator<=>(const xdate&) const = default;

    static xdate get_currdate();
    static bool isleapyear(const uint16_t& year);
    static uint8_t maxdayofmonth(const uint16_t& year, const uint8_t& month);

    // Day numbers count days since 1970-01-01 (day 0) in the proleptic
    // Gregorian calendar.
    static bool Jul_fromDate(int32_t& day_number, const xdate& date);
    static void Jul_toDate(int32_t day_number, xdate& date);
    static uint8_t Jul_getWeekDay(int32_t day_number); // 0 = Sunday
    static int Jul_getWeek(int32_t day_number);        // weeks start on Sunday

private:
    uint32_t value_ = 0;
};

// A clock time packed as hhmmss; 0 means empty (and is also midnight).
class xtime {
public:
    xtime() = default;
    explicit xtime(uint32_t packed) : value_(packed) {}
    xtime(const uint8_t& hour, const uint8_t& minute, const uint8_t& second);
    explicit xtime(const std::string& text);
    xtime(const xtime&) = default;
    xtime& operator=(const xtime&) = default;

    void set_time(uint32_t packed) { value_ = packed; }
    void set_time(const uint8_t& hour, const uint8_t& minute, const uint8_t& second);
    bool set_time(const std::string& text);
    void clear() { value_ = 0; }

    uint32_t get_time() const { return value_; }
    void get_time(uint8_t& hour, uint8_t& minute, uint8_t& second) const;
    uint8_t get_hour() const { return static_cast<uint8_t>(value_ / 10000); }
    uint8_t get_minute() const { return static_cast<uint8_t>(value_ / 100 % 100); }
    uint8_t get_second() const { return static_cast<uint8_t>(value_ % 100); }

    bool isempty() const { return value_ == 0; }
    bool isvalid() const;
    std::string tostr() const; // "%06d"

    auto operator<=>(const xtime&) const = default;

    static xtime get_currtime();

private:
    uint32_t value_ = 0;
};

// A date followed by a time; ordered by date, then time.
class xdatetime {
public:
    xdatetime() = default;
    xdatetime(const xdatetime&) = default;
    explicit xdatetime(const xdate& date) : date_(date) {}
    xdatetime(const xdate& date, const xtime& time) : date_(date), time_(time) {}
    xdatetime(const uint16_t& year, const uint8_t& month, const uint8_t& day, const uint8_t& hour,
              const uint8_t& minute, const uint8_t& second);
    xdatetime& operator=(const xdatetime&) = default;

    void set_datetime(const uint16_t& year, const uint8_t& month, const uint8_t& day, const uint8_t& hour,
                      const uint8_t& minute, const uint8_t& second);
    void set_date(const uint16_t& year, const uint8_t& month, const uint8_t& day);
    void set_date(const xdate& date) { date_ = date; }
    void set_time(const uint8_t& hour, const uint8_t& minute, const uint8_t& second);
    void set_time(const xtime& time) { time_ = time; }
    void clear();

    xdate get_date() const { return date_; }
    xtime get_time() const { return time_; }
    uint16_t get_year() const { return date_.get_year(); }
    uint8_t get_month() const { return date_.get_month(); }
    uint8_t get_day() const { return date_.get_day(); }
    uint8_t get_hour() const { return time_.get_hour(); }
    uint8_t get_minute() const { return time_.get_minute(); }
    uint8_t get_second() const { return time_.get_second(); }

    bool isempty() const { return date_.isempty() && time_.isempty(); }
    bool isvalid() const { return date_.isvalid() && time_.isvalid(); }

    auto operator<=>(const xdatetime&) const = default;

    // Date and time from one reading of the clock.
    static xdatetime get_curdatetime();

private:
    xdate date_;
    xtime time_;
};

} // namespace qz::vok
