#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Reads the numbers that follow `prefix` in a reply line, as "%d" reads
// them (blanks skipped, an optional sign, digits), stopping at the first
// that is not there. Each is read with 64-bit arithmetic and its low 32
// bits kept, so "4294967295" gives -1 and no text overflows anything.
// Numbers not read stay 0; a line without the prefix reads nothing.
// Returns how many were read.
std::size_t ReadReplyNumbers(std::string_view line, std::string_view prefix, std::span<int32_t> out);

template <std::size_t N>
std::array<int32_t, N> ReadReplyNumbers(std::string_view line, std::string_view prefix)
{
    std::array<int32_t, N> values{};
    ReadReplyNumbers(line, prefix, values);
    return values;
}

// A model id (board, source, output) made from reply numbers, which are
// taken as signed: valid only from 0 to 0xFFFFFFFE (all bits set is "no
// id"). The sums are formed in 64 bits, so nothing overflows.
bool IsValidModelId(int64_t id);
