#pragma once
#include <cstdint>
#include <span>

namespace platform {

// Whether a BMP file of `fileSize` bytes holds all the pixel data its
// header promises; `header` is the start of the file (26 bytes for a core
// header, 38 for any other). Qt's BMP reader fills the rows a short file
// lacks with whatever is in memory and still succeeds, so its callers check
// this first. Sizes are computed without overflow for any header.
bool BmpPixelDataComplete(std::span<const uint8_t> header, uint64_t fileSize);

} // namespace platform
