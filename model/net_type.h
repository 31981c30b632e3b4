#pragma once
#include <atomic>
#include <cstdint>

// 1 makes commands of the wait-for-reply kind wait for the device's echo.
// Start-up reads it from the processor file; every save writes it back.
inline std::atomic<uint8_t> g_NetType{0};

#include <string>

// The processor file's attribute that carries it.
inline constexpr char kNetTypeAttr[] = "NetType";

// The "NetType" attribute of the processor file at `path`: 1 for "1" or
// "true", 0 for anything else, including a missing or unreadable file or one
// without a Processor element.
uint8_t ReadProcessorNetType(const std::string& path);
