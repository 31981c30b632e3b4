#include "uikit/splitter_rules.h"

#include "platform/rect_math.h"

#include <algorithm>

Rect SplitterBar(const Rect& client, const SplitterSettings& s)
{
    const int64_t half = s.thickness / 2;
    int64_t left = client.left;
    int64_t top = client.top;
    int64_t right = client.right;
    int64_t bottom = client.bottom;
    if (s.horizontalBar()) {
        top = TruncInt32(double(RectHeight(client)) * s.ratio) - half + client.top;
        bottom = top + s.thickness;
    } else {
        left = TruncInt32(double(RectWidth(client)) * s.ratio) - half + client.left;
        right = left + s.thickness;
    }
    Rect bar = MakeRect(std::max<int64_t>(left, client.left), std::max<int64_t>(top, client.top),
                        std::min<int64_t>(right, client.right), std::min<int64_t>(bottom, client.bottom));
    if (!RectEmpty(bar) && bar.bottom < 5000)
        return bar;

    if (s.horizontalBar()) {
        const int64_t mid = (int64_t(client.top) + client.bottom) / 2 - half;
        return MakeRect(client.left, mid, client.right, mid + s.thickness);
    }
    const int64_t mid = (int64_t(client.left) + client.right) / 2 - half;
    return MakeRect(mid, client.top, mid + s.thickness, client.bottom);
}

SplitterPanes SplitterPaneRects(const Rect& client, const Rect& bar, const SplitterSettings& s)
{
    const int64_t m = s.margin;
    const int64_t left = client.left + m;
    const int64_t top = client.top + m;
    const int64_t right = client.right - m;
    const int64_t bottom = client.bottom - m;
    // A pane squeezed below nothing is empty, never inverted.
    auto pane = [](int64_t l, int64_t t, int64_t r, int64_t b) {
        return MakeRect(l, t, std::max(l, r), std::max(t, b));
    };
    if (s.horizontalBar())
        return {pane(left, top, right, bar.top), pane(left, bar.bottom, right, bottom)};
    return {pane(left, top, bar.left, bottom), pane(bar.right, top, right, bottom)};
}

std::optional<Rect> SplitterDragTo(const Rect& client, const Rect& bar, Point pt, const SplitterSettings& s)
{
    if (RectEmpty(client))
        return std::nullopt;
    const bool horizontal = s.horizontalBar();
    const int64_t at = horizontal ? std::clamp<int64_t>(pt.y, client.top, int64_t(client.bottom) - 1)
                                  : std::clamp<int64_t>(pt.x, client.left, int64_t(client.right) - 1);
    const int64_t edge = horizontal ? bar.top : bar.left;
    const int64_t start = horizontal ? client.top : client.left;
    const int64_t end = horizontal ? client.bottom : client.right;
    if (at == edge)
        return std::nullopt;
    if (at < edge && s.firstMin > 0 && at - s.margin - start <= s.firstMin)
        return std::nullopt;
    if (at > edge && s.secondMin > 0 && end - s.thickness - s.margin - at <= s.secondMin)
        return std::nullopt;
    return horizontal ? OffsetRect(bar, 0, at - edge) : OffsetRect(bar, at - edge, 0);
}

double SplitterRatioAt(const Rect& client, const Rect& bar, const SplitterSettings& s)
{
    const int64_t extent = s.horizontalBar() ? RectHeight(client) : RectWidth(client);
    if (extent <= 0)
        return s.ratio;
    const int64_t centre =
        s.horizontalBar() ? (int64_t(bar.top) + bar.bottom) / 2 : (int64_t(bar.left) + bar.right) / 2;
    return double(centre) / double(extent);
}

SplitterPaint SplitterPaintRects(const Rect& client, const Rect& bar, const SplitterSettings& s)
{
    SplitterPaint paint;
    if (s.margin < 1) {
        paint.fills.push_back(bar);
        return paint;
    }
    const Rect& c = client;
    const int64_t m = s.margin;
    paint.fills = {
        MakeRect(c.left, c.top, c.right, c.top + m),
        MakeRect(c.left, c.top, c.left + m, c.bottom),
        MakeRect(c.left, c.bottom - m, c.right, c.bottom),
        MakeRect(c.right - m, c.top, c.right, c.bottom),
        bar,
    };
    if (s.horizontalBar())
        paint.frames = {MakeRect(c.left, c.top, c.right, int64_t(bar.top) + 1),
                        MakeRect(c.left, int64_t(bar.bottom) - 1, c.right, c.bottom)};
    else
        paint.frames = {MakeRect(c.left, c.top, int64_t(bar.left) + 1, c.bottom),
                        MakeRect(int64_t(bar.right) - 1, c.top, c.right, c.bottom)};
    return paint;
}
