// Editing the wall with mouse and keys: hit test, selection, drags, new
// windows by band, click or drop, title-bar buttons and arrow keys. Every
// finished edit ends in OnPlanEdited; logo windows are only sent.
#include "views/wall_view_core.h"

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

// Resize handles reach this far to either side of the active window's border.
constexpr int kHandleBand = 2;
// A window's body starts this far inside its rectangle.
constexpr int kBodyInset = 2;
// Arrow-key steps in wall pixels: x stays even.
constexpr int kKeyStepX = 2;
constexpr int kKeyStepY = 1;
// A group's bounding box starts from these before the first window.
constexpr int kBoxStart = 100000;
constexpr int kLogoWidth = 256;
constexpr int kLogoHeight = 128;
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

// ---- Hit test, cursor, tip ---------------------------------------------------

WallHit WallViewCore::HitTest(Point pt, int& index)
{
    index = -1;
    if (!m_pPlan)
        return kHitNone;
    if (m_pActiveWnd && m_pActiveWnd->status != 1) {
        if (const WallHit code = HandleCode(m_pActiveWnd->rectView, pt); code != kHitNone)
            return code;
    }
    const auto windows = m_pPlan->GetWindows();
    for (size_t i = windows.size(); i-- > 0;) {
        const WindowPtr& window = windows[i];
        const Rect rc = GetWindowViewRect(window);
        WallHit code = kHitNone;
        if (PtInRect(GetCloseButtonRect(rc), pt.x, pt.y))
            code = kHitClose;
        else if (IsLogo(window)) {
            if (!PtInRect(rc, pt.x, pt.y))
                continue;
            code = kHitTitle;
        } else if (PtInRect(GetMaxCellButtonRect(rc), pt.x, pt.y))
            code = kHitMaxCell;
        else if (PtInRect(GetMaxButtonRect(rc), pt.x, pt.y))
            code = kHitMax;
        else if (PtInRect(MakeRect(rc.left, rc.top, rc.right, int64_t(rc.top) + m_nTitleHeight), pt.x, pt.y))
            code = kHitTitle;
        else if (PtInRect(Inflated(rc, -kBodyInset), pt.x, pt.y))
            code = kHitBody;
        if (code != kHitNone) {
            index = int(i);
            InvalidateView();
            return code;
        }
    }
    return kHitNone;
}

void WallViewCore::UpdateCursor(WallHit code)
{
    switch (code) {
    case kHitTop:
    case kHitBottom: SetViewCursor(ViewCursor::SizeNS); return;
    case kHitLeft:
    case kHitRight: SetViewCursor(ViewCursor::SizeWE); return;
    case kHitTopLeft:
    case kHitBottomRight: SetViewCursor(ViewCursor::SizeNWSE); return;
    case kHitBottomLeft:
    case kHitTopRight: SetViewCursor(ViewCursor::SizeNESW); return;
    default: SetViewCursor(m_nMode == kModePlacingLogo ? ViewCursor::Place : ViewCursor::Arrow);
    }
}

void WallViewCore::UpdateTitleButtonTip(Point pt)
{
    int index = -1;
    const WallHit code = HitTest(pt, index);
    const WindowPtr window = index >= 0 && m_pPlan ? m_pPlan->GetWindowAt(index) : nullptr;
    Rect rect{0, 0, 1, 1};
    QString text = kNoTip;
    if (window && code == kHitClose) {
        rect = GetCloseButtonRect(window);
        text = TranslateText(QStringLiteral("关闭"));
    } else if (window && code == kHitMaxCell) {
        rect = GetMaxCellButtonRect(window);
        text = TranslateText(QStringLiteral("单元格内最大化"));
    } else if (window && code == kHitMax) {
        rect = GetMaxButtonRect(window);
        text = TranslateText(window->fullscreen ? QStringLiteral("还原") : QStringLiteral("最大化"));
    }
    const bool moved = rect != m_rcTipTool;
    m_rcTipTool = rect;
    SetTip(rect, moved, text);
}

// ---- Selection ---------------------------------------------------------------

void WallViewCore::SetActiveWnd(const WindowPtr& window)
{
    if (window == m_pActiveWnd)
        return;
    m_pActiveWnd = window;
    if (m_pPlan && window)
        m_pPlan->SelectWindow(window);
    m_vecSelection.clear();
    InvalidateView();
}

bool WallViewCore::ToggleSelection(const WindowPtr& window)
{
    const auto it = std::find(m_vecSelection.begin(), m_vecSelection.end(), window);
    const bool added = it == m_vecSelection.end();
    if (added)
        m_vecSelection.push_back(window);
    else
        m_vecSelection.erase(it);
    InvalidateView();
    return added;
}

void WallViewCore::ClearSelection()
{
    if (m_vecSelection.empty())
        return;
    m_vecSelection.clear();
    InvalidateView();
}

void WallViewCore::SelectAllWindows()
{
    m_vecSelection.clear();
    if (m_pPlan)
        m_vecSelection = m_pPlan->GetWindows();
    InvalidateView();
}

void WallViewCore::SetSelectionLocked(bool locked)
{
    std::vector<WindowPtr> targets = m_vecSelection;
    if (targets.empty() && m_pActiveWnd)
        targets.push_back(m_pActiveWnd);
    for (const auto& window : targets)
        window->status = locked ? 1 : 0;
    InvalidateView();
}

// ---- Mouse -------------------------------------------------------------------

void WallViewCore::OnLButtonDown(Point device, bool ctrl)
{
    const Point pt = DeviceToCanvasPoint(device);
    if (!m_pPlan)
        return;
    m_nDragMode = kDragNone;
    m_ptDragLast = m_ptCurrent = pt;
    m_rcSnap = Rect{};
    m_nSnapCode = kHitNone;
    int index = -1;
    const WallHit code = HitTest(pt, index);
    UpdateCursor(code);
    const WindowPtr window = index >= 0 ? m_pPlan->GetWindowAt(index) : nullptr;

    if (code == kHitClose) {
        if (!window)
            return;
        const bool wasActive = window == m_pActiveWnd;
        m_pPlan->RemoveWindow(window);
        // The closed window must not stay selected or active: a later
        // command on the selection would put it back.
        DropDepartedWindows();
        if (IsLogo(window))
            AutoSendFixedWindow();
        else
            OnPlanEdited(kActDeleteWindow);
        if (wasActive && m_pPlan)
            SetActiveWnd(m_pPlan->GetWindowAt(0));
        return;
    }
    if (code == kHitMax) {
        if (window && !IsLogo(window)) {
            SetWindowFullScreen(!window->fullscreen, window);
            OnPlanEdited(kActFullScreen);
        }
        return;
    }
    if (code == kHitMaxCell) {
        if (window && !IsLogo(window)) {
            SetActiveWnd(window);
            OnCmdMaximizeInCell();
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
        if (!IsSelected(window))
            ClearSelection();
        if (m_vecSelection.empty())
            SetActiveWnd(window);
        m_nDragMode = code == kHitTitle && window->status != 1 ? kDragMove : kDragBand;
    } else if (code >= kHitTop && code <= kHitBottomRight) {
        m_nDragMode = DragMode(int(code) - int(kHitTop) + int(kDragTop));
    } else if (code == kHitNone) {
        m_nDragMode = kDragBand;
    }
}

void WallViewCore::OnMouseMove(Point device)
{
    const Point pt = DeviceToCanvasPoint(device);
    if (!m_pPlan)
        return;
    UpdateTitleButtonTip(pt);
    m_ptCurrent = pt;
    if (m_nDragMode == kDragBand) {
        InvalidateView();
    } else if (m_nDragMode == kDragMove) {
        MoveSelection(pt);
        m_ptDragLast = pt;
    } else if (m_nDragMode >= kDragTop && m_nDragMode <= kDragBottomRight) {
        if (m_pActiveWnd && !IsLogo(m_pActiveWnd))
            ResizeActiveWindow(pt);
        m_ptDragLast = pt;
    } else {
        int index = -1;
        UpdateCursor(HitTest(pt, index));
    }
}

void WallViewCore::MoveSelection(Point pt)
{
    const Rect& w = m_rcWallView;
    std::vector<WindowPtr> windows = m_vecSelection;
    bool snapping = false;
    if (windows.empty() && m_pActiveWnd) {
        windows.push_back(m_pActiveWnd);
        snapping = m_bFitModule;
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
            const Rect wall = ViewToWallRect(r);
            window->rect =
                MakeRect(wall.left, wall.top, wall.left + RectWidth(window->rect), wall.top + RectHeight(window->rect));
            UpdateWindowGeometry(window);
            if (snapping) {
                const Direction dir = MoveDirection(m_ptDragLast.x, m_ptDragLast.y, pt.x, pt.y);
                m_nSnapCode = SnapToCell(dir, GetAnchorPoint(dir, window), m_rcSnap);
            }
        }
    }
    InvalidateView();
}

void WallViewCore::ResizeActiveWindow(Point pt)
{
    const WindowPtr window = m_pActiveWnd;
    if (!window)
        return;
    const DragMode mode = m_nDragMode;
    const Rect old = window->rectView;
    int64_t left = old.left, top = old.top, right = old.right, bottom = old.bottom;
    const int64_t dx = int64_t(pt.x) - m_ptDragLast.x;
    const int64_t dy = int64_t(pt.y) - m_ptDragLast.y;
    if ((mode == kDragTop || mode == kDragTopLeft || mode == kDragTopRight) && dy != 0) {
        top += dy;
        if (bottom - top < m_nMinHeight)
            top = bottom - m_nMinHeight;
    }
    if ((mode == kDragBottom || mode == kDragBottomLeft || mode == kDragBottomRight) && dy != 0) {
        bottom += dy;
        if (bottom - top < m_nMinHeight)
            bottom = top + m_nMinHeight;
    }
    if ((mode == kDragLeft || mode == kDragTopLeft || mode == kDragBottomLeft) && dx != 0) {
        left += dx;
        if (right - left < m_nMinWidth)
            left = right - m_nMinWidth;
    }
    if ((mode == kDragRight || mode == kDragTopRight || mode == kDragBottomRight) && dx != 0) {
        right += dx;
        if (right - left < m_nMinWidth)
            right = left + m_nMinWidth;
    }
    const Rect& w = m_rcWallView;
    const Rect r = MakeRect(std::max<int64_t>(left, w.left), std::max<int64_t>(top, w.top),
                            std::min<int64_t>(right, w.right), std::min<int64_t>(bottom, w.bottom));
    if (r == old)
        return;
    window->rectView = r;
    window->rect = ViewToWallForResize(mode, r, window->rect);
    UpdateWindowGeometry(window);
    if (m_bFitModule) {
        static constexpr Direction kDirByMode[] = {kDirNone,     kDirNone,    kDirNone,     kDirUp,
                                                   kDirDown,     kDirLeft,    kDirRight,    kDirUpLeft,
                                                   kDirDownLeft, kDirUpRight, kDirDownRight};
        const Direction dir = kDirByMode[mode];
        m_nSnapCode = SnapToCell(dir, GetAnchorPoint(dir, window), m_rcSnap);
    }
    InvalidateView();
}

void WallViewCore::OnLButtonUp(Point device)
{
    const Point pt = DeviceToCanvasPoint(device);
    if (!m_pPlan)
        return;
    ReleaseCapture();
    const Rect& w = m_rcWallView;
    if (m_nDragMode == kDragBand && m_nMode == kModePlacingLogo) {
        m_nMode = kModeNormal;
        ReleaseCapture();
        if (PtInRect(w, pt.x, pt.y)) {
            const Rect logo = WallToViewRect(Rect{0, 0, kLogoWidth, kLogoHeight});
            CreateFixedWindow(IntersectRect(
                MakeRect(pt.x, pt.y, int64_t(pt.x) + RectWidth(logo), int64_t(pt.y) + RectHeight(logo)), w));
        }
    } else if (m_nDragMode == kDragBand) {
        // The band is the last position the pointer moved to, drawn right
        // and down and larger than the smallest window.
        if (int64_t(m_ptCurrent.x) - m_ptDragLast.x > m_nMinWidth &&
            int64_t(m_ptCurrent.y) - m_ptDragLast.y > m_nMinHeight) {
            CreateWindowFromRect(IntersectRect(Rect{m_ptDragLast.x, m_ptDragLast.y, m_ptCurrent.x, m_ptCurrent.y}, w));
            OnPlanEdited(kActNewWindow);
        }
    } else if (m_nDragMode == kDragMove) {
        SnapMovedWindow();
        if (IsLogo(m_pActiveWnd))
            AutoSendFixedWindow();
        else
            OnPlanEdited(kActMoveWindow);
    } else if (m_nDragMode >= kDragTop && m_nDragMode <= kDragBottomRight) {
        if (m_pActiveWnd && !IsLogo(m_pActiveWnd)) {
            SnapResizedWindow();
            OnPlanEdited(kActResizeWindow);
        }
    }
    m_nDragMode = kDragNone;
    SetViewCursor(m_nMode == kModePlacingLogo ? ViewCursor::Place : ViewCursor::Arrow);
    m_rcSnap = Rect{};
    m_nSnapCode = kHitNone;
    InvalidateView();
}

void WallViewCore::OnLButtonDblClk(Point device)
{
    const Point pt = DeviceToCanvasPoint(device);
    if (!m_pPlan)
        return;
    if (PtInRect(m_rcWallArea, pt.x, pt.y)) {
        int index = -1;
        const WallHit code = HitTest(pt, index);
        const WindowPtr window = index >= 0 ? m_pPlan->GetWindowAt(index) : nullptr;
        if ((code == kHitBody || code == kHitTitle) && window && !IsLogo(window)) {
            SetWindowFullScreen(!window->fullscreen, window);
            OnPlanEdited(kActFullScreen);
            MoveLayerToTop();
        }
        return;
    }
    if (!PtInRect(m_rcWatchStrip, pt.x, pt.y))
        return;
    const std::vector<int32_t> outputs = m_pPlan->GetWatchOutputs();
    if (m_vecWatchSlotRects.size() != outputs.size())
        return;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const Rect slot = m_vecWatchSlotRects[i];
        if (!PtInRect(slot, pt.x, pt.y))
            continue;
        const auto watch = m_pPlan->GetWatchWindowById(outputs[i]);
        if (!watch)
            return;
        const WindowPtr target = m_pActiveWnd ? m_pActiveWnd : m_pPlan->GetWindowAt(0);
        if (!target)
            return;
        const GridCell cell = GridCellAt(watch->row, watch->col, slot, pt);
        if (cell.row < 0 || cell.col < 0)
            return;
        const int64_t n = int64_t(watch->col) * cell.row + cell.col;
        const int32_t value = n <= INT32_MAX ? IntListAt(*watch, int32_t(n)) : -1;
        const auto processor = SelectedProcessor();
        if (!processor || value < 0 || !processor->GetSigSrc(uint32_t(value)) || value == target->sigsrc)
            return;
        if (n < int64_t(watch->cells.size()))
            watch->cells[size_t(n)] = target->sigsrc;
        target->sigsrc = value;
        ExecutePlan(kExecLayout, 1);
        InvalidateView();
        return;
    }
}

// ---- New windows -------------------------------------------------------------

WallViewCore::WindowPtr WallViewCore::CreateWindowFromRect(const Rect& rc)
{
    if (!m_pPlan)
        return nullptr;
    const int processorId = CQelContext::GetSelProcessorId();
    const int sourceId = CQelContext::GetSelSigSrcId();
    if (processorId != m_nProcessorId || sourceId == -1) {
        ui::inform(DialogParent(), TranslateText(QStringLiteral("请选择信号源")));
        return nullptr;
    }
    const auto processor = SelectedProcessor();
    const auto source = processor && sourceId >= 0 ? processor->GetSigSrc(uint32_t(sourceId)) : nullptr;
    if (source && source->GetMutualGroupId() != kNoId) {
        // Sources of one mutual group share hardware: only one of them may
        // be on the wall.
        const auto manager = CQelContext::GetProMan();
        for (const auto& window : m_pPlan->GetWindows()) {
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

WallViewCore::WindowPtr WallViewCore::AddNewWindow(const Rect& rc, int processorId, int sourceId, int is4k)
{
    if (!m_pPlan)
        return nullptr;
    auto window = std::make_shared<CQelWindow>();
    window->processor = processorId;
    window->sigsrc = sourceId;
    window->is4k = is4k;
    window->rectView = rc;
    window->rect = ViewToWallRect(rc);
    m_pPlan->AddWindow(window, CurrentPlanSelection());
    UpdateWindowGeometry(window);
    SetActiveWnd(window);
    InvalidateView();
    return window;
}

WallViewCore::WindowPtr WallViewCore::Create4KWindow(const Rect& rc)
{
    return AddNewWindow(rc, CQelContext::GetSelProcessorId(), CQelContext::GetSelSigSrcId(), 1);
}

WallViewCore::WindowPtr WallViewCore::CreateFixedWindow(const Rect& rc)
{
    return AddNewWindow(rc, CQelContext::GetSelProcessorId(), kLogoSigSrc, 0);
}

void WallViewCore::DropSignalSource(Point device)
{
    // Converted to the canvas like every mouse point: on a scrolled or
    // zoomed canvas the client point alone lands elsewhere.
    const Point pt = DeviceToCanvasPoint(device);
    if (!m_pPlan || !PtInRect(m_rcWallView, pt.x, pt.y))
        return;
    const auto processor = SelectedProcessor();
    const int sourceId = CQelContext::GetSelSigSrcId();
    const auto source = processor && sourceId >= 0 ? processor->GetSigSrc(uint32_t(sourceId)) : nullptr;
    if (!source)
        return;
    int index = -1;
    const WallHit code = HitTest(pt, index);
    if (code == kHitTitle && index >= 0) {
        m_pPlan->GetWindowAt(index)->sigsrc = sourceId;
        OnPlanEdited(kActChangeSource);
        InvalidateView();
        return;
    }
    const Resolution full = source->GetResolution();
    const Rect size = WallToViewRect(Rect{0, 0, full.width, full.height});
    const Rect r = IntersectRect(
        MakeRect(pt.x, pt.y, int64_t(pt.x) + RectWidth(size), int64_t(pt.y) + RectHeight(size)), m_rcWallView);
    if (const WindowPtr window = CreateWindowFromRect(r)) {
        // The source's whole picture from the drop point, even past the wall.
        const Rect& at = window->rect;
        window->rect = MakeRect(at.left, at.top, int64_t(at.left) + full.width, int64_t(at.top) + full.height);
        UpdateWindowGeometry(window);
        window->rectView = WallToViewRect(window->rect);
    }
    OnPlanEdited(kActNewWindow);
}

void WallViewCore::SetWindowsSource(const std::vector<WindowPtr>& windows, int sourceId)
{
    const auto processor = ViewProcessor();
    const auto source = processor && sourceId >= 0 ? processor->GetSigSrc(uint32_t(sourceId)) : nullptr;
    if (!m_pPlan || !source)
        return;
    const Resolution full = source->GetResolution();
    bool changed = false;
    for (const auto& window : windows) {
        // A window closed meanwhile must not come back.
        if (!InPlan(window) || window->sigsrc == sourceId)
            continue;
        const std::string name = window->name;
        // Leaving the list takes a window out of its group, and the last
        // one out removes the group: out of it for the move, a window keeps
        // its group and the group its place.
        const int32_t group = window->group;
        window->group = 0;
        m_pPlan->RemoveWindow(window);
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
        m_pPlan->AddWindow(window, CurrentPlanSelection());
        // Adding names a window after its layer; a new source keeps the name.
        window->name = name;
        window->group = group;
        changed = true;
    }
    if (!changed)
        return;
    DropDepartedWindows();
    AutoExecutePlan();
    if (m_pPlan && m_pPlan->CompareHistory())
        m_pPlan->AddHistory(kActChangeSource);
    InvalidateView();
}

// ---- Keys --------------------------------------------------------------------

bool WallViewCore::OnKeyDown(int key, bool shift)
{
    if (!m_pPlan || (key != VK_LEFT && key != VK_UP && key != VK_RIGHT && key != VK_DOWN))
        return false;
    ClearSelection();
    const WindowPtr window = m_pActiveWnd;
    if (!window)
        return true;
    // A refused key (at the wall's edge or the smallest size) leaves the kind
    // that earlier repeats set, so the key-up records what they changed.
    const Rect& w = m_rcWallView;
    const Size pixels = m_pPlan->GetPixelSize();
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
    v = WallToViewRect(r);
    if (kind == KeyEdit::Moved) {
        if ((key == VK_LEFT && v.left < w.left) || (key == VK_RIGHT && v.right > w.right) ||
            (key == VK_UP && v.top < w.top) || (key == VK_DOWN && v.bottom > w.bottom))
            return true;
    } else if (key == VK_LEFT && RectWidth(v) < m_nMinWidth) {
        return true;
    } else if (key == VK_UP && RectHeight(v) < m_nMinHeight) {
        return true;
    } else if (key == VK_RIGHT && v.right > w.right) {
        v.right = w.right;
        clampedView = true;
    } else if (key == VK_DOWN && v.bottom > w.bottom) {
        v.bottom = w.bottom;
        clampedView = true;
    }
    if (clampedView)
        r = ViewToWallRect(v);
    window->rect = r;
    window->rectView = v;
    if (kind != KeyEdit::Moved)
        UpdateWindowGeometry(window);
    m_nKeyEditKind = kind;
    InvalidateView();
    return true;
}

void WallViewCore::OnKeyUp(int)
{
    if (!m_pPlan)
        return;
    const KeyEdit kind = m_nKeyEditKind;
    m_nKeyEditKind = KeyEdit::None;
    if (!m_pActiveWnd)
        return;
    if (IsLogo(m_pActiveWnd)) {
        if (kind == KeyEdit::Moved)
            AutoSendFixedWindow();
    } else if (kind == KeyEdit::Moved) {
        OnPlanEdited(kActMoveWindow);
    } else if (kind == KeyEdit::Height || kind == KeyEdit::Width) {
        OnPlanEdited(kActResizeWindow);
    }
}

// ---- Commands ----------------------------------------------------------------

void WallViewCore::OnCmdMaximizeInCell()
{
    MaximizeInCell();
    OnPlanEdited(kActResizeWindow);
}
