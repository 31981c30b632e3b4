#pragma once
#include <QString>

namespace ui {

// The CJK family the set-up installs (fonts-wqy-microhei).
inline constexpr const char* kCjkFamily = "WenQuanYi Micro Hei";

// Maps the faces the widgets ask for, "宋体" and "SimSun", to the installed
// CJK family, so Chinese captions never come out as empty boxes. Idempotent;
// false (with one warning) when that family is not installed.
bool initUi();

// Whether the platform can change a top-level window's opacity; fades are
// shown only where it can.
bool windowOpacitySupported();

} // namespace ui
