#include "platform/ui/colour.h"

#include <gtest/gtest.h>

namespace {

TEST(Colour, ConvertsBgrValuesAndLeavesUnsetInvalid)
{
    // 0x00FF8000 is blue 255, green 128, red 0: the low byte is red.
    EXPECT_EQ(ui::toQColor(0x00FF8000u), QColor(0, 128, 255));
    EXPECT_EQ(ui::rgb(0, 128, 255), 0x00FF8000u);
    EXPECT_EQ(ui::fromQColor(QColor(255, 255, 240)), 0x00F0FFFFu);
    EXPECT_EQ(ui::fromQColor(QColor(10, 20, 30, 0)), ui::rgb(10, 20, 30)); // alpha plays no part

    EXPECT_FALSE(ui::toQColor(static_cast<ui::ColorRef>(-1)).isValid());
    EXPECT_EQ(ui::fromQColor(QColor()), ui::kNoColor);
    EXPECT_TRUE(ui::toQColor(0).isValid()); // black is a colour
    EXPECT_EQ(ui::sysColor(99), ui::kNoColor);
}

} // namespace
