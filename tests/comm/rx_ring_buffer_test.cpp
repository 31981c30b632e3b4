#include "comm/rx_ring_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

Lines Feed(RxRingBuffer& buffer, const std::string& bytes)
{
    buffer.Append(bytes.size(), bytes.data());
    Lines lines;
    std::string line;
    while (buffer.ReadLine(line))
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(RingBuffer, HandsOutNormalisedLinesInOrder)
{
    RxRingBuffer buffer;
    EXPECT_EQ(Feed(buffer, "GP  TYPE\t07  0x1F\r\nGP TYPE 7 1\r\nSINGLE\r\n"),
              (Lines{"GP TYPE 7 31\r\n", "GP TYPE 7 1\r\n", "SINGLE\r\n"}));
    // A line split between blocks, the CR ending one and the LF starting the next.
    EXPECT_EQ(Feed(buffer, "GP TYPE 2 0\r"), Lines{});
    EXPECT_EQ(Feed(buffer, "\nGP S"), Lines{"GP TYPE 2 0\r\n"});
    EXPECT_EQ(Feed(buffer, "OT 1 1\r\n"), Lines{"GP SOT 1 1\r\n"});

    // Normalising can lengthen a line past the raw limit; it comes out whole.
    std::string raw(440, 'A');
    raw += " B";
    for (int i = 0; i < 14; ++i)
        raw += " -1";
    const Lines lines = Feed(buffer, raw + "\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 598u);
    EXPECT_TRUE(lines[0].ends_with(" 4294967295\r\n"));
    EXPECT_EQ(buffer.FreeSpace(), RxRingBuffer::kCapacity);
}

TEST(RingBuffer, DropsLineLongerThanLimit)
{
    RxRingBuffer buffer;
    // 510 characters and CR LF make the longest line; 511 are too many.
    const std::string longest = std::string(510, 'a').append("\r\n");
    EXPECT_EQ(Feed(buffer, longest + std::string(511, 'b') + "\r\nGP SOT 1\r\n"), (Lines{longest, "GP SOT 1\r\n"}));
    // 600 bytes without a CR: the first 512 go, the last 88 wait.
    std::string noCr;
    for (int i = 0; i < 600; ++i)
        noCr += static_cast<char>('0' + i % 10);
    EXPECT_EQ(Feed(buffer, noCr), Lines{});
    EXPECT_EQ(Feed(buffer, "\r\n"), Lines{noCr.substr(512) + "\r\n"});
}

TEST(RingBuffer, DropsBadLinesAndGoesOnWithTheNext)
{
    RxRingBuffer buffer;
    EXPECT_EQ(Feed(buffer, "GP TYPE \x80 1\r\nGP SOT 1 1\r\n"), Lines{"GP SOT 1 1\r\n"});
    EXPECT_EQ(Feed(buffer, "GP BAD\rGP SOT 2\r\n"), Lines{"GP SOT 2\r\n"}); // a lone CR ends nothing
    // A NUL ends the text.
    EXPECT_EQ(Feed(buffer, std::string("GP TYPE\0 7 1\r\n", 14)), Lines{"GP TYPE\r\n"});
}

TEST(RingBuffer, FillsToCapacityAndDropsABlockThatDoesNotFit)
{
    RxRingBuffer buffer;
    EXPECT_EQ(Feed(buffer, std::string(RxRingBuffer::kCapacity + 1, 'x')), Lines{});
    EXPECT_EQ(buffer.FreeSpace(), 0x1DFFFFFu); // dropped whole

    // Junk without a CR, then two lines that end on the last free byte.
    const std::string line = "GP SOT 10 20 3\r\n";
    std::string block(RxRingBuffer::kCapacity - 2 * line.size(), 'j');
    block += line + line;
    buffer.Append(block.size(), block.data());
    EXPECT_EQ(buffer.FreeSpace(), 0u);
    buffer.Append(1, "x");
    EXPECT_EQ(buffer.FreeSpace(), 0u);

    // The junk goes 512 bytes at a time; its last 479 bytes lead the line.
    std::string got;
    ASSERT_TRUE(buffer.ReadLine(got));
    EXPECT_EQ(got, std::string(479, 'j') + line);
    ASSERT_TRUE(buffer.ReadLine(got));
    EXPECT_EQ(got, line);
    EXPECT_FALSE(buffer.ReadLine(got));
    // The storage starts over: lines across its end come out whole.
    EXPECT_EQ(Feed(buffer, "GP SOT 1 1\r\nGP SOT 2 2\r\n"), (Lines{"GP SOT 1 1\r\n", "GP SOT 2 2\r\n"}));
}
