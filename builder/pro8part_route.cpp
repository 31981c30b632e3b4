// Output distribution of a placed 8-part window: the window is cut into
// pieces per output and tiles of at most 1920 x 2160, each output board it
// reaches gets one backplane port, and the pieces become output window
// lines, fed directly or through output scalers.
#include "builder/pro8part_sender.h"

#include <algorithm>

#include "builder/source_signal.h"
#include "model/processor.h"
#include "model/sig_src.h"
#include "plan/window.h"

namespace _8PART_NS {

namespace {

constexpr int64_t kTileWidth = 1920;
constexpr int64_t kTileHeight = 2160;

DestRect2Ptr MakePiece(int32_t board, int32_t port, const ::Rect& wall, int32_t dx, int32_t dy, int32_t layer,
                       const ::Rect& shown)
{
    auto piece = std::make_shared<tagFPGAWindowDestRect2>();
    piece->board = board;
    piece->port = port;
    piece->wall = wall;
    piece->local = {ClampToInt(int64_t(wall.left) - dx), ClampToInt(int64_t(wall.top) - dy),
                    ClampToInt(int64_t(wall.right) - dx), ClampToInt(int64_t(wall.bottom) - dy)};
    piece->layer = layer;
    MapCropTo4096(piece->scale, wall, shown);
    return piece;
}

::Rect Union(const ::Rect& a, const ::Rect& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

} // namespace

std::vector<::Rect> CPro8PartSender::TileRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    std::vector<::Rect> tiles;
    for (int64_t t = top; t < bottom; t += kTileHeight) {
        const int64_t b = std::min<int64_t>(t + kTileHeight, bottom);
        for (int64_t l = left; l < right; l += kTileWidth) {
            const int64_t r = std::min<int64_t>(l + kTileWidth, right);
            tiles.push_back({int32_t(l), int32_t(t), int32_t(r), int32_t(b)});
        }
    }
    return tiles;
}

OBIPPtr CPro8PartSender::FindOBIP(const tagFPGAWindow& r, int32_t outputBoard)
{
    const auto found = r.obips.find(outputBoard);
    return found == r.obips.end() ? OBIPPtr{} : found->second;
}

std::vector<DestRect2Ptr> CPro8PartSender::Cut(const tagWindowRecord& w, bool tiled) const
{
    std::vector<DestRect2Ptr> pieces;
    if (!w.window)
        return pieces;
    const ::Rect shown = PieceSourceRectEven(GeometryOf(w));
    // Watch monitors sit at (0, 0) of the wall but show watch cells only.
    for (const auto& monitor : gridMonitors_) {
        const ::Rect output = EvenRectFromXYWH(monitor->x, monitor->y, monitor->width, monitor->height);
        ::Rect overlap;
        if (!IntersectRects(shown, output, &overlap))
            continue;
        const auto tiles =
            tiled ? TileRect(overlap.left, overlap.top, overlap.right, overlap.bottom) : std::vector<::Rect>{overlap};
        for (const auto& tile : tiles)
            pieces.push_back(
                MakePiece(monitor->board, monitor->port, tile, monitor->x, monitor->y, w.window->layer, shown));
    }
    return pieces;
}

std::vector<DestRect2Ptr> CPro8PartSender::CutByOutputs(const tagWindowRecord& w) const
{
    return Cut(w, true);
}

std::vector<DestRect2Ptr> CPro8PartSender::CutByOutputsWhole(const tagWindowRecord& w) const
{
    return Cut(w, false);
}

std::vector<DestRect2Ptr> CPro8PartSender::CutFixedOutput(const tagWindowRecord& w) const
{
    std::vector<DestRect2Ptr> pieces;
    if (!w.window)
        return pieces;
    const ::Rect shown = PieceSourceRectEven(GeometryOf(w));
    for (const auto& tile : TileRect(shown.left, shown.top, shown.right, shown.bottom))
        pieces.push_back(MakePiece(w.fixedBoard, w.fixedPort, tile, 0, 0, w.window->layer, shown));
    return pieces;
}

int CPro8PartSender::RouteToOutputs(int outScale, const FpgaWindowPtr& r, const WindowRecordPtr& record)
{
    const tagWindowRecord& w = *record;
    const auto pieces = w.fixedOutput == 0 ? CutByOutputs(w) : CutFixedOutput(w);
    auto& resources = C8PartResourceAllocer::Instance();
    const int32_t kind = processor_ ? processor_->GetKind() : 0;
    std::vector<FailRectPtr> heldBack;
    for (const auto& piece : pieces) {
        if (FindOBIP(*r, piece->board))
            continue;
        Reservation* port = nullptr;
        if (r->gArea)
            port = fpgaWindows_.FindPortTakeover(r->gArea->board, r->gArea->index, piece->board);
        if (port)
            ++port->useCount;
        else if (kind == 7)
            port = resources.ReserveFor(uint32_t(r->board), uint32_t(r->gArea ? r->gArea->index : -1),
                                        uint32_t(piece->board));
        else
            port = resources.Reserve(piece->board, C8PartResourceAllocer::kKindPort);
        if (!port) {
            // A later piece for the same board tries again.
            auto failure = std::make_shared<tagFPGAWindowFailRect>();
            failure->rect = piece->wall;
            failure->code = 3;
            heldBack.push_back(std::move(failure));
            continue;
        }
        auto x = std::make_shared<tagOBIPInformation>();
        x->board = piece->board;
        x->port = port;
        x->inputArea = InputArea(*r);
        r->obips.emplace(piece->board, std::move(x));
    }
    if (r->obips.empty())
        return 1;
    placements_.insert(placements_.end(), heldBack.begin(), heldBack.end());
    for (const auto& [board, x] : r->obips) {
        std::vector<DestRect2Ptr> onBoard;
        for (const auto& piece : pieces)
            if (piece->board == board)
                onBoard.push_back(piece);
        BuildOutputWindows(outScale, x, onBoard, r, record);
    }
    return 0;
}

void CPro8PartSender::BuildOutputWindows(int outScale, const OBIPPtr& x, const std::vector<DestRect2Ptr>& pieces,
                                         const FpgaWindowPtr& r, const WindowRecordPtr& record)
{
    if (outScale == 0) {
        for (const auto& piece : pieces) {
            auto line = MakeDestLine(*piece, tagFPGAWindowDestRect::kDirect);
            line->obip = x;
            line->scale = piece->scale;
            r->outWindows.push_back(std::move(line));
        }
        return;
    }

    const tagWindowRecord& w = *record;
    const ::Rect shown = PieceSourceRectEven(GeometryOf(w));
    const ::Rect inputArea = InputArea(*r);
    auto& resources = C8PartResourceAllocer::Instance();
    for (const auto& piece : pieces)
        piece->grouped = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i]->grouped)
            continue;
        std::vector<DestRect2Ptr> group{pieces[i]};
        ::Rect box = pieces[i]->wall;

        auto use = std::make_shared<tagOBScalerInformation>();
        use->board = x->board;
        use->feed = x;
        MapCropTo4096(use->scale, box, shown);
        if (const auto twin =
                fpgaWindows_.FindEqualScalerUse(r->board, r->port, r->crop, ClampToInt(RectWidth(inputArea)),
                                                ClampToInt(RectHeight(inputArea)), *use, x->board)) {
            use->scaler = twin->scaler;
            ++use->scaler->useCount;
            use->dest = twin->dest;
            use->scale = twin->scale;
            use->shared = 1;
        } else if (Reservation* scaler = resources.Reserve(x->board, C8PartResourceAllocer::kKindScaler)) {
            // Neighbours join while the box still fits one scaler.
            for (size_t j = i + 1; j < pieces.size(); ++j) {
                if (pieces[j]->grouped)
                    continue;
                const ::Rect grown = Union(box, pieces[j]->wall);
                if (RectWidth(grown) <= kTileWidth && RectHeight(grown) <= kTileHeight) {
                    group.push_back(pieces[j]);
                    box = grown;
                }
            }
            use->scaler = scaler;
            MapCropTo4096(use->scale, box, shown);
            use->dest = {0, 0, ClampToInt(RectWidth(box)), ClampToInt(RectHeight(box))};
        } else {
            DeferPiece(*pieces[i], w);
            continue;
        }
        r->outScalers.push_back(use);
        for (const auto& member : group) {
            auto line = MakeDestLine(*member, tagFPGAWindowDestRect::kScaled);
            line->scaler = use;
            MapCropTo4096(line->scale, member->wall, box);
            r->outWindows.push_back(std::move(line));
            member->grouped = 1;
        }
    }
}

void CPro8PartSender::DeferPiece(const tagFPGAWindowDestRect2& piece, const tagWindowRecord& w)
{
    auto deferred = std::make_shared<tagWindowRecord>();
    deferred->window = std::make_shared<CQelWindow>();
    WindowRecordCopy(*deferred->window, *w.window);
    // Only the copy of the source is filled: the processor's record stays.
    Resolution size{0, 0, 60};
    if (w.source) {
        deferred->source = SigSrcCopy(*w.source);
        size = SignalSizeOf(deferred->source->GetResolution());
    }
    int32_t sourceWidth = size.width;
    int32_t sourceHeight = size.height;
    const ::Rect full = SourceRectFill(w.window->rcsigsrc, sourceWidth, sourceHeight);
    if (deferred->source && (sourceWidth != size.width || sourceHeight != size.height))
        deferred->source->SetResolution(sourceWidth, sourceHeight, size.rate);
    deferred->window->rcsigsrc = MapScaledRectEven(piece.scale, full);
    deferred->rect = piece.wall;
    deferred->planValue = w.planValue;
    deferred->outputs = w.outputs;
    deferred->fixedOutput = 0;
    retry_.push_back(std::move(deferred));
}

} // namespace _8PART_NS
