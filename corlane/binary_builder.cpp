#include "corlane/binary_builder.h"

#include <cstring>
#include <limits>

#include "corlane/le_bytes.h"

namespace qz::vok {

namespace {

constexpr uint32_t kMaxPos = std::numeric_limits<uint32_t>::max();
constexpr uint64_t kLargeStep = 262144;
constexpr uint32_t kGrowSteps[] = {1024, 4096, 16384, 65536, 262144};
constexpr uint8_t kLongStringMark = 255;

} // namespace

binary_builder::binary_builder(uint32_t initial_capacity) : block_(initial_capacity) {}

void binary_builder::reset()
{
    pos_ = 0;
    failed_ = false;
}

bool binary_builder::ensure_capacity(const uint32_t& need)
{
    if (size() >= need)
        return true;
    uint64_t capacity = 0;
    for (uint32_t step : kGrowSteps) {
        if (step >= need) {
            capacity = step;
            break;
        }
    }
    if (capacity == 0)
        capacity = (need + kLargeStep - 1) / kLargeStep * kLargeStep;
    if (capacity > kMaxPos)
        return false;

    binblock grown(static_cast<uint32_t>(capacity));
    if (grown.length() != capacity)
        return false;
    if (size() > 0)
        std::memcpy(grown.data(), block_.data(), size());
    block_ = grown; // other sharers keep the old bytes
    return true;
}

bool binary_builder::advance(uint32_t n, uint32_t& at)
{
    // Once a write failed, later ones must not grow the storage over the gap
    // and make the buffer look whole again.
    if (overflow())
        return false;
    at = pos_;
    if (n > kMaxPos - pos_) {
        pos_ = kMaxPos;
        failed_ = true;
        return false;
    }
    pos_ += n;
    if (!ensure_capacity(pos_)) {
        failed_ = true;
        return false;
    }
    return true;
}

bool binary_builder::write(const uint8_t& v)
{
    uint32_t at;
    if (!advance(1, at))
        return false;
    uint8_t* p = block_.data() + at;
    *p = v;
    return true;
}

bool binary_builder::write(const uint16_t& v)
{
    uint32_t at;
    if (!advance(2, at))
        return false;
    uint8_t* p = block_.data() + at;
    le::store_u16(p, v);
    return true;
}

bool binary_builder::write(const uint32_t& v)
{
    uint32_t at;
    if (!advance(4, at))
        return false;
    uint8_t* p = block_.data() + at;
    le::store_u32(p, v);
    return true;
}

bool binary_builder::write(const float& v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return write(bits);
}

bool binary_builder::write(const double& v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return write(static_cast<int64_t>(bits));
}

bool binary_builder::write(const int64_t& v)
{
    uint32_t at;
    if (!advance(8, at))
        return false;
    uint8_t* p = block_.data() + at;
    le::store_u64(p, static_cast<uint64_t>(v));
    return true;
}

bool binary_builder::write(const xdate& v)
{
    return write(v.get_date());
}

bool binary_builder::write(const xtime& v)
{
    return write(v.get_time());
}

bool binary_builder::write(const xdatetime& v)
{
    return write(v.get_date()) && write(v.get_time());
}

bool binary_builder::write(const std::string& s)
{
    if (s.size() > kMaxPos) {
        pos_ = kMaxPos;
        failed_ = true;
        return false;
    }
    const auto length = static_cast<uint32_t>(s.size());
    if (length < kLongStringMark) {
        if (!write(static_cast<uint8_t>(length)))
            return false;
    } else if (!write(kLongStringMark) || !write(length)) {
        return false;
    }
    return write(s.data(), length);
}

bool binary_builder::write(const void* data, uint32_t length)
{
    if (length > 0 && !data)
        return false;
    uint32_t at;
    if (!advance(length, at))
        return false;
    if (length > 0)
        std::memcpy(block_.data() + at, data, length);
    return true;
}

bool binary_builder::write_cstr(const char* s)
{
    if (!s || overflow())
        return false;
    // Grows first and moves the position only once the text is in place.
    const uint64_t end = uint64_t(pos_) + std::strlen(s) + 1;
    if (end > kMaxPos || !ensure_capacity(static_cast<uint32_t>(end)))
        return false;
    std::memcpy(block_.data() + pos_, s, end - pos_);
    pos_ = static_cast<uint32_t>(end);
    return true;
}

} // namespace qz::vok
