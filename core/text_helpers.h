#pragma once
// Conversions between the UI's wide strings and the narrow UTF-8 strings of
// the model, files and link, and the exact text forms that the processor
// and plan files store for rectangles, points, sizes and resolutions.
#include <cstdint>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "platform/geometry.h"

// Only the two conversions below know QString; their callers include it.
class QString;

std::string CStringToStd(const QString& text);
QString StdToCString(const std::string& text);

std::string IntToString(int value);

// "left,top,right,bottom"
std::string RectToText(const Rect& rect);
// Fields that do not scan, or lie outside the 32-bit range, stop the scan:
// they and the fields after them stay 0.
Rect TextToRect(const std::string& text);

// "x,y" of a point, "cx,cy" of a size.
std::string PointToText(const Point& point);
std::string PointToText(const Size& size);
Point TextToPoint(const std::string& text);
Size TextToSize(const std::string& text);

// "width,height,rate"
std::string TripleToText(const ResolutionTriple& triple);
// Starts from (0, 0, 60); the rate is read only when the text holds exactly
// two commas.
ResolutionTriple TextToTriple(const std::string& text);
// "v1,v2,...": decimal values joined by commas; "" for none.
std::string IntListToText(const std::vector<int32_t>& values);
// Split at commas; empty pieces are skipped and each piece is its leading
// decimal number, as the C library reads it (0 when it has none).
std::vector<int32_t> TextToIntList(const std::string& text);

bool TriplesDiffer(const ResolutionTriple& a, const ResolutionTriple& b);
bool IsTripleInvalid(const ResolutionTriple& triple);

// Attribute text of the XML files: blanks, tabs and line ends trimmed.
std::string_view TrimAttributeText(std::string_view s);
// A whole attribute as a decimal integer (optional '+'); nothing when any
// character does not belong to the number.
std::optional<int64_t> ParseAttributeInteger(std::string_view text);
