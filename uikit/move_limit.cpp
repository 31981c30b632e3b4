#include "uikit/move_limit.h"

#include "platform/rect_math.h"

#include <algorithm>
#include <array>

namespace {

bool movesLeft(ui::HitTest hit)
{
    return hit == ui::HTLEFT || hit == ui::HTTOPLEFT || hit == ui::HTBOTTOMLEFT;
}
bool movesRight(ui::HitTest hit)
{
    return hit == ui::HTRIGHT || hit == ui::HTTOPRIGHT || hit == ui::HTBOTTOMRIGHT;
}
bool movesTop(ui::HitTest hit)
{
    return hit == ui::HTTOP || hit == ui::HTTOPLEFT || hit == ui::HTTOPRIGHT;
}
bool movesBottom(ui::HitTest hit)
{
    return hit == ui::HTBOTTOM || hit == ui::HTBOTTOMLEFT || hit == ui::HTBOTTOMRIGHT;
}

// One dragged edge, kept `minSide` from the other edge of its axis, then
// inside the limit.
int64_t dragLow(int64_t edge, int64_t high, int64_t minSide, bool limited, int64_t limitLow)
{
    edge = std::min(edge, high - minSide);
    return limited ? std::max(edge, limitLow) : edge;
}
int64_t dragHigh(int64_t edge, int64_t low, int64_t minSide, bool limited, int64_t limitHigh)
{
    edge = std::max(edge, low + minSide);
    return limited ? std::min(edge, limitHigh) : edge;
}

} // namespace

ui::HitTest MoveLimitHitTest(const Rect& client, int border, Point pt)
{
    const int64_t shortest = std::min(RectWidth(client), RectHeight(client));
    const int64_t b = std::clamp<int64_t>(border, 0, std::max<int64_t>(0, (shortest - 1) / 2));
    const int64_t l = client.left, t = client.top, r = client.right, bt = client.bottom;
    struct Region {
        Rect rect;
        ui::HitTest hit;
    };
    const std::array<Region, 9> regions{{
        {MakeRect(l + b, t + b, r - b, bt - b), ui::HTCAPTION},
        {MakeRect(l, t, l + b, t + b), ui::HTTOPLEFT},
        {MakeRect(l, bt - b, l + b, bt), ui::HTBOTTOMLEFT},
        {MakeRect(r - b, t, r, t + b), ui::HTTOPRIGHT},
        {MakeRect(r - b, bt - b, r, bt), ui::HTBOTTOMRIGHT},
        {MakeRect(l, t, l + b, bt), ui::HTLEFT},
        {MakeRect(l, t, r, t + b), ui::HTTOP},
        {MakeRect(r - b, t, r, bt), ui::HTRIGHT},
        {MakeRect(l, bt - b, r, bt), ui::HTBOTTOM},
    }};
    for (const Region& region : regions)
        if (PtInRect(region.rect, pt.x, pt.y))
            return region.hit;
    return ui::HTNOWHERE;
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
    if (r.left < limit.left)
        r = OffsetRect(r, int64_t(limit.left) - r.left, 0);
    if (r.right > limit.right)
        r = OffsetRect(r, int64_t(limit.right) - r.right, 0);
    if (r.top < limit.top)
        r = OffsetRect(r, 0, int64_t(limit.top) - r.top);
    if (r.bottom > limit.bottom)
        r = OffsetRect(r, 0, int64_t(limit.bottom) - r.bottom);
    proposed = r;
}

Rect DragRect(const Rect& start, ui::HitTest hit, int dx, int dy, const Rect& limit, int border)
{
    if (hit == ui::HTCAPTION) {
        Rect moved = OffsetRect(start, dx, dy);
        ClampToLimit(moved, limit);
        return moved;
    }
    const bool limited = !RectEmpty(limit);
    // A window made smaller than the minimum is not grown by the drag.
    const int64_t minSide = 2 * int64_t(std::max(border, 0)) + 1;
    const int64_t minWidth = std::clamp<int64_t>(RectWidth(start), 0, minSide);
    const int64_t minHeight = std::clamp<int64_t>(RectHeight(start), 0, minSide);
    int64_t l = start.left, t = start.top, r = start.right, b = start.bottom;
    if (movesLeft(hit))
        l = dragLow(l + dx, r, minWidth, limited, limit.left);
    if (movesRight(hit))
        r = dragHigh(r + dx, l, minWidth, limited, limit.right);
    if (movesTop(hit))
        t = dragLow(t + dy, b, minHeight, limited, limit.top);
    if (movesBottom(hit))
        b = dragHigh(b + dy, t, minHeight, limited, limit.bottom);
    return MakeRect(l, t, r, b);
}
