#include "platform/ui/virtual_key.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

int vk(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const QKeyEvent event(QEvent::KeyPress, key, mods);
    return ui::virtualKey(event);
}

TEST(VirtualKey, GivesTheWindowsValuesTheHandlersCompare)
{
    EXPECT_EQ(vk(Qt::Key_Delete), 0x2E);
    EXPECT_EQ(vk(Qt::Key_PageDown), 0x22);
    EXPECT_EQ(vk(Qt::Key_A), 0x41);
    EXPECT_EQ(vk(Qt::Key_A, Qt::ShiftModifier), 0x41);
    EXPECT_EQ(vk(Qt::Key_Return), 0x0D);
    EXPECT_EQ(vk(Qt::Key_Enter, Qt::KeypadModifier), 0x0D);
    EXPECT_EQ(vk(Qt::Key_F10), 0x79);
    EXPECT_EQ(vk(Qt::Key_Left), 0x25);
    EXPECT_EQ(vk(Qt::Key_Down, Qt::ControlModifier), 0x28);
    // Digits differ on and off the keypad.
    EXPECT_EQ(vk(Qt::Key_5), 0x35);
    EXPECT_EQ(vk(Qt::Key_5, Qt::KeypadModifier), 0x65);
    EXPECT_EQ(vk(Qt::Key_Plus, Qt::KeypadModifier), 0x6B);
    // Keys without a value.
    EXPECT_EQ(vk(Qt::Key_Launch0), 0);
    EXPECT_EQ(vk(Qt::Key_unknown), 0);
}

} // namespace
