#pragma once
#include <QString>

namespace ui {

// The CJK family the set-up installs (fonts-wqy-microhei).
inline constexpr const char* kCjkFamily = "WenQuanYi Micro Hei";

// Maps the faces the widgets ask for, "宋体" and "SimSun", to the installed
// CJK family, so Chinese captions never come out as empty boxes. Idempotent;
// false (with one warning) when that family is not installed.
bool initUi();

// The program's title: its main window's, and that of every message box and
// dialog without a title of its own.
inline constexpr const char* kProgramTitle = "Tavrix";

// Qt's own texts in Chinese, as the rest of the program: Qt's translation
// qtbase_zh_CN (standard buttons, the calendar, the file and colour
// choosers) and the Chinese locale (day and month names, numbers).
// Idempotent; false (with one warning) when the translation is not
// installed, the locale being set all the same.
bool useChineseQtTexts();

// Whether the platform can change a top-level window's opacity; fades are
// shown only where it can.
bool windowOpacitySupported();

} // namespace ui
