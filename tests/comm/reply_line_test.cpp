#include "comm/reply_line.h"

#include <gtest/gtest.h>

namespace {
std::string Normalized(std::string line)
{
    NormalizeReplyLine(line);
    return line;
}
} // namespace

TEST(ReplyLine, RewritesSeparatorsAndNumbers)
{
    EXPECT_EQ(Normalized("GP TYPE 7 1\r\n"), "GP TYPE 7 1\r\n");
    EXPECT_EQ(Normalized("GP  TYPE\t07  0x1F\r\n"), "GP TYPE 7 31\r\n");
    EXPECT_EQ(Normalized("GP BPSW 0xFF 0xFF 9 0\r\n"), "GP BPSW 255 255 9 0\r\n");
    EXPECT_EQ(Normalized("GP SDMI 0X1a\r\n"), "GP SDMI 26\r\n");
    EXPECT_EQ(Normalized("GP TYPE \r\n"), "GP TYPE\r\n");
    EXPECT_EQ(Normalized("GP TYPE"), "GP TYPE\r\n");
}

TEST(ReplyLine, PrintsWideValuesInHexForBwrpAndOsdWindowReplies)
{
    EXPECT_EQ(Normalized("I_F BWRP 1 2 3 4 255 255\r\n"), "I_F BWRP 1 2 3 4 0x000000FF 0x000000FF\r\n");
    EXPECT_EQ(Normalized("O_F OSDWC 1 2 10\r\n"), "O_F OSDWC 1 2 0x0000000A\r\n");
    EXPECT_EQ(Normalized("I_F OSDBWC 1 2 10 11\r\n"), "I_F OSDBWC 1 2 0x0000000A 0x0000000B\r\n");
    // Other keys turn hexadecimal only at token 16, which is never kept.
    EXPECT_EQ(Normalized("GP GOT 1 2 3 4 5 6 7 8 9 10 11 12 13 14\r\n"), "GP GOT 1 2 3 4 5 6 7 8 9 10 11 12 13 14\r\n");
}

TEST(ReplyLine, ReadsOddNumbersAsThirtyTwoBitUnsigned)
{
    EXPECT_EQ(Normalized("GP RISR -1 +5\r\n"), "GP RISR 4294967295 5\r\n");
    EXPECT_EQ(Normalized("GP RISR 12ab 0x\r\n"), "GP RISR 12 0\r\n");
    // Non-numbers become 0, so every value position still holds a number.
    EXPECT_EQ(Normalized("GP RISR abc -x 7\r\n"), "GP RISR 0 0 7\r\n");
    // Beyond 32 bits the value wraps instead of being undefined.
    EXPECT_EQ(Normalized("GP RISR 4294967296 0x1FFFFFFFF\r\n"), "GP RISR 0 4294967295\r\n");
}

TEST(ReplyLine, KeepsSixteenTokensAndLeavesShortLinesAlone)
{
    std::string twenty = "K V";
    for (int i = 2; i < 20; ++i)
        twenty += " " + std::to_string(i);
    std::string sixteen = "K V";
    for (int i = 2; i < 16; ++i)
        sixteen += " " + std::to_string(i);
    EXPECT_EQ(Normalized(twenty + "\r\n"), sixteen + "\r\n");

    EXPECT_EQ(Normalized("WORD\r\n"), "WORD\r\n");
    EXPECT_EQ(Normalized("  \r\n"), "  \r\n");
    EXPECT_EQ(Normalized(""), "");
    EXPECT_EQ(NormalizedReplyLine("GP  LDM 3\r\n"), "GP LDM 3\r\n");
}
