#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/geometry.h"

struct WallPlacement;

// An output used as a multi-view monitor: split into row x col cells, each
// showing a source (row-major, -1 empty), optionally with one cell
// maximised over the whole output.
struct CQelWatchWindow {
    int32_t processor = -1;
    int32_t sigout = -1; // the output id
    int32_t row = 0;
    int32_t col = 0;
    std::vector<int32_t> cells;
    int32_t maxRow = -1; // the maximised cell; both -1 when none
    int32_t maxCol = -1;
};

namespace CellGrid {
// Outputs are split into a few cells a side; a file may claim any number.
inline constexpr int32_t kMaxSplit = 64;
// Sets the split and refills the cells with row x col entries of -1 (none
// for a split below 1 x 1). A side above kMaxSplit gives a 0 x 0 grid.
void Reset(CQelWatchWindow& window, int32_t row, int32_t col);
} // namespace CellGrid

// Cell n, or -1 when n lies outside the list.
int32_t IntListAt(const CQelWatchWindow& window, int32_t n);

// The cell's rectangle within its output, whose size is the placement's (the
// selected processor's) output resolution. Columns are output width / col wide and
// rows output height / row high, the last ones taking the remainder; a
// right edge on an odd x moves one pixel right and the next cell starts
// there. A maximised cell is the whole output and every other cell empty.
// Empty for a split below 1 x 1, a cell outside it, or no placement.
Rect SplitCellRect(const CQelWatchWindow& window, int32_t row, int32_t col,
                   const std::shared_ptr<const WallPlacement>& placement);
