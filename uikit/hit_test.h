#pragma once

namespace ui {

// What part of a window a point is over, with the values the window logic
// was written against.
enum HitTest : int {
    HTNOWHERE = 0,
    HTCAPTION = 2,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
};

} // namespace ui
