#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// What a link receives, cut into reply lines. The receive handler appends
// each block it gets and then takes lines out until none is complete; every
// line comes out normalised (NormalizeReplyLine) and ready to dispatch.
//
// Only lines of 7-bit text ending in CR LF, at most 512 bytes with the
// CR LF, get through; everything else is dropped without a word, as a
// garbled line from the device is worth nothing to anyone.
class RxRingBuffer {
public:
    static constexpr uint32_t kStorageSize = 0x1E00000;
    // One byte stays free so that a full buffer differs from an empty one.
    static constexpr uint32_t kCapacity = kStorageSize - 1;
    static constexpr uint32_t kMaxLineLength = 512; // CR LF included

    RxRingBuffer();
    RxRingBuffer(const RxRingBuffer&) = delete;
    RxRingBuffer& operator=(const RxRingBuffer&) = delete;

    // Stores the block, or drops it whole when it does not fit.
    void Append(std::size_t length, const void* bytes);
    // The next acceptable line, normalised; false when none is complete.
    bool ReadLine(std::string& line);
    uint32_t FreeSpace() const;

private:
    uint32_t HeldLocked() const;
    // 0 and the line in line_ when one was found, 1 when none is complete.
    int FindLine(uint32_t& length);

    mutable std::mutex mutex_;
    std::unique_ptr<uint8_t[]> storage_;
    uint32_t read_ = 0;
    uint32_t write_ = 0;
    std::string line_; // the work area of FindLine
};
