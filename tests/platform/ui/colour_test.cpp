#include "platform/ui/colour.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

TEST(Colour, ConvertsBgrValuesAndLeavesUnsetInvalid)
{
    // 0x00FF8000 is blue 255, green 128, red 0: the low byte is red.
    const QColor c = ui::toQColor(0x00FF8000u);
    EXPECT_EQ(c, QColor(0, 128, 255));
    EXPECT_EQ(ui::rgb(0, 128, 255), 0x00FF8000u);
    EXPECT_EQ(ui::fromQColor(QColor(255, 255, 240)), 0x00F0FFFFu);
    EXPECT_EQ(ui::fromQColor(QColor(10, 20, 30, 0)), ui::rgb(10, 20, 30)); // alpha plays no part

    EXPECT_FALSE(ui::toQColor(ui::kNoColor).isValid());
    EXPECT_FALSE(ui::toQColor(static_cast<ui::ColorRef>(-1)).isValid());
    EXPECT_EQ(ui::fromQColor(QColor()), ui::kNoColor);
    EXPECT_TRUE(ui::toQColor(0).isValid()); // black is a colour
}

TEST(Colour, SystemColoursComeFromThePalette)
{
    const QColor tip = QGuiApplication::palette().color(QPalette::Active, QPalette::ToolTipBase);
    EXPECT_EQ(ui::sysColor(ui::COLOR_INFOBK), ui::fromQColor(tip));
    EXPECT_EQ(ui::sysColor(ui::COLOR_3DFACE), ui::sysColor(ui::COLOR_BTNFACE));
    EXPECT_NE(ui::sysColor(ui::COLOR_WINDOWTEXT), ui::kNoColor);
    EXPECT_EQ(ui::sysColor(99), ui::kNoColor);
}

} // namespace
