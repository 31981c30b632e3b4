#include "platform/ui/virtual_key.h"

#include <QKeyEvent>

namespace ui {
namespace {

int keypadKey(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 0x60 + (key - Qt::Key_0); // VK_NUMPAD0..9
    switch (key) {
    case Qt::Key_Asterisk: return 0x6A; // VK_MULTIPLY
    case Qt::Key_Plus: return 0x6B;     // VK_ADD
    case Qt::Key_Minus: return 0x6D;    // VK_SUBTRACT
    case Qt::Key_Period:
    case Qt::Key_Comma: return 0x6E; // VK_DECIMAL
    case Qt::Key_Slash: return 0x6F; // VK_DIVIDE
    default: return -1;              // same key as off the keypad
    }
}

} // namespace

int virtualKey(const QKeyEvent& event)
{
    const int key = event.key();
    if (event.modifiers() & Qt::KeypadModifier) {
        const int vk = keypadKey(key);
        if (vk >= 0)
            return vk;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 0x41 + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 0x30 + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Meta: return 0x5B; // VK_LWIN
    case Qt::Key_Menu: return 0x5D; // VK_APPS
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    default: return 0;
    }
}

} // namespace ui
