#pragma once
// Rectangle arithmetic shared by the plan, the builders and the widgets.
// Edges come from files and replies and may hold any 32-bit value, so widths
// and heights are 64-bit and conversions back to int saturate.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/geometry.h"

inline int32_t ClampInt32(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Truncates toward zero; values outside the int range saturate, NaN gives 0.
inline int32_t TruncInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (value >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return int32_t(value);
}

inline Rect MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return Rect{ClampInt32(left), ClampInt32(top), ClampInt32(right), ClampInt32(bottom)};
}

inline int64_t RectWidth(const Rect& r)
{
    return int64_t(r.right) - r.left;
}
inline int64_t RectHeight(const Rect& r)
{
    return int64_t(r.bottom) - r.top;
}
inline bool RectEmpty(const Rect& r)
{
    return RectWidth(r) <= 0 || RectHeight(r) <= 0;
}
// Sizes as command lines print them.
inline int32_t Width32(const Rect& r)
{
    return ClampInt32(RectWidth(r));
}
inline int32_t Height32(const Rect& r)
{
    return ClampInt32(RectHeight(r));
}

// Right and bottom edges excluded.
inline bool PtInRect(const Rect& r, int64_t x, int64_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The overlap of two rectangles; the all-zero rectangle when they do not meet.
inline Rect IntersectRect(const Rect& a, const Rect& b)
{
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return RectEmpty(a) || RectEmpty(b) || RectEmpty(r) ? Rect{} : r;
}

// True when `inner` lies wholly inside `outer`.
inline bool RectCovers(const Rect& outer, const Rect& inner)
{
    return IntersectRect(outer, inner) == inner;
}

// The smallest rectangle holding both; an empty one adds nothing.
inline Rect UnionRect(const Rect& a, const Rect& b)
{
    if (RectEmpty(a))
        return b;
    if (RectEmpty(b))
        return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

inline Rect OffsetRect(const Rect& r, int64_t dx, int64_t dy)
{
    return MakeRect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
}

// `r` moved, keeping its size, so that it does not end past `limit` and,
// where it fits, starts inside it (a larger one ends on the limit's right and
// bottom edges).
inline Rect ShiftInside(Rect r, const Rect& limit)
{
    if (r.left < limit.left)
        r = OffsetRect(r, int64_t(limit.left) - r.left, 0);
    if (r.right > limit.right)
        r = OffsetRect(r, int64_t(limit.right) - r.right, 0);
    if (r.top < limit.top)
        r = OffsetRect(r, 0, int64_t(limit.top) - r.top);
    if (r.bottom > limit.bottom)
        r = OffsetRect(r, 0, int64_t(limit.bottom) - r.bottom);
    return r;
}
