#include "dialogs/wall_setup_core.h"

#include "core/language_tr.h"
#include "model/processor.h"

#include <algorithm>
#include <numeric>

namespace {

int64_t Sum(const std::vector<int32_t>& sizes)
{
    return std::accumulate(sizes.begin(), sizes.end(), int64_t(0));
}

int32_t SumClamped(const std::vector<int32_t>& sizes)
{
    return int32_t(std::clamp<int64_t>(Sum(sizes), INT32_MIN, INT32_MAX));
}

void FitSizes(std::vector<int32_t>& sizes, int32_t count, int32_t unit)
{
    sizes.resize(size_t(std::max(count, 0)), unit);
}

void EraseOutside(LedWallDraft& draft)
{
    std::erase_if(draft.screens, [&](const auto& entry) {
        const auto [row, col] = entry.first;
        return row < 0 || row >= draft.rows || col < 0 || col >= draft.cols;
    });
}

// One row's (column's) size, no larger than the output's.
std::optional<QString> SetSize(std::vector<int32_t>& sizes, int32_t index, int64_t size, int32_t limit,
                               const char* tooLarge, int32_t& total)
{
    if (size > limit)
        return Tr(tooLarge) + QString::number(limit);
    if (index >= 0 && size_t(index) < sizes.size())
        sizes[size_t(index)] = int32_t(size);
    total = SumClamped(sizes);
    return std::nullopt;
}

} // namespace

std::optional<QString> MarginProblem(const Rect& margins)
{
    if (margins.left % 2 != 0)
        return Tr(walltext::kLeftMarginOdd);
    if (margins.right % 2 != 0)
        return Tr(walltext::kRightMarginOdd);
    return std::nullopt;
}

bool IsLedWallKind(int32_t kind)
{
    return CQelProcessor::HasCellSizes(kind);
}

const char* LedModeName(int32_t kind)
{
    switch (kind) {
    case 7: return "8x8";
    case 8: return "16x16";
    case 9: return "LED4x4";
    case 10: return "36x36";
    default: return "n/a";
    }
}

QString LedWallInfoText(const Resolution& output, size_t outputCount, int32_t kind)
{
    return QStringLiteral("%1\n    %2 * %3\n%4\n    %5\n%6\n    %7")
        .arg(Tr("※ 处理器输出分辨率："))
        .arg(output.width)
        .arg(output.height)
        .arg(Tr("※ 处理器输出口个数："))
        .arg(qulonglong(outputCount))
        .arg(Tr("※ 当前的工作模式："))
        .arg(QString::fromLatin1(LedModeName(kind)));
}

LedWallDraft DraftOf(const CQelProcessor& processor)
{
    const CQelProcessor::Wall wall = processor.GetWall();
    const Size pixels = processor.GetWallPixelSize();
    LedWallDraft draft;
    draft.rows = wall.rows;
    draft.cols = wall.cols;
    draft.totalWidth = pixels.cx;
    draft.totalHeight = pixels.cy;
    draft.rowHeights = wall.rowHeights;
    draft.colWidths = wall.colWidths;
    draft.screens = wall.cells;
    draft.monitors = wall.watch;
    draft.output = processor.GetOutputResolution();
    if (draft.output.rate == 0)
        draft.output.rate = 60;
    return draft;
}

void StartDraft(LedWallDraft& draft, const Resolution& output)
{
    draft.output = output;
    for (int32_t& h : draft.rowHeights)
        h = std::min(h, output.height);
    for (int32_t& w : draft.colWidths)
        w = std::min(w, output.width);
    // Every row and column has its size from here on, so the selected
    // cell's always exists.
    draft.rows = std::clamp(draft.rows, 1, kLedWallMaxCells);
    draft.cols = std::clamp(draft.cols, 1, kLedWallMaxCells);
    FitSizes(draft.rowHeights, draft.rows, output.height);
    FitSizes(draft.colWidths, draft.cols, output.width);
    draft.totalHeight = SumClamped(draft.rowHeights);
    draft.totalWidth = SumClamped(draft.colWidths);
}

void SetDraftRows(LedWallDraft& draft, int32_t rows)
{
    draft.rows = rows;
    FitSizes(draft.rowHeights, rows, draft.output.height);
    EraseOutside(draft);
    draft.totalHeight = SumClamped(draft.rowHeights);
}

void SetDraftCols(LedWallDraft& draft, int32_t cols)
{
    draft.cols = cols;
    FitSizes(draft.colWidths, cols, draft.output.width);
    EraseOutside(draft);
    draft.totalWidth = SumClamped(draft.colWidths);
}

std::optional<QString> SetDraftRowHeight(LedWallDraft& draft, int32_t row, int64_t height)
{
    return SetSize(draft.rowHeights, row, height, draft.output.height, walltext::kHeightTooLarge, draft.totalHeight);
}

std::optional<QString> SetDraftColWidth(LedWallDraft& draft, int32_t col, int64_t width)
{
    return SetSize(draft.colWidths, col, width, draft.output.width, walltext::kWidthTooLarge, draft.totalWidth);
}

bool OutputsOverlap(const WallCells& screens, const std::vector<int32_t>& monitors)
{
    return std::any_of(screens.begin(), screens.end(), [&](const auto& entry) {
        return entry.second >= 0 && std::find(monitors.begin(), monitors.end(), entry.second) != monitors.end();
    });
}

std::vector<int32_t> MonitorsOfCells(const WallCells& cells, int32_t count)
{
    std::vector<int32_t> monitors;
    for (int32_t i = 0; i < count; ++i) {
        const auto it = cells.find({0, i});
        monitors.push_back(it == cells.end() ? -1 : it->second);
    }
    return monitors;
}

WallCells CellsOfMonitors(const std::vector<int32_t>& monitors)
{
    WallCells cells;
    for (size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i] >= 0)
            cells[{0, int32_t(i)}] = monitors[i];
    return cells;
}

std::optional<int32_t> ParseMonitorCount(const QString& text, size_t outputCount, QString& problem)
{
    const bool digits =
        !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits) {
        problem = Tr(walltext::kNotAPositiveInteger);
        return std::nullopt;
    }
    // Each monitor needs an output of its own, so more cells could never
    // be filled; a long run of digits is refused before it is read.
    bool ok = false;
    const qulonglong count = text.size() <= 9 ? text.toULongLong(&ok) : 0;
    if (!ok || count > outputCount) {
        problem = Tr(walltext::kTooManyMonitors) + QString::number(qulonglong(outputCount));
        return std::nullopt;
    }
    return int32_t(count);
}

std::optional<int64_t> ParsePixelField(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

std::optional<QString> FinishProblem(const LedWallDraft& draft)
{
    if (OutputsOverlap(draft.screens, draft.monitors))
        return Tr(walltext::kOutputUsedTwice);
    if (std::any_of(draft.colWidths.begin(), draft.colWidths.end(), [](int32_t w) { return w % 2 != 0; }))
        return Tr(walltext::kColumnWidthOdd);
    if (draft.totalWidth % 2 != 0)
        return Tr(walltext::kTotalWidthOdd);
    const auto mismatch = [](const char* mustBe, int32_t total, int64_t sum) {
        return QStringLiteral("%1%2,%3%4").arg(Tr(mustBe)).arg(total).arg(Tr(walltext::kNowIs)).arg(sum);
    };
    if (const int64_t sum = Sum(draft.colWidths); sum != draft.totalWidth)
        return mismatch(walltext::kTotalWidthMustBe, draft.totalWidth, sum);
    if (const int64_t sum = Sum(draft.rowHeights); sum != draft.totalHeight)
        return mismatch(walltext::kTotalHeightMustBe, draft.totalHeight, sum);
    return std::nullopt;
}

void CommitDraft(const LedWallDraft& draft, CQelProcessor& processor)
{
    CQelProcessor::Wall wall = processor.GetWall();
    wall.rows = draft.rows;
    wall.cols = draft.cols;
    wall.rowHeights = draft.rowHeights;
    wall.colWidths = draft.colWidths;
    wall.cells = draft.screens;
    wall.watch = draft.monitors;
    processor.SetWall(wall);
}
