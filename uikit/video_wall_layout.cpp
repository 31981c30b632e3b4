#include "uikit/video_wall_layout.h"

#include "core/language_tr.h"
#include "model/processor.h"
#include "platform/rect_math.h"

#include <algorithm>
#include <numeric>

static_assert(std::is_same_v<WallCellMap, CQelProcessor::WallMap>);

namespace {

constexpr ui::ColorRef kAssignedText = ui::rgb(255, 255, 255);
constexpr ui::ColorRef kUnassignedSizedText = ui::rgb(255, 0, 0);

int32_t ownSizeOr(const std::vector<int32_t>& sizes, bool own, int32_t index, int32_t fallback)
{
    if (own && index >= 0 && size_t(index) < sizes.size())
        return sizes[size_t(index)];
    return fallback;
}

int32_t totalOr(const std::vector<int32_t>& sizes, bool own, int32_t unit, int32_t count)
{
    if (own) {
        const int64_t sum = std::accumulate(sizes.begin(), sizes.end(), int64_t(0));
        if (sum > 0)
            return ClampInt32(sum);
    }
    return ClampInt32(int64_t(unit) * count);
}

std::vector<int32_t> uniformEdges(int32_t origin, int64_t extent, int32_t count)
{
    const int64_t step = std::max<int64_t>(extent, 0) / count;
    std::vector<int32_t> edges(size_t(count) + 1);
    for (int32_t i = 0; i <= count; ++i)
        edges[size_t(i)] = ClampInt32(origin + step * i);
    return edges;
}

// Each edge truncated on its own, as the grid was always drawn; empty when
// the sizes add up to nothing, which has no scale.
std::vector<int32_t> scaledEdges(int32_t origin, int64_t extent, const std::vector<int64_t>& sizes)
{
    const int64_t total = std::accumulate(sizes.begin(), sizes.end(), int64_t(0));
    if (total <= 0)
        return {};
    const double scale = double(std::max<int64_t>(extent, 0)) / double(total);
    std::vector<int32_t> edges{origin};
    int64_t sum = 0;
    for (int64_t size : sizes) {
        sum += size;
        edges.push_back(ClampInt32(origin + int64_t(TruncInt32(double(sum) * scale))));
    }
    return edges;
}

// The drawn sizes: through the same lookup as the size queries, so a list
// shorter than the grid is never read past its end; a negative size draws
// as nothing.
template <class SizeOf>
std::vector<int64_t> drawnSizes(int32_t count, SizeOf sizeOf)
{
    std::vector<int64_t> sizes(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        sizes[size_t(i)] = std::max<int32_t>(sizeOf(i), 0);
    return sizes;
}

// The span of the edges holding v; the edges never decrease.
std::optional<int32_t> spanOf(const std::vector<int32_t>& edges, int32_t v)
{
    const auto after = std::upper_bound(edges.begin(), edges.end(), v);
    if (after == edges.begin() || after == edges.end())
        return std::nullopt;
    return int32_t(after - edges.begin()) - 1;
}

} // namespace

int32_t WallRowHeight(const WallGrid& grid, const WallSource& source, int32_t row)
{
    return ownSizeOr(grid.rowHeights, CQelProcessor::HasCellSizes(source.kind), row, source.output.cy);
}

int32_t WallColumnWidth(const WallGrid& grid, const WallSource& source, int32_t column)
{
    return ownSizeOr(grid.colWidths, CQelProcessor::HasCellSizes(source.kind), column, source.output.cx);
}

int32_t WallTotalHeight(const WallGrid& grid, const WallSource& source)
{
    return totalOr(grid.rowHeights, CQelProcessor::HasCellSizes(source.kind), source.output.cy, grid.rows);
}

int32_t WallTotalWidth(const WallGrid& grid, const WallSource& source)
{
    return totalOr(grid.colWidths, CQelProcessor::HasCellSizes(source.kind), source.output.cx, grid.cols);
}

bool WallPaintsSized(const WallGrid& grid, int32_t kind)
{
    return CQelProcessor::HasCellSizes(kind) && !grid.rowHeights.empty() && !grid.colWidths.empty();
}

Rect WallLayout::CellRect(const WallCell& cell) const
{
    const auto [row, col] = cell;
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return Rect{};
    return Rect{xs[size_t(col)], ys[size_t(row)], xs[size_t(col) + 1], ys[size_t(row) + 1]};
}

std::optional<WallCell> WallLayout::HitTest(const Point& pt) const
{
    const auto row = spanOf(ys, pt.y);
    const auto col = spanOf(xs, pt.x);
    if (!row || !col)
        return std::nullopt;
    return WallCell{*row, *col};
}

WallLayout LayoutWall(const Rect& client, const WallGrid& grid, const WallSource& source, bool sized)
{
    WallLayout layout;
    if (grid.rows < 1 || grid.cols < 1)
        return layout;
    if (sized) {
        layout.xs = scaledEdges(client.left, RectWidth(client),
                                drawnSizes(grid.cols, [&](int32_t c) { return WallColumnWidth(grid, source, c); }));
        layout.ys = scaledEdges(client.top, RectHeight(client),
                                drawnSizes(grid.rows, [&](int32_t r) { return WallRowHeight(grid, source, r); }));
        layout.sized = !layout.xs.empty() && !layout.ys.empty();
    }
    if (!layout.sized) {
        layout.xs = uniformEdges(client.left, RectWidth(client), grid.cols);
        layout.ys = uniformEdges(client.top, RectHeight(client), grid.rows);
    }
    return layout;
}

WallCellLabel WallLabel(const WallGrid& grid, const WallSource& source, bool sized, const WallCell& cell)
{
    const QString* name = nullptr;
    const auto it = grid.cells.find(cell);
    if (it != grid.cells.end()) {
        const auto output = std::find_if(source.outputs.begin(), source.outputs.end(),
                                         [&](const WallOutput& o) { return o.id == it->second; });
        if (output != source.outputs.end())
            name = &output->name;
    }
    if (sized) {
        const QString size = QString("\r\n(%1 x %2)")
                                 .arg(WallColumnWidth(grid, source, cell.second))
                                 .arg(WallRowHeight(grid, source, cell.first));
        if (name)
            return {*name + size, kAssignedText};
        return {TranslateText("请选择输出口") + size, kUnassignedSizedText};
    }
    const QString size = QString(" (%1 x %2)").arg(source.output.cx).arg(source.output.cy);
    return {(name ? *name : TranslateText("无信号")) + size, kAssignedText};
}

ui::MenuSpec WallMenu(const WallGrid& grid, const WallSource& source, const std::set<int32_t>& excluded)
{
    std::set<int32_t> placed;
    for (const auto& [cell, id] : grid.cells)
        placed.insert(id);
    ui::MenuSpec menu;
    for (const WallOutput& output : source.outputs) {
        // 0 is a dismissed menu, and the commands follow the output ids.
        if (output.id < 1 || output.id > kWallMaxOutputCommand || excluded.count(output.id) || placed.count(output.id))
            continue;
        menu.items.push_back(ui::MenuSpec::item(output.id, output.name));
    }
    if (!menu.items.empty())
        menu.items.push_back(ui::MenuSpec::separatorItem());
    menu.items.push_back(ui::MenuSpec::item(kWallRemoveCommand, TranslateText("删除信号")));
    menu.items.push_back(ui::MenuSpec::item(kWallClearCommand, TranslateText("清空所有信号")));
    return menu;
}

bool ApplyWallCommand(WallCellMap& cells, const std::optional<WallCell>& hit, int command)
{
    if (command >= 1 && command <= kWallMaxOutputCommand && hit) {
        cells[*hit] = command;
        return true;
    }
    if (command == kWallRemoveCommand && hit)
        return cells.erase(*hit) > 0;
    if (command == kWallClearCommand) {
        cells.clear();
        return true;
    }
    return false;
}
