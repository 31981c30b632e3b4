#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A 1-bit picture: rows top to bottom, each padded to whole 32-bit words,
// leftmost pixel in the most significant bit, a set bit for a light pixel.
struct MonoPicture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0; // bytes per row
    std::vector<uint8_t> bits;
};

// Decodes a PNG, BMP or JPEG file (UTF-8 path), stretches it to exactly
// width x height without keeping its aspect ratio, and turns it black and
// white. Nothing comes back for a missing, empty, truncated or undecodable
// file, a folder, a picture larger than the decoder's allocation limit, or a
// size outside 1 to 4096; `error` then says why.
std::optional<MonoPicture> LoadMonoPicture(const std::string& path, int32_t width, int32_t height,
                                           std::string* error = nullptr);

} // namespace platform
