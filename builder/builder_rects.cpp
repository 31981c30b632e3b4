#include "builder/builder_rects.h"

namespace _8PART_NS {

bool IntersectRects(const Rect& a, const Rect& b, Rect* out)
{
    const Rect r = IntersectRect(a, b);
    if (RectEmpty(r))
        return false;
    if (out)
        *out = r;
    return true;
}

} // namespace _8PART_NS
