#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "corlane/log_limit.h"

// The raw capture of what serial links receive: "SerialPort.txt" in the log
// folder, the bytes as they came, whatever the log level. Every serial link
// appends to the one file, which spans days; what it takes in a day is
// bounded, and the block that would pass the bound gets one line saying so
// instead.
class SerialCapture {
public:
    static constexpr char kFileName[] = "SerialPort.txt";

    explicit SerialCapture(uint64_t dayLimit = qz::vok::detail::log_day_limit) : cap_(dayLimit) {}
    // The one the program's serial links share.
    static SerialCapture& Shared();

    // Appends the block; false with `error` when the file cannot be opened
    // (a pipe or device of that name is never waited for) or written.
    bool Keep(const void* data, size_t length, std::string& error);

private:
    std::mutex mutex_;
    qz::vok::detail::day_cap cap_;
    uint32_t date_ = 0;
    uint64_t keptToday_ = 0;
};
