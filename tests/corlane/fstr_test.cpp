#include "corlane/fstr.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>

using namespace qz::vok;

namespace {
std::string bytes(std::initializer_list<uint8_t> list)
{
    return std::string(list.begin(), list.end());
}
} // namespace

TEST(FstrFormat, FollowsPrintfUpToTheFirstNul)
{
    EXPECT_EQ(fstr_format("ab%ccd", 0), "ab");
    EXPECT_EQ(fstr_format("%s-%d.LOG", "SYS", 20240506), "SYS-20240506.LOG");
    EXPECT_EQ(fstr_format("%" PRIu64, UINT64_C(18446744073709551615)), "18446744073709551615");
    EXPECT_EQ(fstr_format("%s", std::string(10000, 'x').c_str()).size(), 10000u); // no length limit

    std::string out = "old";
    fstr_format(out, "%02d:%02d", 9, 5);
    EXPECT_EQ(out, "09:05");
    fstr_appendformat(out, " %s%%", "done");
    EXPECT_EQ(out, "09:05 done%");
}

TEST(FstrText, FindsDigitsNumbersAndCharacters)
{
    EXPECT_TRUE(fstr_isdigit(""));
    EXPECT_TRUE(fstr_isdigit("0123456789"));
    EXPECT_FALSE(fstr_isdigit("12a"));
    EXPECT_FALSE(fstr_isdigit("-1"));

    using list = std::vector<std::string>;
    EXPECT_EQ(fstr_resolve_number("V1.25b7"), (list{"1", "25", "7"}));
    EXPECT_EQ(fstr_resolve_number("abc"), list{});
    EXPECT_EQ(fstr_resolve_number("12,34"), (list{"12", "34"}));
    EXPECT_EQ(fstr_resolve_number("-007x"), list{"007"});

    EXPECT_EQ(fstr_char_count("a,b,,c", ','), 3);
    EXPECT_EQ(fstr_char_count("", ','), 0);
}

TEST(FstrFloatstr, TruncatesTheFractionNeverRounds)
{
    EXPECT_EQ(fstr_floatstr(2.5), "2.5");
    EXPECT_EQ(fstr_floatstr(100.0), "100");
    EXPECT_EQ(fstr_floatstr(0.0), "0");
    EXPECT_EQ(fstr_floatstr(-0.0), "0");
    EXPECT_EQ(fstr_floatstr(2.675), "2.67499999");
    EXPECT_EQ(fstr_floatstr(-0.0000001), "-0.0000001");
    EXPECT_EQ(fstr_floatstr(-0.0000001f), "-0"); // six decimals at most
    EXPECT_EQ(fstr_floatstr(2.5f), "2.5");
    EXPECT_EQ(fstr_floatstr(123456789.0f), "123456792"); // nine digits: no decimals
    EXPECT_EQ(fstr_floatstr(1234567.75f), "1234567.75");
    EXPECT_EQ(fstr_floatstr(-12.125), "-12.125");
    // Beyond 64 bits: the whole value, no garbage from an overflowing cast.
    EXPECT_EQ(fstr_floatstr(1e20), "100000000000000000000");
    EXPECT_EQ(fstr_floatstr(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(fstr_floatstr(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(fstr_floatstr(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(FstrFgets, ReturnsWholeLinesOfAnyLength)
{
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    const std::string long_line = std::string(600, 'x').append(1, '\n');
    std::fputs(long_line.c_str(), f);
    std::fputs("\nlast", f);
    std::rewind(f);

    std::string line = "stale";
    EXPECT_TRUE(fstr_fgets(f, line));
    EXPECT_EQ(line, long_line);
    EXPECT_TRUE(fstr_fgets(f, line));
    EXPECT_EQ(line, "\n");
    EXPECT_TRUE(fstr_fgets(f, line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(fstr_fgets(f, line));
    EXPECT_EQ(line, "");
    std::fclose(f);
}

TEST(FstrHex, RoundTripsAndStopsOnBadDigits)
{
    const uint8_t data[] = {0x0A, 0x1B, 0xFF};
    EXPECT_EQ(fstr_create_hexstr(data, 2), "0A1B");
    EXPECT_EQ(fstr_create_hexstr(data, 3), "0A1BFF");
    EXPECT_EQ(fstr_create_hexstr(data, 0), "");
    EXPECT_EQ(fstr_create_hexstr(data, -1), "");

    binblock block;
    ASSERT_TRUE(fstr_parse_hexstr(block, "0a1B"));
    ASSERT_EQ(block.length(), 2u);
    EXPECT_EQ(block.data()[0], 0x0A);
    EXPECT_EQ(block.data()[1], 0x1B);

    // Odd or empty: the block is left exactly as it was.
    const uint8_t* before = block.data();
    EXPECT_FALSE(fstr_parse_hexstr(block, "abc"));
    EXPECT_FALSE(fstr_parse_hexstr(block, ""));
    EXPECT_EQ(block.data(), before);
    EXPECT_EQ(block.length(), 2u);

    EXPECT_FALSE(fstr_parse_hexstr(block, "0G"));
    EXPECT_FALSE(fstr_parse_hexstr(block, "7F3G00"));
    ASSERT_EQ(block.length(), 3u); // a new zero-filled block, filled up to the bad digit
    EXPECT_EQ(block.data()[0], 0x7F);
    EXPECT_EQ(block.data()[1], 0x30);
    EXPECT_EQ(block.data()[2], 0x00);
}

TEST(FstrCodepage, ConvertsCodePage936OrNothing)
{
    std::string ansi, utf8;
    ASSERT_TRUE(fstr_utf8toansi("确定", ansi));
    EXPECT_EQ(ansi, bytes({0xC8, 0xB7, 0xB6, 0xA8}));
    ASSERT_TRUE(fstr_ansitoutf8(ansi, utf8));
    EXPECT_EQ(utf8, "确定");
    ASSERT_TRUE(fstr_utf8toansi("", ansi));
    EXPECT_EQ(ansi, "");

    std::string out = "stale";
    EXPECT_FALSE(fstr_utf8toansi("ok\xFF", out)); // invalid UTF-8
    EXPECT_EQ(out, "");
    out = "stale";
    EXPECT_FALSE(fstr_utf8toansi("a\xF0\x9F\x98\x80", out)); // U+1F600 is not in the code page
    EXPECT_EQ(out, "");
    out = "stale";
    EXPECT_FALSE(fstr_ansitoutf8("a\xC8", out)); // half a double-byte character
    EXPECT_EQ(out, "");
}

TEST(FstrField, CopiesAndReadsFixedWidthFields)
{
    char field[8];
    std::memset(field, 'z', sizeof field);
    fstr_copy(field, 5, "abc");
    EXPECT_EQ(std::string(field, 6), std::string("abc\0\0z", 6));

    fstr_copy(field, 5, "abcdef");
    EXPECT_EQ(std::string(field, 6), "abcdez"); // full: no terminator
    EXPECT_EQ(fstr_read(field, 5), "abcde");    // and never read past the width

    fstr_copy(field, 5, "");
    EXPECT_EQ(std::string(field, 5), std::string(5, '\0'));
    EXPECT_EQ(fstr_read(field, 5), "");

    // A full 255-byte field at the end of a buffer: nothing beyond is read.
    std::vector<char> record(255, 'q');
    EXPECT_EQ(fstr_read(record.data(), 255), std::string(255, 'q'));
}
