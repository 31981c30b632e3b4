#pragma once
#include <cstdint>

namespace qz::vok {

// Reads a whole file under a shared byte-range lock. On success `out` holds
// a new[] array the caller deletes and the result is its size; on failure
// the result is 0. A missing, empty or unopenable file leaves `out` as it
// was; a read that comes up short sets it to null. Files of 4 GiB or more
// are refused rather than read in part.
uint32_t fs_safe_read_binary(uint8_t*& out, const char* path);

// Writes `length` bytes at the start of a file under a shared lock, creating
// it when missing. The file is not truncated: bytes past the written range
// stay (replacing a file is the caller's temporary file and rename).
// Returns the bytes written, 0 on failure.
uint32_t fs_safe_write_binary(const void* data, uint32_t length, const char* path);

} // namespace qz::vok
