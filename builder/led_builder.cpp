#include "builder/led_builder.h"

#include <algorithm>

#include "builder/source_signal.h"
#include "corlane/fstr.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "plan/rect_cover.h"

using qz::vok::fstr_format;

namespace {

// Sources of type 8 are cut from the group source on port 4 of their board.
constexpr int32_t kGroupedType = 8;
constexpr int32_t kGroupPort = 4;
// How far a piece that stops short of its screen's right edge is widened.
constexpr int32_t kRightEdgeWidening = 2;

std::string SetupLine(int32_t number, int32_t port, int32_t width, int32_t height, int64_t left, int64_t right,
                      int64_t top, int64_t bottom, int32_t outWidth, int32_t outHeight)
{
    return fstr_format("INPUT_FPGA SCALER_SETUP 0 %d %d %d %d %d %d %d %d %d %d\r\n", number, port, width, height,
                       ClampInt32(left), ClampInt32(right), ClampInt32(top), ClampInt32(bottom), outWidth, outHeight);
}

std::string LayoutLine(int32_t output, int32_t width, int32_t height)
{
    return fstr_format("INPUT_FPGA SET_WINDOWS_LAYOUT 0 %d %d %d\r\n", output, width, height);
}

std::string WindowLine(int32_t port, int32_t n, const Rect& crop, const Rect& dest)
{
    return fstr_format("INPUT_FPGA ADD_WINDOWS %d %d %d %d %d %d %d %d %d %d\r\n", port, n, crop.left, crop.top,
                       crop.right, crop.bottom, dest.left, dest.top, dest.right, dest.bottom);
}

Rect WidenRight(const Rect& r, int64_t by)
{
    return MakeRect(r.left, r.top, int64_t(r.right) + by, r.bottom);
}

} // namespace

CProLEDBuilder::CProLEDBuilder(CQelPlan* plan, int32_t maxScalerWidth, int32_t maxScalerHeight)
    : CPro16x16Builder(plan, maxScalerWidth, maxScalerHeight)
{
}

CProLEDBuilder::~CProLEDBuilder() = default;

std::string CProLEDBuilder::GetName() const
{
    return "ProLED";
}

int32_t CProLEDBuilder::SourceKey(const SourceInfo& source) const
{
    return source.type == kGroupedType ? 0 : static_cast<int32_t>(source.id);
}

void CProLEDBuilder::CollectWindows()
{
    CPro16x16Builder::CollectWindows();
    if (plan_->GetType() != kPlanSizedGrid)
        return;
    const int64_t outputWidth = processor_->GetOutputResolution().width;
    const auto placement = SelectedWallPlacement();
    for (const auto& w : windows_) {
        for (int32_t outputId : w->outputs) {
            const _tagSigOut* out = FindOutput(outputId);
            const PiecePtr piece = out ? FindPiece(*out, w->window->id) : nullptr;
            if (!piece)
                continue;
            const Rect screen = OffsetRect(plan_->GetOutputRectBySizes(outputId, placement), -int64_t(out->wall.left),
                                           -int64_t(out->wall.top));
            if (RectWidth(screen) <= outputWidth - kRightEdgeWidening &&
                int64_t(piece->scaled.right) <= int64_t(piece->scaledWidth) - kRightEdgeWidening &&
                piece->raster.right == screen.right)
                piece->rightEdge = 1;
        }
    }
}

bool CProLEDBuilder::AssignScalers(_tagBoard& board, _tagSigOutWin& piece)
{
    if (!piece.rightEdge)
        return CPro16x16Builder::AssignScalers(board, piece);
    // The scalers read and put out two more columns than the piece shows;
    // the piece itself keeps its edges.
    _tagSigOutWin widened = piece;
    widened.source = WidenRight(piece.source, kRightEdgeWidening);
    widened.scaled = WidenRight(piece.scaled, kRightEdgeWidening);
    return CPro16x16Builder::AssignScalers(board, widened);
}

bool CProLEDBuilder::PlaceOutput(_tagWindow& window)
{
    return PlaceOnOutputBoards(window, true);
}

void CProLEDBuilder::InputPass(const _tagBoard*) {}

void CProLEDBuilder::BackplanePass() {}

std::string CProLEDBuilder::ScalerLine(const SourceInfo& source, int32_t number, const Rect& crop, int32_t width,
                                       int32_t height) const
{
    const int32_t port = SourceKey(source) / 100;
    int32_t frameWidth = source.width;
    int32_t frameHeight = source.height;
    int64_t dx = 0;
    int64_t dy = 0;
    if (source.type == kGroupedType && source.id % 100 < kGroupPort) {
        const auto group = processor_->GetSigSrc(source.id / 100 * 100 + kGroupPort);
        if (!group)
            return {};
        const auto frame = group->GetResolution();
        if (!HasSignalSize(frame))
            return {};
        frameWidth = frame.width;
        frameHeight = frame.height;
        dx = source.x;
        dy = source.y;
    }
    return SetupLine(number, port, frameWidth, frameHeight, crop.left + dx, int64_t(crop.right) - 1 + dx, crop.top + dy,
                     int64_t(crop.bottom) - 1 + dy, width, height);
}

void CProLEDBuilder::CollectWatchCells(_tagBoard& board, std::vector<WatchCell>& cells, std::vector<std::string>& lines)
{
    const std::vector<int32_t> watchOutputs = plan_->GetWatchOutputs();
    const auto placement = SelectedWallPlacement();
    for (const auto& out : board.outputs) {
        if (std::find(watchOutputs.begin(), watchOutputs.end(), out->id) == watchOutputs.end())
            continue;
        const auto watch = plan_->GetWatchWindowById(out->id);
        // A grid finer than any output is split into comes from a damaged file.
        if (!watch || watch->row > CellGrid::kMaxSplit || watch->col > CellGrid::kMaxSplit)
            continue;
        for (int32_t r = 0; r < watch->row; ++r) {
            for (int32_t c = 0; c < watch->col; ++c) {
                const int32_t sourceId = IntListAt(*watch, r * watch->col + c);
                if (sourceId < 0 || watch->sigout < 0)
                    continue;
                const auto source = processor_->GetSigSrc(static_cast<uint32_t>(sourceId));
                const auto output = processor_->GetSigOut(static_cast<uint32_t>(watch->sigout));
                if (!source || !output)
                    continue;
                Rect cell = SplitCellRect(*watch, r, c, placement);
                const auto size = source->GetResolution();
                if (RectEmpty(cell) || !HasSignalSize(size))
                    continue;
                int32_t port = sourceId / 100;
                if (size.width == Width32(cell) && size.height == Height32(cell)) {
                    // Shown as it comes.
                } else if (board.remaining <= 0) {
                    // No scaler left: shown unscaled.
                    cell = CutToSource(cell, Rect{0, 0, size.width, size.height});
                } else {
                    const int32_t scaler = board.scalerCount - board.remaining;
                    --board.remaining;
                    lines.push_back(SetupLine(scaler, sourceId / 100, size.width, size.height, 0,
                                              int64_t(size.width) - 1, 0, int64_t(size.height) - 1, Width32(cell),
                                              Height32(cell)));
                    port = scaler + 4;
                }
                cells.push_back({watch->sigout, cell, port});
            }
        }
    }
}

void CProLEDBuilder::OutputPass(const _tagBoard* constBoard)
{
    if (!constBoard || !IsOutputBoardType(constBoard->type))
        return;
    // Watch cells take the scalers placement left; the record is ours.
    _tagBoard* board = FindBoard(constBoard->number);
    if (board != constBoard)
        return;

    std::vector<std::string> lines{"INPUT_FPGA CLEAR_SCALER_USE 0\r\n"};
    for (const auto& use : board->sources) {
        for (const auto& c : use->scalers) {
            std::string line = ScalerLine(*use->source, c.number, c.source, Width32(c.output), Height32(c.output));
            if (!line.empty())
                lines.push_back(std::move(line));
        }
    }
    SendLines(lines);

    std::vector<WatchCell> cells;
    CollectWatchCells(*board, cells, lines);

    int32_t base = 0;
    for (size_t i = 0; i < board->outputs.size(); ++i) {
        const int32_t port = board->outputs[i]->id % 100;
        base = i == 0 ? port : std::min(base, port);
    }
    const std::vector<int32_t> watchOutputs = plan_->GetWatchOutputs();
    const auto resolution = processor_->GetOutputResolution();

    for (const auto& out : board->outputs) {
        const int32_t index = out->id % 100 - base;
        int32_t n = 1;
        if (std::find(watchOutputs.begin(), watchOutputs.end(), out->id) != watchOutputs.end()) {
            for (const auto& cell : cells) {
                if (cell.output != out->id)
                    continue;
                if (n == 1)
                    lines.push_back(LayoutLine(index, resolution.width, resolution.height));
                lines.push_back(
                    WindowLine(cell.port, n++, Rect{0, 0, Width32(cell.rect), Height32(cell.rect)}, cell.rect));
                SendLines(lines);
            }
        } else {
            auto addWindow = [&](const _tagSigOutWin& p, int32_t port, Rect crop, Rect dest) {
                if (n == 1)
                    lines.push_back(LayoutLine(index, Width32(out->raster), Height32(out->raster)));
                if (p.rightEdge && int64_t(crop.right) + kRightEdgeWidening <= p.use->scaledWidth) {
                    crop = WidenRight(crop, kRightEdgeWidening);
                    dest = WidenRight(dest, kRightEdgeWidening);
                }
                lines.push_back(WindowLine(port, n++, crop, dest));
            };
            for (const auto& p : out->pieces) {
                if (!p->use)
                    continue;
                const SourceInfo& source = *p->use->source;
                if (p->status == kUnscaled) {
                    addWindow(*p, SourceKey(source) / 100, OffsetRect(p->source, source.x, source.y),
                              CutToSource(p->raster, p->source));
                } else if (p->status == kOnOutputScaler) {
                    for (const auto& c : p->use->scalers) {
                        Rect crop, dest;
                        if (ScalerArea(c, *p, crop, dest))
                            addWindow(*p, c.number + 4, crop, dest);
                    }
                }
            }
        }
        if (n == 1)
            lines.push_back(fstr_format("INPUT_FPGA CLEAR_OUTPUT_WINDOW 0 %d\r\n", index));
        else
            lines.emplace_back("INPUT_FPGA ADD_WINDOWS_END\r\n");
        SendLines(lines);
    }
    lines.emplace_back("INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY\r\n");
    SendLines(lines);
}
