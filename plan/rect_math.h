#pragma once
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/geometry.h"

// Rectangle arithmetic of the plan in 64 bits: edges come from files and
// may hold any 32-bit value.

inline int32_t ClampInt32(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

inline Rect MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return Rect{ClampInt32(left), ClampInt32(top), ClampInt32(right), ClampInt32(bottom)};
}

inline int64_t RectWidth(const Rect& r) { return int64_t(r.right) - r.left; }
inline int64_t RectHeight(const Rect& r) { return int64_t(r.bottom) - r.top; }
inline bool RectEmpty(const Rect& r) { return RectWidth(r) <= 0 || RectHeight(r) <= 0; }
// Sizes as command lines print them.
inline int32_t Width32(const Rect& r) { return ClampInt32(RectWidth(r)); }
inline int32_t Height32(const Rect& r) { return ClampInt32(RectHeight(r)); }

// The overlap of two rectangles; the all-zero rectangle when they do not meet.
inline Rect IntersectRect(const Rect& a, const Rect& b)
{
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return RectEmpty(a) || RectEmpty(b) || RectEmpty(r) ? Rect{} : r;
}

// True when `inner` lies wholly inside `outer`.
inline bool RectCovers(const Rect& outer, const Rect& inner) { return IntersectRect(outer, inner) == inner; }

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

// What remains of `r` once every rectangle of `cover` is taken away, as
// disjoint rectangles; empty when nothing shows.
std::vector<Rect> SubtractRects(const Rect& r, const std::vector<Rect>& cover);
