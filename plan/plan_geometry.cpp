#include "plan/plan.h"

#include <numeric>

#include "plan/plan_context.h"
#include "plan/rect_math.h"

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

} // namespace

Size CQelPlan::GetPixelSize() const
{
    if (type_ == kPlanSizedGrid)
        return Size{ClampInt32(Sum(columnWidths_, columnWidths_.size())),
                    ClampInt32(Sum(rowHeights_, rowHeights_.size()))};
    return Size{ClampInt32(int64_t(resolution_.width) * cols_),
                ClampInt32(int64_t(resolution_.height) * rows_)};
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
    return MakeRect(margin_.left, margin_.top,
                    int64_t(resolution_.width) * cols_ - margin_.right,
                    int64_t(resolution_.height) * rows_ - margin_.bottom);
}

Rect CQelPlan::GetOutputRect(int32_t outputId) const
{
    if (type_ == kPlanSizedGrid)
        return GetOutputRectBySizes(outputId);
    const auto placement = SelectedWallPlacement();
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

Rect CQelPlan::GetOutputRectBySizes(int32_t outputId) const
{
    const auto placement = SelectedWallPlacement();
    int32_t row = 0;
    int32_t col = 0;
    if (!placement || !placement->FindOutput(outputId, row, col))
        return Rect{};
    // Lists shorter than the grid give no screen rather than a read past them.
    if (row < 0 || col < 0 || size_t(row) >= rowHeights_.size() ||
        size_t(col) >= columnWidths_.size())
        return Rect{};
    const int64_t left = Sum(columnWidths_, size_t(col));
    const int64_t top = Sum(rowHeights_, size_t(row));
    return MakeRect(left, top, left + columnWidths_[size_t(col)], top + rowHeights_[size_t(row)]);
}

Rect CQelPlan::IntersectWindowRect(const WindowPtr& window, const Rect& rect) const
{
    return IntersectRect(GetWindowRect(window), rect);
}

std::vector<int32_t> CQelPlan::GetWindowOutputs(const WindowPtr& window) const
{
    std::vector<int32_t> ids;
    const auto placement = SelectedWallPlacement();
    if (!window || !placement)
        return ids;
    const Rect wr = GetWindowRect(window);
    if (RectEmpty(wr))
        return ids;

    // Bands of the grid: uniform cells, or on a type-1 plan the listed sizes.
    std::vector<int64_t> rowEdges{0};
    std::vector<int64_t> colEdges{0};
    if (type_ == kPlanSizedGrid) {
        const size_t rows = std::min(size_t(std::max(rows_, 0)), rowHeights_.size());
        const size_t cols = std::min(size_t(std::max(cols_, 0)), columnWidths_.size());
        for (size_t r = 0; r < rows; ++r)
            rowEdges.push_back(rowEdges.back() + rowHeights_[r]);
        for (size_t c = 0; c < cols; ++c)
            colEdges.push_back(colEdges.back() + columnWidths_[c]);
    } else {
        for (int32_t r = 0; r < rows_; ++r)
            rowEdges.push_back(rowEdges.back() + resolution_.height);
        for (int32_t c = 0; c < cols_; ++c)
            colEdges.push_back(colEdges.back() + resolution_.width);
    }
    auto meets = [](int64_t lo, int64_t hi, int64_t wlo, int64_t whi) {
        return lo < hi && lo < whi && hi > wlo;
    };
    for (size_t r = 0; r + 1 < rowEdges.size(); ++r) {
        if (!meets(rowEdges[r], rowEdges[r + 1], wr.top, wr.bottom))
            continue;
        for (size_t c = 0; c + 1 < colEdges.size(); ++c) {
            if (!meets(colEdges[c], colEdges[c + 1], wr.left, wr.right))
                continue;
            const int32_t id = placement->OutputAt(int32_t(r), int32_t(c));
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

Rect SplitCellRect(const CQelWatchWindow& window, int32_t row, int32_t col)
{
    const int32_t rows = window.row;
    const int32_t cols = window.col;
    if (rows < 1 || cols < 1 || row < 0 || row >= rows || col < 0 || col >= cols)
        return Rect{};
    const auto placement = SelectedWallPlacement();
    if (!placement)
        return Rect{};
    const int64_t width = placement->output.width;
    const int64_t height = placement->output.height;
    if (width <= 0 || height <= 0)
        return Rect{};
    const bool maximised = window.maxRow >= 0 && window.maxRow < rows && window.maxCol >= 0 &&
                           window.maxCol < cols;
    if (maximised) {
        if (row == window.maxRow && col == window.maxCol)
            return MakeRect(0, 0, width, height);
        return Rect{};
    }

    // Columns are laid left to right: an odd right edge moves one pixel
    // right and the next cell starts there, so later edges shift too.
    const int64_t cellW = width / cols;
    int64_t left = 0;
    int64_t right = 0;
    for (int32_t c = 0; c <= col; ++c) {
        left = right;
        right = c == cols - 1 ? width : left + cellW;
        if (c != cols - 1 && right % 2 != 0)
            ++right;
        right = std::min(right, width);
        left = std::min(left, width);
    }
    const int64_t cellH = height / rows;
    const int64_t top = cellH * row;
    const int64_t bottom = row == rows - 1 ? height : top + cellH;
    return MakeRect(left, top, right, bottom);
}
