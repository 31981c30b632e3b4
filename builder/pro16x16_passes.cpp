// The command passes of the 16x16 processor: input boards, backplane,
// output boards, in that order on the link.
#include <algorithm>

#include "builder/pro16x16_builder.h"
#include "corlane/fstr.h"
#include "plan/rect_cover.h"

using qz::vok::fstr_format;

void CPro16x16Builder::InputPass(const _tagBoard* board)
{
    if (!board || board->type < 1 || board->type > 9)
        return;
    const int32_t b = board->number;
    std::vector<std::string> lines;
    lines.push_back(fstr_format("INPUT_FPGA CSUSE %d\r\n", b));
    for (const auto& use : board->sources) {
        const SourceInfo& source = *use->source;
        const int32_t port = SourceKey(source) % 100;
        int32_t width = 0, height = 0, dx = 0, dy = 0;
        if (!FrameOf(source, width, height, dx, dy))
            continue;
        for (const auto& c : use->scalers) {
            lines.push_back(fstr_format("INPUT_FPGA SCALER_SETUP %d %d %d %d %d %d %d %d %d %d %d\r\n", b, c.number,
                                        port, width, height, c.source.left + dx, c.source.right - 1 + dx,
                                        c.source.top + dy, c.source.bottom - 1 + dy, Width32(c.output),
                                        Height32(c.output)));
        }
    }
    for (int i = 0; i < 4; ++i)
        lines.push_back(fstr_format("INPUT_FPGA COWIN %d %d\r\n", b, i));
    for (const auto& k : board->backgrounds) {
        int32_t n = 1;
        for (const auto& p : k->pieces) {
            for (const auto& s : SharesOf(*p)) {
                if (n == 1)
                    lines.push_back(fstr_format("INPUT_FPGA SWL %d %d %d %d\r\n", b, k->number - 4, Width32(k->rect),
                                                Height32(k->rect)));
                lines.push_back(fstr_format("INPUT_FPGA AW %d %d %d %d %d %d %d %d %d %d\r\n", s.number + 4, n,
                                            s.from.left, s.from.top, s.from.right, s.from.bottom, s.to.left, s.to.top,
                                            s.to.right, s.to.bottom));
                ++n;
            }
        }
        if (n > 1)
            lines.emplace_back("INPUT_FPGA ADD_WINDOWS_END\r\n");
    }
    SendLines(lines);
}

void CPro16x16Builder::BackplanePass()
{
    std::vector<std::string> lines;
    for (const auto& r : context_->routes) {
        lines.push_back(
            fstr_format("GP BPSW %d %d %d %d\r\n", r.key / 100, r.key % 100, r.channel / 100 - 10, r.channel % 100));
    }
    for (const auto& r : BackgroundRoutes()) {
        const int32_t c = r.outputId + 4;
        lines.push_back(fstr_format("GP BPSW %d %d %d %d\r\n", r.board, r.number, c / 100 - 10, c % 100));
    }
    SendLines(lines);
}

std::vector<CPro16x16Builder::BackgroundRoute> CPro16x16Builder::BackgroundRoutes() const
{
    // Outputs without a background show the one the next window would get.
    BackgroundRoute fallback;
    for (const auto& b : context_->boards) {
        if (b->type >= 1 && b->type <= 9 && b->backgrounds.size() < 4) {
            fallback.board = b->number;
            fallback.number = static_cast<int32_t>(b->backgrounds.size()) + 4;
            break;
        }
    }
    std::vector<BackgroundRoute> routes;
    for (const auto& b : context_->boards) {
        if (b->type < 12 || b->type > 23)
            continue;
        for (const auto& o : b->outputs) {
            BackgroundRoute r = fallback;
            r.outputId = o->id;
            if (o->background) {
                r.board = o->background->owner ? o->background->owner->number : -1;
                r.number = o->background->number;
            }
            routes.push_back(r);
        }
    }
    return routes;
}

void CPro16x16Builder::OutputPass(const _tagBoard* board)
{
    if (!board || board->type < 12 || board->type > 23)
        return;
    const int32_t b = board->number;
    const int32_t o = b - 10;
    // The output board's input channel that carries a source key.
    auto channelOf = [&](int32_t key) {
        for (const auto& r : context_->routes) {
            if (r.key == key && r.channel / 100 == b)
                return r.channel % 100;
        }
        return -1;
    };

    std::vector<std::string> lines;
    lines.push_back(fstr_format("OUTPUT_FPGA CSUSE %d\r\n", o));
    for (const auto& use : board->sources) {
        const SourceInfo& source = *use->source;
        const int32_t q = channelOf(SourceKey(source));
        int32_t width = 0, height = 0, dx = 0, dy = 0;
        if (q < 0 || !FrameOf(source, width, height, dx, dy))
            continue;
        for (const auto& c : use->scalers) {
            lines.push_back(fstr_format("OUTPUT_FPGA SCALER_SETUP %d %d %d %d %d %d %d %d %d %d %d\r\n", o, c.number, q,
                                        width, height, c.source.left + dx, c.source.right - 1 + dx, c.source.top + dy,
                                        c.source.bottom - 1 + dy, Width32(c.output), Height32(c.output)));
        }
    }
    for (int i = 0; i < 4; ++i)
        lines.push_back(fstr_format("OUTPUT_FPGA COWIN %d %d\r\n", o, i));

    for (const auto& out : board->outputs) {
        int32_t n = 1;
        const int32_t port = out->id % 100;
        auto addWindow = [&](int32_t windowSource, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const Rect& dest) {
            if (n == 1)
                lines.push_back(fstr_format("OUTPUT_FPGA SWL %d %d %d %d\r\n", o, port, Width32(out->raster),
                                            Height32(out->raster)));
            lines.push_back(fstr_format("OUTPUT_FPGA AW %d %d %d %d %d %d %d %d %d %d\r\n", windowSource, n, x0, y0, x1,
                                        y1, dest.left, dest.top, dest.right, dest.bottom));
            ++n;
        };
        for (const auto& p : out->pieces) {
            if (!p->use)
                continue;
            const SourceInfo& source = *p->use->source;
            if (p->status == kUnscaled) {
                if (RectEmpty(p->source))
                    continue;
                const int32_t q = channelOf(SourceKey(source));
                int32_t width = 0, height = 0, dx = 0, dy = 0;
                if (q < 0)
                    continue;
                FrameOf(source, width, height, dx, dy);
                const Rect dest = CutToSource(p->raster, p->source);
                addWindow(q, p->source.left + dx, p->source.top + dy, p->source.right + dx, p->source.bottom + dy,
                          dest);
            } else if (p->status == kOnOutputScaler) {
                for (const auto& s : SharesOf(*p))
                    addWindow(s.number + 4, s.from.left, s.from.top, s.from.right, s.from.bottom, s.to);
            }
        }
        if (n > 1)
            lines.emplace_back("OUTPUT_FPGA ADD_WINDOWS_END\r\n");
    }
    SendLines(lines);
}

Rect CPro16x16Builder::CutToSource(const Rect& dest, const Rect& source)
{
    Rect cut = dest;
    if (RectEmpty(source))
        return cut;
    // Unscaled: never stretched past the source's own pixels.
    if (RectWidth(source) < RectWidth(cut))
        cut.right = ClampInt32(int64_t(cut.left) + RectWidth(source));
    if (RectHeight(source) < RectHeight(cut))
        cut.bottom = ClampInt32(int64_t(cut.top) + RectHeight(source));
    return cut;
}

std::vector<CPro16x16Builder::ScalerShare> CPro16x16Builder::SharesOf(const _tagSigOutWin& piece)
{
    std::vector<ScalerShare> shares;
    if (!piece.use)
        return shares;
    for (const auto& c : piece.use->scalers) {
        if (!RectCovers(c.source, piece.source))
            continue;
        const int64_t x0 = int64_t(piece.scaled.left) - c.output.left;
        const int64_t y0 = int64_t(piece.scaled.top) - c.output.top;
        shares.push_back(
            {c.number, MakeRect(x0, y0, x0 + RectWidth(piece.wall), y0 + RectHeight(piece.wall)), piece.raster, true});
    }
    if (!shares.empty())
        return shares;
    // Cut into tiles. Another window's identical tiles would only cover
    // the same area again.
    for (const auto& c : piece.use->scalers) {
        ScalerShare tile{c.number, {}, {}, false};
        if (ScalerArea(c, piece, tile.from, tile.to) &&
            std::none_of(shares.begin(), shares.end(), [&](const ScalerShare& s) { return s.to == tile.to; }))
            shares.push_back(tile);
    }
    return shares;
}

bool CPro16x16Builder::ScalerArea(const _tagScaler& c, const _tagSigOutWin& piece, Rect& from, Rect& to)
{
    if (RectEmpty(IntersectRect(c.source, piece.source)))
        return false;
    const Rect shown = IntersectRect(c.output, piece.scaled);
    if (RectEmpty(shown))
        return false;
    from = OffsetRect(shown, -int64_t(c.output.left), -int64_t(c.output.top));
    to =
        OffsetRect(shown, int64_t(piece.raster.left) - piece.scaled.left, int64_t(piece.raster.top) - piece.scaled.top);
    return true;
}
