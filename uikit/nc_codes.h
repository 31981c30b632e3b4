#pragma once

// The window styles, hit-test results and system commands the custom frame's
// logic is written against, with the platform's values.

enum WindowStyle : unsigned {
    WS_MAXIMIZEBOX = 0x00010000u,
    WS_MINIMIZEBOX = 0x00020000u,
    WS_THICKFRAME = 0x00040000u,
    WS_SYSMENU = 0x00080000u,
    WS_CAPTION = 0x00C00000u,
    WS_MAXIMIZE = 0x01000000u,
    WS_MINIMIZE = 0x20000000u,
};

enum HitCode : int {
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTMENU = 5,
    HTMINBUTTON = 8,
    HTMAXBUTTON = 9,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTBORDER = 18,
    HTCLOSE = 20,
};

enum SysCommand : int {
    SC_SIZE = 0xF000,
    SC_MOVE = 0xF010,
    SC_MINIMIZE = 0xF020,
    SC_MAXIMIZE = 0xF030,
    SC_CLOSE = 0xF060,
    SC_RESTORE = 0xF120,
};
