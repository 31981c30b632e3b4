// What each part of a wall view paint draws; the widget only paints it.
#include "views/wall_painting.h"

#include <algorithm>

#include "context/context.h"
#include "core/language_tr.h"
#include "model/osd_record.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "platform/rect_math.h"

namespace {

using enum WallViewCore::DragMode;
using enum WallViewCore::ViewMode;

// Models whose windows also list their source crop.
bool ListsCrop(int32_t kind)
{
    return kind == 4 || (kind >= 6 && kind <= 10);
}

// The model with two outputs side by side.
constexpr int32_t kTwoOutputModel = 6;

// Cells a side of one watch window that are drawn; files may claim more.
constexpr int32_t kMaxWatchSplit = CellGrid::kMaxSplit;

QString RectText(const QString& label, const Rect& r)
{
    return QStringLiteral("%1[%2,%3,%4,%5]").arg(label).arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

QString SizeText(int64_t width, int64_t height)
{
    return QStringLiteral("(%1 x %2)").arg(width).arg(height);
}

// Lines at `first` + i × `step` for i = 1 .. count − 1; none when a step
// would not move, so a damaged count cannot run long.
void AddSteps(std::vector<int>& out, int64_t first, int64_t step, int64_t count)
{
    if (step <= 0)
        return;
    for (int64_t k = 1; k < count; ++k)
        out.push_back(ClampInt32(first + k * step));
}

// The rectangles of a rows x cols split of `r`, the last row and column
// reaching its edges; row-major.
std::vector<Rect> SplitRect(const Rect& r, int32_t rows, int32_t cols)
{
    std::vector<Rect> cells;
    const int64_t w = RectWidth(r) / cols;
    const int64_t h = RectHeight(r) / rows;
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t col = 0; col < cols; ++col) {
            const int64_t left = r.left + col * w;
            const int64_t top = r.top + row * h;
            cells.push_back(
                MakeRect(left, top, col == cols - 1 ? r.right : left + w, row == rows - 1 ? r.bottom : top + h));
        }
    }
    return cells;
}

} // namespace

WallPainting::WallPainting(WallViewCore& core) : core_(core) {}

bool WallPainting::PlanDrawable() const
{
    if (!core_.m_pPlan || RectEmpty(core_.geometry().m_rcWallArea))
        return false;
    const Size pixels = core_.m_pPlan->GetPixelSize();
    const int32_t rows = core_.m_pPlan->GetRows();
    const int32_t cols = core_.m_pPlan->GetCols();
    return pixels.cx > 0 && pixels.cy > 0 && rows >= 1 && cols >= 1 && rows <= kMaxPlanGridSide &&
           cols <= kMaxPlanGridSide;
}

bool WallPainting::GridListsMatch() const
{
    if (!core_.m_pPlan || core_.m_pPlan->GetType() != kPlanSizedGrid)
        return true;
    return core_.m_pPlan->GetRowHeights().size() == size_t(core_.m_pPlan->GetRows()) &&
           core_.m_pPlan->GetColumnWidths().size() == size_t(core_.m_pPlan->GetCols());
}

std::vector<Rect> WallPainting::BackgroundBands() const
{
    const Rect& c = core_.geometry().m_rcCanvas;
    const Rect a = IntersectRect(core_.geometry().m_rcWallArea, c);
    if (RectEmpty(a))
        return {c};
    return {Rect{c.left, c.top, c.right, a.top}, Rect{c.left, a.top, a.left, a.bottom},
            Rect{a.right, a.top, c.right, a.bottom}, Rect{c.left, a.bottom, c.right, c.bottom}};
}

std::vector<CellPaint> WallPainting::CellNames() const
{
    std::vector<CellPaint> cells;
    const auto processor = core_.SelectedProcessor();
    if (!PlanDrawable() || !processor)
        return cells;
    const int32_t rows = core_.m_pPlan->GetRows();
    const int32_t cols = core_.m_pPlan->GetCols();
    if ((rows <= 1 && cols <= 1) || RectWidth(core_.geometry().m_rcWallArea) < cols ||
        RectHeight(core_.geometry().m_rcWallArea) < rows)
        return cells;
    const auto rects = SplitRect(core_.geometry().m_rcWallArea, rows, cols);
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < cols; ++c) {
            CellPaint cell;
            cell.rect = rects[size_t(r) * size_t(cols) + size_t(c)];
            const int32_t output = processor->GetWallCellOutput(r, c);
            cell.noOutput = output == -1;
            if (!cell.noOutput && output >= 0)
                if (const auto out = processor->GetSigOut(uint32_t(output)))
                    cell.name = QString::fromStdString(out->GetName());
            cells.push_back(std::move(cell));
        }
    }
    return cells;
}

std::optional<std::vector<Rect>> WallPainting::TwoOutputParts() const
{
    const auto processor = core_.SelectedProcessor();
    if (!PlanDrawable() || !processor || processor->GetKind() != kTwoOutputModel)
        return std::nullopt;
    const Rect& a = core_.geometry().m_rcWallArea;
    const int64_t half = RectWidth(a) / 2;
    const Rect halves[2] = {MakeRect(a.left, a.top, a.left + half, a.bottom),
                            MakeRect(a.left + half, a.top, a.right, a.bottom)};
    const Resolution device = processor->GetOutputResolution();
    std::vector<Rect> parts;
    for (size_t i = 0; i < 2; ++i) {
        const auto output = processor->records().GetSigOutAt(i);
        if (!output)
            continue;
        const Resolution res = output->GetResolution();
        const Rect& h = halves[i];
        if (res == device) {
            parts.push_back(h);
        } else if (device.width > 0 && device.height > 0) {
            parts.push_back(MakeRect(h.left, h.top,
                                     h.left + TruncInt32(double(res.width) / device.width * RectWidth(h)),
                                     h.top + TruncInt32(double(res.height) / device.height * RectHeight(h))));
        }
    }
    return parts;
}

GridLines WallPainting::AxisLines(const Rect& area, bool rows) const
{
    GridLines lines;
    if (!PlanDrawable() || !GridListsMatch())
        return lines;
    const int32_t count = rows ? core_.m_pPlan->GetRows() : core_.m_pPlan->GetCols();
    const int32_t start = rows ? area.top : area.left;
    const int32_t end = rows ? area.bottom : area.right;
    const int64_t length = std::max<int64_t>(int64_t(end) - start, 0);
    if (core_.m_pPlan->GetType() == kPlanSizedGrid) {
        const Size module = core_.geometry().ModuleGrid();
        const int64_t n = rows ? module.cy : module.cx;
        lines.dotted.push_back(start);
        for (int64_t i = 1; i < n; ++i)
            lines.dotted.push_back(ClampInt32(start + length * i / n));
        // The screens' own boundaries, from their sizes.
        const auto at = [&](int64_t wall) {
            const Point pt =
                core_.geometry().WallToViewPoint(rows ? Point{0, ClampInt32(wall)} : Point{ClampInt32(wall), 0});
            return rows ? pt.y : pt.x;
        };
        const auto sizes = rows ? core_.m_pPlan->GetRowHeights() : core_.m_pPlan->GetColumnWidths();
        lines.solid.push_back(at(0));
        int64_t sum = 0;
        for (int32_t k = 1; k < count; ++k) {
            sum += sizes[size_t(k - 1)];
            lines.solid.push_back(at(sum));
        }
        lines.solid.push_back(end);
        return lines;
    }
    const int64_t cell = length / count;
    const int64_t split = std::max(rows ? core_.m_pPlan->GetCellRows() : core_.m_pPlan->GetCellCols(), 1);
    for (int32_t i = 0; i <= count; ++i)
        lines.solid.push_back(i == count ? end : ClampInt32(start + i * cell));
    for (int32_t i = 0; i < count; ++i)
        AddSteps(lines.dotted, start + i * cell, cell / split, split);
    return lines;
}

GridLines WallPainting::RowLines(const Rect& area) const
{
    return AxisLines(area, true);
}

GridLines WallPainting::ColumnLines(const Rect& area) const
{
    return AxisLines(area, false);
}

Rect WallPainting::MarginFrame() const
{
    if (!PlanDrawable() || core_.m_pPlan->GetMargin() == Rect{})
        return Rect{};
    return core_.geometry().m_rcWallView;
}

std::vector<TextItem> WallPainting::WallSizeTexts() const
{
    std::vector<TextItem> texts;
    if (!PlanDrawable())
        return texts;
    const auto processor = core_.SelectedProcessor();
    if (processor && processor->GetKind() == kTwoOutputModel) {
        const Rect& a = core_.geometry().m_rcWallArea;
        const int64_t half = RectWidth(a) / 2;
        for (size_t i = 0; i < 2; ++i) {
            const auto output = processor->records().GetSigOutAt(i);
            if (!output)
                continue;
            const Resolution res = output->GetResolution();
            const Rect h = i == 0 ? MakeRect(a.left, a.top, a.left + half, a.bottom)
                                  : MakeRect(a.left + half, a.top, a.right, a.bottom);
            texts.push_back({h, SizeText(res.width, res.height)});
        }
        return texts;
    }
    const Size pixels = core_.m_pPlan->GetPixelSize();
    texts.push_back({core_.geometry().m_rcWallArea, SizeText(pixels.cx, pixels.cy)});
    return texts;
}

bool WallPainting::ResolutionMismatch() const
{
    const auto processor = core_.SelectedProcessor();
    return core_.m_pPlan && processor && processor->GetOutputResolution() != core_.m_pPlan->GetResolution();
}

WindowPaint WallPainting::DescribeWindow(const WindowPtr& window, const Rect& rc, Point mouse) const
{
    WindowPaint paint;
    if (!window)
        return paint;
    paint.rc = rc;
    const int64_t titleBottom = int64_t(rc.top) + core_.geometry().m_nTitleHeight;
    paint.titleBar = MakeRect(rc.left, rc.top, rc.right, titleBottom);
    const bool active = window == core_.m_pActiveWnd;
    const auto button = [&](const Rect& r, int normal, int hovered) {
        return TitleButton{r, PtInRect(r, mouse.x, mouse.y) ? hovered : normal};
    };
    paint.close = button(core_.geometry().GetCloseButtonRect(rc), 0, core_.geometry().m_szCloseImage.cy);

    if (window->sigsrc == kLogoSigSrc) {
        paint.logo = true;
        paint.frameColour = active ? wallview::kActiveTitle : m_clrGridLine;
        const auto& osd = *window->osd;
        paint.logoSource = Rect{osd.left, osd.top, osd.right, osd.bottom};
        return paint;
    }

    // A window the placement found realisable is not checked against its
    // source again.
    const int32_t check = window->resourceOk || !core_.m_pPlan ? 0 : core_.m_pPlan->CheckWindowSource(window);
    const auto processor =
        window->processor >= 0 ? CQelContext::GetProMan()->FindById(uint32_t(window->processor)) : nullptr;
    const auto source = processor && window->sigsrc >= 0 ? processor->GetSigSrc(uint32_t(window->sigsrc)) : nullptr;
    paint.body = wallview::kNoSourceBody;
    if (source) {
        paint.title = QStringLiteral("%1(%2)").arg(QString::fromStdString(window->name),
                                                   QString::fromStdString(source->GetName()));
        paint.body = source->IsJoined() ? wallview::kJoinedBody : wallview::kIdleBody;
        paint.sourceName = QString::fromStdString(source->GetName());
    }
    if (check == 0) {
        paint.fill = paint.body;
    } else {
        paint.fill = wallview::kNoSourceBody;
        if (source) {
            const Resolution res = source->GetResolution();
            const Rect crop = window->rcsigsrc;
            const Rect full =
                RectEmpty(crop) ? Rect{0, 0, res.width, res.height} : Rect{0, 0, Width32(crop), Height32(crop)};
            const Rect part = core_.geometry().WallToViewRect(full);
            paint.sourcePart = MakeRect(rc.left, rc.top, rc.left + std::min(RectWidth(part), RectWidth(rc)),
                                        rc.top + std::min(RectHeight(part), RectHeight(rc)));
        }
    }

    paint.titleFilled = titleBottom < rc.bottom;
    paint.titleColour = active ? wallview::kActiveTitle : wallview::kInactiveTitle;
    paint.titleTextLeft = ClampInt32(int64_t(rc.left) + 4);
    if (core_.geometry().m_szLockImage.cx > 0 && core_.geometry().m_szLockImage.cy > 0) {
        const int side = core_.geometry().m_szLockImage.cy;
        const int64_t left = int64_t(rc.left) + 4;
        const int64_t top = (int64_t(rc.top) + titleBottom - side) / 2;
        paint.lock = TitleButton{MakeRect(left, top, left + side, top + side), window->status == 1 ? 0 : side};
        paint.titleTextLeft = ClampInt32(int64_t(paint.lock.rect.right) + 4);
    }

    const Rect position = window->fullscreen && core_.m_pPlan ? core_.m_pPlan->GetPixelRect() : window->rect;
    paint.infoLines.push_back(RectText(Tr("窗口位置"), position));
    paint.infoLines.push_back(
        QStringLiteral("%1[%2,%3]").arg(Tr("窗口尺寸")).arg(RectWidth(position)).arg(RectHeight(position)));
    if (source && ListsCrop(processor->GetKind())) {
        const Rect& crop = window->rcsigsrc;
        if (RectEmpty(crop)) {
            paint.infoLines.push_back(Tr("全尺寸信号源"));
        } else {
            paint.infoLines.push_back(RectText(Tr("截取信号源"), crop));
            paint.infoLines.push_back(
                QStringLiteral("%1[%2, %3]").arg(Tr("截取尺寸")).arg(RectWidth(crop)).arg(RectHeight(crop)));
        }
    }
    if (window->group != 0 && core_.m_pPlan)
        if (const auto group = core_.m_pPlan->GetGroupById(window->group))
            paint.infoLines.push_back(QStringLiteral("%1 %2").arg(Tr("分组"), QString::fromStdString(group->name)));

    paint.maxCell = button(core_.geometry().GetMaxCellButtonRect(rc), 0, core_.geometry().m_szMaxCellImage.cy);
    paint.maxScreen = window->fullscreen ? button(core_.geometry().GetMaxButtonRect(rc), 22, 33)
                                         : button(core_.geometry().GetMaxButtonRect(rc), 0, 11);

    if (core_.IsSelected(window)) {
        paint.frame = WindowPaint::Frame::Selected;
        paint.frameColour = wallview::kSelectionFrame;
    } else {
        paint.frame = check >= 0 ? WindowPaint::Frame::Solid : WindowPaint::Frame::Dotted;
        paint.frameColour = m_clrGridLine;
    }
    return paint;
}

WallLayerScene WallPainting::DescribeBaseLayer(const Rect& visible)
{
    WallLayerScene scene;
    LayerFrame& f = scene.frame;
    f.canvas = core_.geometry().m_rcCanvas;
    f.visible = visible;
    f.origin = core_.geometry().m_ptViewOrg;
    f.wallArea = core_.geometry().m_rcWallArea;
    f.wallView = core_.geometry().m_rcWallView;
    f.background = m_clrBackground;
    f.wall = m_clrWall;
    f.noOutputCell = m_clrNoOutputCell;
    f.gridLine = m_clrGridLine;
    f.translucent = core_.m_bTransparent;
    f.drawable = PlanDrawable();
    if (!f.drawable)
        return scene;
    f.cells = CellNames();
    f.twoOutputParts = TwoOutputParts();
    f.gridMatch = GridListsMatch();
    if (!f.gridMatch)
        return scene;
    f.rows = RowLines(core_.geometry().m_rcWallArea);
    f.columns = ColumnLines(core_.geometry().m_rcWallArea);
    for (const auto& window : core_.m_pPlan->GetWindows()) {
        LayerWindow item;
        item.paint = DescribeWindow(
            window, IntersectRect(core_.geometry().GetWindowViewRect(window), core_.geometry().m_rcWallView),
            core_.editing().m_ptCurrent);
        if (item.paint.logo)
            item.bitmap = window->osd->bitmap;
        scene.windows.push_back(std::move(item));
    }
    return scene;
}

std::optional<std::vector<Rect>> BaseLayerDamage(const WallLayerScene& before, const WallLayerScene& now)
{
    if (before.frame != now.frame || before.windows.size() != now.windows.size())
        return std::nullopt;
    // A window paints only inside its rectangle, so what covers a pixel
    // outside the changed windows is as it was.
    std::vector<Rect> damage;
    for (size_t i = 0; i < now.windows.size(); ++i) {
        if (before.windows[i] == now.windows[i])
            continue;
        for (const Rect& r : {before.windows[i].paint.rc, now.windows[i].paint.rc})
            if (!RectEmpty(r))
                damage.push_back(r);
    }
    return damage;
}

bool WallPainting::ShowsMoveFrame() const
{
    return core_.editing().m_nDragMode == kDragMove && !core_.m_bTransparent && core_.m_vecSelection.empty() &&
           core_.m_pActiveWnd;
}

bool WallPainting::ShowsRubberBand() const
{
    const WallEditing& edit = core_.editing();
    return edit.m_nDragMode == kDragBand && edit.m_ptCurrent.x > edit.m_ptDragLast.x &&
           edit.m_ptCurrent.y > edit.m_ptDragLast.y;
}

std::vector<Point> WallPainting::SnapMarkPoints(const Rect& rc) const
{
    const Point lt{rc.left, rc.top}, rt{rc.right, rc.top}, lb{rc.left, rc.bottom}, rb{rc.right, rc.bottom};
    switch (core_.editing().m_nSnapCode) {
    case kHitTop: return {lt, rt};
    case kHitBottom: return {lb, rb};
    case kHitLeft: return {lt, lb};
    case kHitRight: return {rt, rb};
    case kHitTopLeft: return {rt, lt, lb};
    case kHitBottomLeft: return {lt, lb, rb};
    case kHitTopRight: return {lt, rt, rb};
    case kHitBottomRight: return {rt, rb, lb};
    default: return {};
    }
}

WatchStripPaint WallPainting::DescribeWatchStrip() const
{
    WatchStripPaint strip;
    const Rect& s = core_.geometry().m_rcWatchStrip;
    if (!core_.m_pPlan || RectEmpty(s))
        return strip;
    strip.shown = true;
    strip.header = {MakeRect(s.left, s.top, int64_t(s.left) + 160, s.bottom), Tr("监视输出")};
    const auto outputs = core_.m_pPlan->GetWatchOutputs();
    if (core_.geometry().m_vecWatchSlotRects.size() != outputs.size())
        return strip;
    const QString none = Tr("输入: 无");
    for (size_t i = 0; i < outputs.size(); ++i) {
        WatchSlotPaint slot;
        const Rect r = core_.geometry().m_vecWatchSlotRects[i];
        slot.rect = r;
        slot.title = {
            MakeRect(int64_t(r.left) + 4, int64_t(r.top) - core_.geometry().m_nTitleHeight + 4, r.right, r.top),
            QStringLiteral("%1 %2").arg(Tr("监视输出")).arg(i + 1)};
        slot.take = {MakeRect(int64_t(r.left) + 4, s.bottom, r.right, core_.geometry().m_rcCanvas.bottom),
                     Tr("双击监视窗口推送到大屏（TAKE）")};
        const auto watch = core_.m_pPlan->GetWatchWindowById(outputs[i]);
        if (!watch) {
            slot.inputs.push_back({MakeRect(int64_t(r.left) + 4, int64_t(r.top) + 4, r.right, r.bottom), none});
        } else if (watch->row > 0 && watch->col > 0 && watch->row <= kMaxWatchSplit && watch->col <= kMaxWatchSplit &&
                   RectWidth(r) >= watch->col && RectHeight(r) >= watch->row) {
            const auto processor = watch->processor >= 0
                                       ? CQelContext::GetProMan()->FindById(uint32_t(watch->processor))
                                       : core_.SelectedProcessor();
            const auto cells = SplitRect(r, watch->row, watch->col);
            for (int32_t c = 1; c < watch->col; ++c)
                slot.columnLines.solid.push_back(cells[size_t(c)].left);
            for (int32_t row = 1; row < watch->row; ++row)
                slot.rowLines.solid.push_back(cells[size_t(row) * size_t(watch->col)].top);
            for (size_t n = 0; n < cells.size(); ++n) {
                const int32_t id = IntListAt(*watch, int32_t(n));
                const auto source = processor && id >= 0 ? processor->GetSigSrc(uint32_t(id)) : nullptr;
                const Rect& cell = cells[n];
                slot.inputs.push_back(
                    {MakeRect(int64_t(cell.left) + 4, int64_t(cell.top) + 4, cell.right, cell.bottom),
                     source ? QStringLiteral("%1: %2").arg(Tr("输入"), QString::fromStdString(source->GetName()))
                            : none});
            }
        }
        strip.watchSlots.push_back(std::move(slot));
    }
    return strip;
}

namespace {

// Whether the resource layers apply: a plan shown on a selected processor
// whose resource tips are not switched off.
bool ResourceTipsOn(const std::shared_ptr<CQelPlan>& plan, const std::shared_ptr<CQelProcessor>& processor)
{
    return plan && processor && processor->settings().GetAppOptions().disableResourcePoorTip != 1;
}

} // namespace

std::vector<OverlayMark> WallPainting::EightPartShortageMarks()
{
    std::vector<OverlayMark> marks;
    const auto processor = core_.SelectedProcessor();
    if (!ResourceTipsOn(core_.m_pPlan, processor))
        return marks;
    for (const auto& output : m_overlays.Get(*core_.m_pPlan, processor).bands) {
        for (const auto& band : output->invalid) {
            if (band.value == 1)
                continue;
            m_bShortage = true;
            marks.push_back({core_.geometry().WallToViewRect(band.rect), wallview::kShortageMark});
        }
    }
    return marks;
}

std::vector<OverlayMark> WallPainting::EightPartOverlayMarks()
{
    std::vector<OverlayMark> marks;
    const auto processor = core_.SelectedProcessor();
    if (!ResourceTipsOn(core_.m_pPlan, processor))
        return marks;
    const auto& failures = m_overlays.Get(*core_.m_pPlan, processor).failures;
    if (!failures.empty())
        m_bShortage = true;
    for (const auto& failure : failures) {
        ui::ColorRef colour = ui::rgb(0, 0, 0);
        switch (failure->code) {
        case 0: colour = ui::rgb(255, 0, 0); break;
        case 1: colour = ui::rgb(255, 255, 0); break;
        case 2: colour = ui::rgb(111, 111, 0); break;
        default: break;
        }
        marks.push_back({core_.geometry().WallToViewRect(failure->rect), colour});
    }
    return marks;
}

namespace {

// Drag marks are cut this far outside the visible canvas, so a cut edge
// never shows and no size leaves the int range.
constexpr int kBoundsMargin = 8;

Rect BoundedTo(const Rect& r, const Rect& v)
{
    return IntersectRect(r, MakeRect(int64_t(v.left) - kBoundsMargin, int64_t(v.top) - kBoundsMargin,
                                     int64_t(v.right) + kBoundsMargin, int64_t(v.bottom) + kBoundsMargin));
}

} // namespace

TopLayerScene WallPainting::DescribeTopLayer(const Rect& visible, bool windowsDrawn)
{
    TopLayerScene top;
    BeginDrawPass();
    if (windowsDrawn) {
        if (ShowsMoveFrame())
            top.moveFrame = BoundedTo(core_.geometry().GetWindowViewRect(core_.m_pActiveWnd), visible);
        if (core_.m_pActiveWnd) {
            top.snapMark = SnapMarkPoints(BoundedTo(core_.geometry().GetWindowViewRect(core_.m_pActiveWnd), visible));
            if (top.snapMark.size() < 2)
                top.snapMark.clear();
        }
        if (ShowsRubberBand()) {
            const WallEditing& edit = core_.editing();
            top.rubberBand = BoundedTo(
                Rect{edit.m_ptDragLast.x, edit.m_ptDragLast.y, edit.m_ptCurrent.x, edit.m_ptCurrent.y}, visible);
        }
        top.marginFrame = MarginFrame();
        top.sizeTexts = WallSizeTexts();
        top.resolutionMismatch = ResolutionMismatch();
        top.watchStrip = DescribeWatchStrip();
    }
    top.shortage = EightPartShortageMarks();
    top.overlay = EightPartOverlayMarks();
    top.status = LogoSaveStatusText();
    top.shortageNotice = ShortageNoticeText();
    return top;
}

std::optional<std::vector<Rect>> TopLayerDamage(const TopLayerScene& before, const TopLayerScene& now)
{
    if (before.marginFrame != now.marginFrame || before.sizeTexts != now.sizeTexts ||
        before.resolutionMismatch != now.resolutionMismatch || before.watchStrip != now.watchStrip ||
        before.status != now.status || before.shortageNotice != now.shortageNotice)
        return std::nullopt;
    std::vector<Rect> damage;
    const auto add = [&](const Rect& r) {
        if (!RectEmpty(r))
            damage.push_back(r);
    };
    if (before.moveFrame != now.moveFrame) {
        add(before.moveFrame);
        add(now.moveFrame);
    }
    if (before.rubberBand != now.rubberBand) {
        add(before.rubberBand);
        add(now.rubberBand);
    }
    if (before.snapMark != now.snapMark) {
        for (const auto* points : {&before.snapMark, &now.snapMark}) {
            if (points->empty())
                continue;
            int64_t left = points->front().x, top = points->front().y, right = left, bottom = top;
            for (const Point& pt : *points) {
                left = std::min<int64_t>(left, pt.x);
                top = std::min<int64_t>(top, pt.y);
                right = std::max<int64_t>(right, pt.x);
                bottom = std::max<int64_t>(bottom, pt.y);
            }
            add(MakeRect(left - kSnapMarkWidth, top - kSnapMarkWidth, right + kSnapMarkWidth + 1,
                         bottom + kSnapMarkWidth + 1));
        }
    }
    // Marks blend in their order: outside the marks between the lists'
    // common start and common end, the same marks cover a pixel in the
    // same order.
    for (const auto& [was, is] :
         {std::pair{&before.shortage, &now.shortage}, std::pair{&before.overlay, &now.overlay}}) {
        const size_t shorter = std::min(was->size(), is->size());
        size_t head = 0;
        while (head < shorter && (*was)[head] == (*is)[head])
            ++head;
        size_t tail = 0;
        while (tail < shorter - head && (*was)[was->size() - 1 - tail] == (*is)[is->size() - 1 - tail])
            ++tail;
        for (const auto* marks : {was, is})
            for (size_t i = head; i < marks->size() - tail; ++i)
                add((*marks)[i].rect);
    }
    return damage;
}

QString WallPainting::LogoSaveStatusText() const
{
    const int done = core_.m_nOsdSaveDone.load();
    const int total = core_.m_nOsdSaveTotal.load();
    if (core_.m_nMode == kModeSavingLogos)
        return QStringLiteral("%1    %2 / %3").arg(Tr("正在保存台标，请稍等...")).arg(done).arg(total);
    if (core_.m_nMode == kModeLogosSaved)
        return done == total ? Tr("台标保存完毕") : Tr("台标保存失败");
    return QString();
}

QString WallPainting::ShortageNoticeText() const
{
    return m_bShortage ? Tr("资源不足，请调整窗口") : QString();
}
