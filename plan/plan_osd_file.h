#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"

// The OSD bitmaps of a plan's logo windows, beside its ".plan" file: a
// 32-bit count, then per record its index, width, height, the four words
// of the OSD record and the 1-bit bitmap (rows padded to 32 bits), all
// little-endian. The writer builds the image in memory so that the plan's
// two files can be put in place together; the reader opens the file
// read-only and trusts no size in it.
class PlanOsdFile {
public:
    // The first four fields of an OSD record, in their stored order.
    struct Words {
        int32_t a = 0;
        int32_t b = 0;
        int32_t c = 0;
        int32_t d = 0;
    };

    // --- Writing ---
    // Starts an image holding a count of 0; returns 0.
    int Create(const std::string& path);
    // Adds one record and counts it. The rectangle's size is clamped to
    // 256 x 128; a bitmap shorter than its size is padded with zeros.
    void AppendRecord(int32_t index, const Rect& rect, const Words& words, const std::vector<uint8_t>& bitmap);
    const std::string& Image() const { return image_; }
    const std::string& Path() const { return path_; }

    // --- Reading ---
    // 0 when the file was read, 1 when it is missing or unreadable.
    int OpenForRead(const std::string& path);
    // Why the last open found the file unreadable; empty when it was read
    // or is missing.
    const std::string& ReadError() const { return readError_; }
    // The stored count (0 when nothing is open); reading starts after it.
    uint32_t ReadCount();
    // The next record: 0, or 1 when it does not fit what remains. A record
    // larger than 256 x 128 comes back as 256 x 128 of zeros with its stored
    // bytes skipped, and marks the file damaged.
    int ReadRecord(int32_t& index, Rect& rect, Words& words, std::vector<uint8_t>& bitmap);
    // A record did not fit, was oversize, or the count claimed more.
    bool Damaged() const { return damaged_; }
    void MarkDamaged() { damaged_ = true; }
    void Close();

private:
    bool Take(size_t n, const char*& out);
    int32_t TakeInt();

    std::string path_;
    std::string image_;
    std::string readError_;
    size_t pos_ = 0;
    bool open_ = false;
    bool damaged_ = false;
    uint32_t count_ = 0;
};
