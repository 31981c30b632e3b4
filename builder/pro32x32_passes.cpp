// The command passes of the 32x32 processor: input boards (and the video
// outputs of the sources an output board takes), backplane, output boards.
// Every line goes out as soon as it is formed.
#include <algorithm>
#include <map>
#include <vector>

#include "builder/pro32x32_builder.h"
#include "builder/source_signal.h"
#include "model/board.h"
#include "plan/rect_cover.h"

namespace {

// Edges and sums in 64 bits: rectangles come from plan files.
int32_t Add(int64_t a, int64_t b)
{
    return ClampInt32(a + b);
}
int32_t Last(int64_t exclusiveEdge, int64_t shift = 0)
{
    return ClampInt32(exclusiveEdge - 1 + shift);
}

} // namespace

void CPro32x32Builder::InputPass(const _tagBoard* board)
{
    if (!board)
        return;
    if (CQelBoard::IsInputType(board->type)) {
        for (const auto& use : board->sources) {
            const SourceInfo& source = *use->source;
            const int32_t key = SourceKey(source);
            for (const auto& c : use->scalers) {
                CmdInputScalerSetup({key / 100, c.number, key % 100, source.width, source.height, c.source.left,
                                     Last(c.source.right), c.source.top, Last(c.source.bottom), Width32(c.output),
                                     Height32(c.output)});
            }
        }
    } else if (CQelBoard::IsOutputType(board->type)) {
        // A source is taken in once per output board, whatever its scaled sizes.
        std::vector<int32_t> done;
        for (const auto& use : board->sources) {
            const SourceInfo& source = *use->source;
            const int32_t key = SourceKey(source);
            if (std::find(done.begin(), done.end(), key) != done.end())
                continue;
            const int32_t w = source.width;
            const int32_t h = source.height;
            if (!HasSignalSize(w, h))
                continue;
            CmdVideoOutputSetup({key / 100, key % 100, key % 100, w, h, 0, Last(w), 0, Last(h), w, h});
            done.push_back(key);
        }
    }
}

void CPro32x32Builder::BackplanePass()
{
    for (const auto& r : context_->routes) {
        CmdBackplaneSwitch({r.key / 100, r.key % 100, OutputBoardNumber(r.channel / 100), r.channel % 100});
    }
    for (const auto& r : BackgroundRoutes()) {
        const int64_t destination = int64_t(r.outputId) + 4;
        CmdBackplaneSwitch({r.board, r.number, OutputBoardNumber(destination / 100), int32_t(destination % 100)});
    }
}

void CPro32x32Builder::OutputPass(const _tagBoard* board)
{
    if (!board || !CQelBoard::IsOutputType(board->type))
        return;
    const int32_t b = board->number;
    const int32_t o = OutputBoardNumber(b);

    // Source key -> the output board's input port that carries it.
    std::map<int32_t, int32_t> feeding;
    for (const auto& use : board->sources) {
        const SourceInfo& source = *use->source;
        const int32_t key = SourceKey(source);
        const auto route = std::find_if(context_->routes.begin(), context_->routes.end(),
                                        [&](const RoutePair& r) { return r.key == key && r.channel / 100 == b; });
        if (route == context_->routes.end())
            continue;
        const int32_t port = route->channel % 100;
        feeding[key] = port;
        int32_t width = 0, height = 0, dx = 0, dy = 0;
        // A cut-out source without its carrier input cannot be set up.
        if (!FrameOf(source, width, height, dx, dy))
            continue;
        for (const auto& c : use->scalers) {
            CmdOutputScalerSetup({o, c.number, port, width, height, Add(c.source.left, dx), Last(c.source.right, dx),
                                  Add(c.source.top, dy), Last(c.source.bottom, dy), Width32(c.output),
                                  Height32(c.output)});
        }
    }

    for (const auto& out : board->outputs) {
        const int32_t port = out->id % 100;
        int32_t n = 1;
        for (const auto& p : out->pieces) {
            if (!p->use)
                continue;
            const SourceInfo& source = *p->use->source;
            const int32_t key = SourceKey(source);
            // The piece's windows: a feeding port, its crop and where it goes.
            std::vector<ScalerShare> windows;
            if (p->status == kUnscaled && !RectEmpty(p->source)) {
                const auto it = feeding.find(key);
                Rect dest = p->raster;
                // Unscaled: never stretched past the source's own pixels.
                if (RectWidth(p->source) < RectWidth(dest))
                    dest.right = Add(dest.left, RectWidth(p->source));
                if (RectHeight(p->source) < RectHeight(dest))
                    dest.bottom = Add(dest.top, RectHeight(p->source));
                if (it != feeding.end())
                    windows.push_back({it->second, OffsetRect(p->source, source.x, source.y), dest, true});
            } else if (p->status == kOnOutputScaler) {
                windows = SharesOf(*p);
                // Of the scalers reading the whole piece the last shows it;
                // tiles each show their part.
                if (!windows.empty() && windows.front().whole)
                    windows.erase(windows.begin(), windows.end() - 1);
            }
            for (const auto& w : windows) {
                if (n == 1)
                    CmdOutputWindowsLayout({o, port, Width32(out->raster), Height32(out->raster)});
                CmdOutputAddWindows({w.number, n, w.from.left, w.from.top, w.from.right, w.from.bottom, w.to.left,
                                     w.to.top, w.to.right, w.to.bottom});
                ++n;
            }
        }
        if (n > 1)
            CmdOutputAddWindowsEnd();
    }
}
