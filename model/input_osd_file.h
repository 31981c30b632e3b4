#pragma once
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "model/osd_item.h"

// The byte image of IOSD.dat: little-endian 32-bit words. Version 1 starts
// with the record count; versions 2 and 3 with 0xFFFFFFFF, the version and
// the count. Only version 3 is written.
inline constexpr uint32_t kInputOsdFileMark = 0xFFFFFFFFu;
inline constexpr uint32_t kInputOsdFileVersion = 3;
inline constexpr size_t kInputOsdMaxRecords = 256;

// Reads the records of the file in `in` (read from its start to its end).
// Reading stops at the first record that is cut short, has a negative
// bitmap size or claims bitmap bytes beyond the end; the records before it
// are kept, and `damage` (when given) says what stopped it; it stays empty
// for a sound file. At most 256 records are read.
std::vector<tagOSD_DATA_EX2_S> ParseInputOsdFile(std::istream& in, std::string* damage = nullptr);

// The version 3 image of the boards' items, in board and item order, at
// most 256 records.
std::vector<uint8_t> BuildInputOsdFile(const std::vector<std::shared_ptr<tagOSDBoard>>& boards);
