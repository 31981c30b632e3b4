#pragma once
#include <atomic>

// The caption style the custom window frames take when they are made;
// start-up sets it before the main window exists.
inline std::atomic<int> g_CaptionStyle{0};
