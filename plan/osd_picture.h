#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/osd_record.h"

// Decodes a picture file (UTF-8 path), stretches it to width x height and
// turns it into a 1-bit block of ((width + 31) / 32) * 4 * height bytes,
// rows top first, leftmost pixel in the most significant bit, light pixels
// set. 0 on success; 1 on any failure, with `bits` untouched.
int LoadScaledBitmap(const std::string& path, int32_t width, int32_t height, std::vector<uint8_t>& bits);

// Makes the picture the record's 256 x 128 bitmap. 0 on success; 1 when the
// picture cannot be loaded or converted, and the record stays as it was.
int OsdRecordFromPicture(tagOSD_DATA_EX2& record, const std::string& path);
