#pragma once
#include <string>
#include <string_view>

// Rewrites a reply line into the form every parser relies on: its first two
// tokens, then the values of the next (at most 14) tokens as 32-bit unsigned
// numbers, single blanks between, and "\r\n". Values are decimal except the
// BWRP replies from the sixth value and the OSDWC/OSDBWC replies from the
// fourth, which are "0x%08X". A token that is no number becomes 0, so every
// value position holds a number. A line of fewer than two tokens is left as
// it is.
void NormalizeReplyLine(std::string& line);

// The same, returning a normalised copy: the form an echo of this command
// takes once the reply path has rewritten it.
std::string NormalizedReplyLine(std::string_view line);
