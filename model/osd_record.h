#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A caption or logo: colours, two flags and a 1-bit bitmap of at most
// 256 x 128 pixels whose rows are padded to whole 32-bit words.
struct tagOSD_DATA_EX2 {
    int32_t background = 0;          // colour A, 0x00BBGGRR
    int32_t captionColor = 0xFFFFFF; // colour B, 0x00BBGGRR
    int32_t transparent = 1;         // value C
    int32_t shown = 1;               // value D
    std::vector<uint8_t> bitmap;     // owned; empty after OsdRecordFree
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 256;
    int32_t bottom = 128;

    // A new record is initialised as OsdRecordInit leaves it.
    tagOSD_DATA_EX2();

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    friend bool operator==(const tagOSD_DATA_EX2&, const tagOSD_DATA_EX2&) = default;
};

inline constexpr int32_t kOsdMaxWidth = 256;
inline constexpr int32_t kOsdMaxHeight = 128;

// Bytes of a bitmap of that size: ((width + 31) / 32) * 4 * height.
// Negative sizes give 0.
size_t OsdBitmapBytes(int64_t width, int64_t height);

// Defaults: colours 0 and 0xFFFFFF, flags 1 and 1, rectangle 0, 0, 256, 128
// and a 4096-byte bitmap of all set bits.
void OsdRecordInit(tagOSD_DATA_EX2& record);

// Releases the bitmap; the rectangle stays.
void OsdRecordFree(tagOSD_DATA_EX2& record);

// Replaces the bitmap by a copy of the first OsdBitmapBytes(right, bottom)
// bytes of `bits`. Refused (false, record unchanged) unless the rectangle
// starts at 0, 0, is not negative, fits 256 x 128 and `bits` holds enough.
bool OsdRecordSetBitmap(tagOSD_DATA_EX2& record, std::span<const uint8_t> bits, int32_t left, int32_t top,
                        int32_t right, int32_t bottom);
