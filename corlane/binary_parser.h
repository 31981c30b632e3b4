#pragma once
#include <cstdint>
#include <string>

#include "corlane/xdatetime.h"

namespace qz::vok {

// Reads back what binary_builder writes, from bytes the caller keeps alive.
// Every read checks its length against the unread bytes; a failed read leaves
// the position past the end and overflow() true until reset().
class binary_parser {
public:
    binary_parser(const void* data, uint32_t size);

    bool read(uint8_t& v);
    bool read(uint16_t& v);
    bool read(uint32_t& v);
    bool read(float& v);
    bool read(double& v);
    bool read(int64_t& v);
    bool read(xdate& v);
    bool read(xtime& v);
    bool read(xdatetime& v);
    bool read(std::string& s);
    bool read(void* dest, uint32_t length);
    // Points out at the NUL-terminated text inside the data and moves past it.
    bool read_cstr(const char*& out);

    uint32_t pos() const { return pos_; }
    uint32_t size() const { return size_; }
    uint32_t unread_size() const { return size_ - pos_; }
    bool overflow() const { return failed_ || pos_ > size_; }
    void reset();
    const uint8_t* get_buffer() const { return data_; }

private:
    // Moves the position by n and gives where the item starts; false when
    // fewer than n bytes remain.
    bool advance(uint32_t n, uint32_t& at);
    void fail_past_end(uint64_t wanted_end);

    const uint8_t* data_;
    uint32_t size_;
    uint32_t pos_ = 0;
    bool failed_ = false;
};

} // namespace qz::vok
