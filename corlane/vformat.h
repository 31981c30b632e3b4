#pragma once
#include <cstdarg>
#include <string>

namespace qz::vok::detail {

// printf into a string sized by a first counting pass; the text ends at its
// first NUL (a "%c" of 0 ends it there). A format glibc rejects gives "".
std::string vformat(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

} // namespace qz::vok::detail
