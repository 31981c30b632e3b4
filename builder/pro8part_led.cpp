// The input-only form of model 9: every window is set up on its input
// board, scaled there by one of the board's four scalers or shown straight
// from its source, and only "I_F" lines are sent.
#include "builder/pro8part_sender.h"

#include "builder/fpga_lines.h"
#include "corlane/fstr.h"
#include "model/processor.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "plan/window.h"

using qz::vok::fstr_format;

namespace _8PART_NS {

namespace {

constexpr int64_t kMaxAreaWidth = 1920;
constexpr int64_t kMaxAreaHeight = 2160;
constexpr const char* kInputClearText = "INPUT_FPGA CLEAR_OUTPUT_WIN";

int32_t SourceIdOf(const tagWindowRecord& w)
{
    return w.source ? int32_t(w.source->GetId()) : w.window->sigsrc;
}

// A copy of the record showing one tile of it: the copy's crop is the
// tile's part of the source.
WindowRecordPtr TileCopy(const tagWindowRecord& w, const ::Rect& tile)
{
    const WindowGeometry geometry = GeometryOf(w);
    ScaleRecord part;
    MapCropTo4096(part, tile, PieceSourceRectEven(geometry));
    auto copy = CopyFpgaWindow(w);
    copy->rect = tile;
    copy->window->rcsigsrc =
        MapScaledRectEven(part, SourceRect(geometry.crop, geometry.sourceWidth, geometry.sourceHeight));
    return copy;
}

// An LED window line also carries the piece's scale.
LEDDestRectPtr LineFor(const tagFPGAWindowDestRect2& piece, int32_t kind)
{
    auto line = MakeDestLine<tagLEDFPGAWindowDestRect>(piece, kind);
    line->scale = piece.scale;
    return line;
}

} // namespace

int CPro8PartSender::SplitPlanWindows()
{
    SplitRecords(records_, true);
    return 0;
}

int CPro8PartSender::SplitWatchCells()
{
    SplitRecords(watchCells_, false);
    return 0;
}

void CPro8PartSender::SplitRecords(const std::vector<WindowRecordPtr>& records, bool skipOsd)
{
    const ::Rect inflate = processor_ ? processor_->settings().GetInflateRect() : ::Rect{};
    for (const auto& record : records) {
        if (!record->window || (skipOsd && record->window->sigsrc == kLogoSigSrc))
            continue;
        record->inflate = inflate;
        for (auto& placed : SplitWindow(record))
            ledWindows_.push_back(std::move(placed));
    }
}

std::vector<LEDFpgaWindowPtr> CPro8PartSender::SplitWindow(const WindowRecordPtr& record)
{
    std::vector<LEDFpgaWindowPtr> result;
    if (!record || !record->window)
        return result;
    const tagWindowRecord& w = *record;
    const int32_t sourceId = SourceIdOf(w);
    // A watch list may name any id; a negative one has no input board.
    if (sourceId < 0)
        return result;
    if (w.fixedOutput == 0 && IsHiddenByHigherWindow(w))
        return result;

    const WindowGeometry geometry = GeometryOf(w);
    const ::Rect shown = PieceSourceRectEven(geometry);
    const ::Rect source = SourceRect(geometry.crop, geometry.sourceWidth, geometry.sourceHeight);
    if (w.window->scaled && (RectWidth(shown) != RectWidth(source) || RectHeight(shown) != RectHeight(source))) {
        const auto tiles = TileRect(shown.left, shown.top, shown.right, shown.bottom);
        // First every tile tries to share a scaler already set up.
        for (const auto& tile : tiles) {
            auto placed = LayoutPassB(TileCopy(w, tile));
            if (!placed) {
                result.clear();
                break;
            }
            result.push_back(std::move(placed));
        }
        if (!result.empty() || tiles.empty())
            return result;
        if (C8PartResourceAllocer::Instance().HasFree(sourceId / 100, int32_t(tiles.size()))) {
            for (const auto& tile : tiles)
                if (auto placed = LayoutPassA(TileCopy(w, tile)))
                    result.push_back(std::move(placed));
            return result;
        }
        // Too few scalers: the window is shown at its own size.
        auto unscaled = CopyFpgaWindow(w);
        unscaled->window->scaled = false;
        return SplitWindow(unscaled);
    }

    const auto pieces = w.fixedOutput == 0 ? CutByOutputs(w) : CutFixedOutput(w);
    if (pieces.empty())
        return result;
    const IdRectPtr crop = MakeSourceCrop(sourceId, RoundRectEven(geometry));
    auto placed = std::make_shared<tagLEDFPGAWindow>();
    for (const auto& piece : pieces) {
        auto line = LineFor(*piece, tagFPGAWindowDestRect::kDirect);
        line->input = crop;
        placed->dests.push_back(std::move(line));
    }
    result.push_back(std::move(placed));
    return result;
}

LEDFpgaWindowPtr CPro8PartSender::LayoutPassA(const WindowRecordPtr& tile)
{
    return LayoutPass(tile, true);
}

LEDFpgaWindowPtr CPro8PartSender::LayoutPassB(const WindowRecordPtr& tile)
{
    return LayoutPass(tile, false);
}

LEDFpgaWindowPtr CPro8PartSender::LayoutPass(const WindowRecordPtr& record, bool reserve)
{
    if (!record || !record->window)
        return {};
    const tagWindowRecord& w = *record;
    const WindowGeometry geometry = GeometryOf(w);
    const ::Rect area = PieceSourceRectEven(geometry);
    if (RectWidth(area) > kMaxAreaWidth || RectHeight(area) > kMaxAreaHeight)
        return {};

    const int32_t sourceId = SourceIdOf(w);
    const ::Rect crop = RoundRectEven(geometry);
    auto piece = std::make_shared<tagLEDScalerPiece>();
    piece->board = sourceId / 100;
    piece->dest = {0, 0, ClampToInt(RectWidth(area)), ClampToInt(RectHeight(area))};
    piece->input = MakeSourceCrop(sourceId, crop);
    // The scaler reads the whole crop it is named with.
    MapCropTo4096(piece->scale, crop, crop);

    if (const auto equal = ledWindows_.FindEqualScalerPiece(*piece)) {
        piece->board = equal->board;
        piece->scaler = equal->scaler;
        ++piece->scaler->useCount;
        piece->dest = equal->dest;
        piece->scale = equal->scale;
        piece->shared = 1;
    } else if (!reserve) {
        return {};
    } else {
        piece->scaler = C8PartResourceAllocer::Instance().Reserve(piece->board, C8PartResourceAllocer::kKindScaler);
        if (!piece->scaler)
            return {};
    }

    auto placed = std::make_shared<tagLEDFPGAWindow>();
    placed->pieces.push_back(piece);
    for (const auto& cut : CutByOutputsWhole(w)) {
        auto line = LineFor(*cut, tagFPGAWindowDestRect::kScaled);
        line->scaler = piece;
        placed->dests.push_back(std::move(line));
    }
    return placed;
}

void CPro8PartSender::InputOnlyCommandPass(std::vector<std::string>& lines)
{
    lines.clear();
    for (const auto& w : ledWindows_) {
        for (const auto& piece : w->pieces) {
            if (piece->shared == 1 || !piece->scaler || !piece->input || !piece->input->id)
                continue;
            const ::Rect& from = piece->input->rect;
            lines.push_back(ScalerLine("I_F", piece->board, piece->scaler->index, *piece->input->id, from,
                                       MapScaledRectEven(piece->scale, from), piece->dest));
        }
    }

    RenumberLayers(*this, ledWindows_);
    for (const auto& monitor : Monitors()) {
        std::vector<std::string> group;
        for (const auto& w : ledWindows_) {
            for (const auto& line : w->dests) {
                if (line->board != monitor->board || line->port != monitor->port)
                    continue;
                ::Rect s;
                int32_t input = 0;
                if (line->kind == tagFPGAWindowDestRect::kScaled) {
                    if (!line->scaler || !line->scaler->scaler)
                        continue;
                    s = MapScaledRectEven(line->scale, line->scaler->dest);
                    input = line->scaler->scaler->index + kScalerInputBase;
                } else {
                    if (!line->input || !line->input->id)
                        continue;
                    s = MapScaledRectEven(line->scale, line->input->rect);
                    input = *line->input->id;
                }
                group.push_back(WindowLine("I_F", input, line->layer, s, line->dest));
            }
        }
        AppendWindowGroup("I_F", *monitor, group, lines);
    }

    std::vector<std::string> clear;
    ClearOutputWindowLines(*this, kInputClearText, ledWindows_, clear);
    lines.insert(lines.end(), clear.begin(), clear.end());

    AppendSusdLines("I_F", MonitorBoards(), lines);
}

} // namespace _8PART_NS
