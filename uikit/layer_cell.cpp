#include "uikit/layer_cell.h"

#include "context/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_src.h"
#include "plan/plan.h"
#include "platform/rect_math.h"

#include <algorithm>

namespace {

constexpr int kIconInset = 4;      // the lock square from the row's left edge
constexpr int kMinContentCell = 7; // narrower cells show nothing
constexpr int kTextInset = 8;      // the text area inside the cell, left and right
constexpr int kGap = 4;            // between the lock square and what follows
constexpr int kMiniMargin = 4;     // the miniature from the cell's top and bottom
constexpr int kLineGap = 6;        // between the miniature and the text lines
constexpr int kLineSpacing = 3;    // between the two text lines
constexpr int kMinScaledSide = 6;  // shorter scaled sides ...
constexpr int kShortSide = 10;     // ... are drawn this long

// One side of the window scaled from the wall's `wall` pixels to `inner`.
std::pair<int64_t, int64_t> scaleSide(int32_t from, int32_t to, int32_t wall, int64_t inner)
{
    const int64_t start = int64_t(from) * inner / wall;
    int64_t length = (int64_t(to) - from) * inner / wall;
    if (length < kMinScaledSide)
        length = kShortSide;
    return {start, start + length};
}

} // namespace

std::optional<LayerCellWindow> LayerCellWindowOf(const CQelPlan* plan, int row)
{
    const auto window = plan ? plan->GetWindowAt(row) : nullptr;
    if (!window)
        return std::nullopt;
    LayerCellWindow out;
    out.name = QString::fromStdString(window->name);
    out.rect = plan->GetWindowRect(window);
    out.locked = window->status == 1;
    if (window->processor >= 0 && window->sigsrc >= 0) {
        if (const auto source =
                CQelContext::GetProMan()->GetSigSrcOf(uint32_t(window->processor), uint32_t(window->sigsrc)))
            out.sourceName = QString::fromStdString(source->GetName());
    }
    return out;
}

Rect LockIconSquare(const Rect& row, int iconSize)
{
    const int64_t left = int64_t(row.left) + kIconInset;
    const int64_t top = (int64_t(row.top) + row.bottom) / 2 - iconSize / 2;
    return MakeRect(left, top, left + iconSize, top + iconSize);
}

LayerCellLayout LayOutLayerCell(const Rect& cell, const Rect& row, const LayerCellWindow& window, Size wall,
                                int iconSize, int lineHeight)
{
    LayerCellLayout out;
    if (RectWidth(cell) < kMinContentCell)
        return out;
    int64_t left = int64_t(cell.left) + kTextInset;
    if (iconSize > 0) {
        out.lockSquare = LockIconSquare(row, iconSize);
        out.iconX = window.locked ? 0 : iconSize;
        // What follows keeps clear of the icon.
        left = std::max(left, int64_t(out.lockSquare->right) + kGap);
    }
    out.textArea = MakeRect(left, cell.top, int64_t(cell.right) - kTextInset, cell.bottom);
    if (wall.cx <= 0) {
        out.ownText = true;
        return out;
    }

    const int64_t cellHeight = RectHeight(cell);
    int64_t lineLeft = left;
    if (wall.cy > 0) {
        // As tall as the cell allows, as wide as the wall's proportions
        // make it, but never more than half the text area.
        int64_t height = cellHeight - 2 * kMiniMargin;
        int64_t width = height * wall.cx / wall.cy;
        const int64_t maxWidth = RectWidth(out.textArea) / 2;
        if (width > maxWidth) {
            width = maxWidth;
            height = width * wall.cy / wall.cx;
        }
        if (width > 2 && height > 2) {
            const int64_t top = cell.top + (cellHeight - height) / 2;
            out.miniature = MakeRect(left, top, left + width, top + height);
            const Rect inner = MakeRect(left + 1, top + 1, left + width - 1, top + height - 1);
            const auto [x0, x1] = scaleSide(window.rect.left, window.rect.right, wall.cx, RectWidth(inner));
            const auto [y0, y1] = scaleSide(window.rect.top, window.rect.bottom, wall.cy, RectHeight(inner));
            out.miniWindow =
                IntersectRect(MakeRect(inner.left + x0, inner.top + y0, inner.left + x1, inner.top + y1), inner);
            lineLeft = out.miniature->right + kLineGap;
        }
    }

    if (window.sourceName) {
        const QString rect = QStringLiteral("(%1,%2,%3,%4)")
                                 .arg(window.rect.left)
                                 .arg(window.rect.top)
                                 .arg(window.rect.right)
                                 .arg(window.rect.bottom);
        out.lines = std::array<QString, 2>{QStringLiteral("%1(%2)").arg(window.name, *window.sourceName), rect};
        const int64_t top = cell.top + (cellHeight - (2 * int64_t(lineHeight) + kLineSpacing)) / 2;
        out.line1 = MakeRect(lineLeft, top, out.textArea.right, top + lineHeight);
        out.line2 = MakeRect(lineLeft, out.line1.bottom + kLineSpacing, out.textArea.right,
                             int64_t(out.line1.bottom) + kLineSpacing + lineHeight);
    }
    return out;
}
