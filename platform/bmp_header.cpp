#include "platform/bmp_header.h"

namespace platform {

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;

uint32_t Le32(std::span<const uint8_t> b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t Le16(std::span<const uint8_t> b, size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}

} // namespace

bool BmpPixelDataComplete(std::span<const uint8_t> header, uint64_t fileSize)
{
    if (header.size() < 26)
        return false;
    const uint64_t dataOffset = Le32(header, 10);
    uint64_t width = 0;
    uint64_t height = 0;
    uint64_t bitCount = 0;
    uint32_t compression = kUncompressed;
    uint64_t imageSize = 0;
    if (Le32(header, 14) == kCoreHeaderSize) {
        width = Le16(header, 18);
        height = Le16(header, 20);
        bitCount = Le16(header, 24);
    } else {
        if (header.size() < 38)
            return false;
        const int32_t w = int32_t(Le32(header, 18));
        const int64_t h = int32_t(Le32(header, 22)); // negative: rows top down
        if (w <= 0)
            return false;
        width = uint64_t(w);
        height = uint64_t(h < 0 ? -h : h);
        bitCount = Le16(header, 28);
        compression = Le32(header, 30);
        imageSize = Le32(header, 34);
    }
    if (width == 0 || height == 0 || bitCount == 0 || dataOffset > fileSize)
        return false;
    const uint64_t available = fileSize - dataOffset;
    if (compression != kUncompressed && compression != kBitFields)
        return imageSize > 0 && imageSize <= available;
    // Below 2^31 x 2^16, the row never overflows; the rows are compared by
    // division so that their product need not be formed.
    const uint64_t rowBytes = (width * bitCount + 31) / 32 * 4;
    return rowBytes <= available / height;
}

} // namespace platform
