#include "comm/rx_ring_buffer.h"

#include <algorithm>
#include <cstring>

#include "comm/reply_line.h"

namespace {

constexpr uint32_t N = RxRingBuffer::kStorageSize;

uint32_t Next(uint32_t p)
{
    return p + 1 == N ? 0 : p + 1;
}

// Bytes from `from` up to `to`; `to` never equals `from` where this is used.
uint32_t Distance(uint32_t from, uint32_t to)
{
    return to > from ? to - from : to + N - from;
}

} // namespace

RxRingBuffer::RxRingBuffer() : storage_(new uint8_t[kStorageSize])
{
    line_.reserve(kMaxLineLength);
}

uint32_t RxRingBuffer::HeldLocked() const
{
    return write_ >= read_ ? write_ - read_ : write_ + N - read_;
}

uint32_t RxRingBuffer::FreeSpace() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return kCapacity - HeldLocked();
}

void RxRingBuffer::Append(std::size_t length, const void* bytes)
{
    std::lock_guard<std::mutex> guard(mutex_);
    if (length == 0 || length > kCapacity - HeldLocked())
        return;
    const auto* src = static_cast<const uint8_t*>(bytes);
    const auto count = static_cast<uint32_t>(length);
    const uint32_t first = std::min(count, N - write_);
    std::memcpy(storage_.get() + write_, src, first);
    std::memcpy(storage_.get(), src + first, count - first);
    write_ = (write_ + count) % N;
}

int RxRingBuffer::FindLine(uint32_t& length)
{
    if (read_ == write_)
        return 1;
    const bool full = Next(write_) == read_;
    if (!full && HeldLocked() < 2)
        return 1;

    uint32_t p = read_;
    for (;;) {
        if (storage_[p] != '\r') {
            p = Next(p);
            if (p == write_)
                return 1;
            // 512 bytes without a CR cannot start a line.
            if (Distance(read_, p) >= kMaxLineLength)
                read_ = p;
            continue;
        }
        p = Next(p);
        if (p == write_)
            return 1; // the LF may still come
        if (storage_[p] != '\n') {
            read_ = p; // a lone CR ends nothing
            continue;
        }
        p = Next(p);
        const uint32_t size = Distance(read_, p);
        if (size > kMaxLineLength) {
            read_ = p;
            if (p == write_)
                return 1;
            continue;
        }
        const uint32_t first = std::min(size, N - read_);
        line_.assign(reinterpret_cast<const char*>(storage_.get() + read_), first);
        line_.append(reinterpret_cast<const char*>(storage_.get()), size - first);
        read_ = p;
        length = size;
        return 0;
    }
}

bool RxRingBuffer::ReadLine(std::string& line)
{
    std::lock_guard<std::mutex> guard(mutex_);
    uint32_t length = 0;
    while (FindLine(length) == 0) {
        if (length < 2 || line_.compare(length - 2, 2, "\r\n") != 0)
            continue;
        if (!std::all_of(line_.begin(), line_.end() - 2, [](char c) { return static_cast<uint8_t>(c) < 0x80; }))
            continue; // the device speaks 7-bit text only
        // A NUL ends the text, as it would a C string.
        const auto nul = line_.find('\0');
        if (nul != std::string::npos)
            line_.resize(nul);
        NormalizeReplyLine(line_);
        line = line_;
        return true;
    }
    return false;
}
