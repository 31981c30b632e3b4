#pragma once
#include "corlane/binblock.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qz::vok {

// printf-style formatting (glibc's printf: 64-bit values take PRIu64 and
// kin). The text ends at its first NUL, so a "%c" of 0 ends it there.
std::string fstr_format(const char* format, ...) __attribute__((format(printf, 1, 2)));
void fstr_format(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void fstr_appendformat(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

// True when every character is a decimal digit; "" is true.
bool fstr_isdigit(const char* text);

// The runs of decimal digits in order: "V1.25b7" gives 1, 25, 7.
std::vector<std::string> fstr_resolve_number(const char* text);

// Shortest text of the value with the fraction truncated, never rounded:
// the float form keeps at most 9 significant digits and 6 decimals, the
// double form 16 and 8.
std::string fstr_floatstr(float value);
std::string fstr_floatstr(double value);

// One whole line of any length into `out`, its "\n" kept; false at the end
// of the stream or when nothing could be read.
bool fstr_fgets(FILE* file, std::string& out);

// Upper-case hex, two digits a byte; "" when length < 1.
std::string fstr_create_hexstr(const uint8_t* data, int length);

// Decodes pairs of hex digits (either case) into a new zero-filled block.
// An empty or odd-length text leaves the block untouched; a bad digit stops
// the parse with the bytes before it kept. False on either.
bool fstr_parse_hexstr(binblock& block, const std::string& text);

// Code page 936 (the files' and the processor's "ANSI") from and to UTF-8.
// Anything that cannot be converted fails the whole call with `out` empty;
// no character is dropped or replaced.
bool fstr_utf8toansi(const std::string& in, std::string& out);
bool fstr_ansitoutf8(const std::string& in, std::string& out);

int fstr_char_count(const char* text, char c);

// Fixed-width character fields of records: read stops at the first NUL or
// after `width` bytes; copy pads with NULs and leaves no terminator when the
// text fills the field.
std::string fstr_read(const char* src, uint8_t width);
void fstr_copy(char* dst, uint8_t width, const char* src);

} // namespace qz::vok
