#include "plan/plan.h"

#include <algorithm>
#include <numeric>

#include "plan/plan_context.h"
#include "plan/rect_cover.h"

namespace {

int64_t Sum(const std::vector<int32_t>& values, size_t count)
{
    count = std::min(count, values.size());
    return std::accumulate(values.begin(), values.begin() + std::ptrdiff_t(count), int64_t(0));
}

// Output ids 0 and -1 name no output.
bool IsOutput(int32_t id)
{
    return id != -1 && id != 0;
}

// Units of the crop arithmetic: ratios are kept in 1/10000.
constexpr int64_t kRatioUnit = 10000;

// Indexes of the first `count` bands of the listed sizes that [lo, hi) meets.
std::vector<int32_t> BandsMet(const std::vector<int32_t>& sizes, int32_t count, int64_t lo, int64_t hi)
{
    std::vector<int32_t> met;
    const size_t n = std::min(size_t(std::max(count, 0)), sizes.size());
    int64_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        const int64_t end = start + sizes[i];
        if (start < end && start < hi && end > lo)
            met.push_back(int32_t(i));
        start = end;
    }
    return met;
}

// Indexes of the cells of `count` uniform cells of `size` that [lo, hi)
// meets; worked out rather than walked, as counts come from files.
std::vector<int32_t> CellsMet(int64_t size, int32_t count, int64_t lo, int64_t hi)
{
    std::vector<int32_t> met;
    if (size <= 0 || count <= 0 || hi <= lo)
        return met;
    const int64_t first = std::max<int64_t>(0, lo >= 0 ? lo / size : 0);
    const int64_t last = std::min<int64_t>(int64_t(count) - 1, hi <= 0 ? -1 : (hi - 1) / size);
    for (int64_t i = first; i <= last; ++i)
        met.push_back(int32_t(i));
    return met;
}

} // namespace

Size CQelPlan::GetPixelSize() const
{
    if (type_ == kPlanSizedGrid)
        return Size{ClampInt32(Sum(columnWidths_, columnWidths_.size())),
                    ClampInt32(Sum(rowHeights_, rowHeights_.size()))};
    return Size{ClampInt32(int64_t(resolution_.width) * cols_), ClampInt32(int64_t(resolution_.height) * rows_)};
}

Rect CQelPlan::GetPixelRect() const
{
    const Size size = GetPixelSize();
    return Rect{0, 0, size.cx, size.cy};
}

Rect CQelPlan::GetWindowRect(const WindowPtr& window) const
{
    if (!window)
        return Rect{};
    if (!window->fullscreen)
        return window->rect;
    if (type_ == kPlanSizedGrid)
        return GetPixelRect();
    return MakeRect(margin_.left, margin_.top, int64_t(resolution_.width) * cols_ - margin_.right,
                    int64_t(resolution_.height) * rows_ - margin_.bottom);
}

Rect CQelPlan::GetOutputRect(int32_t outputId, const std::shared_ptr<const WallPlacement>& placement) const
{
    if (type_ == kPlanSizedGrid)
        return GetOutputRectBySizes(outputId, placement);
    int32_t row = 0;
    int32_t col = 0;
    if (!placement || !placement->FindOutput(outputId, row, col))
        return Rect{};
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_)
        return Rect{};
    const int64_t w = resolution_.width;
    const int64_t h = resolution_.height;
    return MakeRect(w * col, h * row, w * (col + 1), h * (row + 1));
}

Rect CQelPlan::GetOutputRectBySizes(int32_t outputId, const std::shared_ptr<const WallPlacement>& placement) const
{
    int32_t row = 0;
    int32_t col = 0;
    if (!placement || !placement->FindOutput(outputId, row, col))
        return Rect{};
    // Lists shorter than the grid give no screen rather than a read past them.
    if (row < 0 || col < 0 || size_t(row) >= rowHeights_.size() || size_t(col) >= columnWidths_.size())
        return Rect{};
    const int64_t left = Sum(columnWidths_, size_t(col));
    const int64_t top = Sum(rowHeights_, size_t(row));
    return MakeRect(left, top, left + columnWidths_[size_t(col)], top + rowHeights_[size_t(row)]);
}

Rect CQelPlan::IntersectWindowRect(const WindowPtr& window, const Rect& rect) const
{
    return IntersectRect(GetWindowRect(window), rect);
}

std::vector<int32_t> CQelPlan::GetWindowOutputs(const WindowPtr& window,
                                                const std::shared_ptr<const WallPlacement>& placement) const
{
    std::vector<int32_t> ids;
    if (!window || !placement)
        return ids;
    const Rect wr = GetWindowRect(window);
    if (RectEmpty(wr))
        return ids;

    const std::vector<int32_t> rows = type_ == kPlanSizedGrid ? BandsMet(rowHeights_, rows_, wr.top, wr.bottom)
                                                              : CellsMet(resolution_.height, rows_, wr.top, wr.bottom);
    const std::vector<int32_t> cols = type_ == kPlanSizedGrid ? BandsMet(columnWidths_, cols_, wr.left, wr.right)
                                                              : CellsMet(resolution_.width, cols_, wr.left, wr.right);
    for (int32_t r : rows) {
        for (int32_t c : cols) {
            const int32_t id = placement->OutputAt(r, c);
            if (IsOutput(id))
                ids.push_back(id);
        }
    }
    return ids;
}

int32_t CQelPlan::CheckWindowSource(const WindowPtr& window) const
{
    if (!window)
        return 0;
    const auto source = SigSrcResolution(window->processor, window->sigsrc);
    if (!source)
        return 0;
    int64_t cropW = source->width;
    int64_t cropH = source->height;
    if (!RectEmpty(window->rcsigsrc)) {
        cropW = RectWidth(window->rcsigsrc);
        cropH = RectHeight(window->rcsigsrc);
    }
    const Rect wr = GetWindowRect(window);
    const int64_t w = RectWidth(wr);
    const int64_t h = RectHeight(wr);
    if (w == cropW && h == cropH)
        return 0;
    if (w > cropW && h > cropH)
        return 1;
    return -1;
}

void CQelPlan::CheckWindowSourceCrop(const WindowPtr& window) const
{
    if (!window || RectEmpty(window->rcsigsrc))
        return;
    const auto source = SigSrcResolution(window->processor, window->sigsrc);
    if (!source)
        return;
    const int64_t srcW = source->width;
    const int64_t srcH = source->height;
    const Rect wr = GetWindowRect(window);
    const int64_t winW = RectWidth(wr);
    const int64_t winH = RectHeight(wr);
    if (srcW <= 0 || srcH <= 0 || winW <= 0 || winH <= 0)
        return;
    const int64_t fullW = (srcW * kRatioUnit / winW) * winW / kRatioUnit;
    const int64_t fullH = (srcH * kRatioUnit / winH) * winH / kRatioUnit;
    window->szsigsrcfull = Size{ClampInt32(fullW), ClampInt32(fullH)};
    const int64_t left = int64_t(window->rcsigsrc.left) * fullW / srcW;
    const int64_t top = int64_t(window->rcsigsrc.top) * fullH / srcH;
    window->rcsigsrcinner = MakeRect(left, top, left + winW, top + winH);
}

// --- Watch cells ---

namespace CellGrid {

void Reset(CQelWatchWindow& window, int32_t row, int32_t col)
{
    if (row > kMaxSplit || col > kMaxSplit)
        row = col = 0;
    window.row = row;
    window.col = col;
    window.cells.clear();
    if (row > 0 && col > 0)
        window.cells.assign(size_t(row) * size_t(col), -1);
}

} // namespace CellGrid

int32_t IntListAt(const CQelWatchWindow& window, int32_t n)
{
    if (n < 0 || size_t(n) >= window.cells.size())
        return -1;
    return window.cells[size_t(n)];
}

Rect SplitCellRect(const CQelWatchWindow& window, int32_t row, int32_t col,
                   const std::shared_ptr<const WallPlacement>& placement)
{
    const int32_t rows = window.row;
    const int32_t cols = window.col;
    if (rows < 1 || cols < 1 || row < 0 || row >= rows || col < 0 || col >= cols)
        return Rect{};
    if (!placement)
        return Rect{};
    const int64_t width = placement->output.width;
    const int64_t height = placement->output.height;
    if (width <= 0 || height <= 0)
        return Rect{};
    const bool maximised = window.maxRow >= 0 && window.maxRow < rows && window.maxCol >= 0 && window.maxCol < cols;
    if (maximised) {
        if (row == window.maxRow && col == window.maxCol)
            return MakeRect(0, 0, width, height);
        return Rect{};
    }

    // An odd right edge moves one pixel right and the next cell starts
    // there. Cells start on even x, so with an odd cell width every edge
    // moves and each cell takes one pixel more.
    const int64_t cellW = width / cols;
    const int64_t step = cellW % 2 == 0 ? cellW : cellW + 1;
    const int64_t left = std::min(step * col, width);
    const int64_t right = col == cols - 1 ? width : std::min(step * (col + 1), width);
    const int64_t cellH = height / rows;
    const int64_t top = cellH * row;
    const int64_t bottom = row == rows - 1 ? height : top + cellH;
    return MakeRect(left, top, right, bottom);
}
