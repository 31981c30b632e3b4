// The geometry the wall view applies to its plan's windows: snapping,
// maximise in cell, full screen and the split. Everything is computed in
// wall pixels, in 64 bits, since plans come from files.
#include <algorithm>
#include <initializer_list>
#include <optional>

#include "context/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_src.h"
#include "platform/rect_math.h"
#include "views/wall_view_core.h"

namespace {

// How close to a cell edge a snap starts, in wall pixels; on a type-1
// plan a hundredth of the wall area's width, within these limits.
constexpr int64_t kSnapBand = 30;
constexpr int64_t kMinUniformSnapBand = 5;
constexpr int64_t kMaxUniformSnapBand = 30;
// Crop ratios are kept in 1/10000.
constexpr int64_t kRatioUnit = 10000;
// Module counts above this come from damaged files (no wall has more
// screens a side, times the largest reference-line factor) and add no
// uniform boundaries.
constexpr int64_t kMaxModules = int64_t(kMaxPlanGridSide) * 4;

// The model whose processors show at most one full-screen window.
constexpr int32_t kSingleFullScreenModel = 1;

// SnapToCell answers with the edge hit codes of the wall view (kHitTop ...
// kHitBottomRight), or kHitNone.

using Direction = WallViewCore::Direction;
using enum WallViewCore::Direction;

// A sub-division count of 0 or less means the screen is not divided.
int64_t Parts(int32_t count)
{
    return std::max<int64_t>(count, 1);
}

// The index of the cell of `count` cells of `size` from 0 that holds v.
std::optional<int64_t> UniformIndex(int64_t v, int64_t size, int64_t count)
{
    if (v < 0 || size <= 0 || count <= 0 || v / size >= count)
        return std::nullopt;
    return v / size;
}

// The edge code for a point p of cell C moving in `dir`, with a band of
// `band` pixels along each edge; 0 near the middle or moving elsewhere.
WallHit EdgeCode(Direction dir, Point p, const Rect& c, int64_t band)
{
    const int64_t innerLeft = c.left + band;
    const int64_t innerTop = c.top + band;
    const int64_t innerRight = c.right - band;
    const int64_t innerBottom = c.bottom - band;
    const int64_t x = p.x;
    const int64_t y = p.y;
    if (x >= innerLeft && x < innerRight && y >= innerTop && y < innerBottom)
        return kHitNone;
    const bool leftBand = c.left <= x && x <= innerLeft;
    const bool rightBand = innerRight <= x && x <= c.right;
    const bool midX = innerLeft < x && x < innerRight;
    const auto any = [dir](std::initializer_list<Direction> dirs) {
        return std::find(dirs.begin(), dirs.end(), dir) != dirs.end();
    };
    if (c.top <= y && y <= innerTop) {
        if (leftBand && dir == kDirUpLeft)
            return kHitTopLeft;
        if (rightBand && dir == kDirUpRight)
            return kHitTopRight;
        if (midX && any({kDirUp, kDirUpLeft, kDirUpRight}))
            return kHitTop;
    }
    if (innerBottom <= y && y <= c.bottom) {
        if (leftBand && dir == kDirDownLeft)
            return kHitBottomLeft;
        if (rightBand && dir == kDirDownRight)
            return kHitBottomRight;
        if (midX && any({kDirDown, kDirDownLeft, kDirDownRight}))
            return kHitBottom;
    }
    if (innerTop < y && y < innerBottom) {
        if (leftBand && any({kDirLeft, kDirUpLeft, kDirDownLeft}))
            return kHitLeft;
        if (rightBand && any({kDirRight, kDirDownRight, kDirUpRight}))
            return kHitRight;
    }
    return kHitNone;
}

// The edges a snap code puts onto the cell.
struct SnapEdges {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
};

std::optional<SnapEdges> EdgesOf(WallHit code)
{
    switch (code) {
    case kHitTop: return SnapEdges{false, true, false, false};
    case kHitBottom: return SnapEdges{false, false, false, true};
    case kHitLeft: return SnapEdges{true, false, false, false};
    case kHitRight: return SnapEdges{false, false, true, false};
    case kHitTopLeft: return SnapEdges{true, true, false, false};
    case kHitBottomLeft: return SnapEdges{true, false, false, true};
    case kHitTopRight: return SnapEdges{false, true, true, false};
    case kHitBottomRight: return SnapEdges{false, false, true, true};
    default: return std::nullopt;
    }
}

struct Span {
    int64_t begin = 0;
    int64_t end = 0;
};

// Along one axis: screens of `size` from 0, `count` of them, each divided
// into `parts` sub-cells of size / parts (the remainder belongs to none).
// The span from the first to the last sub-cell that overlaps [lo, hi);
// touching is not overlapping.
std::optional<Span> SubCellSpan(int64_t size, int64_t count, int64_t parts, int64_t lo, int64_t hi)
{
    const int64_t sub = size > 0 ? size / parts : 0;
    if (sub <= 0 || count <= 0 || lo >= hi || hi <= 0 || lo >= size * count)
        return std::nullopt;
    const int64_t divided = sub * parts;
    // The sub-cells of screen c that [lo, hi) overlaps, as a span.
    const auto inScreen = [&](int64_t c) -> std::optional<Span> {
        const int64_t origin = c * size;
        const int64_t from = std::max<int64_t>(lo - origin, 0);
        const int64_t to = std::min(hi - origin, divided);
        if (from >= to)
            return std::nullopt;
        return Span{origin + from / sub * sub, origin + ((to - 1) / sub + 1) * sub};
    };
    const int64_t first = std::max<int64_t>(lo, 0) / size;
    const int64_t last = std::min((hi - 1) / size, count - 1);
    std::optional<Span> head;
    std::optional<Span> tail;
    // Only a screen whose overlap lies in its undivided remainder has no
    // sub-cell, so each walk stops after a step or two.
    for (int64_t c = first; c <= last && !head; ++c)
        head = inScreen(c);
    for (int64_t c = last; c >= first && !tail; --c)
        tail = inScreen(c);
    if (!head || !tail)
        return std::nullopt;
    return Span{head->begin, tail->end};
}

// The span from the first to the last cell between consecutive sorted
// boundaries that overlaps [lo, hi).
std::optional<Span> BoundarySpan(const std::vector<int>& bounds, int64_t lo, int64_t hi)
{
    std::optional<Span> span;
    for (size_t i = 0; i + 1 < bounds.size(); ++i) {
        const int64_t begin = bounds[i];
        const int64_t end = bounds[i + 1];
        if (lo < hi && begin < hi && end > lo)
            span = Span{span ? span->begin : begin, end};
    }
    return span;
}

// k × (total / modules) for k = 0 to modules, then the running sums of
// `sizes`, sorted and distinct.
std::vector<int> AxisBoundaries(int64_t total, int64_t modules, const std::vector<int32_t>& sizes)
{
    std::vector<int64_t> values;
    if (modules > 0 && modules <= kMaxModules) {
        const int64_t step = total / modules;
        for (int64_t k = 0; k <= modules; ++k)
            values.push_back(k * step);
    }
    int64_t sum = 0;
    for (int32_t s : sizes) {
        sum += s;
        values.push_back(sum);
    }
    std::vector<int> bounds;
    bounds.reserve(values.size());
    for (int64_t v : values)
        bounds.push_back(ClampInt32(v));
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
    return bounds;
}

bool IsLocked(const CQelWindow& window)
{
    return window.status == 1;
}

} // namespace

WallViewCore::Direction WallViewCore::MoveDirection(int x1, int y1, int x2, int y2)
{
    const bool up = y2 < y1;
    const bool down = y2 > y1;
    if (x2 < x1)
        return up ? kDirUpLeft : down ? kDirDownLeft : kDirLeft;
    if (x2 > x1)
        return up ? kDirUpRight : down ? kDirDownRight : kDirRight;
    return up ? kDirUp : down ? kDirDown : kDirNone;
}

Point WallViewCore::GetAnchorPoint(Direction dir, const WindowPtr& window)
{
    if (!window)
        return Point{-1, -1};
    const Rect& r = window->rect;
    const int32_t midX = ClampInt32((int64_t(r.left) + r.right) / 2);
    const int32_t midY = ClampInt32((int64_t(r.top) + r.bottom) / 2);
    switch (dir) {
    case kDirUp: return Point{midX, r.top};
    case kDirDown: return Point{midX, r.bottom};
    case kDirLeft: return Point{r.left, midY};
    case kDirRight: return Point{r.right, midY};
    case kDirUpLeft: return Point{r.left, r.top};
    case kDirDownLeft: return Point{r.left, r.bottom};
    case kDirDownRight: return Point{r.right, r.bottom};
    case kDirUpRight: return Point{r.right, r.top};
    default: return Point{-1, -1};
    }
}

// Snapping keeps to the plan's area inside its margins.
Rect WallViewCore::SnapArea() const
{
    const Size size = m_pPlan->GetPixelSize();
    const Rect margin = m_pPlan->GetMargin();
    return MakeRect(margin.left, margin.top, int64_t(size.cx) - margin.right, int64_t(size.cy) - margin.bottom);
}

WallHit WallViewCore::SnapToCell(Direction dir, Point p, Rect& cell) const
{
    if (m_pPlan && m_pPlan->GetType() == kPlanSizedGrid)
        return SnapToUniformGrid(dir, p, cell);
    cell = Rect{};
    if (!m_pPlan || p.x < 0 || RectEmpty(m_rcWallArea))
        return kHitNone;
    const ResolutionTriple screen = m_pPlan->GetResolution();
    const auto row = UniformIndex(p.y, screen.height, m_pPlan->GetRows());
    const auto col = UniformIndex(p.x, screen.width, m_pPlan->GetCols());
    if (!row || !col)
        return kHitNone;
    const int64_t left = *col * screen.width;
    const int64_t top = *row * screen.height;
    const int64_t subW = screen.width / Parts(m_pPlan->GetCellCols());
    const int64_t subH = screen.height / Parts(m_pPlan->GetCellRows());
    const auto i = UniformIndex(p.y - top, subH, Parts(m_pPlan->GetCellRows()));
    const auto j = UniformIndex(p.x - left, subW, Parts(m_pPlan->GetCellCols()));
    if (!i || !j)
        return kHitNone;
    const int64_t subLeft = left + *j * subW;
    const int64_t subTop = top + *i * subH;
    const Rect c = IntersectRect(MakeRect(subLeft, subTop, subLeft + subW, subTop + subH), SnapArea());
    if (!PtInRect(c, p.x, p.y))
        return kHitNone;
    const WallHit code = EdgeCode(dir, p, c, kSnapBand);
    if (code != kHitNone)
        cell = c;
    return code;
}

WallHit WallViewCore::SnapToUniformGrid(Direction dir, Point p, Rect& cell) const
{
    cell = Rect{};
    if (!m_pPlan || p.x < 0 || RectEmpty(m_rcWallArea))
        return kHitNone;
    const Size modules = ModuleCounts();
    if (modules.cx <= 0 || modules.cy <= 0)
        return kHitNone;
    const Size size = m_pPlan->GetPixelSize();
    const int64_t cellW = size.cx / modules.cx;
    const int64_t cellH = size.cy / modules.cy;
    const auto row = UniformIndex(p.y, cellH, modules.cy);
    const auto col = UniformIndex(p.x, cellW, modules.cx);
    if (!row || !col)
        return kHitNone;
    const int64_t left = *col * cellW;
    const int64_t top = *row * cellH;
    const Rect c = IntersectRect(MakeRect(left, top, left + cellW, top + cellH), SnapArea());
    if (!PtInRect(c, p.x, p.y))
        return kHitNone;
    const int64_t band = std::clamp(RectWidth(m_rcWallArea) / 100, kMinUniformSnapBand, kMaxUniformSnapBand);
    const WallHit code = EdgeCode(dir, p, c, band);
    if (code != kHitNone)
        cell = c;
    return code;
}

void WallViewCore::SnapMovedWindow()
{
    const auto edges = EdgesOf(m_nSnapCode);
    if (!m_pActiveWnd || !edges || RectEmpty(m_rcSnap))
        return;
    const Rect r = m_pActiveWnd->rect;
    const Rect& s = m_rcSnap;
    int64_t left = r.left;
    int64_t top = r.top;
    if (edges->left)
        left = s.left;
    if (edges->right)
        left = s.right - RectWidth(r);
    if (edges->top)
        top = s.top;
    if (edges->bottom)
        top = s.bottom - RectHeight(r);
    m_pActiveWnd->rect = MakeRect(left, top, left + RectWidth(r), top + RectHeight(r));
    m_pActiveWnd->rectView = WallToViewRect(m_pActiveWnd->rect);
}

void WallViewCore::SnapResizedWindow()
{
    const auto edges = EdgesOf(m_nSnapCode);
    if (!m_pActiveWnd || !edges || RectEmpty(m_rcSnap))
        return;
    Rect& r = m_pActiveWnd->rect;
    if (edges->left)
        r.left = m_rcSnap.left;
    if (edges->top)
        r.top = m_rcSnap.top;
    if (edges->right)
        r.right = m_rcSnap.right;
    if (edges->bottom)
        r.bottom = m_rcSnap.bottom;
    m_pActiveWnd->rectView = WallToViewRect(r);
}

void WallViewCore::SetWindowFullScreen(bool on, const WindowPtr& window)
{
    if (!window || IsLocked(*window) || window->fullscreen == on)
        return;
    const auto processor = ViewProcessor();
    if (!processor)
        return;
    if (processor->GetKind() == kSingleFullScreenModel && m_pPlan) {
        for (const auto& w : m_pPlan->GetWindows())
            w->fullscreen = false;
        window->fullscreen = on;
        // Renumbers the layers too.
        m_pPlan->MoveWindowLayer(window, kLayerBottom);
        UpdateAllWindowGeometry();
    } else {
        window->fullscreen = on;
        UpdateWindowGeometry(window);
    }
    InvalidateView();
}

void WallViewCore::MaximizeInCell()
{
    if (m_pPlan && m_pPlan->GetType() == kPlanSizedGrid) {
        MaximizeInGridCell();
        return;
    }
    const WindowPtr window = m_pActiveWnd;
    if (!m_pPlan || !window || IsLocked(*window))
        return;
    const Rect r = GetWindowWallRect(window);
    const ResolutionTriple screen = m_pPlan->GetResolution();
    const int64_t rows = m_pPlan->GetRows();
    const int64_t cols = m_pPlan->GetCols();
    const auto x = SubCellSpan(screen.width, cols, Parts(m_pPlan->GetCellCols()), r.left, r.right);
    const auto y = SubCellSpan(screen.height, rows, Parts(m_pPlan->GetCellRows()), r.top, r.bottom);
    if (!x || !y)
        return;
    FillCells(window, MakeRect(x->begin, y->begin, x->end, y->end),
              Size{ClampInt32(screen.width * cols), ClampInt32(screen.height * rows)});
}

void WallViewCore::MaximizeInGridCell()
{
    const WindowPtr window = m_pActiveWnd;
    if (!m_pPlan || !window || IsLocked(*window))
        return;
    const Rect r = GetWindowWallRect(window);
    const auto x = BoundarySpan(GetColumnBoundaries(), r.left, r.right);
    const auto y = BoundarySpan(GetRowBoundaries(), r.top, r.bottom);
    if (!x || !y)
        return;
    FillCells(window, MakeRect(x->begin, y->begin, x->end, y->end), m_pPlan->GetPixelSize());
}

// The end of a maximise: the window takes the cells it met, or goes full
// screen when they cover the whole wall.
void WallViewCore::FillCells(const WindowPtr& window, const Rect& cells, Size wall)
{
    if (RectEmpty(cells))
        return;
    if (RectWidth(cells) >= wall.cx && RectHeight(cells) >= wall.cy) {
        SetWindowFullScreen(true, window);
        return;
    }
    window->rect = cells;
    window->rectView = WallToViewRect(cells);
    UpdateWindowGeometry(window);
    InvalidateView();
}

std::vector<int> WallViewCore::GetRowBoundaries() const
{
    if (!m_pPlan)
        return {};
    return AxisBoundaries(m_pPlan->GetPixelSize().cy, ModuleCounts().cy, m_pPlan->GetRowHeights());
}

std::vector<int> WallViewCore::GetColumnBoundaries() const
{
    if (!m_pPlan)
        return {};
    return AxisBoundaries(m_pPlan->GetPixelSize().cx, ModuleCounts().cx, m_pPlan->GetColumnWidths());
}

WallViewCore::GridCell WallViewCore::GridCellAt(int rows, int cols, const Rect& rect, Point p)
{
    if (rows <= 0 || cols <= 0 || !PtInRect(rect, p.x, p.y))
        return GridCell{};
    // Each row is one step high, the last reaching the bottom.
    const auto index = [](int64_t offset, int64_t extent, int count) {
        const int64_t step = extent / count;
        return int(step > 0 ? std::min<int64_t>(offset / step, count - 1) : count - 1);
    };
    return GridCell{index(int64_t(p.y) - rect.top, RectHeight(rect), rows),
                    index(int64_t(p.x) - rect.left, RectWidth(rect), cols)};
}

void WallViewCore::SplitWindow(const WindowPtr& window)
{
    if (!m_pPlan || !window || window->processor < 0 || window->sigsrc < 0)
        return;
    const auto processor = CQelContext::GetProMan()->FindById(uint32_t(window->processor));
    const auto source = processor ? processor->GetSigSrc(uint32_t(window->sigsrc)) : nullptr;
    if (!source)
        return;
    const PlanSelection selection = CurrentPlanSelection();
    const std::vector<int32_t> outputs = m_pPlan->GetWindowOutputs(window, selection.placement);
    if (outputs.size() < 2)
        return;
    const Resolution resolution = source->GetResolution();
    const Rect crop =
        RectEmpty(window->rcsigsrc) ? MakeRect(0, 0, resolution.width, resolution.height) : window->rcsigsrc;
    const Rect whole = m_pPlan->GetWindowRect(window);
    if (RectEmpty(crop) || RectEmpty(whole))
        return;
    const int64_t kx = RectWidth(crop) * kRatioUnit / RectWidth(whole);
    const int64_t ky = RectHeight(crop) * kRatioUnit / RectHeight(whole);

    struct Placed {
        int32_t output;
        int32_t row;
        int32_t col;
    };
    std::vector<Placed> placed;
    int32_t maxRow = 0;
    int32_t maxCol = 0;
    for (int32_t output : outputs) {
        int32_t row = 0;
        int32_t col = 0;
        if (output < 0 || !processor->GetSigOut(uint32_t(output)) || !processor->FindWallCellOfOutput(output, row, col))
            continue;
        placed.push_back({output, row, col});
        maxRow = std::max(maxRow, row);
        maxCol = std::max(maxCol, col);
    }

    // Each piece's crop starts where the previous one of its row or column
    // ended, so the crops meet without gaps; the last row and column end
    // on the crop's own edges.
    std::vector<WindowPtr> pieces;
    std::optional<int32_t> prevRow;
    std::optional<int32_t> prevCol;
    int64_t top = 0;
    int64_t bottom = 0;
    int64_t left = 0;
    int64_t right = 0;
    for (const Placed& at : placed) {
        const Rect part = m_pPlan->IntersectWindowRect(window, m_pPlan->GetOutputRect(at.output, selection.placement));
        if (at.row != prevRow) {
            top = prevRow ? bottom : crop.top;
            bottom = at.row == maxRow ? crop.bottom : top + RectHeight(part) * ky / kRatioUnit;
            prevRow = at.row;
            prevCol.reset();
        }
        if (at.col != prevCol) {
            left = prevCol ? right : crop.left;
            right = crop.right;
            if (at.col != maxCol) {
                right = left + RectWidth(part) * kx / kRatioUnit;
                // Crops start on even source columns.
                if (right % 2 != 0)
                    right -= 1;
            }
            prevCol = at.col;
        }
        if (RectEmpty(part))
            continue;
        auto piece = std::make_shared<CQelWindow>();
        piece->processor = window->processor;
        piece->sigsrc = window->sigsrc;
        piece->rcsigsrc = MakeRect(left, top, right, bottom);
        piece->rect = part;
        piece->szsigsrcfull = Size{Width32(whole), Height32(whole)};
        const int64_t innerLeft = int64_t(part.left) - whole.left;
        const int64_t innerTop = int64_t(part.top) - whole.top;
        piece->rcsigsrcinner = MakeRect(innerLeft, innerTop, innerLeft + RectWidth(part), innerTop + RectHeight(part));
        piece->rectView = WallToViewRect(part);
        piece->is4k = window->is4k;
        pieces.push_back(piece);
    }
    if (pieces.empty())
        return;

    m_pPlan->RemoveWindow(window);
    // The split window must not stay selected: a later source change would
    // put it back.
    DropDepartedWindows();
    if (m_pPlan->CompareHistory())
        m_pPlan->AddHistory(kActDeleteWindow);
    for (const auto& piece : pieces) {
        m_pPlan->AddWindow(piece, selection);
        UpdateWindowGeometry(piece);
        if (m_pPlan->CompareHistory())
            m_pPlan->AddHistory(kActNewWindow);
    }
    m_pActiveWnd = pieces.front();
    m_pPlan->SelectWindow(pieces.front());
    InvalidateView();
    AutoExecutePlan();
}
