// The wall view's context menus and commands: the frame's buttons, the
// window operations behind the menus (align, same size, snap, size to
// source, lock, layers, groups, logo saving) and the dialogs' results.
// A menu or dialog runs a nested event loop, whose events may replace the
// plan's windows: commands act only on windows still in the plan.
#include <algorithm>

#include "context/context.h"
#include "core/language_tr.h"
#include "model/processor.h"
#include "model/processor_manager.h"
#include "model/sig_src.h"
#include "platform/rect_math.h"
#include "platform/ui/modal.h"
#include "views/wall_view_core.h"
#include "views/logo_osd_values.h"
#include "views/wall_view_menus.h"

namespace {

using WindowPtr = WallViewCore::WindowPtr;

// A name dialog's label: the translated label and a colon.
QString Label(const char* text)
{
    return Tr(text) + QStringLiteral(":");
}

std::vector<wallmenu::MenuSource> MenuSources(const CQelProcessor& processor)
{
    std::vector<wallmenu::MenuSource> sources;
    for (const auto& source : processor.GetSigSrcs())
        sources.push_back({int32_t(source->GetId()), QString::fromStdString(source->GetName())});
    return sources;
}

std::optional<SourceResolution> ResolutionOf(const CQelSigSrc* source)
{
    if (!source)
        return std::nullopt;
    const Resolution r = source->GetResolution();
    return SourceResolution{r.width, r.height, r.rate};
}

// A crop of the whole source means no crop.
Rect StoredCrop(const Rect& crop, const std::optional<SourceResolution>& source)
{
    if (RectEmpty(crop) || (source && crop == Rect{0, 0, source->width, source->height}))
        return Rect{};
    return crop;
}

void ApplyOsdValues(tagOSD_DATA_EX2& osd, const LogoOsdValues& values)
{
    osd.captionColor = int32_t(values.captionColour);
    osd.background = int32_t(values.backgroundColour);
    osd.shown = values.shown ? 1 : 0;
    osd.transparent = values.transparent ? 1 : 0;
}

bool IsLocked(const WindowPtr& window)
{
    return window->status == 1;
}

} // namespace

// A menu or a dialog runs a nested event loop, whose events may replace the
// plan's windows: after one, a command uses a window it held only when this
// still finds it in the shown plan.
bool WallViewCore::InPlan(const WindowPtr& window) const
{
    if (!window || !m_pPlan)
        return false;
    const auto windows = m_pPlan->GetWindows();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

// ---- Frame commands ----------------------------------------------------------

bool WallViewCore::OnCommand(int id)
{
    switch (id) {
    case kCmdSave: SavePlan(); return true;
    case kCmdSaveAs: SavePlanAs(); return true;
    case kCmdExecute: OnCmdExecutePlan(); return true;
    case kCmdFullScreen: OnCmdFullScreen(); return true;
    case kCmdMaximizeInCell: OnCmdMaximizeInCell(); return true;
    case kCmdLock: LockSelection(); return true;
    case kCmdUnlock: UnlockSelection(); return true;
    case kCmdLayerUp: MoveLayerUp(); return true;
    case kCmdLayerDown: MoveLayerDown(); return true;
    case kCmdLayerTop: MoveLayerToTop(); return true;
    case kCmdLayerBottom: MoveLayerToBottom(); return true;
    case kCmdResizeToSource: ResizeToSource(); return true;
    default: return false;
    }
}

void WallViewCore::OnCmdExecutePlan()
{
    // Alt sends the logo windows instead of the layout.
    ExecutePlan(AltKeyDown() ? kExecLogos : kExecLayout, 1);
}

void WallViewCore::OnCmdFullScreen()
{
    if (!InPlan(m_pActiveWnd))
        return;
    SetWindowFullScreen(true, m_pActiveWnd);
    OnPlanEdited(kActFullScreen);
}

void WallViewCore::LockSelection()
{
    DropDepartedWindows();
    SetSelectionLocked(true);
    OnPlanEdited(kActLockWindow);
}

void WallViewCore::UnlockSelection()
{
    DropDepartedWindows();
    SetSelectionLocked(false);
    OnPlanEdited(kActLockWindow);
}

void WallViewCore::MoveActiveLayer(WindowLayerOp op)
{
    if (!m_pPlan)
        return;
    // The plan moves only a window of its own and renumbers the layers.
    if (m_pPlan->GetWindowCount() >= 2 && InPlan(m_pActiveWnd))
        m_pPlan->MoveWindowLayer(m_pActiveWnd, op);
    UpdateAllWindowGeometry();
    OnPlanEdited(kActLayerOrder);
    InvalidateView();
}

void WallViewCore::MoveLayerUp()
{
    MoveActiveLayer(kLayerUp);
}
void WallViewCore::MoveLayerDown()
{
    MoveActiveLayer(kLayerDown);
}
void WallViewCore::MoveLayerToTop()
{
    MoveActiveLayer(kLayerTop);
}
void WallViewCore::MoveLayerToBottom()
{
    MoveActiveLayer(kLayerBottom);
}

void WallViewCore::ResizeToSource()
{
    const WindowPtr window = m_pActiveWnd;
    if (!InPlan(window) || IsLocked(window))
        return;
    const auto processor = SelectedProcessor();
    const auto source = processor && window->sigsrc >= 0 ? processor->GetSigSrc(uint32_t(window->sigsrc)) : nullptr;
    if (!source)
        return;
    Rect r = m_pPlan->GetWindowRect(window);
    window->fullscreen = false;
    const Resolution full = source->GetResolution();
    const Rect& crop = window->rcsigsrc;
    const int64_t width = RectEmpty(crop) ? full.width : RectWidth(crop);
    const int64_t height = RectEmpty(crop) ? full.height : RectHeight(crop);
    if (RectWidth(r) != width || RectHeight(r) != height) {
        const Rect limit = m_pPlan->GetPixelRect();
        r = MakeRect(r.left, r.top, int64_t(r.left) + width, int64_t(r.top) + height);
        // Moved back onto the wall, and cut to it when larger.
        r = IntersectRect(ShiftInside(r, limit), limit);
    }
    window->rect = r;
    UpdateWindowGeometry(window);
    window->rectView = WallToViewRect(window->rect);
    OnPlanEdited(kActResizeWindow);
    InvalidateView();
}

// ---- Operations on the selection ----------------------------------------------

void WallViewCore::AlignSelection(AlignEdge mode)
{
    DropDepartedWindows();
    if (m_vecSelection.size() < 2 || mode < AlignEdge::Left || mode > AlignEdge::Bottom)
        return;
    const auto edge = [mode](const Rect& r) -> int64_t {
        switch (mode) {
        case AlignEdge::Left: return r.left;
        case AlignEdge::Right: return r.right;
        case AlignEdge::Top: return r.top;
        default: return r.bottom;
        }
    };
    // Locked windows give their edge too, but stay where they are.
    std::optional<int64_t> reference;
    for (const auto& window : m_vecSelection) {
        const int64_t e = edge(window->rect);
        if (!reference || ((mode == AlignEdge::Left || mode == AlignEdge::Top) ? e < *reference : e > *reference))
            reference = e;
    }
    for (const auto& window : m_vecSelection) {
        if (IsLocked(window))
            continue;
        const int64_t shift = *reference - edge(window->rect);
        window->rect =
            mode <= AlignEdge::Right ? OffsetRect(window->rect, shift, 0) : OffsetRect(window->rect, 0, shift);
        window->rectView = WallToViewRect(window->rect);
        UpdateWindowGeometry(window);
    }
    InvalidateView();
}

void WallViewCore::MakeSameSize(SameSize mode)
{
    DropDepartedWindows();
    if (m_vecSelection.size() < 2 || mode < SameSize::Width || mode > SameSize::Both)
        return;
    const Rect reference = m_vecSelection.front()->rect;
    const Size wall = m_pPlan->GetPixelSize();
    for (size_t i = 1; i < m_vecSelection.size(); ++i) {
        const WindowPtr& window = m_vecSelection[i];
        if (IsLocked(window))
            continue;
        const Rect& old = window->rect;
        const int64_t width = mode == SameSize::Height ? RectWidth(old) : RectWidth(reference);
        const int64_t height = mode == SameSize::Width ? RectHeight(old) : RectHeight(reference);
        int64_t left = old.left;
        int64_t top = old.top;
        // Past the wall's right or bottom edge: flush with that edge. A
        // height-only change keeps the window's own width there.
        if (left + width > wall.cx)
            left = wall.cx - width;
        if (top + height > wall.cy)
            top = wall.cy - height;
        window->rect = MakeRect(left, top, left + width, top + height);
        window->rectView = WallToViewRect(window->rect);
        UpdateWindowGeometry(window);
    }
    InvalidateView();
}

void WallViewCore::SnapSelectionToEdge(Beside side)
{
    DropDepartedWindows();
    if (m_vecSelection.size() != 2 || side < Beside::Left || side > Beside::Below)
        return;
    const Rect a = m_vecSelection[0]->rect;
    const WindowPtr& b = m_vecSelection[1];
    if (IsLocked(b))
        return;
    const int64_t w = RectWidth(b->rect);
    const int64_t h = RectHeight(b->rect);
    switch (side) {
    case Beside::Left: b->rect = MakeRect(std::max<int64_t>(a.left - w, 0), a.top, a.left, a.top + h); break;
    case Beside::Right: b->rect = MakeRect(a.right, a.top, a.right + w, a.top + h); break;
    case Beside::Above: b->rect = MakeRect(a.left, std::max<int64_t>(a.top - h, 0), a.left + w, a.top); break;
    default: b->rect = MakeRect(a.left, a.bottom, a.left + w, a.bottom + h); break;
    }
    b->rectView = WallToViewRect(b->rect);
    UpdateWindowGeometry(b);
    InvalidateView();
}

// ---- Groups ------------------------------------------------------------------

void WallViewCore::CreateGroupAndBind(int groupId, const std::vector<WindowPtr>& windows)
{
    const std::shared_ptr<CQelPlan> plan = m_pPlan;
    if (!plan || windows.empty())
        return;
    CQelPlan::GroupPtr group;
    if (groupId == 0) {
        const auto name = viewDialogs().AskName(DialogParent(), Tr("创建新分组"), Label("分组名称"), QString());
        if (name && m_pPlan == plan) {
            group = std::make_shared<CQelGroup>();
            group->id = plan->NextGroupId();
            group->name = name->toStdString();
        }
    } else if (groupId > 0) {
        group = plan->GetGroupById(groupId);
    }
    if (!group) {
        ui::inform(DialogParent(), Tr("绑定分组失败！"));
        return;
    }
    std::vector<WindowPtr> targets;
    std::copy_if(windows.begin(), windows.end(), std::back_inserter(targets),
                 [this](const WindowPtr& w) { return InPlan(w); });
    if (targets.empty())
        return;
    if (!plan->GetGroupById(group->id))
        plan->AddGroup(group);
    for (const auto& window : targets) {
        if (window->group == group->id)
            continue;
        // A group its last window leaves goes, as the plan keeps it.
        plan->LeaveGroup(window);
        window->group = group->id;
    }
    InvalidateView();
}

void WallViewCore::UnbindGroups(const std::vector<WindowPtr>& windows)
{
    if (!m_pPlan)
        return;
    for (const auto& window : windows) {
        if (InPlan(window) && window->group > 0)
            m_pPlan->LeaveGroup(window);
    }
    InvalidateView();
}

// ---- Logo saving ----------------------------------------------------------------

void WallViewCore::SaveMonitorLogo(Point canvas)
{
    const auto processor = ViewProcessor();
    if (!processor)
        return;
    if (!processor->IsConnected()) {
        ui::inform(DialogParent(), Tr(viewtext::kNotConnected));
        return;
    }
    const Point wall = ViewToWallPoint(canvas);
    uint32_t board = 0;
    uint32_t port = 0;
    if (processor->HitTestWallOutput(wall.x, wall.y, board, port))
        return;
    m_nOsdSaveDone.store(0);
    int steps = 0;
    // Side 1: the output board's OSD.
    if (processor->StartOsdPosition(int(board), int(port), GetOsdSavingReceiver(), steps, 1) != 0)
        return;
    m_nOsdSaveTotal.store(steps);
    m_nMode = kModeSavingLogos;
    StopOsdNoticeTimer();
    InvalidateView();
}

// ---- Dialog results ------------------------------------------------------------

void WallViewCore::OnWindowRectFromDialog(const WindowRectValues& values, const WindowPtr& window,
                                          const std::optional<SourceResolution>& source)
{
    if (!InPlan(window))
        return;
    const Rect wall = MakeRect(values.wallLeft, values.wallTop, values.wallRight, values.wallBottom);
    if (RectEmpty(wall) || RectWidth(wall) < m_nMinWidth || RectHeight(wall) < m_nMinHeight)
        return;
    Rect crop = MakeRect(values.cropLeft, values.cropTop, values.cropRight, values.cropBottom);
    // Only a point-to-point window shows no more of its source than fits.
    if (!window->scaled) {
        if (RectWidth(crop) > RectWidth(wall))
            crop.right = ClampInt32(crop.left + RectWidth(wall));
        if (RectHeight(crop) > RectHeight(wall))
            crop.bottom = ClampInt32(crop.top + RectHeight(wall));
    }
    crop = StoredCrop(crop, source);
    if (wall == window->rect && crop == window->rcsigsrc)
        return;
    window->rect = wall;
    window->rcsigsrc = crop;
    window->rectView = WallToViewRect(wall);
    OnPlanEdited(kActResizeWindow);
    InvalidateView();
}

void WallViewCore::OnOsdFromDialog(const LogoOsdValues& values, const WindowPtr& window)
{
    if (!InPlan(window))
        return;
    ApplyOsdValues(window->osd, values);
    UpdateWindowGeometry(window);
    if (m_bAutoExecute)
        ExecutePlan(kExecLogos, 0);
    InvalidateView();
}

// ---- Dialogs the menus open -----------------------------------------------------

void WallViewCore::RenameWindow(const WindowPtr& window)
{
    const auto name = viewDialogs().AskName(DialogParent(), Tr("重新命名窗口"), Label("窗口名称"),
                                            QString::fromStdString(window->name));
    if (!name || !InPlan(window) || name->toStdString() == window->name)
        return;
    window->name = name->toStdString();
    OnPlanEdited(kActRenameWindow);
    InvalidateView();
}

void WallViewCore::EditWindowPosition(const WindowPtr& window)
{
    const auto owner =
        window->processor >= 0 ? CQelContext::GetProMan()->FindById(uint32_t(window->processor)) : nullptr;
    const auto found = owner && window->sigsrc >= 0 ? owner->GetSigSrc(uint32_t(window->sigsrc)) : nullptr;
    const std::optional<SourceResolution> source = ResolutionOf(found.get());
    const Rect oldWall = window->rect;
    const Rect oldCrop = window->rcsigsrc;
    const Rect crop = RectEmpty(oldCrop) && source ? Rect{0, 0, source->width, source->height} : oldCrop;
    WindowRectValues values{oldWall.left, oldWall.top, oldWall.right, oldWall.bottom,
                            crop.left,    crop.top,    crop.right,    crop.bottom};
    const bool ok = viewDialogs().EditWindowPosition(
        DialogParent(), values, source,
        [this, window, source](const WindowRectValues& preview) { OnWindowRectFromDialog(preview, window, source); });
    if (!InPlan(window))
        return;
    if (ok) {
        OnWindowRectFromDialog(values, window, source);
        return;
    }
    // Cancel undoes the previews.
    window->rect = oldWall;
    window->rcsigsrc = StoredCrop(oldCrop, source);
    window->rectView = WallToViewRect(oldWall);
    OnPlanEdited(kActResizeWindow);
    InvalidateView();
}

void WallViewCore::EditLogoOsd(const WindowPtr& window)
{
    const tagOSD_DATA_EX2 oldOsd = window->osd;
    const Rect oldRect = window->rect;
    LogoOsdValues values;
    values.captionColour = ui::ColorRef(oldOsd.captionColor);
    values.backgroundColour = ui::ColorRef(oldOsd.background);
    values.shown = oldOsd.shown == 1;
    values.transparent = oldOsd.transparent != 0;
    values.logo = oldOsd;
    values.left = oldRect.left;
    values.top = oldRect.top;
    const bool ok = viewDialogs().EditLogoOsd(
        DialogParent(), values, [this, window](const LogoOsdValues& preview) { OnOsdFromDialog(preview, window); });
    if (!InPlan(window))
        return;
    if (ok) {
        ApplyOsdValues(window->osd, values);
        const tagOSD_DATA_EX2& logo = values.logo;
        // A picture of a size the record cannot hold leaves the old one.
        OsdRecordSetBitmap(window->osd, logo.bitmap, logo.left, logo.top, logo.right, logo.bottom);
        window->rect =
            OffsetRect(window->rect, int64_t(values.left) - window->rect.left, int64_t(values.top) - window->rect.top);
    } else {
        window->osd = oldOsd;
        window->rect = oldRect;
    }
    UpdateWindowGeometry(window);
    AutoSendFixedWindow();
    InvalidateView();
}

void WallViewCore::ClearWindows(bool logos)
{
    const std::shared_ptr<CQelPlan> plan = m_pPlan;
    const QString question = logos ? Tr("您确定清空所有台标窗口吗？") : Tr("您确定清空所有视频窗口吗？");
    if (!ui::askYesNo(DialogParent(), question) || !plan || m_pPlan != plan)
        return;
    plan->ClearWindowsOfKind(logos);
    // The cleared windows must not stay selected or active: a later
    // command on them would put them back.
    DropDepartedWindows();
    if (logos)
        ExecutePlan(kExecLogos, 1);
    else
        OnPlanEdited(kActClearWindows);
    InvalidateView();
}

// ---- Context menus --------------------------------------------------------------

void WallViewCore::OnContextMenu(Point device, QPoint global)
{
    const std::shared_ptr<CQelPlan> plan = m_pPlan;
    if (!plan)
        return;
    const Point pt = DeviceToCanvasPoint(device);
    if (!PtInRect(m_rcWallArea, pt.x, pt.y)) {
        if (PtInRect(m_rcWatchStrip, pt.x, pt.y))
            OnWatchSlotMenu(pt, global);
        return;
    }
    int index = -1;
    const WallHit code = HitTest(pt, index);
    const WindowPtr clicked = index >= 0 ? plan->GetWindowAt(index) : nullptr;
    const auto processor = ViewProcessor();
    if (!processor)
        return;
    if (!m_pActiveWnd)
        m_pActiveWnd = clicked;

    const bool logo = clicked && clicked->sigsrc == kLogoSigSrc;
    ui::MenuSpec menu;
    wallmenu::WindowMenuState state;
    if (logo) {
        menu = wallmenu::BuildLogoMenu();
    } else {
        state.model = processor->GetKind();
        state.obm = processor->GetObm();
        state.planType = plan->GetType();
        state.planWindowCount = plan->GetWindowCount();
        state.onBody = code == kHitBody;
        state.selectionCount = int(m_vecSelection.size());
        if (clicked) {
            state.hasClicked = true;
            state.clickedSource = clicked->sigsrc;
            state.clickedGroup = clicked->group;
            state.clickedScaled = clicked->scaled;
        }
        if (m_pActiveWnd) {
            state.activeLocked = IsLocked(m_pActiveWnd);
            state.activeFullScreen = m_pActiveWnd->fullscreen;
        }
        state.sources = MenuSources(*processor);
        for (const auto& group : plan->GetGroups())
            state.groups.push_back({group->id, QString::fromStdString(group->name)});
        state.fitModule = m_bFitModule;
        state.transparent = m_bTransparent;
        state.autoExecute = m_bAutoExecute;
        menu = wallmenu::BuildWindowMenu(state);
    }
    const int id = ui::popupMenu(DialogParent(), menu, global);
    if (m_pPlan == plan && id != 0) {
        DropDepartedWindows();
        const WindowPtr target = InPlan(clicked) ? clicked : nullptr;
        if (logo)
            RunLogoCommand(id, target, pt);
        else
            RunWindowCommand(id, target, pt, state);
    }
    InvalidateView();
}

void WallViewCore::RunLogoCommand(int id, const WindowPtr& logo, Point pt)
{
    switch (id) {
    case wallmenu::kLogoSettings:
        if (logo)
            EditLogoOsd(logo);
        break;
    case wallmenu::kSendLogos: ExecutePlan(kExecLogos, 1); break;
    case wallmenu::kSaveMonitorLogo: SaveMonitorLogo(pt); break;
    default: break;
    }
}

void WallViewCore::RunWindowCommand(int id, const WindowPtr& clicked, Point pt, const wallmenu::WindowMenuState& menu)
{
    using namespace wallmenu;
    std::vector<WindowPtr> targets = m_vecSelection;
    if (targets.size() < 2) {
        targets.clear();
        if (clicked)
            targets.push_back(clicked);
    }
    switch (id) {
    case kRename:
        if (clicked)
            RenameWindow(clicked);
        return;
    case kFullScreenOn:
    case kFullScreenOff:
        if (m_pActiveWnd) {
            SetWindowFullScreen(id == kFullScreenOn, m_pActiveWnd);
            OnPlanEdited(id == kFullScreenOn ? kActFullScreen : kActLeaveFullScreen);
        }
        return;
    case kMaximizeInCell: OnCmdMaximizeInCell(); return;
    case kSplit: SplitWindow(clicked); return;
    case kSizeToSource: ResizeToSource(); return;
    case kPointToPoint:
        if (clicked) {
            clicked->scaled = !clicked->scaled;
            m_pPlan->PlaceWindows();
            AutoExecutePlan();
        }
        return;
    case kLock: LockSelection(); return;
    case kUnlock: UnlockSelection(); return;
    case kRaiseLayer: MoveLayerUp(); return;
    case kLowerLayer: MoveLayerDown(); return;
    case kLayerToTop: MoveLayerToTop(); return;
    case kLayerToBottom: MoveLayerToBottom(); return;
    case kClearVideo: ClearWindows(false); return;
    case kClearLogos: ClearWindows(true); return;
    case kWindowPosition:
        if (clicked)
            EditWindowPosition(clicked);
        return;
    case kExecute: ExecutePlan(kExecLayout, 1); return;
    case kFitModule: m_bFitModule = !m_bFitModule; return;
    case kTransparent: m_bTransparent = !m_bTransparent; return;
    case kAutoExecute: m_bAutoExecute = !m_bAutoExecute; return;
    case kSaveMonitorLogo: SaveMonitorLogo(pt); return;
    case kSave: SavePlan(); return;
    case kSaveAs: SavePlanAs(); return;
    case kSaveToProcessor: SavePlanToProcessor(); return;
    case kStandardOutputPlan: viewDialogs().NewPlanFromView(m_pPlan); return;
    case kNewGroup: CreateGroupAndBind(0, targets); return;
    case kUnbindGroups: UnbindGroups(targets); return;
    case kClearGuideLines: viewDialogs().ClearGuideLines(); return;
    default: break;
    }
    if (id >= kAlignLeft && id <= kAlignBottom) {
        AlignSelection(AlignEdge(id - kAlignLeft + int(AlignEdge::Left)));
        OnPlanEdited(kActAlign);
    } else if (id >= kSameWidth && id <= kSameSize) {
        MakeSameSize(SameSize(id - kSameWidth + int(SameSize::Width)));
        OnPlanEdited(kActSameWidth + (id - kSameWidth));
    } else if (id >= kSnapLeft && id <= kSnapBottom) {
        SnapSelectionToEdge(Beside(id - kSnapLeft + int(Beside::Left)));
        OnPlanEdited(kActSnap);
    } else if (const auto group = BoundGroupOf(menu, id)) {
        CreateGroupAndBind(*group, targets);
    } else if (id >= kSourceBase && id <= kSourceLast) {
        SetWindowsSource(targets, id - kSourceBase);
    } else if (id >= kGroupSourceBase && id <= kGroupSourceLast && clicked && clicked->group > 0) {
        CQelPlan::WindowList members;
        m_pPlan->GetGroupWindows(clicked->group, members);
        SetWindowsSource(members, id - kGroupSourceBase);
    }
}

void WallViewCore::OnWatchSlotMenu(Point pt, QPoint global)
{
    const std::shared_ptr<CQelPlan> plan = m_pPlan;
    const std::vector<int32_t> outputs = plan->GetWatchOutputs();
    if (m_vecWatchSlotRects.size() != outputs.size())
        return;
    const auto processor = SelectedProcessor();
    if (!processor)
        return;
    const auto slot = std::find_if(m_vecWatchSlotRects.begin(), m_vecWatchSlotRects.end(),
                                   [pt](const Rect& r) { return PtInRect(r, pt.x, pt.y); });
    if (slot == m_vecWatchSlotRects.end())
        return;
    const int32_t output = outputs[size_t(slot - m_vecWatchSlotRects.begin())];
    const CQelPlan::WatchPtr watch = plan->GetWatchWindowById(output);
    // The cell under the point, when the watch window has it.
    std::optional<size_t> cell;
    if (watch) {
        const GridCell at = GridCellAt(watch->row, watch->col, *slot, pt);
        const int64_t n = int64_t(at.row) * watch->col + at.col;
        if (at.row >= 0 && at.col >= 0 && n < int64_t(watch->cells.size()))
            cell = size_t(n);
    }

    wallmenu::WatchMenuState state;
    state.sources = MenuSources(*processor);
    if (watch) {
        state.hasWatch = true;
        state.rows = watch->row;
        state.cols = watch->col;
        state.cellSource = cell ? watch->cells[*cell] : -1;
    }
    const int id = ui::popupMenu(DialogParent(), wallmenu::BuildWatchSlotMenu(state), global);

    // Nothing changes when the menu's loop replaced the plan or its watch
    // window; the plan is sent all the same.
    if (m_pPlan == plan && plan->GetWatchWindowById(output) == watch) {
        const auto addWatch = [&](int rows, int cols) {
            auto added = std::make_shared<CQelWatchWindow>();
            added->processor = int32_t(processor->GetId());
            added->sigout = output;
            CellGrid::Reset(*added, rows, cols);
            plan->AddWatchWindow(added);
            LayoutWatchSlots();
            return added;
        };
        const wallmenu::GridShape shape = wallmenu::WatchLayoutShape(id);
        if (id == wallmenu::kWatchClearCell) {
            if (cell)
                watch->cells[*cell] = -1;
        } else if (shape.rows > 0) {
            if (watch)
                CellGrid::Reset(*watch, shape.rows, shape.cols);
            else
                addWatch(shape.rows, shape.cols);
        } else if (id >= wallmenu::kWatchSourceBase) {
            const int32_t sourceId = id - wallmenu::kWatchSourceBase;
            if (processor->GetSigSrc(uint32_t(sourceId))) {
                if (!watch)
                    addWatch(1, 1)->cells[0] = sourceId;
                else if (cell)
                    watch->cells[*cell] = sourceId;
            }
        }
    }
    ExecutePlan(kExecLayout, 1);
    InvalidateView();
}
