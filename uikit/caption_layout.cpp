#include "uikit/caption_layout.h"

#include "platform/rect_math.h"
#include "uikit/hit_drag.h"
#include "uikit/nc_codes.h"

#include <algorithm>

namespace {

// Resize corners reach this far along the border from each corner.
constexpr int kCornerGrip = 16;
constexpr int kButtonGap = 2;
constexpr int kTitleGap = 4;

Rect deflate(const Rect& r, int d)
{
    return MakeRect(int64_t(r.left) + d, int64_t(r.top) + d, int64_t(r.right) - d, int64_t(r.bottom) - d);
}

void placeControlButtons(CaptionLayout& L, unsigned style, Size glyph)
{
    if (glyph.cx <= 0 || glyph.cy <= 0)
        return;
    L.buttonStates.fill(kStateDisabled);
    if (!(style & WS_SYSMENU))
        return;
    const Rect& row = L.captionRow;
    const int64_t top = row.top + (RectHeight(row) - glyph.cy + 1) / 2;
    int64_t right = row.right;
    auto place = [&](ControlButton b, bool enabled) {
        L.buttons[b] = MakeRect(right - kButtonGap - glyph.cx, top, right - kButtonGap, top + glyph.cy);
        L.buttonStates[b] = enabled ? kStateNormal : kStateDisabled;
        right = L.buttons[b].left;
    };
    place(kCloseButton, true);
    if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
        place(kMaxButton, style & WS_MAXIMIZEBOX);
        place(kMinButton, style & WS_MINIMIZEBOX);
    }
}

void placeToolButtons(CaptionLayout& L, const std::vector<Size>& images)
{
    const Rect& R = L.toolRow;
    if (!images.empty() && std::min(images[0].cx, images[0].cy) > 32)
        L.toolMargin = 4;
    const int p = L.toolMargin;
    int64_t x = R.left;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int64_t w = int64_t(images[i].cx) + 2 * p;
        const int64_t h = int64_t(images[i].cy) + 2 * p;
        const int64_t t = R.top + (RectHeight(R) - h + 1) / 2;
        // The first two labels lean outwards, as the row was drawn for.
        const int64_t before = i == 0 ? 18 : i == 1 ? 15 : 5;
        const int64_t after = i == 0 ? 14 : i == 1 ? 20 : 5;
        L.tools[i].button = MakeRect(x, t, x + w, t + h);
        L.tools[i].label = MakeRect(x - before, R.bottom, x + w + after, int64_t(R.bottom) + 15);
        x += w + 25;
    }
}

} // namespace

CaptionLayout LayoutCaption(const CaptionInput& in)
{
    CaptionLayout L;
    L.window = MakeRect(0, 0, RectWidth(in.window), RectHeight(in.window));
    L.tools.resize(in.toolImages.size());
    const bool iconic = in.style & WS_MINIMIZE;
    // A maximised frame fills the work area the window manager gives it, so
    // no border is spent on its edges.
    L.border = (in.style & WS_MAXIMIZE) && !iconic ? 0 : kBorderWidth;
    const Rect inner = deflate(L.window, L.border);
    L.client = inner;
    if (in.noCaption)
        return L;

    L.captionRow = inner;
    if (!iconic)
        L.captionRow.bottom = ClampInt32(int64_t(inner.top) + kCaptionHeight);
    L.caption = iconic ? inner : L.captionRow;
    if (in.toolBarShown && !iconic)
        L.caption.bottom = ClampInt32(int64_t(L.caption.bottom) + in.toolRowHeight);
    if (!iconic)
        L.client.top = L.caption.bottom;

    const Rect& row = L.captionRow;
    const int64_t x = int64_t(row.left) + in.leftMargin;
    placeControlButtons(L, in.style, in.glyph);
    int64_t right = row.right;
    for (const Rect& b : L.buttons)
        if (!RectEmpty(b))
            right = std::min<int64_t>(right, b.left);
    if (!iconic) {
        L.menuBar = MakeRect(x + 2, int64_t(row.top) + 3, right - 8, row.bottom);
        L.menu = LayoutMenuBar(L.menuBar, in.menuItems, in.chevron);
    }
    const int64_t c = (int64_t(L.window.left) + L.window.right) / 2;
    L.text = MakeRect(c - 50, int64_t(row.top) + 3, c + 50, row.bottom);
    // The title gives way to the menu items: it starts after the last one
    // shown and ends before the control buttons, so it is cut short rather
    // than drawn over them.
    int64_t menuEnd = L.text.left;
    for (const Rect& item : L.menu.items)
        if (!RectEmpty(item))
            menuEnd = std::max<int64_t>(menuEnd, int64_t(item.right) + kTitleGap);
    if (!RectEmpty(L.menu.chevron))
        menuEnd = std::max<int64_t>(menuEnd, int64_t(L.menu.chevron.right) + kTitleGap);
    L.text.left = ClampInt32(std::min(menuEnd, int64_t(L.text.right)));
    L.text.right = ClampInt32(std::max<int64_t>(L.text.left, std::min<int64_t>(L.text.right, right - kTitleGap)));

    if (!iconic && in.toolBarShown && in.toolRowHeight > 0) {
        L.toolRow = MakeRect(int64_t(L.caption.left) + 8 + in.leftMargin, row.bottom, L.caption.right,
                             int64_t(row.bottom) + kToolRowExtent);
        L.toolFill = Rect{L.caption.left, row.bottom, L.caption.right, L.caption.bottom};
        placeToolButtons(L, in.toolImages);
    }
    return L;
}

int ControlButtonAt(const CaptionLayout& layout, Point pt)
{
    for (int b = 0; b < kControlButtonCount; ++b)
        if (PtInRect(layout.buttons[b], pt.x, pt.y))
            return b;
    return -1;
}

int ToolButtonAt(const CaptionLayout& layout, Point pt)
{
    for (std::size_t i = 0; i < layout.tools.size(); ++i)
        if (PtInRect(layout.tools[i].button, pt.x, pt.y))
            return int(i);
    return -1;
}

int CaptionHitTest(const CaptionLayout& layout, unsigned style, Point pt)
{
    const Rect& w = layout.window;
    if (!PtInRect(w, pt.x, pt.y))
        return HTNOWHERE;
    if (PtInRect(layout.caption, pt.x, pt.y)) {
        if (MenuBarHitTest(layout.menu, pt) >= 0)
            return HTMENU;
        static constexpr int kButtonCodes[kControlButtonCount] = {HTCLOSE, HTMAXBUTTON, HTMINBUTTON};
        const int button = ControlButtonAt(layout, pt);
        if (button >= 0)
            return kButtonCodes[button];
        // Tool buttons answer as border so that pressing one never drags the window.
        return ToolButtonAt(layout, pt) >= 0 ? HTBORDER : HTCAPTION;
    }
    const int b = layout.border;
    const bool onTop = pt.y < w.top + b;
    const bool onBottom = pt.y >= w.bottom - b;
    const bool onLeft = pt.x < w.left + b;
    if (!onTop && !onBottom && !onLeft && pt.x < w.right - b)
        return HTCLIENT;
    if (!(style & WS_THICKFRAME) || (style & WS_MINIMIZE))
        return HTBORDER;
    // The corners reach along each edge beyond the border's width.
    const bool nearLeft = pt.x < w.left + kCornerGrip;
    const bool nearRight = pt.x >= w.right - kCornerGrip;
    if (onTop || onBottom) {
        if (nearLeft)
            return onTop ? HTTOPLEFT : HTBOTTOMLEFT;
        if (nearRight)
            return onTop ? HTTOPRIGHT : HTBOTTOMRIGHT;
        return onTop ? HTTOP : HTBOTTOM;
    }
    if (pt.y < w.top + kCornerGrip)
        return onLeft ? HTTOPLEFT : HTTOPRIGHT;
    if (pt.y >= w.bottom - kCornerGrip)
        return onLeft ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
    return onLeft ? HTLEFT : HTRIGHT;
}

Rect DragRect(const Rect& start, int hit, int dx, int dy, Size minSize)
{
    if (hit == HTCAPTION)
        return OffsetRect(start, dx, dy);
    return MoveDraggedEdges(start, hit, dx, dy, minSize.cx, minSize.cy);
}
