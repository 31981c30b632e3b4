// The wall view's shortage overlay: an output shows at most 9 horizontal
// bands of window pieces and at most 4 covered cells in a band. Each output
// is cut along the visible window edges and the cells past those limits
// are reported.
#include "builder/pro8part_sender.h"

#include <algorithm>

#include "builder/builder_rects.h"
#include "plan/rect_cover.h"
#include "plan/plan.h"

namespace _8PART_NS {

namespace {

constexpr size_t kMaxBands = 9;
constexpr int32_t kMaxCoveredPerBand = 4;

struct Piece {
    ::Rect rect;
    uint32_t layer = 0;
};

// Adds `v` unless it is there already; the first stays.
void AddUnique(std::vector<int32_t>& values, int32_t v)
{
    if (std::find(values.begin(), values.end(), v) == values.end())
        values.push_back(v);
}

} // namespace

void CPro8PartSender::SplitOutput(tagMonitorInvalidSegmentWindow& result) const
{
    // OSD windows are drawn over everything and take no piece. Every
    // piece and edge lies in the output, so windows that miss it matter
    // to none of them.
    const ::Rect& area = result.rect;
    std::vector<const tagWindowRecord*> shown;
    for (const auto& record : records_)
        if (record->window && record->window->sigsrc != kLogoSigSrc && IntersectRects(record->rect, area))
            shown.push_back(record.get());

    const auto piecesOf = [&](const ::Rect& region) {
        std::vector<Piece> pieces;
        for (const auto* record : shown) {
            ::Rect part;
            if (IntersectRects(record->rect, region, &part))
                pieces.push_back({part, uint32_t(record->window->layer)});
        }
        return pieces;
    };
    // An edge is a strip one pixel thick along the piece's side; it cuts
    // only when some of it shows past the windows above the piece.
    // Windows that miss the edge cannot hide any of it.
    std::vector<::Rect> above;
    const auto visible = [&](const ::Rect& edge, uint32_t layer) {
        above.clear();
        for (const auto* record : shown)
            if (uint32_t(record->window->layer) > layer && IntersectRects(record->rect, edge))
                above.push_back(record->rect);
        return !SubtractRects(edge, above).empty();
    };

    const auto pieces = piecesOf(area);

    std::vector<int32_t> rows{area.top, area.bottom};
    for (const auto& p : pieces) {
        if (visible({p.rect.left, p.rect.top, p.rect.right, p.rect.top + 1}, p.layer))
            AddUnique(rows, p.rect.top);
        if (visible({p.rect.left, p.rect.bottom - 1, p.rect.right, p.rect.bottom}, p.layer))
            AddUnique(rows, p.rect.bottom);
    }
    std::sort(rows.begin(), rows.end());

    for (size_t band = 0; band + 1 < rows.size(); ++band) {
        const ::Rect strip{area.left, rows[band], area.right, rows[band + 1]};
        std::vector<int32_t> cols{strip.left, strip.right};
        for (const auto& p : piecesOf(strip)) {
            if (visible({p.rect.left, p.rect.top, p.rect.left + 1, p.rect.bottom}, p.layer))
                AddUnique(cols, p.rect.left);
            if (visible({p.rect.right - 1, p.rect.top, p.rect.right, p.rect.bottom}, p.layer))
                AddUnique(cols, p.rect.right);
        }
        std::sort(cols.begin(), cols.end());

        int32_t covered = 0;
        for (size_t i = 0; i + 1 < cols.size(); ++i) {
            const ::Rect cell{cols[i], strip.top, cols[i + 1], strip.bottom};
            const int64_t cx = (int64_t(cell.left) + cell.right) / 2;
            const int64_t cy = (int64_t(cell.top) + cell.bottom) / 2;
            const bool isCovered =
                std::any_of(pieces.begin(), pieces.end(), [&](const Piece& p) { return PtInRect(p.rect, cx, cy); });
            if (band >= kMaxBands || covered >= kMaxCoveredPerBand)
                result.invalid.push_back({cell, 0});
            if (isCovered)
                ++covered;
        }
    }
}

int CPro8PartSender::CheckPlacementBySplit(std::vector<std::shared_ptr<tagMonitorInvalidSegmentWindow>>& out)
{
    if (!processor_ || !plan_)
        return 0;
    CollectBoards();
    CollectWindows();
    AddMonitors();
    for (const auto& monitor : gridMonitors_) {
        auto result = std::make_shared<tagMonitorInvalidSegmentWindow>();
        result->row = monitor->row;
        result->col = monitor->col;
        result->rect = {monitor->x, monitor->y, ClampToInt(int64_t(monitor->x) + monitor->width),
                        ClampToInt(int64_t(monitor->y) + monitor->height)};
        SplitOutput(*result);
        out.push_back(result);
    }
    return 0;
}

} // namespace _8PART_NS
