#include "comm/rx_ring_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Append(RxRingBuffer& buffer, const std::string& bytes)
{
    buffer.Append(bytes.size(), bytes.data());
}

std::vector<std::string> ReadAll(RxRingBuffer& buffer)
{
    std::vector<std::string> lines;
    std::string line;
    while (buffer.ReadLine(line))
        lines.push_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(RingBuffer, HandsOutNormalisedLinesInOrder)
{
    RxRingBuffer buffer;
    Append(buffer, "GP  TYPE\t07  0x1F\r\nGP TYPE 7 1\r\nSINGLE\r\n");
    EXPECT_EQ(ReadAll(buffer), (Lines{"GP TYPE 7 31\r\n", "GP TYPE 7 1\r\n", "SINGLE\r\n"}));
    EXPECT_EQ(buffer.FreeSpace(), RxRingBuffer::kCapacity);

    // Normalising can lengthen a line past the raw limit; it still comes
    // out whole.
    std::string raw = std::string(440, 'A') + " B";
    for (int i = 0; i < 14; ++i)
        raw += " -1";
    raw += "\r\n";
    ASSERT_EQ(raw.size(), 486u);
    Append(buffer, raw);
    const Lines lines = ReadAll(buffer);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 598u);
    EXPECT_TRUE(lines[0].ends_with(" 4294967295 4294967295\r\n"));
}

TEST(RingBuffer, JoinsALineSplitBetweenBlocks)
{
    RxRingBuffer buffer;
    Append(buffer, "GP TYPE 2 0\r");
    EXPECT_EQ(ReadAll(buffer), Lines{});
    Append(buffer, "\nGP S");
    EXPECT_EQ(ReadAll(buffer), Lines{"GP TYPE 2 0\r\n"});
    Append(buffer, "OT 1 1\r\n");
    EXPECT_EQ(ReadAll(buffer), Lines{"GP SOT 1 1\r\n"});
    EXPECT_EQ(buffer.FreeSpace(), RxRingBuffer::kCapacity);
}

TEST(RingBuffer, DropsLineLongerThanLimit)
{
    RxRingBuffer buffer;
    // 510 characters and CR LF make the longest line; 511 are too many.
    Append(buffer, std::string(510, 'a') + "\r\n" + std::string(511, 'b') + "\r\nGP SOT 1\r\n");
    EXPECT_EQ(ReadAll(buffer), (Lines{std::string(510, 'a') + "\r\n", "GP SOT 1\r\n"}));

    // 600 bytes without a CR: the first 512 go, the last 88 wait.
    std::string noCr;
    for (int i = 0; i < 600; ++i)
        noCr += static_cast<char>('0' + i % 10);
    Append(buffer, noCr);
    EXPECT_EQ(ReadAll(buffer), Lines{});
    Append(buffer, "\r\n");
    EXPECT_EQ(ReadAll(buffer), Lines{noCr.substr(512) + "\r\n"});
}

TEST(RingBuffer, DropsBadLinesAndGoesOnWithTheNext)
{
    RxRingBuffer buffer;
    // A byte of 0x80 or above spoils its line only.
    Append(buffer, "GP TYPE \x80 1\r\nGP SOT 1 1\r\n");
    EXPECT_EQ(ReadAll(buffer), Lines{"GP SOT 1 1\r\n"});

    // A CR without LF ends nothing: what came before it goes.
    Append(buffer, "GP BAD\rGP SOT 2\r\n");
    EXPECT_EQ(ReadAll(buffer), Lines{"GP SOT 2\r\n"});

    // A NUL ends the text; no line handed out holds one.
    Append(buffer, std::string("GP TYPE\0 7 1\r\n", 14));
    EXPECT_EQ(ReadAll(buffer), Lines{"GP TYPE\r\n"});
    Append(buffer, std::string("GP\0TYPE 7\r\n", 11));
    EXPECT_EQ(ReadAll(buffer), Lines{"GP"});
}

TEST(RingBuffer, FillsToCapacityAndDropsABlockThatDoesNotFit)
{
    RxRingBuffer buffer;
    EXPECT_EQ(buffer.FreeSpace(), 0x1DFFFFFu);
    Append(buffer, std::string(RxRingBuffer::kCapacity + 1, 'x'));
    EXPECT_EQ(buffer.FreeSpace(), RxRingBuffer::kCapacity); // dropped whole

    // Lines of 16 bytes up to the last byte of the free space.
    const std::string line = "GP SOT 10 20 3\r\n";
    std::string block;
    block.reserve(RxRingBuffer::kCapacity);
    block.append(RxRingBuffer::kCapacity % line.size(), 'j'); // junk ahead, no CR
    while (block.size() < RxRingBuffer::kCapacity)
        block += line;
    ASSERT_EQ(block.size(), RxRingBuffer::kCapacity);
    Append(buffer, block);
    EXPECT_EQ(buffer.FreeSpace(), 0u);
    Append(buffer, "x");
    EXPECT_EQ(buffer.FreeSpace(), 0u);

    std::string got;
    ASSERT_TRUE(buffer.ReadLine(got));
    EXPECT_EQ(got, "jjjjjjjjjjjjjjjGP SOT 10 20 3\r\n");
    EXPECT_EQ(buffer.FreeSpace(), 31u);
    size_t count = 1;
    while (buffer.ReadLine(got)) {
        ++count;
        ASSERT_EQ(got, line);
    }
    EXPECT_EQ(count, RxRingBuffer::kCapacity / line.size());
    EXPECT_EQ(buffer.FreeSpace(), RxRingBuffer::kCapacity);

    // The storage now starts over: a line across its end comes out whole.
    Append(buffer, "GP SOT 1 1\r\nGP SOT 2 2\r\n");
    EXPECT_EQ(ReadAll(buffer), (Lines{"GP SOT 1 1\r\n", "GP SOT 2 2\r\n"}));
}
