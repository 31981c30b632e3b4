#pragma once
// The wall description as the two wall editors change it: the video wall
// dialog's checks, and the LED wizard's working copy with its edits and
// the checks "完成" makes. Free of any window; messages come translated.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "model/model_values.h"

class CQelProcessor;

namespace walltext {
inline constexpr char kLeftMarginOdd[] = "左边距必须为偶数值！";
inline constexpr char kRightMarginOdd[] = "右边距必须为偶数值！";
inline constexpr char kHeightTooLarge[] = "单个屏幕高度不能超过";
inline constexpr char kWidthTooLarge[] = "单个屏幕长度不能超过";
inline constexpr char kNotAPositiveInteger[] = "请输入一个正整数！";
inline constexpr char kTooManyMonitors[] = "监视输出个数不能超过";
inline constexpr char kScreenOutputTaken[] = "输出口设置不能重复定义，请检查屏幕墙输出设置！";
inline constexpr char kMonitorOutputTaken[] = "输出口设置不能重复定义，请检查监视器设置！";
inline constexpr char kOutputUsedTwice[] = "输出口重复使用！";
inline constexpr char kColumnWidthOdd[] = "单个屏幕长度必须为偶数";
inline constexpr char kTotalWidthOdd[] = "屏幕总长度必须为偶数";
inline constexpr char kTotalWidthMustBe[] = "拼接屏幕总宽度必须为";
inline constexpr char kTotalHeightMustBe[] = "拼接屏幕总高度必须为";
inline constexpr char kNowIs[] = "当前为";
} // namespace walltext

// Rows and columns of the video wall dialog and of the LED wizard.
inline constexpr int32_t kVideoWallMaxCells = 16;
inline constexpr int32_t kLedWallMaxCells = 32;
inline constexpr int64_t kMaxWallMargin = 100000000;

// The kinds whose wall the LED wizard describes.
bool IsLedWallKind(int32_t kind);

// Wall cell (row, column) to output id, as the processor's WallMap.
using WallCells = std::map<std::pair<int32_t, int32_t>, int32_t>;

// Why the video wall dialog refuses the margins (left, then right: both
// must be even); nothing when it takes them.
std::optional<QString> MarginProblem(const Rect& margins);

// What the wizard shows of the processor's mode: "8x8" for kind 7 ...
const char* LedModeName(int32_t kind);
// The wizard's information text: output resolution, output count, mode.
QString LedWallInfoText(const Resolution& output, size_t outputCount, int32_t kind);

// The LED wizard's working copy of the wall.
struct LedWallDraft {
    int32_t rows = 1;
    int32_t cols = 1;
    int32_t totalWidth = 0;
    int32_t totalHeight = 0;
    std::vector<int32_t> rowHeights;
    std::vector<int32_t> colWidths;
    WallCells screens;
    std::vector<int32_t> monitors; // one output a monitor, -1 for none
    Resolution output{0, 0, 60};
};

// The processor's wall as the wizard takes it at construction.
LedWallDraft DraftOf(const CQelProcessor& processor);
// The wizard's start: the output resolution taken, every size cut down to
// the output's, one size a row and a column (missing ones of the output's
// size), the totals summed.
void StartDraft(LedWallDraft& draft, const Resolution& output);
// A new row (column) count: sizes of the output's added or dropped at the
// end, the screens outside the grid erased, the total summed again.
void SetDraftRows(LedWallDraft& draft, int32_t rows);
void SetDraftCols(LedWallDraft& draft, int32_t cols);
// A row's height (a column's width), the total summed again; a size above
// the output's is refused with its message and nothing changes.
std::optional<QString> SetDraftRowHeight(LedWallDraft& draft, int32_t row, int64_t height);
std::optional<QString> SetDraftColWidth(LedWallDraft& draft, int32_t col, int64_t width);

// Whether an output drives a screen and a monitor at once.
bool OutputsOverlap(const WallCells& screens, const std::vector<int32_t>& monitors);
// The monitor outputs a one-row grid of `count` cells holds.
std::vector<int32_t> MonitorsOfCells(const WallCells& cells, int32_t count);
// The cells of a one-row grid that shows the monitor outputs.
WallCells CellsOfMonitors(const std::vector<int32_t>& monitors);

// The monitor count field: digits only, and no more monitors than the
// processor has outputs. Nothing, with `problem` set, when refused.
std::optional<int32_t> ParseMonitorCount(const QString& text, size_t outputCount, QString& problem);
// A pixel-size field of the wizard: an unsigned integer; nothing when the
// text is none.
std::optional<int64_t> ParsePixelField(const QString& text);

// The first check "完成" fails, in the wizard's order; nothing when all pass.
std::optional<QString> FinishProblem(const LedWallDraft& draft);
// Writes rows, columns, sizes, screen and monitor outputs into the wall.
void CommitDraft(const LedWallDraft& draft, CQelProcessor& processor);
