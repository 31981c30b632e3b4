#pragma once
#include <cstdint>

#include "platform/geometry.h"

// The plain values the model's readers share, apart from the records and
// their lock, so that a reader of sizes and ids does not rebuild with them.

// Ids are unsigned 32-bit; all bits set means "no id".
inline constexpr uint32_t kNoId = 0xFFFFFFFFu;

// Width, height and refresh rate.
using Resolution = ResolutionTriple;
