#include "plan/plan.h"
#include "plan/rect_cover.h"

namespace {

// Appends what is left of `r` once `cut` is taken away: up to four bands.
void Subtract(const Rect& r, const Rect& cut, std::vector<Rect>& out)
{
    const Rect overlap = IntersectRect(r, cut);
    if (RectEmpty(overlap)) {
        out.push_back(r);
        return;
    }
    if (overlap.top > r.top)
        out.push_back(Rect{r.left, r.top, r.right, overlap.top});
    if (overlap.bottom < r.bottom)
        out.push_back(Rect{r.left, overlap.bottom, r.right, r.bottom});
    if (overlap.left > r.left)
        out.push_back(Rect{r.left, overlap.top, overlap.left, overlap.bottom});
    if (overlap.right < r.right)
        out.push_back(Rect{overlap.right, overlap.top, r.right, overlap.bottom});
}

} // namespace

std::vector<Rect> SubtractRects(const Rect& r, const std::vector<Rect>& cover)
{
    std::vector<Rect> region;
    if (!RectEmpty(r))
        region.push_back(r);
    std::vector<Rect> next;
    for (size_t j = 0; j < cover.size() && !region.empty(); ++j) {
        if (RectEmpty(cover[j]))
            continue;
        next.clear();
        for (const Rect& part : region)
            Subtract(part, cover[j], next);
        region.swap(next);
    }
    return region;
}

void CQelPlan::GetVisibleWindows(std::vector<int32_t>& ids) const
{
    ids.clear();
    std::vector<Rect> rects;
    rects.reserve(windows_.size());
    for (const auto& w : windows_)
        rects.push_back(GetWindowRect(w));
    // Only the windows above that meet a window can hide any of it.
    std::vector<Rect> above;
    for (size_t i = 0; i < windows_.size(); ++i) {
        above.clear();
        for (size_t j = i + 1; j < rects.size(); ++j)
            if (!RectEmpty(IntersectRect(rects[i], rects[j])))
                above.push_back(rects[j]);
        if (!SubtractRects(rects[i], above).empty())
            ids.push_back(windows_[i]->id);
    }
}
