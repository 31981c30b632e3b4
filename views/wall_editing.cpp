// Editing the wall with mouse and keys: hit test, selection, drags, new
// windows by band, click or drop, title-bar buttons and arrow keys. Every
// finished edit ends in OnPlanEdited; logo windows are only sent.
#include "views/wall_editing.h"

#include <algorithm>
#include <cstdint>

#include "context/context.h"
#include "core/language_tr.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_src.h"
#include "platform/rect_math.h"
#include "platform/ui/modal.h"

namespace {

using Direction = WallViewCore::Direction;
using GridCell = WallViewCore::GridCell;
using ViewCursor = WallViewCore::ViewCursor;
using enum WallViewCore::Direction;
using enum WallViewCore::DragMode;
using enum WallViewCore::ExecMode;
using enum WallViewCore::Key;
using enum WallViewCore::ViewMode;

// Resize handles reach this far to either side of the active window's border.
constexpr int kHandleBand = 2;
// A window's body starts this far inside its rectangle.
constexpr int kBodyInset = 2;
// Arrow-key steps in wall pixels: x stays even.
constexpr int kKeyStepX = 2;
constexpr int kKeyStepY = 1;
// A group's bounding box starts from these before the first window.
constexpr int kBoxStart = 100000;
const QString kNoTip = QStringLiteral("    ");

Rect Inflated(const Rect& r, int64_t d)
{
    return MakeRect(r.left - d, r.top - d, int64_t(r.right) + d, int64_t(r.bottom) + d);
}

bool IsLogo(const WallViewCore::WindowPtr& window)
{
    return window && window->sigsrc == kLogoSigSrc;
}

bool InRange(int64_t v, int64_t low, int64_t high)
{
    return v >= low && v <= high;
}

// The code of a point in the handle band of `rc`, or kHitNone.
WallHit HandleCode(const Rect& rc, Point pt)
{
    const Rect outer = Inflated(rc, kHandleBand);
    const Rect inner = Inflated(rc, -kHandleBand);
    if (!PtInRect(outer, pt.x, pt.y) || PtInRect(inner, pt.x, pt.y))
        return kHitNone;
    const auto across = [&](WallHit leftCode, WallHit rightCode, WallHit middleCode) {
        if (InRange(pt.x, outer.left, inner.left))
            return leftCode;
        if (InRange(pt.x, inner.right, outer.right))
            return rightCode;
        if (pt.x > inner.left && pt.x < inner.right)
            return middleCode;
        return kHitNone;
    };
    if (InRange(pt.y, outer.top, inner.top))
        return across(kHitTopLeft, kHitTopRight, kHitTop);
    if (InRange(pt.y, inner.bottom, outer.bottom))
        return across(kHitBottomLeft, kHitBottomRight, kHitBottom);
    if (pt.y > inner.top && pt.y < inner.bottom)
        return across(kHitLeft, kHitRight, kHitNone);
    return kHitNone;
}

// `r` moved, keeping its size, to start inside `w` and not end past it,
// then cut to `w` (a window larger than the wall).
Rect KeptInside(Rect r, const Rect& w)
{
    return IntersectRect(ShiftInside(r, w), w);
}

} // namespace

WallEditing::WallEditing(WallViewCore& core) : core_(core) {}

// ---- Hit test, cursor, tip ---------------------------------------------------

WallHit WallEditing::HitTest(Point pt, int& index)
{
    index = -1;
    if (!core_.m_pPlan)
        return kHitNone;
    if (core_.m_pActiveWnd && core_.m_pActiveWnd->status != 1) {
        if (const WallHit code = HandleCode(core_.m_pActiveWnd->rectView, pt); code != kHitNone)
            return code;
    }
    const auto windows = core_.m_pPlan->GetWindows();
    for (size_t i = windows.size(); i-- > 0;) {
        const WindowPtr& window = windows[i];
        const Rect rc = core_.geometry().GetWindowViewRect(window);
        WallHit code = kHitNone;
        if (PtInRect(core_.geometry().GetCloseButtonRect(rc), pt.x, pt.y))
            code = kHitClose;
        else if (IsLogo(window)) {
            if (!PtInRect(rc, pt.x, pt.y))
                continue;
            code = kHitTitle;
        } else if (PtInRect(core_.geometry().GetMaxCellButtonRect(rc), pt.x, pt.y))
            code = kHitMaxCell;
        else if (PtInRect(core_.geometry().GetMaxButtonRect(rc), pt.x, pt.y))
            code = kHitMax;
        else if (PtInRect(MakeRect(rc.left, rc.top, rc.right, int64_t(rc.top) + core_.geometry().m_nTitleHeight), pt.x,
                          pt.y))
            code = kHitTitle;
        else if (PtInRect(Inflated(rc, -kBodyInset), pt.x, pt.y))
            code = kHitBody;
        if (code != kHitNone) {
            index = int(i);
            core_.InvalidateView();
            return code;
        }
    }
    return kHitNone;
}

void WallEditing::UpdateCursor(WallHit code)
{
    switch (code) {
    case kHitTop:
    case kHitBottom: core_.SetViewCursor(ViewCursor::SizeNS); return;
    case kHitLeft:
    case kHitRight: core_.SetViewCursor(ViewCursor::SizeWE); return;
    case kHitTopLeft:
    case kHitBottomRight: core_.SetViewCursor(ViewCursor::SizeNWSE); return;
    case kHitBottomLeft:
    case kHitTopRight: core_.SetViewCursor(ViewCursor::SizeNESW); return;
    default: core_.SetViewCursor(core_.m_nMode == kModePlacingLogo ? ViewCursor::Place : ViewCursor::Arrow);
    }
}

void WallEditing::UpdateTitleButtonTip(Point pt)
{
    int index = -1;
    const WallHit code = HitTest(pt, index);
    const WindowPtr window = index >= 0 && core_.m_pPlan ? core_.m_pPlan->GetWindowAt(index) : nullptr;
    Rect rect{0, 0, 1, 1};
    QString text = kNoTip;
    if (window && code == kHitClose) {
        rect = core_.geometry().GetCloseButtonRect(window);
        text = TranslateText(QStringLiteral("关闭"));
    } else if (window && code == kHitMaxCell) {
        rect = core_.geometry().GetMaxCellButtonRect(window);
        text = TranslateText(QStringLiteral("单元格内最大化"));
    } else if (window && code == kHitMax) {
        rect = core_.geometry().GetMaxButtonRect(window);
        text = TranslateText(window->fullscreen ? QStringLiteral("还原") : QStringLiteral("最大化"));
    }
    const bool moved = rect != m_rcTipTool;
    m_rcTipTool = rect;
    core_.SetTip(rect, moved, text);
}

// ---- Selection ---------------------------------------------------------------

void WallEditing::SetActiveWnd(const WindowPtr& window)
{
    if (window == core_.m_pActiveWnd)
        return;
    core_.m_pActiveWnd = window;
    if (core_.m_pPlan && window)
        core_.m_pPlan->SelectWindow(window);
    core_.m_vecSelection.clear();
    core_.InvalidateView();
}

bool WallEditing::ToggleSelection(const WindowPtr& window)
{
    const auto it = std::find(core_.m_vecSelection.begin(), core_.m_vecSelection.end(), window);
    const bool added = it == core_.m_vecSelection.end();
    if (added)
        core_.m_vecSelection.push_back(window);
    else
        core_.m_vecSelection.erase(it);
    core_.InvalidateView();
    return added;
}

void WallEditing::ClearSelection()
{
    if (core_.m_vecSelection.empty())
        return;
    core_.m_vecSelection.clear();
    core_.InvalidateView();
}

void WallEditing::SelectAllWindows()
{
    core_.m_vecSelection.clear();
    if (core_.m_pPlan)
        core_.m_vecSelection = core_.m_pPlan->GetWindows();
    core_.InvalidateView();
}

void WallEditing::SetSelectionLocked(bool locked)
{
    std::vector<WindowPtr> targets = core_.m_vecSelection;
    if (targets.empty() && core_.m_pActiveWnd)
        targets.push_back(core_.m_pActiveWnd);
    for (const auto& window : targets)
        window->status = locked ? 1 : 0;
    core_.InvalidateView();
}

// ---- Mouse -------------------------------------------------------------------

void WallEditing::OnLButtonDown(Point device, bool ctrl)
{
    const Point pt = core_.geometry().DeviceToCanvasPoint(device);
    if (!core_.m_pPlan)
        return;
    m_nDragMode = kDragNone;
    m_ptDragLast = m_ptCurrent = pt;
    m_rcSnap = Rect{};
    m_nSnapCode = kHitNone;
    int index = -1;
    const WallHit code = HitTest(pt, index);
    UpdateCursor(code);
    const WindowPtr window = index >= 0 ? core_.m_pPlan->GetWindowAt(index) : nullptr;

    if (code == kHitClose) {
        if (!window)
            return;
        const bool wasActive = window == core_.m_pActiveWnd;
        core_.m_pPlan->RemoveWindow(window);
        // The closed window must not stay selected or active: a later
        // command on the selection would put it back.
        core_.DropDepartedWindows();
        if (IsLogo(window))
            core_.AutoSendFixedWindow();
        else
            core_.OnPlanEdited(kActDeleteWindow);
        if (wasActive && core_.m_pPlan)
            SetActiveWnd(core_.m_pPlan->GetWindowAt(0));
        return;
    }
    if (code == kHitMax) {
        if (window && !IsLogo(window)) {
            core_.geometry().SetWindowFullScreen(!window->fullscreen, window);
            core_.OnPlanEdited(kActFullScreen);
        }
        return;
    }
    if (code == kHitMaxCell) {
        if (window && !IsLogo(window)) {
            SetActiveWnd(window);
            core_.commands().OnCmdMaximizeInCell();
        }
        return;
    }
    if (code != kHitBody && code != kHitTitle)
        ClearSelection();
    if ((code == kHitBody || code == kHitTitle) && window) {
        if (ctrl) {
            ToggleSelection(window);
            return;
        }
        if (!core_.IsSelected(window))
            ClearSelection();
        if (core_.m_vecSelection.empty())
            SetActiveWnd(window);
        m_nDragMode = code == kHitTitle && window->status != 1 ? kDragMove : kDragBand;
    } else if (code >= kHitTop && code <= kHitBottomRight) {
        m_nDragMode = DragMode(int(code) - int(kHitTop) + int(kDragTop));
    } else if (code == kHitNone) {
        m_nDragMode = kDragBand;
    }
}

void WallEditing::OnMouseMove(Point device)
{
    const Point pt = core_.geometry().DeviceToCanvasPoint(device);
    if (!core_.m_pPlan)
        return;
    UpdateTitleButtonTip(pt);
    m_ptCurrent = pt;
    if (m_nDragMode == kDragBand) {
        core_.InvalidateView();
    } else if (m_nDragMode == kDragMove) {
        MoveSelection(pt);
        m_ptDragLast = pt;
    } else if (m_nDragMode >= kDragTop && m_nDragMode <= kDragBottomRight) {
        if (core_.m_pActiveWnd && !IsLogo(core_.m_pActiveWnd))
            ResizeActiveWindow(pt);
        m_ptDragLast = pt;
    } else {
        int index = -1;
        UpdateCursor(HitTest(pt, index));
    }
}

void WallEditing::MoveSelection(Point pt)
{
    const Rect& w = core_.geometry().m_rcWallView;
    std::vector<WindowPtr> windows = core_.m_vecSelection;
    bool snapping = false;
    if (windows.empty() && core_.m_pActiveWnd) {
        windows.push_back(core_.m_pActiveWnd);
        snapping = core_.m_bFitModule;
    }
    const int64_t dx = int64_t(pt.x) - m_ptDragLast.x;
    const int64_t dy = int64_t(pt.y) - m_ptDragLast.y;
    if (windows.size() >= 2) {
        int64_t left = kBoxStart, top = kBoxStart, right = 0, bottom = 0;
        for (const auto& window : windows) {
            if (window->status == 1)
                continue;
            const Rect& r = window->rectView;
            left = std::min<int64_t>(left, r.left);
            top = std::min<int64_t>(top, r.top);
            right = std::max<int64_t>(right, r.right);
            bottom = std::max<int64_t>(bottom, r.bottom);
        }
        const Rect box = MakeRect(left + dx, top + dy, right + dx, bottom + dy);
        const Rect inside = IntersectRect(box, w);
        if (RectEmpty(inside) || inside != box)
            return;
    }
    if (pt != m_ptDragLast) {
        for (const auto& window : windows) {
            if (window->status == 1)
                continue;
            const Rect r = KeptInside(OffsetRect(window->rectView, dx, dy), w);
            window->rectView = r;
            const Rect wall = core_.geometry().ViewToWallRect(r);
            window->rect =
                MakeRect(wall.left, wall.top, wall.left + RectWidth(window->rect), wall.top + RectHeight(window->rect));
            core_.geometry().UpdateWindowGeometry(window);
            if (snapping) {
                const Direction dir = core_.geometry().MoveDirection(m_ptDragLast.x, m_ptDragLast.y, pt.x, pt.y);
                m_nSnapCode = core_.geometry().SnapToCell(dir, core_.geometry().GetAnchorPoint(dir, window), m_rcSnap);
            }
        }
    }
    core_.InvalidateView();
}

void WallEditing::ResizeActiveWindow(Point pt)
{
    const WindowPtr window = core_.m_pActiveWnd;
    if (!window)
        return;
    const DragMode mode = m_nDragMode;
    const Rect old = window->rectView;
    int64_t left = old.left, top = old.top, right = old.right, bottom = old.bottom;
    const int64_t dx = int64_t(pt.x) - m_ptDragLast.x;
    const int64_t dy = int64_t(pt.y) - m_ptDragLast.y;
    if ((mode == kDragTop || mode == kDragTopLeft || mode == kDragTopRight) && dy != 0) {
        top += dy;
        if (bottom - top < core_.geometry().m_nMinHeight)
            top = bottom - core_.geometry().m_nMinHeight;
    }
    if ((mode == kDragBottom || mode == kDragBottomLeft || mode == kDragBottomRight) && dy != 0) {
        bottom += dy;
        if (bottom - top < core_.geometry().m_nMinHeight)
            bottom = top + core_.geometry().m_nMinHeight;
    }
    if ((mode == kDragLeft || mode == kDragTopLeft || mode == kDragBottomLeft) && dx != 0) {
        left += dx;
        if (right - left < core_.geometry().m_nMinWidth)
            left = right - core_.geometry().m_nMinWidth;
    }
    if ((mode == kDragRight || mode == kDragTopRight || mode == kDragBottomRight) && dx != 0) {
        right += dx;
        if (right - left < core_.geometry().m_nMinWidth)
            right = left + core_.geometry().m_nMinWidth;
    }
    const Rect& w = core_.geometry().m_rcWallView;
    const Rect r = MakeRect(std::max<int64_t>(left, w.left), std::max<int64_t>(top, w.top),
                            std::min<int64_t>(right, w.right), std::min<int64_t>(bottom, w.bottom));
    if (r == old)
        return;
    window->rectView = r;
    window->rect = core_.geometry().ViewToWallForResize(mode, r, window->rect);
    core_.geometry().UpdateWindowGeometry(window);
    if (core_.m_bFitModule) {
        static constexpr Direction kDirByMode[] = {kDirNone,     kDirNone,    kDirNone,     kDirUp,
                                                   kDirDown,     kDirLeft,    kDirRight,    kDirUpLeft,
                                                   kDirDownLeft, kDirUpRight, kDirDownRight};
        const Direction dir = kDirByMode[mode];
        m_nSnapCode = core_.geometry().SnapToCell(dir, core_.geometry().GetAnchorPoint(dir, window), m_rcSnap);
    }
    core_.InvalidateView();
}

void WallEditing::OnLButtonUp(Point device)
{
    const Point pt = core_.geometry().DeviceToCanvasPoint(device);
    if (!core_.m_pPlan)
        return;
    core_.ReleaseCapture();
    const Rect& w = core_.geometry().m_rcWallView;
    if (m_nDragMode == kDragBand && core_.m_nMode == kModePlacingLogo) {
        core_.m_nMode = kModeNormal;
        core_.ReleaseCapture();
        if (PtInRect(w, pt.x, pt.y)) {
            const Rect logo = core_.geometry().WallToViewRect(Rect{0, 0, wallview::kLogoWidth, wallview::kLogoHeight});
            CreateFixedWindow(IntersectRect(
                MakeRect(pt.x, pt.y, int64_t(pt.x) + RectWidth(logo), int64_t(pt.y) + RectHeight(logo)), w));
        }
    } else if (m_nDragMode == kDragBand) {
        // The band is the last position the pointer moved to, drawn right
        // and down and larger than the smallest window.
        if (int64_t(m_ptCurrent.x) - m_ptDragLast.x > core_.geometry().m_nMinWidth &&
            int64_t(m_ptCurrent.y) - m_ptDragLast.y > core_.geometry().m_nMinHeight) {
            CreateWindowFromRect(IntersectRect(Rect{m_ptDragLast.x, m_ptDragLast.y, m_ptCurrent.x, m_ptCurrent.y}, w));
            core_.OnPlanEdited(kActNewWindow);
        }
    } else if (m_nDragMode == kDragMove) {
        core_.geometry().SnapMovedWindow();
        if (IsLogo(core_.m_pActiveWnd))
            core_.AutoSendFixedWindow();
        else
            core_.OnPlanEdited(kActMoveWindow);
    } else if (m_nDragMode >= kDragTop && m_nDragMode <= kDragBottomRight) {
        if (core_.m_pActiveWnd && !IsLogo(core_.m_pActiveWnd)) {
            core_.geometry().SnapResizedWindow();
            core_.OnPlanEdited(kActResizeWindow);
        }
    }
    m_nDragMode = kDragNone;
    core_.SetViewCursor(core_.m_nMode == kModePlacingLogo ? ViewCursor::Place : ViewCursor::Arrow);
    m_rcSnap = Rect{};
    m_nSnapCode = kHitNone;
    core_.InvalidateView();
}

void WallEditing::OnLButtonDblClk(Point device)
{
    const Point pt = core_.geometry().DeviceToCanvasPoint(device);
    if (!core_.m_pPlan)
        return;
    if (PtInRect(core_.geometry().m_rcWallArea, pt.x, pt.y)) {
        int index = -1;
        const WallHit code = HitTest(pt, index);
        const WindowPtr window = index >= 0 ? core_.m_pPlan->GetWindowAt(index) : nullptr;
        if ((code == kHitBody || code == kHitTitle) && window && !IsLogo(window)) {
            core_.geometry().SetWindowFullScreen(!window->fullscreen, window);
            core_.OnPlanEdited(kActFullScreen);
            core_.commands().MoveLayerToTop();
        }
        return;
    }
    if (!PtInRect(core_.geometry().m_rcWatchStrip, pt.x, pt.y))
        return;
    const std::vector<int32_t> outputs = core_.m_pPlan->GetWatchOutputs();
    if (core_.geometry().m_vecWatchSlotRects.size() != outputs.size())
        return;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const Rect slot = core_.geometry().m_vecWatchSlotRects[i];
        if (!PtInRect(slot, pt.x, pt.y))
            continue;
        const auto watch = core_.m_pPlan->GetWatchWindowById(outputs[i]);
        if (!watch)
            return;
        const WindowPtr target = core_.m_pActiveWnd ? core_.m_pActiveWnd : core_.m_pPlan->GetWindowAt(0);
        if (!target)
            return;
        const GridCell cell = core_.geometry().GridCellAt(watch->row, watch->col, slot, pt);
        if (cell.row < 0 || cell.col < 0)
            return;
        const int64_t n = int64_t(watch->col) * cell.row + cell.col;
        const int32_t value = n <= INT32_MAX ? IntListAt(*watch, int32_t(n)) : -1;
        const auto processor = core_.SelectedProcessor();
        if (!processor || value < 0 || !processor->GetSigSrc(uint32_t(value)) || value == target->sigsrc)
            return;
        if (n < int64_t(watch->cells.size()))
            watch->cells[size_t(n)] = target->sigsrc;
        target->sigsrc = value;
        core_.ExecutePlan(kExecLayout, 1);
        core_.InvalidateView();
        return;
    }
}

// ---- New windows -------------------------------------------------------------

WallViewCore::WindowPtr WallEditing::CreateWindowFromRect(const Rect& rc)
{
    if (!core_.m_pPlan)
        return nullptr;
    const int processorId = CQelContext::GetSelProcessorId();
    const int sourceId = CQelContext::GetSelSigSrcId();
    if (processorId != core_.m_nProcessorId || sourceId == -1) {
        ui::inform(core_.DialogParent(), TranslateText(QStringLiteral("请选择信号源")));
        return nullptr;
    }
    const auto processor = core_.SelectedProcessor();
    const auto source = processor && sourceId >= 0 ? processor->GetSigSrc(uint32_t(sourceId)) : nullptr;
    if (source && source->GetMutualGroupId() != kNoId) {
        // Sources of one mutual group share hardware: only one of them may
        // be on the wall.
        const auto manager = CQelContext::GetProMan();
        for (const auto& window : core_.m_pPlan->GetWindows()) {
            const auto owner = window->processor >= 0 ? manager->FindById(uint32_t(window->processor)) : nullptr;
            const auto other = owner && window->sigsrc >= 0 ? owner->GetSigSrc(uint32_t(window->sigsrc)) : nullptr;
            if (other && other->GetMutualGroupId() == source->GetMutualGroupId() &&
                other->GetOwnerId() == source->GetOwnerId() && other->GetId() != source->GetId())
                return nullptr;
        }
    }
    if (source && source->GetType() == CQelSigSrc::kType4K)
        return Create4KWindow(rc);
    return AddNewWindow(rc, processorId, sourceId, 0);
}

WallViewCore::WindowPtr WallEditing::AddNewWindow(const Rect& rc, int processorId, int sourceId, int is4k)
{
    if (!core_.m_pPlan)
        return nullptr;
    auto window = std::make_shared<CQelWindow>();
    window->processor = processorId;
    window->sigsrc = sourceId;
    window->is4k = is4k;
    window->rectView = rc;
    window->rect = core_.geometry().ViewToWallRect(rc);
    core_.m_pPlan->AddWindow(window, CurrentPlanSelection());
    core_.geometry().UpdateWindowGeometry(window);
    SetActiveWnd(window);
    core_.InvalidateView();
    return window;
}

WallViewCore::WindowPtr WallEditing::Create4KWindow(const Rect& rc)
{
    return AddNewWindow(rc, CQelContext::GetSelProcessorId(), CQelContext::GetSelSigSrcId(), 1);
}

WallViewCore::WindowPtr WallEditing::CreateFixedWindow(const Rect& rc)
{
    return AddNewWindow(rc, CQelContext::GetSelProcessorId(), kLogoSigSrc, 0);
}

void WallEditing::DropSignalSource(Point device)
{
    // Converted to the canvas like every mouse point: on a scrolled or
    // zoomed canvas the client point alone lands elsewhere.
    const Point pt = core_.geometry().DeviceToCanvasPoint(device);
    if (!core_.m_pPlan || !PtInRect(core_.geometry().m_rcWallView, pt.x, pt.y))
        return;
    const auto processor = core_.SelectedProcessor();
    const int sourceId = CQelContext::GetSelSigSrcId();
    const auto source = processor && sourceId >= 0 ? processor->GetSigSrc(uint32_t(sourceId)) : nullptr;
    if (!source)
        return;
    int index = -1;
    const WallHit code = HitTest(pt, index);
    if (code == kHitTitle && index >= 0) {
        core_.m_pPlan->GetWindowAt(index)->sigsrc = sourceId;
        core_.OnPlanEdited(kActChangeSource);
        core_.InvalidateView();
        return;
    }
    const Resolution full = source->GetResolution();
    const Rect size = core_.geometry().WallToViewRect(Rect{0, 0, full.width, full.height});
    const Rect r =
        IntersectRect(MakeRect(pt.x, pt.y, int64_t(pt.x) + RectWidth(size), int64_t(pt.y) + RectHeight(size)),
                      core_.geometry().m_rcWallView);
    if (const WindowPtr window = CreateWindowFromRect(r)) {
        // The source's whole picture from the drop point, even past the wall.
        const Rect& at = window->rect;
        window->rect = MakeRect(at.left, at.top, int64_t(at.left) + full.width, int64_t(at.top) + full.height);
        core_.geometry().UpdateWindowGeometry(window);
        window->rectView = core_.geometry().WallToViewRect(window->rect);
    }
    core_.OnPlanEdited(kActNewWindow);
}

void WallEditing::SetWindowsSource(const std::vector<WindowPtr>& windows, int sourceId)
{
    const auto processor = core_.ViewProcessor();
    const auto source = processor && sourceId >= 0 ? processor->GetSigSrc(uint32_t(sourceId)) : nullptr;
    if (!core_.m_pPlan || !source)
        return;
    const Resolution full = source->GetResolution();
    bool changed = false;
    for (const auto& window : windows) {
        // A window closed meanwhile must not come back.
        if (!core_.InPlan(window) || window->sigsrc == sourceId)
            continue;
        const std::string name = window->name;
        // Leaving the list takes a window out of its group, and the last
        // one out removes the group: out of it for the move, a window keeps
        // its group and the group its place.
        const int32_t group = window->group;
        window->group = 0;
        core_.m_pPlan->RemoveWindow(window);
        window->sigsrc = sourceId;
        Rect& crop = window->rcsigsrc;
        if (crop.left >= full.width)
            crop.left = 0;
        if (crop.top >= full.height)
            crop.top = 0;
        if (crop.right > full.width)
            crop.right = full.width;
        if (crop.bottom > full.height)
            crop.bottom = full.height;
        window->is4k = source->GetType() == CQelSigSrc::kType4K ? 1 : 0;
        core_.m_pPlan->AddWindow(window, CurrentPlanSelection());
        // Adding names a window after its layer; a new source keeps the name.
        window->name = name;
        window->group = group;
        changed = true;
    }
    if (!changed)
        return;
    core_.DropDepartedWindows();
    core_.AutoExecutePlan();
    if (core_.m_pPlan && core_.m_pPlan->CompareHistory())
        core_.m_pPlan->AddHistory(kActChangeSource);
    core_.InvalidateView();
}

// ---- Keys --------------------------------------------------------------------

bool WallEditing::OnKeyDown(int key, bool shift)
{
    if (!core_.m_pPlan || (key != VK_LEFT && key != VK_UP && key != VK_RIGHT && key != VK_DOWN))
        return false;
    ClearSelection();
    const WindowPtr window = core_.m_pActiveWnd;
    if (!window)
        return true;
    // A refused key (at the wall's edge or the smallest size) leaves the kind
    // that earlier repeats set, so the key-up records what they changed.
    const Rect& w = core_.geometry().m_rcWallView;
    const Size pixels = core_.m_pPlan->GetPixelSize();
    const Rect& old = window->rect;
    int64_t left = old.left, top = old.top, right = old.right, bottom = old.bottom;
    KeyEdit kind = KeyEdit::None;
    Rect v;
    bool clampedView = false;
    switch (key) {
    case VK_LEFT:
        if (!shift) {
            if (left <= 0)
                return true;
            const int64_t step = std::min<int64_t>(kKeyStepX, left);
            left -= step;
            right -= step;
            kind = KeyEdit::Moved;
        } else {
            right -= kKeyStepX;
            kind = KeyEdit::Width;
        }
        break;
    case VK_RIGHT:
        // Bounded by the plan's pixel size, which a type-1 plan takes from
        // its own column widths.
        if (!shift) {
            if (right >= pixels.cx)
                return true;
            left += kKeyStepX;
            right += kKeyStepX;
            kind = KeyEdit::Moved;
        } else {
            right += kKeyStepX;
            kind = KeyEdit::Width;
        }
        break;
    case VK_UP:
        if (!shift) {
            if (top <= 0)
                return true;
            top -= kKeyStepY;
            bottom -= kKeyStepY;
            kind = KeyEdit::Moved;
        } else {
            bottom -= kKeyStepY;
            kind = KeyEdit::Height;
        }
        break;
    default: // VK_DOWN
        if (!shift) {
            if (bottom >= pixels.cy)
                return true;
            top += kKeyStepY;
            bottom += kKeyStepY;
            kind = KeyEdit::Moved;
        } else {
            bottom += kKeyStepY;
            kind = KeyEdit::Height;
        }
        break;
    }
    Rect r = MakeRect(left, top, right, bottom);
    v = core_.geometry().WallToViewRect(r);
    if (kind == KeyEdit::Moved) {
        if ((key == VK_LEFT && v.left < w.left) || (key == VK_RIGHT && v.right > w.right) ||
            (key == VK_UP && v.top < w.top) || (key == VK_DOWN && v.bottom > w.bottom))
            return true;
    } else if (key == VK_LEFT && RectWidth(v) < core_.geometry().m_nMinWidth) {
        return true;
    } else if (key == VK_UP && RectHeight(v) < core_.geometry().m_nMinHeight) {
        return true;
    } else if (key == VK_RIGHT && v.right > w.right) {
        v.right = w.right;
        clampedView = true;
    } else if (key == VK_DOWN && v.bottom > w.bottom) {
        v.bottom = w.bottom;
        clampedView = true;
    }
    if (clampedView)
        r = core_.geometry().ViewToWallRect(v);
    window->rect = r;
    window->rectView = v;
    if (kind != KeyEdit::Moved)
        core_.geometry().UpdateWindowGeometry(window);
    m_nKeyEditKind = kind;
    core_.InvalidateView();
    return true;
}

void WallEditing::OnKeyUp(int)
{
    if (!core_.m_pPlan)
        return;
    const KeyEdit kind = m_nKeyEditKind;
    m_nKeyEditKind = KeyEdit::None;
    if (!core_.m_pActiveWnd)
        return;
    if (IsLogo(core_.m_pActiveWnd)) {
        if (kind == KeyEdit::Moved)
            core_.AutoSendFixedWindow();
    } else if (kind == KeyEdit::Moved) {
        core_.OnPlanEdited(kActMoveWindow);
    } else if (kind == KeyEdit::Height || kind == KeyEdit::Width) {
        core_.OnPlanEdited(kActResizeWindow);
    }
}
