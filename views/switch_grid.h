#pragma once
// The switch view's matrix, apart from its window: one column per output
// of the processor, one row per source, a mark where the plan routes that
// source to that output. Works on the sheet's headless core, so the grid is
// built, read and clicked without a widget.
#include <QString>
#include <cstdint>

#include "platform/ui/colour.h"

class CQelPlan;
class CQelProcessor;
class SheetCore;

namespace switchgrid {
inline constexpr ui::ColorRef kNameCell = ui::rgb(236, 233, 216);
inline constexpr ui::ColorRef kRoutedCell = ui::rgb(255, 251, 195);
inline constexpr ui::ColorRef kPlainCell = ui::rgb(255, 255, 255);
inline constexpr char kMark[] = "√";
inline constexpr char kOutputTitle[] = "输出";
inline constexpr int kOutputColumnWidth = 60;
inline constexpr int kNameColumnWidth = 100;
inline constexpr std::uint16_t kOutputColumnFormat = 2; // centred
} // namespace switchgrid

struct BoardPort {
    int board = 0;
    int port = 0;
    friend bool operator==(const BoardPort&, const BoardPort&) = default;
};

// The board and port numbers shown for an output of a processor model.
BoardPort OutputBoardPort(int outputId, int modelCode);
// The translated "输出" with "<board>_<port>".
QString OutputColumnTitle(int outputId, int modelCode);

// Fills an empty sheet: the name column, the processor's outputs in list
// order, its sources in ascending id order, each id once.
void BuildSwitchGrid(SheetCore& sheet, const CQelProcessor& processor);
// Clears every mark, then marks each route of the plan (none without one)
// whose output and source both have a place in the grid.
void RefreshSwitchGrid(SheetCore& sheet, const CQelProcessor& processor, const CQelPlan* plan);
// The first row of the source; -1 when none.
int FindRowBySource(const SheetCore& sheet, int sourceId);
// The first column of the output; -1 when none.
int FindColumnByOutput(const SheetCore& sheet, int outputId);
// A click on a cell: routes its row's source to its column's output, or
// clears the route when it was that source already. Nothing for cells
// outside the matrix or the name column. True when the plan changed.
bool ClickSwitchCell(SheetCore& sheet, CQelPlan& plan, int row, int column);
// Removes every route, marking the plan modified when there was one.
void ClearSwitchRoutes(CQelPlan& plan);
// The source's row takes its current name; false when it has no row or the
// processor no such source.
bool RenameSourceRow(SheetCore& sheet, const CQelProcessor& processor, int sourceId);
