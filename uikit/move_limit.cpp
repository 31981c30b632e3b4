#include "uikit/move_limit.h"

#include "platform/rect_math.h"
#include "uikit/hit_drag.h"

#include <algorithm>
#include <array>

HitCode MoveLimitHitTest(const Rect& client, int border, Point pt)
{
    const int64_t shortest = std::min(RectWidth(client), RectHeight(client));
    const int64_t b = std::clamp<int64_t>(border, 0, std::max<int64_t>(0, (shortest - 1) / 2));
    const int64_t l = client.left, t = client.top, r = client.right, bt = client.bottom;
    struct Region {
        Rect rect;
        HitCode hit;
    };
    const std::array<Region, 9> regions{{
        {MakeRect(l + b, t + b, r - b, bt - b), HTCAPTION},
        {MakeRect(l, t, l + b, t + b), HTTOPLEFT},
        {MakeRect(l, bt - b, l + b, bt), HTBOTTOMLEFT},
        {MakeRect(r - b, t, r, t + b), HTTOPRIGHT},
        {MakeRect(r - b, bt - b, r, bt), HTBOTTOMRIGHT},
        {MakeRect(l, t, l + b, bt), HTLEFT},
        {MakeRect(l, t, r, t + b), HTTOP},
        {MakeRect(r - b, t, r, bt), HTRIGHT},
        {MakeRect(l, bt - b, r, bt), HTBOTTOM},
    }};
    for (const Region& region : regions)
        if (PtInRect(region.rect, pt.x, pt.y))
            return region.hit;
    return HTNOWHERE;
}

void ClampToLimit(Rect& proposed, const Rect& limit)
{
    if (RectEmpty(limit))
        return;
    Rect r = proposed;
    if (RectWidth(r) > RectWidth(limit))
        r.right = ClampInt32(int64_t(r.left) + RectWidth(limit));
    if (RectHeight(r) > RectHeight(limit))
        r.bottom = ClampInt32(int64_t(r.top) + RectHeight(limit));
    proposed = ShiftInside(r, limit);
}

Rect DragRect(const Rect& start, HitCode hit, int dx, int dy, const Rect& limit, int border)
{
    if (hit == HTCAPTION) {
        Rect moved = OffsetRect(start, dx, dy);
        ClampToLimit(moved, limit);
        return moved;
    }
    // A window made smaller than the minimum is not grown by the drag.
    const int64_t minSide = 2 * int64_t(std::max(border, 0)) + 1;
    Rect r = MoveDraggedEdges(start, hit, dx, dy, std::clamp<int64_t>(RectWidth(start), 0, minSide),
                              std::clamp<int64_t>(RectHeight(start), 0, minSide));
    if (RectEmpty(limit))
        return r;
    const HitEdges dragged = EdgesOfHit(hit);
    if (dragged.left)
        r.left = std::max(r.left, limit.left);
    if (dragged.right)
        r.right = std::min(r.right, limit.right);
    if (dragged.top)
        r.top = std::max(r.top, limit.top);
    if (dragged.bottom)
        r.bottom = std::min(r.bottom, limit.bottom);
    return r;
}
