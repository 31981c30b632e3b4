// The wall view's geometry: the wall laid out on the canvas, the
// conversions between wall and canvas pixels, the title-bar buttons and
// the window rectangles, and what the view applies to its plan's windows:
// snapping, maximise in cell, full screen and the split. Everything is
// computed in wall pixels, in 64 bits, since plans come from files.
#include "views/wall_geometry.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "context/context.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_src.h"
#include "platform/rect_math.h"

namespace {

using enum WallViewCore::DragMode;

// The wall keeps this far from the canvas's left and right edges, and from
// its top and bottom when it is fitted to the height.
constexpr int kWallInset = 20;
// The watch strip's distance from the canvas bottom, and the room its
// header takes before the first slot.
constexpr int kWatchStripOffset = 120;
constexpr int kWatchHeaderWidth = 100;
constexpr int kWatchSlotGap = 10;
constexpr int kWatchSlotMaxWidth = 200;

// Button geometry in the title bar.
constexpr int kCloseRightInset = 4;
constexpr int kMaxCellRightInset = 36;
constexpr int kMaxRightInset = 20;
constexpr int kSmallButtonSide = 11;

// value × numerator / denominator in doubles, truncated and saturated.
int64_t Scale(int64_t value, int64_t numerator, int64_t denominator)
{
    return TruncInt32(double(value) * double(numerator) / double(denominator));
}

bool IsOdd(int64_t v)
{
    return v % 2 != 0;
}

} // namespace

WallGeometry::WallGeometry(WallViewCore& core) : core_(core) {}

void WallGeometry::SetReferenceLineStyleProvider(std::function<int()> provider)
{
    m_referenceLineStyle = std::move(provider);
}

Size WallGeometry::ModuleGrid() const
{
    const Size counts = ModuleCounts();
    return Size{std::max(counts.cx, 1), std::max(counts.cy, 1)};
}

Size WallGeometry::ModuleCounts() const
{
    // Factors (rows, columns) per reference-line style 0 to 5; any other
    // style, or none, gives 2 x 2.
    static constexpr std::array<Size, 6> kFactors{Size{1, 1}, Size{2, 2}, Size{4, 2},
                                                  Size{3, 3}, Size{4, 3}, Size{4, 4}};
    const int style = m_referenceLineStyle ? m_referenceLineStyle() : -1;
    const Size factor = style >= 0 && style < int(kFactors.size()) ? kFactors[size_t(style)] : Size{2, 2};
    const int32_t rows = core_.m_pPlan ? core_.m_pPlan->GetRows() : 0;
    const int32_t cols = core_.m_pPlan ? core_.m_pPlan->GetCols() : 0;
    return Size{ClampInt32(int64_t(cols) * factor.cx), ClampInt32(int64_t(rows) * factor.cy)};
}

// ---- Layout ----------------------------------------------------------------

void WallGeometry::SetCanvasScaleValue(int scale)
{
    m_nCanvasScale = std::clamp(scale, wallview::kMinCanvasScale, wallview::kMaxCanvasScale);
}

void WallGeometry::RecalcLayout()
{
    const int64_t scale = m_nCanvasScale;
    m_rcCanvas =
        MakeRect(0, 0, std::max<int64_t>(m_szClient.cx, 0) * scale, std::max<int64_t>(m_szClient.cy, 0) * scale);
    const Rect& canvas = m_rcCanvas;

    m_rcWatchStrip = Rect{};
    int64_t wallBottom = canvas.bottom;
    if (core_.m_pPlan && core_.m_pPlan->GetType() == kPlanSizedGrid && !core_.m_pPlan->GetWatchWindows().empty()) {
        m_rcWatchStrip = MakeRect(int64_t(canvas.left) + kWallInset, int64_t(canvas.bottom) - kWatchStripOffset,
                                  int64_t(canvas.right) - kWallInset, int64_t(canvas.bottom) - m_nTitleHeight);
        wallBottom = int64_t(m_rcWatchStrip.top) - m_nTitleHeight;
    }
    m_rcWallArea =
        MakeRect(int64_t(canvas.left) + kWallInset, canvas.top, int64_t(canvas.right) - kWallInset, wallBottom);
    m_rcWallView = m_rcWallArea;

    const Size pixels = core_.m_pPlan ? core_.m_pPlan->GetPixelSize() : Size{};
    const int64_t areaWidth = RectWidth(m_rcWallArea);
    if (pixels.cx > 0 && pixels.cy > 0 && areaWidth > 0) {
        const int64_t height = Scale(pixels.cy, areaWidth, pixels.cx);
        const int64_t room = wallBottom - canvas.top - height;
        if (room >= kWallInset) {
            const int64_t top = canvas.top + room / 2;
            m_rcWallArea = MakeRect(m_rcWallArea.left, top, m_rcWallArea.right, top + height);
        } else {
            const int64_t top = int64_t(canvas.top) + kWallInset;
            const int64_t bottom = wallBottom - kWallInset;
            const int64_t width = bottom > top ? Scale(bottom - top, pixels.cx, pixels.cy) : 0;
            const int64_t left = canvas.left + (RectWidth(canvas) - width) / 2;
            m_rcWallArea = MakeRect(left, top, left + width, bottom);
        }
        const Rect margin = core_.m_pPlan->GetMargin();
        m_rcWallView = WallToViewRect(
            MakeRect(margin.left, margin.top, int64_t(pixels.cx) - margin.right, int64_t(pixels.cy) - margin.bottom));
    }
    LayoutWindowRects();
    LayoutWatchSlots();
    core_.InvalidateView();
}

void WallGeometry::LayoutWatchSlots()
{
    m_vecWatchSlotRects.clear();
    if (!core_.m_pPlan || core_.m_pPlan->GetType() != kPlanSizedGrid)
        return;
    const int64_t n = int64_t(core_.m_pPlan->GetWatchWindows().size());
    if (n <= 0)
        return;
    const Rect& strip = m_rcWatchStrip;
    // In unsigned arithmetic a strip too narrow for the gaps gives the
    // widest slot.
    const int64_t room = RectWidth(strip) - kWatchSlotGap * n - kWatchHeaderWidth;
    const int64_t width = room < 0 ? kWatchSlotMaxWidth : std::min<int64_t>(room / n, kWatchSlotMaxWidth);
    for (int64_t i = 0; i < n; ++i) {
        const int64_t left = strip.left + kWatchHeaderWidth + i * (width + kWatchSlotGap);
        m_vecWatchSlotRects.push_back(MakeRect(left, strip.top, left + width, strip.bottom));
    }
}

void WallGeometry::LayoutWindowRects()
{
    if (!core_.m_pPlan)
        return;
    for (const auto& window : core_.m_pPlan->GetWindows())
        window->rectView = WallToViewRect(window->rect);
}

Point WallGeometry::DeviceToCanvasPoint(Point pt) const
{
    return Point{ClampInt32(int64_t(pt.x) - m_ptViewOrg.x), ClampInt32(int64_t(pt.y) - m_ptViewOrg.y)};
}

Point WallGeometry::CanvasToDevicePoint(Point pt) const
{
    return Point{ClampInt32(int64_t(pt.x) + m_ptViewOrg.x), ClampInt32(int64_t(pt.y) + m_ptViewOrg.y)};
}

Rect WallGeometry::CanvasToDeviceRect(int l, int t, int r, int b) const
{
    return OffsetRect(Rect{l, t, r, b}, m_ptViewOrg.x, m_ptViewOrg.y);
}

// ---- Conversions -----------------------------------------------------------

Rect WallGeometry::WallToViewRect(const Rect& rc) const
{
    const Size wall = core_.m_pPlan ? core_.m_pPlan->GetPixelSize() : Size{};
    const Rect& a = m_rcWallArea;
    if (wall.cx <= 0 || wall.cy <= 0 || RectEmpty(a))
        return Rect{};
    const int64_t left = a.left + Scale(rc.left, RectWidth(a), wall.cx);
    const int64_t top = a.top + Scale(rc.top, RectHeight(a), wall.cy);
    return MakeRect(left, top, left + Scale(RectWidth(rc), RectWidth(a), wall.cx),
                    top + Scale(RectHeight(rc), RectHeight(a), wall.cy));
}

Point WallGeometry::WallToViewPoint(Point pt) const
{
    const Size wall = core_.m_pPlan ? core_.m_pPlan->GetPixelSize() : Size{};
    const Rect& a = m_rcWallArea;
    if (wall.cx <= 0 || wall.cy <= 0 || RectEmpty(a))
        return Point{};
    return Point{ClampInt32(a.left + Scale(pt.x, RectWidth(a), wall.cx)),
                 ClampInt32(a.top + Scale(pt.y, RectHeight(a), wall.cy))};
}

Rect WallGeometry::ViewToWallRect(const Rect& rc) const
{
    const Size wall = core_.m_pPlan ? core_.m_pPlan->GetPixelSize() : Size{};
    const Rect& a = m_rcWallArea;
    if (wall.cx <= 0 || wall.cy <= 0 || RectEmpty(a))
        return Rect{};
    const int64_t left = Scale(int64_t(rc.left) - a.left, wall.cx, RectWidth(a));
    const int64_t top = Scale(int64_t(rc.top) - a.top, wall.cy, RectHeight(a));
    return MakeRect(left, top, left + Scale(RectWidth(rc), wall.cx, RectWidth(a)),
                    top + Scale(RectHeight(rc), wall.cy, RectHeight(a)));
}

Point WallGeometry::ViewToWallPoint(Point pt) const
{
    const Size wall = core_.m_pPlan ? core_.m_pPlan->GetPixelSize() : Size{};
    const Rect& a = m_rcWallArea;
    if (wall.cx <= 0 || wall.cy <= 0 || RectEmpty(a))
        return Point{};
    return Point{ClampInt32(Scale(int64_t(pt.x) - a.left, wall.cx, RectWidth(a))),
                 ClampInt32(Scale(int64_t(pt.y) - a.top, wall.cy, RectHeight(a)))};
}

Rect WallGeometry::ViewToWallForResize(DragMode mode, const Rect& rc, const Rect& rcOldWall) const
{
    const Rect moved = ViewToWallRect(rc);
    Rect out = rcOldWall;
    if (mode == kDragTop || mode == kDragTopLeft || mode == kDragTopRight)
        out.top = moved.top;
    if (mode == kDragBottom || mode == kDragBottomLeft || mode == kDragBottomRight)
        out.bottom = moved.bottom;
    if (mode == kDragLeft || mode == kDragTopLeft || mode == kDragBottomLeft)
        out.left = moved.left;
    if (mode == kDragRight || mode == kDragTopRight || mode == kDragBottomRight)
        out.right = moved.right;
    return out;
}

// ---- Title-bar buttons -----------------------------------------------------

void WallGeometry::SetImageSizes(Size close, Size maxCell, Size maxScreen, Size lock)
{
    m_szCloseImage = close;
    m_szMaxCellImage = maxCell;
    m_szMaxScreenImage = maxScreen;
    m_szLockImage = lock;
}

namespace {

bool Loaded(const Size& image)
{
    return image.cx > 0 && image.cy > 0;
}

// The title bar's vertical centre.
int64_t TitleCentre(const Rect& rc, int titleHeight)
{
    return (int64_t(rc.top) + rc.top + titleHeight) / 2;
}

// An 11 x 11 button whose right edge is `inset` left of the title's right.
Rect SmallButton(const Rect& rc, int titleHeight, int inset)
{
    const int64_t right = int64_t(rc.right) - inset;
    const int64_t centre = TitleCentre(rc, titleHeight);
    return MakeRect(right - kSmallButtonSide, centre - 5, right, centre + 6);
}

} // namespace

Rect WallGeometry::GetCloseButtonRect(const Rect& rcWindow) const
{
    if (RectEmpty(rcWindow) || !Loaded(m_szCloseImage))
        return Rect{};
    const int64_t right = int64_t(rcWindow.right) - kCloseRightInset;
    const int64_t top = TitleCentre(rcWindow, m_nTitleHeight) - m_szCloseImage.cy / 2;
    return MakeRect(right - m_szCloseImage.cx / 2, top, right, top + m_szCloseImage.cy);
}

Rect WallGeometry::GetCloseButtonRect(const WindowPtr& window)
{
    return GetCloseButtonRect(GetWindowViewRect(window));
}

Rect WallGeometry::GetMaxCellButtonRect(const Rect& rcWindow) const
{
    if (RectEmpty(rcWindow) || !Loaded(m_szMaxCellImage))
        return Rect{};
    return SmallButton(rcWindow, m_nTitleHeight, kMaxCellRightInset);
}

Rect WallGeometry::GetMaxCellButtonRect(const WindowPtr& window)
{
    return GetMaxCellButtonRect(GetWindowViewRect(window));
}

Rect WallGeometry::GetMaxButtonRect(const Rect& rcWindow) const
{
    if (RectEmpty(rcWindow) || !Loaded(m_szMaxScreenImage))
        return Rect{};
    return SmallButton(rcWindow, m_nTitleHeight, kMaxRightInset);
}

Rect WallGeometry::GetMaxButtonRect(const WindowPtr& window)
{
    return GetMaxButtonRect(GetWindowViewRect(window));
}

// ---- Window rectangles -----------------------------------------------------

Rect WallGeometry::GetWindowViewRect(const WindowPtr& window)
{
    if (!window)
        return Rect{};
    if (RectEmpty(window->rectView))
        window->rectView = WallToViewRect(window->rect);
    return window->fullscreen ? m_rcWallArea : window->rectView;
}

Rect WallGeometry::GetWindowWallRect(const WindowPtr& window)
{
    if (!window)
        return Rect{};
    if (RectEmpty(window->rect)) {
        window->rect = ViewToWallRect(window->rectView);
        UpdateWindowGeometry(window);
    }
    if (window->fullscreen)
        return core_.m_pPlan ? core_.m_pPlan->GetPixelRect() : Rect{};
    return window->rect;
}

void WallGeometry::UpdateWindowGeometry(const WindowPtr& window)
{
    if (!window)
        return;
    if (window->sigsrc == kLogoSigSrc) {
        const Rect& r = window->rect;
        window->rect =
            MakeRect(r.left, r.top, int64_t(r.left) + wallview::kLogoWidth, int64_t(r.top) + wallview::kLogoHeight);
        window->rectView = WallToViewRect(window->rect);
        return;
    }
    // The kept rectangle, also of a full-screen window: the area such a
    // window covers must not replace the one it returns to.
    const Rect old = window->rect;
    Rect r = old;
    if (r.left > 0 && IsOdd(r.left))
        r.left -= 1;
    if (RectWidth(r) > 0 && IsOdd(RectWidth(r)))
        r.right -= 1;
    if (r == old)
        return;
    window->rect = r;
    if (core_.m_pPlan && (RectWidth(r) != RectWidth(old) || RectHeight(r) != RectHeight(old)))
        core_.m_pPlan->CheckWindowSourceCrop(window);
    window->rectView = WallToViewRect(r);
}

void WallGeometry::UpdateAllWindowGeometry()
{
    if (!core_.m_pPlan)
        return;
    for (const auto& window : core_.m_pPlan->GetWindows())
        UpdateWindowGeometry(window);
}

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

WallViewCore::Direction WallGeometry::MoveDirection(int x1, int y1, int x2, int y2)
{
    const bool up = y2 < y1;
    const bool down = y2 > y1;
    if (x2 < x1)
        return up ? kDirUpLeft : down ? kDirDownLeft : kDirLeft;
    if (x2 > x1)
        return up ? kDirUpRight : down ? kDirDownRight : kDirRight;
    return up ? kDirUp : down ? kDirDown : kDirNone;
}

Point WallGeometry::GetAnchorPoint(Direction dir, const WindowPtr& window)
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
Rect WallGeometry::SnapArea() const
{
    const Size size = core_.m_pPlan->GetPixelSize();
    const Rect margin = core_.m_pPlan->GetMargin();
    return MakeRect(margin.left, margin.top, int64_t(size.cx) - margin.right, int64_t(size.cy) - margin.bottom);
}

WallHit WallGeometry::SnapToCell(Direction dir, Point p, Rect& cell) const
{
    if (core_.m_pPlan && core_.m_pPlan->GetType() == kPlanSizedGrid)
        return SnapToUniformGrid(dir, p, cell);
    cell = Rect{};
    if (!core_.m_pPlan || p.x < 0 || RectEmpty(m_rcWallArea))
        return kHitNone;
    const ResolutionTriple screen = core_.m_pPlan->GetResolution();
    const auto row = UniformIndex(p.y, screen.height, core_.m_pPlan->GetRows());
    const auto col = UniformIndex(p.x, screen.width, core_.m_pPlan->GetCols());
    if (!row || !col)
        return kHitNone;
    const int64_t left = *col * screen.width;
    const int64_t top = *row * screen.height;
    const int64_t subW = screen.width / Parts(core_.m_pPlan->GetCellCols());
    const int64_t subH = screen.height / Parts(core_.m_pPlan->GetCellRows());
    const auto i = UniformIndex(p.y - top, subH, Parts(core_.m_pPlan->GetCellRows()));
    const auto j = UniformIndex(p.x - left, subW, Parts(core_.m_pPlan->GetCellCols()));
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

WallHit WallGeometry::SnapToUniformGrid(Direction dir, Point p, Rect& cell) const
{
    cell = Rect{};
    if (!core_.m_pPlan || p.x < 0 || RectEmpty(m_rcWallArea))
        return kHitNone;
    const Size modules = ModuleCounts();
    if (modules.cx <= 0 || modules.cy <= 0)
        return kHitNone;
    const Size size = core_.m_pPlan->GetPixelSize();
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

void WallGeometry::SnapMovedWindow()
{
    const auto edges = EdgesOf(core_.editing().m_nSnapCode);
    if (!core_.m_pActiveWnd || !edges || RectEmpty(core_.editing().m_rcSnap))
        return;
    const Rect r = core_.m_pActiveWnd->rect;
    const Rect& s = core_.editing().m_rcSnap;
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
    core_.m_pActiveWnd->rect = MakeRect(left, top, left + RectWidth(r), top + RectHeight(r));
    core_.m_pActiveWnd->rectView = WallToViewRect(core_.m_pActiveWnd->rect);
}

void WallGeometry::SnapResizedWindow()
{
    const auto edges = EdgesOf(core_.editing().m_nSnapCode);
    const Rect& snap = core_.editing().m_rcSnap;
    if (!core_.m_pActiveWnd || !edges || RectEmpty(snap))
        return;
    Rect& r = core_.m_pActiveWnd->rect;
    if (edges->left)
        r.left = snap.left;
    if (edges->top)
        r.top = snap.top;
    if (edges->right)
        r.right = snap.right;
    if (edges->bottom)
        r.bottom = snap.bottom;
    core_.m_pActiveWnd->rectView = WallToViewRect(r);
}

void WallGeometry::SetWindowFullScreen(bool on, const WindowPtr& window)
{
    if (!window || IsLocked(*window) || window->fullscreen == on)
        return;
    const auto processor = core_.ViewProcessor();
    if (!processor)
        return;
    if (processor->GetKind() == kSingleFullScreenModel && core_.m_pPlan) {
        for (const auto& w : core_.m_pPlan->GetWindows())
            w->fullscreen = false;
        window->fullscreen = on;
        // Renumbers the layers too.
        core_.m_pPlan->MoveWindowLayer(window, kLayerBottom);
        UpdateAllWindowGeometry();
    } else {
        window->fullscreen = on;
        UpdateWindowGeometry(window);
    }
    core_.InvalidateView();
}

void WallGeometry::MaximizeInCell()
{
    if (core_.m_pPlan && core_.m_pPlan->GetType() == kPlanSizedGrid) {
        MaximizeInGridCell();
        return;
    }
    const WindowPtr window = core_.m_pActiveWnd;
    if (!core_.m_pPlan || !window || IsLocked(*window))
        return;
    const Rect r = GetWindowWallRect(window);
    const ResolutionTriple screen = core_.m_pPlan->GetResolution();
    const int64_t rows = core_.m_pPlan->GetRows();
    const int64_t cols = core_.m_pPlan->GetCols();
    const auto x = SubCellSpan(screen.width, cols, Parts(core_.m_pPlan->GetCellCols()), r.left, r.right);
    const auto y = SubCellSpan(screen.height, rows, Parts(core_.m_pPlan->GetCellRows()), r.top, r.bottom);
    if (!x || !y)
        return;
    FillCells(window, MakeRect(x->begin, y->begin, x->end, y->end),
              Size{ClampInt32(screen.width * cols), ClampInt32(screen.height * rows)});
}

void WallGeometry::MaximizeInGridCell()
{
    const WindowPtr window = core_.m_pActiveWnd;
    if (!core_.m_pPlan || !window || IsLocked(*window))
        return;
    const Rect r = GetWindowWallRect(window);
    const auto x = BoundarySpan(GetColumnBoundaries(), r.left, r.right);
    const auto y = BoundarySpan(GetRowBoundaries(), r.top, r.bottom);
    if (!x || !y)
        return;
    FillCells(window, MakeRect(x->begin, y->begin, x->end, y->end), core_.m_pPlan->GetPixelSize());
}

// The end of a maximise: the window takes the cells it met, or goes full
// screen when they cover the whole wall.
void WallGeometry::FillCells(const WindowPtr& window, const Rect& cells, Size wall)
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
    core_.InvalidateView();
}

std::vector<int> WallGeometry::GetRowBoundaries() const
{
    if (!core_.m_pPlan)
        return {};
    return AxisBoundaries(core_.m_pPlan->GetPixelSize().cy, ModuleCounts().cy, core_.m_pPlan->GetRowHeights());
}

std::vector<int> WallGeometry::GetColumnBoundaries() const
{
    if (!core_.m_pPlan)
        return {};
    return AxisBoundaries(core_.m_pPlan->GetPixelSize().cx, ModuleCounts().cx, core_.m_pPlan->GetColumnWidths());
}

WallViewCore::GridCell WallGeometry::GridCellAt(int rows, int cols, const Rect& rect, Point p)
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

void WallGeometry::SplitWindow(const WindowPtr& window)
{
    if (!core_.m_pPlan || !window || window->processor < 0 || window->sigsrc < 0)
        return;
    const auto processor = CQelContext::GetProMan()->FindById(uint32_t(window->processor));
    const auto source = processor ? processor->GetSigSrc(uint32_t(window->sigsrc)) : nullptr;
    if (!source)
        return;
    const PlanSelection selection = CurrentPlanSelection();
    const std::vector<int32_t> outputs = core_.m_pPlan->GetWindowOutputs(window, selection.placement);
    if (outputs.size() < 2)
        return;
    const Resolution resolution = source->GetResolution();
    const Rect crop =
        RectEmpty(window->rcsigsrc) ? MakeRect(0, 0, resolution.width, resolution.height) : window->rcsigsrc;
    const Rect whole = core_.m_pPlan->GetWindowRect(window);
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
        const Rect part =
            core_.m_pPlan->IntersectWindowRect(window, core_.m_pPlan->GetOutputRect(at.output, selection.placement));
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

    core_.m_pPlan->RemoveWindow(window);
    // The split window must not stay selected: a later source change would
    // put it back.
    core_.DropDepartedWindows();
    if (core_.m_pPlan->CompareHistory())
        core_.m_pPlan->AddHistory(kActDeleteWindow);
    for (const auto& piece : pieces) {
        core_.m_pPlan->AddWindow(piece, selection);
        UpdateWindowGeometry(piece);
        if (core_.m_pPlan->CompareHistory())
            core_.m_pPlan->AddHistory(kActNewWindow);
    }
    core_.m_pActiveWnd = pieces.front();
    core_.m_pPlan->SelectWindow(pieces.front());
    core_.InvalidateView();
    core_.AutoExecutePlan();
}
