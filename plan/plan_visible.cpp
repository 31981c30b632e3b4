#include "plan/plan.h"
#include "plan/rect_math.h"

namespace {

// What is left of `r` once `cut` is taken away, as up to four rectangles.
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

void CQelPlan::GetVisibleWindows(std::vector<int32_t>& ids) const
{
    ids.clear();
    std::vector<Rect> rects;
    rects.reserve(windows_.size());
    for (const auto& w : windows_)
        rects.push_back(GetWindowRect(w));

    std::vector<Rect> region;
    std::vector<Rect> next;
    for (size_t i = 0; i < windows_.size(); ++i) {
        region.clear();
        if (!RectEmpty(rects[i]))
            region.push_back(rects[i]);
        for (size_t j = i + 1; j < windows_.size() && !region.empty(); ++j) {
            if (RectEmpty(rects[j]))
                continue;
            next.clear();
            for (const Rect& r : region)
                Subtract(r, rects[j], next);
            region.swap(next);
        }
        if (!region.empty())
            ids.push_back(windows_[i]->id);
    }
}
