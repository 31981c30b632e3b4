#pragma once
// Reading the dialogs' number fields: the range check their values get
// when they are taken, and its standard message.
#include <QString>
#include <cstdint>
#include <optional>

// The translated standard message for a value outside lo to hi.
QString RangeMessage(int64_t lo, int64_t hi);

// The field's integer when it is one within lo to hi (blanks around it
// allowed); nothing otherwise.
std::optional<int64_t> ParseIntField(const QString& text, int64_t lo, int64_t hi);

// A field read as a signed integer without a range: digits beyond the
// 64-bit range saturate, text that is no number reads as 0.
int64_t ParseSaturatedField(const QString& text);
