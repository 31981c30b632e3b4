#include "builder/rect_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace _8PART_NS {

bool IntersectRects(const Rect& a, const Rect& b, Rect* out)
{
    if (IsRectEmpty(a) || IsRectEmpty(b))
        return false;
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top),
                 std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (IsRectEmpty(r))
        return false;
    if (out)
        *out = r;
    return true;
}

int32_t ClampToInt(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

int32_t TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (value >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return int32_t(value);
}

} // namespace _8PART_NS
