// Placing windows: input-side on the source board's scalers and
// backgrounds, output-side on the output boards' scalers, and unscaled
// piece by piece when neither works out.
#include <algorithm>
#include <cmath>

#include "builder/pro16x16_builder.h"
#include "builder/source_signal.h"
#include "plan/plan.h"
#include "plan/rect_cover.h"
#include "plan/window.h"

namespace {

int32_t Trunc(double v)
{
    if (!(v == v))
        return 0;
    return ClampInt32(static_cast<int64_t>(std::clamp(v, -2147483648.0, 2147483647.0)));
}

void Renumber(CPro16x16Builder::_tagBoard& board)
{
    int32_t n = 0;
    for (const auto& use : board.sources) {
        for (auto& c : use->scalers)
            c.number = n++;
    }
}

} // namespace

bool CPro16x16Builder::SplitSourceRect(_tagWindow& window)
{
    const SourceInfo& source = *window.source;
    if (!HasSignalSize(source.width, source.height) || RectEmpty(window.rect) || window.outputs.empty())
        return false;
    const Rect crop = window.cropped ? window.crop : Rect{0, 0, source.width, source.height};
    const int32_t id = window.window->id;

    if (window.outputs.size() == 1) {
        _tagSigOut* out = FindOutput(window.outputs.front());
        const PiecePtr piece = out ? FindPiece(*out, id) : nullptr;
        if (!piece)
            return false;
        undo_.Keep(piece->source);
        piece->source = crop;
        return true;
    }

    const double fx = double(RectWidth(crop)) / double(RectWidth(window.rect));
    const double fy = double(RectHeight(crop)) / double(RectHeight(window.rect));
    int32_t maxRow = -1;
    int32_t maxCol = -1;
    for (int32_t outputId : window.outputs) {
        int32_t row = -1;
        int32_t col = -1;
        if (!WallPosition(outputId, row, col) || row < 0 || col < 0)
            return false;
        maxRow = std::max(maxRow, row);
        maxCol = std::max(maxCol, col);
    }

    int32_t prevRow = -1;
    int32_t prevCol = -1;
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    for (int32_t outputId : window.outputs) {
        _tagSigOut* out = FindOutput(outputId);
        const PiecePtr piece = out ? FindPiece(*out, id) : nullptr;
        int32_t row = -1;
        int32_t col = -1;
        if (!piece || !WallPosition(outputId, row, col) || row < 0 || col < 0)
            return false;
        if (row != prevRow) {
            top = prevRow == -1 ? crop.top : bottom;
            bottom = row == maxRow ? crop.bottom : top + Trunc(double(RectHeight(piece->wall)) * fy);
            prevRow = row;
            prevCol = -1;
        }
        if (col != prevCol) {
            left = prevCol == -1 ? crop.left : right;
            right = col == maxCol ? crop.right : left + Trunc(double(RectWidth(piece->wall)) * fx);
            prevCol = col;
        }
        undo_.Keep(piece->source);
        piece->source = MakeRect(left, top, right, bottom);
        // An upscaled window crossing a border by less than one source pixel
        // leaves a sliver with nothing to scale: it is left out rather than
        // failing the whole window.
        if (RectEmpty(piece->source) || RectEmpty(piece->wall)) {
            undo_.Keep(piece->status);
            piece->status = kInvisible;
        }
    }
    return true;
}

bool CPro16x16Builder::AssignScalers(_tagBoard& board, _tagSigOutWin& piece)
{
    if (!piece.use)
        return false;
    _tagSigSrc& use = *piece.use;
    // Nothing to scale from or to (a picture size still 0, say): the window
    // goes by piece rather than dividing by zero.
    if (RectEmpty(piece.scaled) || RectEmpty(piece.source))
        return false;
    for (const auto& c : use.scalers) {
        if (RectCovers(c.source, piece.source))
            return true;
    }
    const std::vector<_tagScaler> savedScalers = use.scalers;
    const int32_t savedRemaining = board.remaining;
    undo_.Keep(use.scalers);
    undo_.Keep(board.remaining);
    // Renumbering reaches every use of the board: kept once, when it first does.
    bool othersKept = false;
    const auto renumber = [&] {
        if (!othersKept) {
            for (const auto& other : board.sources)
                if (other.get() != &use)
                    undo_.Keep(other->scalers);
            othersKept = true;
        }
        Renumber(board);
    };

    const Rect& scaled = piece.scaled;
    const int64_t width = RectWidth(scaled);
    const int64_t height = RectHeight(scaled);
    std::vector<_tagScaler> tiles;
    if (width > maxScalerWidth_ || height > maxScalerHeight_) {
        const int64_t rows = (height + maxScalerHeight_ - 1) / maxScalerHeight_;
        const int64_t cols = (width + maxScalerWidth_ - 1) / maxScalerWidth_;
        // A piece's own tiles never merge, so more than the board has in all
        // can only fail; sizes from a damaged file must not exhaust memory.
        const int64_t budget = std::max(board.scalerCount, 0);
        if (rows > budget || cols > budget || rows * cols > budget)
            return false;
        const double fx = double(RectWidth(piece.source)) / double(width);
        const double fy = double(RectHeight(piece.source)) / double(height);
        const int64_t stepX = Trunc(maxScalerWidth_ * fx);
        const int64_t stepY = Trunc(maxScalerHeight_ * fy);
        for (int64_t r = 0; r < rows; ++r) {
            for (int64_t c = 0; c < cols; ++c) {
                _tagScaler t;
                const int64_t outLeft = scaled.left + c * maxScalerWidth_;
                const int64_t outTop = scaled.top + r * maxScalerHeight_;
                t.output = MakeRect(outLeft, outTop, c == cols - 1 ? int64_t(scaled.right) : outLeft + maxScalerWidth_,
                                    r == rows - 1 ? int64_t(scaled.bottom) : outTop + maxScalerHeight_);
                const int64_t srcLeft = piece.source.left + c * stepX;
                const int64_t srcTop = piece.source.top + r * stepY;
                int64_t srcRight = c == cols - 1 ? int64_t(piece.source.right) : srcLeft + stepX;
                const int64_t srcBottom = r == rows - 1 ? int64_t(piece.source.bottom) : srcTop + stepY;
                if (srcRight % 2 != 0)
                    ++srcRight; // the scaler reads even widths
                t.source = MakeRect(srcLeft, srcTop, srcRight, srcBottom);
                tiles.push_back(t);
            }
        }
    } else {
        tiles.push_back(_tagScaler{0, piece.source, piece.scaled});
    }
    for (auto& t : tiles) {
        t.number = board.scalerCount - board.remaining;
        --board.remaining;
        use.scalers.push_back(t);
    }

    // Neighbouring pictures that one scaler can put out together share it.
    for (size_t i = 0; i < use.scalers.size(); ++i) {
        size_t j = i + 1;
        while (j < use.scalers.size()) {
            const Rect src = UnionRect(use.scalers[i].source, use.scalers[j].source);
            const Rect out = UnionRect(use.scalers[i].output, use.scalers[j].output);
            if (!RectEmpty(src) && !RectEmpty(out) && RectWidth(out) <= maxScalerWidth_ &&
                RectHeight(out) <= maxScalerHeight_) {
                use.scalers[i].source = src;
                use.scalers[i].output = out;
                use.scalers.erase(use.scalers.begin() + static_cast<std::ptrdiff_t>(j));
                ++board.remaining;
                renumber();
            } else {
                ++j;
            }
        }
    }

    if (board.remaining < 0) {
        use.scalers = savedScalers;
        board.remaining = savedRemaining;
        renumber();
        return false;
    }
    return true;
}

bool CPro16x16Builder::PlaceInput(_tagWindow& window)
{
    const SourceInfo& source = *window.source;
    _tagBoard* board = FindBoard(static_cast<int32_t>(source.id / 100));
    if (!board)
        return false;
    if (board->scalerCount == 0)
        return true;
    const int32_t id = window.window->id;
    for (int32_t outputId : window.outputs) {
        if (board->remaining < 1)
            break;
        _tagSigOut* out = FindOutput(outputId);
        const PiecePtr piece = out ? FindPiece(*out, id) : nullptr;
        if (!piece)
            return false;
        const bool outputSideTaken = std::any_of(out->pieces.begin(), out->pieces.end(), [](const PiecePtr& p) {
            return p->status == kUnscaled || p->status == kOnOutputScaler;
        });
        if (outputSideTaken || piece->status != kNotPlaced)
            continue;
        std::shared_ptr<_tagBackgrd> background;
        const BackgroundChoice choice = ChooseBackground(*board, *out, id, background);
        if (choice == BackgroundChoice::Stop)
            return true;
        if (choice == BackgroundChoice::Fail)
            return false;
        if (choice == BackgroundChoice::Skip)
            continue;
        auto use = FindUse(*board, source.id, piece->scaledWidth, piece->scaledHeight);
        if (!use) {
            use = std::make_shared<_tagSigSrc>();
            use->source = window.source;
            use->board = board;
            use->scaledWidth = piece->scaledWidth;
            use->scaledHeight = piece->scaledHeight;
            undo_.KeepSize(board->sources);
            board->sources.push_back(use);
        }
        auto copy = std::make_shared<_tagSigOutWin>(*piece);
        copy->use = use;
        if (AssignScalers(*board, *copy)) {
            undo_.KeepSize(background->pieces);
            background->pieces.push_back(copy);
            undo_.Keep(piece->status);
            piece->status = kOnBackground;
        }
    }
    return true;
}

CPro16x16Builder::BackgroundChoice CPro16x16Builder::ChooseBackground(_tagBoard& board, _tagSigOut& output,
                                                                      int32_t windowId,
                                                                      std::shared_ptr<_tagBackgrd>& background)
{
    (void)windowId;
    if (!output.background) {
        if (!AddBackground(board))
            return BackgroundChoice::Stop;
        undo_.Keep(output.background);
        output.background = board.backgrounds.back();
    } else if (output.background->owner != &board) {
        return BackgroundChoice::Skip;
    }
    background = output.background;
    return BackgroundChoice::Use;
}

std::shared_ptr<CPro16x16Builder::_tagSigSrc>
CPro16x16Builder::UseOnOutputBoard(_tagBoard& board, const _tagWindow& window, const _tagSigOutWin& piece)
{
    auto use = FindUse(board, window.source->id, piece.scaledWidth, piece.scaledHeight);
    if (use)
        return use;
    if (AllocInputChannel(*window.source, board) == -1)
        return nullptr;
    use = std::make_shared<_tagSigSrc>();
    use->source = window.source;
    use->board = &board;
    use->scaledWidth = piece.scaledWidth;
    use->scaledHeight = piece.scaledHeight;
    undo_.KeepSize(board.sources);
    board.sources.push_back(use);
    return use;
}

bool CPro16x16Builder::PlaceOutput(_tagWindow& window)
{
    return PlaceOnOutputBoards(window, false);
}

bool CPro16x16Builder::PlaceOnOutputBoards(_tagWindow& window, bool scaledOnly)
{
    if (!FindBoard(static_cast<int32_t>(window.source->id / 100)))
        return false;
    const int32_t id = window.window->id;
    for (int32_t outputId : window.outputs) {
        _tagSigOut* out = FindOutput(outputId);
        const PiecePtr piece = out ? FindPiece(*out, id) : nullptr;
        if (!piece)
            return false;
        if (piece->status != kNotPlaced)
            continue;
        undo_.Keep(piece->status);
        undo_.Keep(piece->use);
        auto use = UseOnOutputBoard(*out->owner, window, *piece);
        if (!use) {
            piece->status = kNoChannel;
            continue;
        }
        if (scaledOnly) {
            const auto planWindow = plan_->GetWindowById(id);
            if (!planWindow || !planWindow->scaled)
                return false;
        }
        piece->use = use;
        if (!AssignScalers(*out->owner, *piece))
            return false;
        piece->status = kOnOutputScaler;
    }
    return true;
}

bool CPro16x16Builder::PlaceByPiece(_tagWindow& window)
{
    const SourceInfo& source = *window.source;
    const int32_t id = window.window->id;
    const Rect bounds = window.cropped ? window.crop : Rect{0, 0, source.width, source.height};
    for (int32_t outputId : window.outputs) {
        _tagSigOut* out = FindOutput(outputId);
        const PiecePtr piece = out ? FindPiece(*out, id) : nullptr;
        if (!piece || piece->status == kInvisible)
            continue;
        auto use = UseOnOutputBoard(*out->owner, window, *piece);
        if (!use) {
            piece->status = kNoChannel;
            continue;
        }
        // The pass finds the piece's input channel through this record.
        piece->use = use;
        int64_t dx = -int64_t(window.rect.left);
        int64_t dy = -int64_t(window.rect.top);
        if (window.cropped) {
            dx += window.crop.left;
            dy += window.crop.top;
        }
        const Rect moved =
            MakeRect(piece->wall.left + dx, piece->wall.top + dy, piece->wall.right + dx, piece->wall.bottom + dy);
        piece->source = IntersectRect(moved, bounds);
        piece->status = RectEmpty(piece->source) ? kInvisible : kUnscaled;
        if (piece->status == kInvisible)
            piece->source = Rect{};
    }
    return true;
}
