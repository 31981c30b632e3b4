#include "builder/window_order.h"

#include "builder/rect_math.h"
#include "plan/plan.h"

namespace _8PART_NS {

namespace {

// Appends the parts of `r` outside `hole` (at most four bands).
void Cut(const ::Rect& r, const ::Rect& hole, std::vector<::Rect>& out)
{
    ::Rect overlap;
    if (!IntersectRects(r, hole, &overlap)) {
        out.push_back(r);
        return;
    }
    if (overlap.top > r.top)
        out.push_back({r.left, r.top, r.right, overlap.top});
    if (overlap.bottom < r.bottom)
        out.push_back({r.left, overlap.bottom, r.right, r.bottom});
    if (overlap.left > r.left)
        out.push_back({r.left, overlap.top, overlap.left, overlap.bottom});
    if (overlap.right < r.right)
        out.push_back({overlap.right, overlap.top, r.right, overlap.bottom});
}

} // namespace

std::vector<::Rect> SubtractRects(const ::Rect& r, const std::vector<::Rect>& cover)
{
    std::vector<::Rect> left;
    if (IsRectEmpty(r))
        return left;
    left.push_back(r);
    for (const auto& hole : cover) {
        if (IsRectEmpty(hole))
            continue;
        std::vector<::Rect> next;
        for (const auto& part : left)
            Cut(part, hole, next);
        left.swap(next);
        if (left.empty())
            break;
    }
    return left;
}

void ComputeOverlaps(const CQelPlan& plan, std::vector<int32_t>& ids)
{
    ids.clear();
    const auto windows = plan.GetWindows();
    std::vector<::Rect> rects;
    rects.reserve(windows.size());
    for (const auto& window : windows)
        rects.push_back(plan.GetWindowRect(window));
    for (size_t i = 0; i < windows.size(); ++i) {
        if (!windows[i])
            continue;
        const std::vector<::Rect> above(rects.begin() + std::ptrdiff_t(i) + 1, rects.end());
        if (!SubtractRects(rects[i], above).empty())
            ids.push_back(windows[i]->id);
    }
}

} // namespace _8PART_NS
