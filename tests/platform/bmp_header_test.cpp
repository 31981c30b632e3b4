#include "platform/bmp_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A 40-byte info header: the pixel data follows at 54.
std::vector<uint8_t> Info(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0,
                          uint32_t imageSize = 0)
{
    std::vector<uint8_t> b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 10, 54, 4);
    Put(b, 14, 40, 4);
    Put(b, 18, uint32_t(width), 4);
    Put(b, 22, uint32_t(height), 4);
    Put(b, 28, bits, 2);
    Put(b, 30, compression, 4);
    Put(b, 34, imageSize, 4);
    return b;
}

std::vector<uint8_t> Core(uint16_t width, uint16_t height, uint16_t bits)
{
    std::vector<uint8_t> b(26, 0);
    Put(b, 10, 26, 4);
    Put(b, 14, 12, 4);
    Put(b, 18, width, 2);
    Put(b, 20, height, 2);
    Put(b, 24, bits, 2);
    return b;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> b, size_t size)
{
    b.resize(size);
    return b;
}

} // namespace

TEST(BmpHeader, PixelDataMustAllBeThereAndSizesNeverOverflow)
{
    // 3 x 2 at 24 bits: rows of 9 bytes padded to 12.
    const struct {
        const char* name;
        std::vector<uint8_t> header;
        uint64_t fileSize;
        bool complete;
    } cases[] = {
        {"whole", Info(3, 2, 24), 54 + 24, true},
        {"one byte short", Info(3, 2, 24), 54 + 23, false},
        {"top-down rows", Info(3, -2, 24), 54 + 24, true},
        {"core header", Core(3, 2, 24), 26 + 24, true},
        {"core header short", Core(3, 2, 24), 26 + 23, false},
        {"largest everything", Info(0x7FFFFFFF, 0x7FFFFFFF, 65535), UINT64_MAX, false},
        {"largest, top-down", Info(0x7FFFFFFF, int32_t(0x80000000), 65535), UINT64_MAX, false},
        {"no width", Info(0, 2, 24), 1000, false},
        {"negative width", Info(-3, 2, 24), 1000, false},
        {"no bits", Info(3, 2, 0), 1000, false},
        {"data past the end", Info(3, 2, 24), 40, false},
        {"compressed, size given", Info(3, 2, 8, 1, 10), 64, true},
        {"compressed, size past the end", Info(3, 2, 8, 1, 11), 64, false},
        {"compressed, no size", Info(3, 2, 8, 1, 0), 64, false},
        {"header cut", Cut(Info(3, 2, 24), 30), 78, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::BmpPixelDataComplete(c.header, c.fileSize), c.complete) << c.name;
}
