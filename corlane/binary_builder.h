#pragma once
#include <cstdint>
#include <string>

#include "corlane/binblock.h"
#include "corlane/xdatetime.h"

namespace qz::vok {

// Serialises values little-endian, without padding, into a growing binblock.
// Copies share the storage until one of them has to grow it.
class binary_builder {
public:
    explicit binary_builder(uint32_t initial_capacity = 0);

    bool write(const uint8_t& v);
    bool write(const uint16_t& v);
    bool write(const uint32_t& v);
    bool write(const float& v);
    bool write(const double& v);
    bool write(const int64_t& v);
    bool write(const xdate& v);
    bool write(const xtime& v);
    bool write(const xdatetime& v); // packed date, then packed time
    // Length up to 254 as one byte, longer as 255 then a 32-bit length.
    bool write(const std::string& s);
    bool write(const void* data, uint32_t length);
    // The text with its terminating NUL, no length prefix.
    bool write_cstr(const char* s);

    uint32_t pos() const { return pos_; }
    uint32_t size() const { return block_.length(); }
    uint32_t free_space() const { return size() - pos_; }
    bool overflow() const { return failed_ || pos_ > size(); }
    void reset();
    uint8_t* get_buffer() const { return block_.data(); }

private:
    // Moves the position by n and gives where the item goes; false when the
    // position would pass 4 GiB or the storage cannot hold the item.
    bool advance(uint32_t n, uint32_t& at);
    bool ensure_capacity(const uint32_t& need);

    binblock block_;
    uint32_t pos_ = 0;
    bool failed_ = false;
};

} // namespace qz::vok
