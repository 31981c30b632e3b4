#include "uikit/hit_drag.h"

#include "platform/rect_math.h"
#include "uikit/nc_codes.h"

#include <algorithm>

HitEdges EdgesOfHit(int hit)
{
    HitEdges e;
    e.left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
    e.right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
    e.top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
    e.bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
    return e;
}

Rect MoveDraggedEdges(const Rect& start, int hit, int dx, int dy, int64_t minWidth, int64_t minHeight)
{
    const HitEdges e = EdgesOfHit(hit);
    int64_t l = start.left, t = start.top, r = start.right, b = start.bottom;
    if (e.left)
        l = std::min(l + dx, r - minWidth);
    if (e.right)
        r = std::max(r + dx, l + minWidth);
    if (e.top)
        t = std::min(t + dy, b - minHeight);
    if (e.bottom)
        b = std::max(b + dy, t + minHeight);
    return MakeRect(l, t, r, b);
}

Qt::CursorShape CursorOfHit(int hit)
{
    switch (hit) {
    case HTLEFT:
    case HTRIGHT: return Qt::SizeHorCursor;
    case HTTOP:
    case HTBOTTOM: return Qt::SizeVerCursor;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return Qt::SizeFDiagCursor;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return Qt::SizeBDiagCursor;
    default: return Qt::ArrowCursor;
    }
}
