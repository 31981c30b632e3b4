#include "corlane/binary_builder.h"
#include "corlane/binary_parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace qz::vok;

namespace {

std::vector<uint8_t> written(const binary_builder& b)
{
    return std::vector<uint8_t>(b.get_buffer(), b.get_buffer() + b.pos());
}

} // namespace

TEST(BinaryBuilder, GrowsInFixedSteps)
{
    binary_builder b;
    EXPECT_EQ(b.get_buffer(), nullptr);
    EXPECT_EQ(b.size(), 0u);

    EXPECT_TRUE(b.write(uint8_t(1)));
    EXPECT_EQ(b.size(), 1024u);

    std::vector<uint8_t> chunk(1023, 0xAB);
    EXPECT_TRUE(b.write(chunk.data(), 1023));
    EXPECT_EQ(b.size(), 1024u);
    EXPECT_EQ(b.free_space(), 0u);
    EXPECT_TRUE(b.write(uint8_t(2)));
    EXPECT_EQ(b.size(), 4096u);
    EXPECT_EQ(b.get_buffer()[1023], 0xAB); // old bytes carried over
    EXPECT_EQ(b.get_buffer()[1024], 2);

    binary_builder big;
    std::vector<uint8_t> lots(300000, 1);
    EXPECT_TRUE(big.write(lots.data(), 300000));
    EXPECT_EQ(big.size(), 524288u);
    EXPECT_FALSE(big.overflow());
}

TEST(BinaryBuilder, CopiesShareStorageUntilOneGrows)
{
    binary_builder a(16);
    a.write(uint32_t(7));
    binary_builder b = a;
    b.write(uint32_t(9));
    EXPECT_EQ(a.get_buffer(), b.get_buffer());
    EXPECT_EQ(a.get_buffer()[4], 9);
    EXPECT_EQ(a.pos(), 4u);

    std::vector<uint8_t> more(100, 5);
    b.write(more.data(), 100); // grows b onto storage of its own
    EXPECT_NE(a.get_buffer(), b.get_buffer());
    EXPECT_EQ(a.size(), 16u);
    EXPECT_EQ(b.get_buffer()[4], 9);
}

TEST(BinaryBuilder, EncodesLittleEndianWithoutPadding)
{
    binary_builder b;
    b.write(uint32_t(0x11223344));
    b.write(uint16_t(0xA1B2));
    b.write(int64_t(-2));
    b.write(xdatetime(xdate(20240229), xtime(235958)));
    b.write(xdate(20000301));
    b.write(xtime(90507));
    b.write_cstr("ab");
    b.write(1.5f);
    b.write(-2.0);
    const std::vector<uint8_t> expected = {
        0x44, 0x33, 0x22, 0x11,                         // u32
        0xB2, 0xA1,                                     // u16
        0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // -2 as 64 bits
        0x65, 0xD7, 0x34, 0x01, 0xB6, 0x99, 0x03, 0x00, // 20240229, 235958
        0x2D, 0x2E, 0x31, 0x01,                         // 20000301
        0x8B, 0x61, 0x01, 0x00,                         // 090507
        0x61, 0x62, 0x00,                               // "ab" with its NUL
        0x00, 0x00, 0xC0, 0x3F,                         // 1.5f
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, // -2.0
    };
    EXPECT_EQ(written(b), expected);
}

TEST(BinaryBuilder, PrefixesLongStringsWithMarkAndLength)
{
    binary_builder b;
    b.write(std::string());
    b.write(std::string("q"));
    EXPECT_EQ(b.pos(), 3u);
    EXPECT_EQ(b.get_buffer()[0], 0);
    EXPECT_EQ(b.get_buffer()[1], 1);

    b.reset();
    EXPECT_EQ(b.pos(), 0u);
    EXPECT_EQ(b.size(), 1024u);        // capacity kept
    EXPECT_EQ(b.get_buffer()[2], 'q'); // bytes kept
    b.write(std::string(254, 'x'));
    EXPECT_EQ(b.pos(), 255u);
    EXPECT_EQ(b.get_buffer()[0], 254);
    EXPECT_EQ(b.get_buffer()[1], 'x');

    b.reset();
    b.write(std::string(255, 'y'));
    ASSERT_EQ(b.pos(), 260u);
    const std::vector<uint8_t> head(b.get_buffer(), b.get_buffer() + 6);
    EXPECT_EQ(head, (std::vector<uint8_t>{0xFF, 0xFF, 0x00, 0x00, 0x00, 'y'}));
}

TEST(BinaryBuilder, WriteThatWouldPass4GiBFailsAndStaysFailed)
{
    binary_builder b;
    b.write(uint8_t(1));
    const uint8_t src[4] = {1, 2, 3, 4};
    // Never read: the length check fails first.
    EXPECT_FALSE(b.write(src, 0xFFFFFFFFu));
    EXPECT_TRUE(b.overflow());
    EXPECT_EQ(b.size(), 1024u);
    EXPECT_FALSE(b.write(uint8_t(2)));
    EXPECT_FALSE(b.write_cstr("x"));
    EXPECT_TRUE(b.overflow());

    b.reset();
    EXPECT_FALSE(b.overflow());
    EXPECT_TRUE(b.write(uint8_t(2)));
}

TEST(BinaryParser, RoundTripsEveryType)
{
    const std::string s254(254, 'a'), s255(255, 'b'), s70000(70000, 'c');
    const uint8_t raw[3] = {9, 8, 7};
    binary_builder b;
    b.write(uint8_t(0xFE));
    b.write(uint16_t(0xBEEF));
    b.write(uint32_t(0xCAFEBABE));
    b.write(3.25f);
    b.write(-1e300);
    b.write(int64_t(-1234567890123LL));
    b.write(xdate(19991231));
    b.write(xtime(120000));
    b.write(xdatetime(xdate(20240101), xtime(10203)));
    b.write(std::string());
    b.write(s254);
    b.write(s255);
    b.write(s70000);
    b.write(raw, 3);
    b.write_cstr("ab");
    b.write(uint8_t(0x55));

    binary_parser p(b.get_buffer(), b.pos());
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    float f = 0;
    double d = 0;
    int64_t i64 = 0;
    xdate date;
    xtime time;
    xdatetime dt;
    std::string e = "junk", a, bb, c;
    uint8_t r[3] = {};
    const char* text = nullptr;
    EXPECT_TRUE(p.read(u8));
    EXPECT_TRUE(p.read(u16));
    EXPECT_TRUE(p.read(u32));
    EXPECT_TRUE(p.read(f));
    EXPECT_TRUE(p.read(d));
    EXPECT_TRUE(p.read(i64));
    EXPECT_TRUE(p.read(date));
    EXPECT_TRUE(p.read(time));
    EXPECT_TRUE(p.read(dt));
    EXPECT_TRUE(p.read(e));
    EXPECT_TRUE(p.read(a));
    EXPECT_TRUE(p.read(bb));
    EXPECT_TRUE(p.read(c));
    EXPECT_TRUE(p.read(r, 3));
    EXPECT_TRUE(p.read_cstr(text));
    EXPECT_TRUE(p.read(u8));

    EXPECT_EQ(u16, 0xBEEF);
    EXPECT_EQ(u32, 0xCAFEBABEu);
    EXPECT_EQ(f, 3.25f);
    EXPECT_EQ(d, -1e300);
    EXPECT_EQ(i64, -1234567890123LL);
    EXPECT_EQ(date, xdate(19991231));
    EXPECT_EQ(time, xtime(120000));
    EXPECT_EQ(dt, xdatetime(xdate(20240101), xtime(10203)));
    EXPECT_EQ(e, "");
    EXPECT_EQ(a, s254);
    EXPECT_EQ(bb, s255);
    EXPECT_EQ(c, s70000);
    EXPECT_EQ(std::memcmp(r, raw, 3), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "ab");
    EXPECT_GE(reinterpret_cast<const uint8_t*>(text), p.get_buffer()); // points into the data
    EXPECT_LT(reinterpret_cast<const uint8_t*>(text), p.get_buffer() + p.size());
    EXPECT_EQ(u8, 0x55);
    EXPECT_EQ(p.unread_size(), 0u);
    EXPECT_FALSE(p.overflow());
}

TEST(BinaryParser, ShortReadFailsUntilReset)
{
    const uint8_t data[3] = {1, 2, 3};
    binary_parser p(data, 3);
    uint32_t v = 77;
    EXPECT_FALSE(p.read(v));
    EXPECT_EQ(v, 77u);
    EXPECT_EQ(p.pos(), 4u);
    EXPECT_TRUE(p.overflow());
    EXPECT_EQ(p.unread_size(), 0xFFFFFFFFu); // size − position, unsigned
    uint8_t b = 0;
    EXPECT_FALSE(p.read(b)); // a failure sticks

    p.reset();
    EXPECT_FALSE(p.overflow());
    EXPECT_TRUE(p.read(b));
    EXPECT_EQ(b, 1);
}

TEST(BinaryParser, LyingLengthsNeverReadPastTheData)
{
    // The 255 mark, then a length of 4294967295: in 32 bits the end position
    // would wrap back to 4, inside the buffer.
    const uint8_t data[10] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 'd', 'e'};
    binary_parser p(data, sizeof data);
    std::string s = "keep";
    EXPECT_FALSE(p.read(s));
    EXPECT_EQ(s, "keep");
    EXPECT_TRUE(p.overflow());
    EXPECT_GT(p.pos(), p.size());
    uint8_t next = 0;
    EXPECT_FALSE(p.read(next));

    binary_parser raw(data, sizeof data);
    raw.read(next);
    uint8_t dest[8] = {};
    EXPECT_FALSE(raw.read(dest, 0xFFFFFFFFu));
    EXPECT_EQ(raw.pos(), 0xFFFFFFFFu); // saturated, not wrapped
    EXPECT_TRUE(raw.overflow());
    EXPECT_EQ(dest[0], 0);

    const char unterminated[3] = {'a', 'b', 'c'};
    binary_parser c(unterminated, 3);
    const char* text = nullptr;
    EXPECT_FALSE(c.read_cstr(text));
    EXPECT_EQ(text, nullptr);
    EXPECT_TRUE(c.overflow());

    const char two[4] = {'a', 0, 'b', 0};
    binary_parser t(two, 4);
    EXPECT_TRUE(t.read_cstr(text));
    EXPECT_TRUE(t.read_cstr(text));
    EXPECT_STREQ(text, "b");
    EXPECT_FALSE(t.read_cstr(text)); // nothing left
}
