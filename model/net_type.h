#pragma once
#include <atomic>
#include <cstdint>

// 1 makes commands of the wait-for-reply kind wait for the device's echo.
// Start-up reads it from the processor file; every save writes it back.
inline std::atomic<uint8_t> g_NetType{0};
