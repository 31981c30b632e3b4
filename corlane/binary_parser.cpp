#include "corlane/binary_parser.h"

#include <cstring>
#include <limits>

#include "corlane/le_bytes.h"

namespace qz::vok {

namespace {

constexpr uint32_t kMaxPos = std::numeric_limits<uint32_t>::max();
constexpr uint8_t kLongStringMark = 255;

} // namespace

binary_parser::binary_parser(const void* data, uint32_t size)
    : data_(static_cast<const uint8_t*>(data)), size_(data ? size : 0)
{
}

void binary_parser::reset()
{
    pos_ = 0;
    failed_ = false;
}

void binary_parser::fail_past_end(uint64_t wanted_end)
{
    // Saturate rather than wrap: a wrapped position would point back into
    // the data and let the next read copy from the wrong place.
    pos_ = wanted_end > kMaxPos ? kMaxPos : static_cast<uint32_t>(wanted_end);
    failed_ = true;
}

bool binary_parser::advance(uint32_t n, uint32_t& at)
{
    if (overflow()) {
        fail_past_end(uint64_t(pos_) + n);
        return false;
    }
    if (n > size_ - pos_) {
        fail_past_end(uint64_t(pos_) + n);
        return false;
    }
    at = pos_;
    pos_ += n;
    return true;
}

bool binary_parser::read(uint8_t& v)
{
    uint32_t at;
    if (!advance(1, at))
        return false;
    v = data_[at];
    return true;
}

bool binary_parser::read(uint16_t& v)
{
    uint32_t at;
    if (!advance(2, at))
        return false;
    v = le::load_u16(data_ + at);
    return true;
}

bool binary_parser::read(uint32_t& v)
{
    uint32_t at;
    if (!advance(4, at))
        return false;
    v = le::load_u32(data_ + at);
    return true;
}

bool binary_parser::read(float& v)
{
    uint32_t bits;
    if (!read(bits))
        return false;
    std::memcpy(&v, &bits, sizeof v);
    return true;
}

bool binary_parser::read(double& v)
{
    int64_t bits;
    if (!read(bits))
        return false;
    std::memcpy(&v, &bits, sizeof v);
    return true;
}

bool binary_parser::read(int64_t& v)
{
    uint32_t at;
    if (!advance(8, at))
        return false;
    v = static_cast<int64_t>(le::load_u64(data_ + at));
    return true;
}

bool binary_parser::read(xdate& v)
{
    uint32_t packed;
    if (!read(packed))
        return false;
    v.set_date(packed);
    return true;
}

bool binary_parser::read(xtime& v)
{
    uint32_t packed;
    if (!read(packed))
        return false;
    v.set_time(packed);
    return true;
}

bool binary_parser::read(xdatetime& v)
{
    xdate date;
    xtime time;
    if (!read(date) || !read(time))
        return false;
    v = xdatetime(date, time);
    return true;
}

bool binary_parser::read(std::string& s)
{
    uint8_t prefix;
    if (!read(prefix))
        return false;
    uint32_t length = prefix;
    if (prefix == kLongStringMark && !read(length))
        return false;
    uint32_t at;
    if (!advance(length, at))
        return false;
    s.assign(reinterpret_cast<const char*>(data_ + at), length);
    return true;
}

bool binary_parser::read(void* dest, uint32_t length)
{
    if (length > 0 && !dest)
        return false;
    uint32_t at;
    if (!advance(length, at))
        return false;
    if (length > 0)
        std::memcpy(dest, data_ + at, length);
    return true;
}

bool binary_parser::read_cstr(const char*& out)
{
    if (overflow() || pos_ == size_) {
        fail_past_end(uint64_t(pos_) + 1);
        return false;
    }
    const void* nul = std::memchr(data_ + pos_, 0, size_ - pos_);
    if (!nul) {
        fail_past_end(uint64_t(size_) + 1);
        return false;
    }
    out = reinterpret_cast<const char*>(data_ + pos_);
    pos_ = static_cast<uint32_t>(static_cast<const uint8_t*>(nul) - data_) + 1;
    return true;
}

} // namespace qz::vok
