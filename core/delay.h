#pragma once
#include <cstdint>

// Blocks the calling thread for at least `ms` milliseconds of the process
// clock; the command layer paces device commands with it.
void Delay(uint32_t ms);
