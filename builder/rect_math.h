#pragma once
// Rectangle arithmetic of the builders. Edges may hold any 32-bit value, so
// widths and heights are 64-bit and conversions back saturate.
#include "platform/geometry.h"

#include <cstdint>

namespace _8PART_NS {

inline int64_t RectWidth(const Rect& r) { return int64_t(r.right) - r.left; }
inline int64_t RectHeight(const Rect& r) { return int64_t(r.bottom) - r.top; }
inline bool IsRectEmpty(const Rect& r) { return RectWidth(r) <= 0 || RectHeight(r) <= 0; }
inline bool PtInRect(const Rect& r, int64_t x, int64_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Both rectangles non-empty and overlapping; *out gets the overlap.
bool IntersectRects(const Rect& a, const Rect& b, Rect* out = nullptr);

// Values outside the int range are clamped, never converted with undefined
// behaviour. NaN gives 0.
int32_t ClampToInt(int64_t value);
int32_t TruncToInt(double value);

} // namespace _8PART_NS
