#include "frame/ctrl_bar_layout.h"

#include "platform/rect_math.h"

using namespace ctrlbar;

namespace {

Rect Deflate(const Rect& r, int by)
{
    return Rect{r.left + by, r.top + by, r.right - by, r.bottom - by};
}

} // namespace

FloatTabBarLayout LayOutFloatTabBar(const Rect& client, unsigned align, bool expanded, int collapsedThickness,
                                    const std::vector<int>& imageHeights)
{
    FloatTabBarLayout out;
    out.caption = Rect{client.left, client.top, client.right, client.top + kCaptionHeight};
    out.floatButton = Deflate(out.caption, 2);
    if (expanded) {
        out.floatButton.right -= 4;
        out.floatButton.left = out.floatButton.right - Height32(out.floatButton);
    }

    const int t = collapsedThickness;
    const int below = out.caption.bottom;
    if (align & CBRS_ALIGN_LEFT) {
        out.strip = Rect{client.left, below, client.left + t, client.bottom};
        out.pageArea = Rect{out.strip.right, below, client.right - 1, client.bottom - 1};
    } else if (align & CBRS_ALIGN_RIGHT) {
        out.strip = Rect{client.right - t, below, client.right, client.bottom};
        out.pageArea = Rect{client.left + 1, below, out.strip.left, client.bottom - 1};
    } else if (align & CBRS_ALIGN_TOP) {
        out.strip = Rect{client.left, below, client.right, client.bottom};
        out.pageArea = Deflate(Rect{client.left, below, client.right, client.bottom}, 1);
        out.pageArea.top += 1;
    } else {
        out.strip = Rect{client.left, client.bottom - t, client.right, client.bottom};
        out.pageArea = Deflate(Rect{client.left, below, client.right, out.strip.top}, 1);
        out.pageArea.bottom -= 1;
    }

    if (align & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) {
        int top = out.strip.top;
        const int width = Width32(out.strip);
        for (int height : imageHeights) {
            const int h = height > 0 ? height + kItemImagePadding : width;
            out.items.push_back(Rect{out.strip.left, top, out.strip.right, top + h});
            top += h;
        }
    } else {
        out.items.assign(imageHeights.size(), Rect{});
    }
    return out;
}

bool HitTestItem(const Rect& item, unsigned align, Point pt)
{
    int dx = 0;
    int dy = 0;
    if (align & CBRS_ALIGN_LEFT)
        dx = -2;
    else if (align & CBRS_ALIGN_RIGHT)
        dx = 2;
    else if (align & CBRS_ALIGN_TOP)
        dy = -2;
    else
        dy = 2;
    const Rect r = Deflate(OffsetRect(item, dx, dy), 2);
    return PtInRect(r, pt.x, pt.y);
}

Point FloatButtonCell(unsigned align, bool expanded)
{
    const int c = kArrowCell;
    if (align & CBRS_ALIGN_LEFT)
        return expanded ? Point{0, 0} : Point{c, 0};
    if (align & CBRS_ALIGN_RIGHT)
        return expanded ? Point{c, 0} : Point{0, 0};
    if (align & CBRS_ALIGN_TOP)
        return expanded ? Point{c, c} : Point{0, c};
    return expanded ? Point{0, c} : Point{c, c};
}

Rect FloatWindowRect(const Rect& barScreen, int collapsedThickness, int expandedThickness)
{
    return Rect{barScreen.right, barScreen.top, barScreen.right + expandedThickness - collapsedThickness,
                barScreen.bottom};
}

bool KeepsFloatWindow(const Rect& barScreen, int expandedThickness, Point screen)
{
    const Rect area{barScreen.left, barScreen.top, barScreen.left + expandedThickness + kAutoHideSlack,
                    barScreen.bottom};
    return PtInRect(area, screen.x, screen.y);
}
