#pragma once
// The screen power settings and their file, TVConfig.pro in the hardware
// folder.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "dialogs/screen_power_tv.h"

struct TvModelEntry {
    uint32_t id = 0;
    std::string friendlyName;
    friend bool operator==(const TvModelEntry&, const TvModelEntry&) = default;
};

struct ScreenPowerSettings {
    int commMode = 0; // 0 serial line, 1 TCP, 2 UDP
    SerialParams serial;
    uint32_t ip = 0; // first dotted number in the high byte
    uint16_t port = 0;
    int model = 0;
    std::map<uint32_t, TvModelEntry> models; // by id
    std::string openCmd;
    std::string closeCmd;
    friend bool operator==(const ScreenPowerSettings&, const ScreenPowerSettings&) = default;
};

// What a missing or damaged file gives, as a whole.
ScreenPowerSettings BuiltInScreenPowerSettings();

// Reads a file's text; false with `reason` (and `settings` untouched) when
// it is malformed, lacks a required element or attribute, or holds a value
// that does not convert.
bool ParseTvConfig(const std::string& text, ScreenPowerSettings& settings, std::string& reason);
std::string WriteTvConfig(const ScreenPowerSettings& settings);

// "a.b.c.d" packed high byte first; false unless four numbers of 0 to 255.
bool ParseDottedQuad(const std::string& text, uint32_t& address);
std::string FormatDottedQuad(uint32_t address);

std::string TvConfigPath();
