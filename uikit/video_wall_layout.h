#pragma once
#include "platform/geometry.h"
#include "platform/ui/colour.h"
#include "platform/ui/popup_menu.h"

#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

// The video-wall grid without its window: where its cells lie in the client
// area, what each one says and which outputs its menu still offers. The
// widget gathers what it reads of the selected processor into a WallSource
// each time it needs it.

// (row, column), and the cells that hold an output, ordered row first: the
// same map as the processor's wall map.
using WallCell = std::pair<int32_t, int32_t>;
using WallCellMap = std::map<WallCell, int32_t>;

// The menu's commands after the output ids: an output id above the first
// cannot be offered.
inline constexpr int kWallMaxOutputCommand = 100000;
inline constexpr int kWallRemoveCommand = 100001;
inline constexpr int kWallClearCommand = 100002;

struct WallOutput {
    int32_t id = 0;
    QString name;
};

// What the grid reads of the selected processor.
struct WallSource {
    int32_t kind = 0;
    Size output;                     // the output resolution
    std::vector<WallOutput> outputs; // in the processor's order
};

// The grid as its owner and the operator set it. The size lists are the
// owner's and may be shorter or longer than the grid.
struct WallGrid {
    int32_t rows = 0;
    int32_t cols = 0;
    WallCellMap cells;
    std::vector<int32_t> rowHeights;
    std::vector<int32_t> colWidths;

    bool Contains(const WallCell& cell) const
    {
        return cell.first >= 0 && cell.first < rows && cell.second >= 0 && cell.second < cols;
    }
};

// Sizes in wall pixels: on the kinds that size their rows and columns, a
// row's (column's) own size when the list has one, else the output's.
int32_t WallRowHeight(const WallGrid& grid, const WallSource& source, int32_t row);
int32_t WallColumnWidth(const WallGrid& grid, const WallSource& source, int32_t column);
// On those kinds the sum of the list when it is positive; else the output's
// size times the rows (columns).
int32_t WallTotalHeight(const WallGrid& grid, const WallSource& source);
int32_t WallTotalWidth(const WallGrid& grid, const WallSource& source);

// Whether painting asks for the sized form: a kind with cell sizes and
// both lists filled. Clicks ask by the kind alone (see the widget).
bool WallPaintsSized(const WallGrid& grid, int32_t kind);

// The cell edges in client pixels: column c spans xs[c] .. xs[c + 1], row r
// ys[r] .. ys[r + 1]. No edges when the grid has no cells.
struct WallLayout {
    bool sized = false;
    std::vector<int32_t> xs;
    std::vector<int32_t> ys;

    int32_t Rows() const { return ys.empty() ? 0 : int32_t(ys.size()) - 1; }
    int32_t Cols() const { return xs.empty() ? 0 : int32_t(xs.size()) - 1; }
    Rect CellRect(const WallCell& cell) const;
    // The cell whose rectangle holds the point; none outside every cell.
    std::optional<WallCell> HitTest(const Point& pt) const;
};

// The uniform form divides the client area evenly (integer division, the
// remainder left over at the right and bottom); the sized form scales the
// rows and columns to it. `sized` asks for the sized form, which falls back
// to the uniform one when the sizes add up to nothing.
WallLayout LayoutWall(const Rect& client, const WallGrid& grid, const WallSource& source, bool sized);

struct WallCellLabel {
    QString text;
    ui::ColorRef colour = 0;
};

// The text of a cell and its colour: the output's name with the cell's size
// (sized form) or the output resolution (uniform form); a cell without an
// output the processor has reads as unassigned.
WallCellLabel WallLabel(const WallGrid& grid, const WallSource& source, bool sized, const WallCell& cell);

// The right-click menu: every output not excluded and in no cell, then the
// commands that remove the cell's output and clear every cell.
ui::MenuSpec WallMenu(const WallGrid& grid, const WallSource& source, const std::set<int32_t>& excluded);

// Carries out a menu command on the cells; `hit` is the clicked cell, if
// any. True when the cells were changed (or cleared).
bool ApplyWallCommand(WallCellMap& cells, const std::optional<WallCell>& hit, int command);
