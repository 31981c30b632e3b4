#pragma once
// Rectangle arithmetic of the builders, over the shared helpers.
#include "platform/rect_math.h"

#include <cstdint>

namespace _8PART_NS {

using ::PtInRect;
using ::RectHeight;
using ::RectWidth;
inline bool IsRectEmpty(const Rect& r)
{
    return RectEmpty(r);
}

// Both rectangles non-empty and overlapping; *out gets the overlap.
bool IntersectRects(const Rect& a, const Rect& b, Rect* out = nullptr);

inline int32_t ClampToInt(int64_t value)
{
    return ClampInt32(value);
}
inline int32_t TruncToInt(double value)
{
    return TruncInt32(value);
}

} // namespace _8PART_NS
