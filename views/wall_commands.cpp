// The wall view's context menus and commands: the frame's buttons, the
// window operations behind the menus (align, same size, snap, size to
// source, lock, layers, groups, logo saving) and the dialogs' results.
// A menu or dialog runs a nested event loop, whose events may replace the
// plan's windows: commands act only on windows still in the plan.
#include <algorithm>

#include "context/context.h"
#include "core/language_tr.h"
#include "model/osd_record.h"
#include "model/processor.h"
#include "model/processor_jobs.h"
#include "model/processor_manager.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "platform/rect_math.h"
#include "platform/ui/modal.h"
#include "views/wall_commands.h"
#include "views/logo_osd_values.h"
#include "views/wall_view_menus.h"

namespace {

using GridCell = WallViewCore::GridCell;
using enum WallViewCore::ExecMode;
using enum WallViewCore::FrameCommand;
using enum WallViewCore::ViewMode;

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

WallCommands::WallCommands(WallViewCore& core) : core_(core) {}

// ---- Frame commands ----------------------------------------------------------

bool WallCommands::OnCommand(int id)
{
    switch (id) {
    case kCmdSave: core_.SavePlan(); return true;
    case kCmdSaveAs: core_.SavePlanAs(); return true;
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

void WallCommands::OnCmdMaximizeInCell()
{
    core_.geometry().MaximizeInCell();
    core_.OnPlanEdited(kActResizeWindow);
}

void WallCommands::OnCmdExecutePlan()
{
    // Alt sends the logo windows instead of the layout.
    core_.ExecutePlan(core_.AltKeyDown() ? kExecLogos : kExecLayout, 1);
}

void WallCommands::OnCmdFullScreen()
{
    if (!core_.InPlan(core_.m_pActiveWnd))
        return;
    core_.geometry().SetWindowFullScreen(true, core_.m_pActiveWnd);
    core_.OnPlanEdited(kActFullScreen);
}

void WallCommands::LockSelection()
{
    core_.DropDepartedWindows();
    core_.editing().SetSelectionLocked(true);
    core_.OnPlanEdited(kActLockWindow);
}

void WallCommands::UnlockSelection()
{
    core_.DropDepartedWindows();
    core_.editing().SetSelectionLocked(false);
    core_.OnPlanEdited(kActLockWindow);
}

void WallCommands::MoveActiveLayer(WindowLayerOp op)
{
    if (!core_.m_pPlan)
        return;
    // The plan moves only a window of its own and renumbers the layers.
    if (core_.m_pPlan->GetWindowCount() >= 2 && core_.InPlan(core_.m_pActiveWnd))
        core_.m_pPlan->MoveWindowLayer(core_.m_pActiveWnd, op);
    core_.geometry().UpdateAllWindowGeometry();
    core_.OnPlanEdited(kActLayerOrder);
    core_.InvalidateView();
}

void WallCommands::MoveLayerUp()
{
    MoveActiveLayer(kLayerUp);
}
void WallCommands::MoveLayerDown()
{
    MoveActiveLayer(kLayerDown);
}
void WallCommands::MoveLayerToTop()
{
    MoveActiveLayer(kLayerTop);
}
void WallCommands::MoveLayerToBottom()
{
    MoveActiveLayer(kLayerBottom);
}

void WallCommands::ResizeToSource()
{
    const WindowPtr window = core_.m_pActiveWnd;
    if (!core_.InPlan(window) || IsLocked(window))
        return;
    const auto processor = core_.SelectedProcessor();
    const auto source = processor && window->sigsrc >= 0 ? processor->GetSigSrc(uint32_t(window->sigsrc)) : nullptr;
    if (!source)
        return;
    Rect r = core_.m_pPlan->GetWindowRect(window);
    window->fullscreen = false;
    const Resolution full = source->GetResolution();
    const Rect& crop = window->rcsigsrc;
    const int64_t width = RectEmpty(crop) ? full.width : RectWidth(crop);
    const int64_t height = RectEmpty(crop) ? full.height : RectHeight(crop);
    if (RectWidth(r) != width || RectHeight(r) != height) {
        const Rect limit = core_.m_pPlan->GetPixelRect();
        r = MakeRect(r.left, r.top, int64_t(r.left) + width, int64_t(r.top) + height);
        // Moved back onto the wall, and cut to it when larger.
        r = IntersectRect(ShiftInside(r, limit), limit);
    }
    window->rect = r;
    core_.geometry().UpdateWindowGeometry(window);
    window->rectView = core_.geometry().WallToViewRect(window->rect);
    core_.OnPlanEdited(kActResizeWindow);
    core_.InvalidateView();
}

// ---- Operations on the selection ----------------------------------------------

void WallCommands::AlignSelection(AlignEdge mode)
{
    core_.DropDepartedWindows();
    if (core_.m_vecSelection.size() < 2 || mode < AlignEdge::Left || mode > AlignEdge::Bottom)
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
    for (const auto& window : core_.m_vecSelection) {
        const int64_t e = edge(window->rect);
        if (!reference || ((mode == AlignEdge::Left || mode == AlignEdge::Top) ? e < *reference : e > *reference))
            reference = e;
    }
    for (const auto& window : core_.m_vecSelection) {
        if (IsLocked(window))
            continue;
        const int64_t shift = *reference - edge(window->rect);
        window->rect =
            mode <= AlignEdge::Right ? OffsetRect(window->rect, shift, 0) : OffsetRect(window->rect, 0, shift);
        window->rectView = core_.geometry().WallToViewRect(window->rect);
        core_.geometry().UpdateWindowGeometry(window);
    }
    core_.InvalidateView();
}

void WallCommands::MakeSameSize(SameSize mode)
{
    core_.DropDepartedWindows();
    if (core_.m_vecSelection.size() < 2 || mode < SameSize::Width || mode > SameSize::Both)
        return;
    const Rect reference = core_.m_vecSelection.front()->rect;
    const Size wall = core_.m_pPlan->GetPixelSize();
    for (size_t i = 1; i < core_.m_vecSelection.size(); ++i) {
        const WindowPtr& window = core_.m_vecSelection[i];
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
        window->rectView = core_.geometry().WallToViewRect(window->rect);
        core_.geometry().UpdateWindowGeometry(window);
    }
    core_.InvalidateView();
}

void WallCommands::SnapSelectionToEdge(Beside side)
{
    core_.DropDepartedWindows();
    if (core_.m_vecSelection.size() != 2 || side < Beside::Left || side > Beside::Below)
        return;
    const Rect a = core_.m_vecSelection[0]->rect;
    const WindowPtr& b = core_.m_vecSelection[1];
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
    b->rectView = core_.geometry().WallToViewRect(b->rect);
    core_.geometry().UpdateWindowGeometry(b);
    core_.InvalidateView();
}

// ---- Groups ------------------------------------------------------------------

void WallCommands::CreateGroupAndBind(int groupId, const std::vector<WindowPtr>& windows)
{
    const std::shared_ptr<CQelPlan> plan = core_.m_pPlan;
    if (!plan || windows.empty())
        return;
    CQelPlan::GroupPtr group;
    if (groupId == 0) {
        const auto name = viewDialogs().AskName(core_.DialogParent(), Tr("创建新分组"), Label("分组名称"), QString());
        if (name && core_.m_pPlan == plan) {
            group = std::make_shared<CQelGroup>();
            group->id = plan->NextGroupId();
            group->name = name->toStdString();
        }
    } else if (groupId > 0) {
        group = plan->GetGroupById(groupId);
    }
    if (!group) {
        ui::inform(core_.DialogParent(), Tr("绑定分组失败！"));
        return;
    }
    std::vector<WindowPtr> targets;
    std::copy_if(windows.begin(), windows.end(), std::back_inserter(targets),
                 [this](const WindowPtr& w) { return core_.InPlan(w); });
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
    core_.InvalidateView();
}

void WallCommands::UnbindGroups(const std::vector<WindowPtr>& windows)
{
    if (!core_.m_pPlan)
        return;
    for (const auto& window : windows) {
        if (core_.InPlan(window) && window->group > 0)
            core_.m_pPlan->LeaveGroup(window);
    }
    core_.InvalidateView();
}

// ---- Logo saving ----------------------------------------------------------------

void WallCommands::SaveMonitorLogo(Point canvas)
{
    const auto processor = core_.ViewProcessor();
    if (!processor)
        return;
    if (!processor->IsConnected()) {
        ui::inform(core_.DialogParent(), Tr(viewtext::kNotConnected));
        return;
    }
    const Point wall = core_.geometry().ViewToWallPoint(canvas);
    uint32_t board = 0;
    uint32_t port = 0;
    if (processor->HitTestWallOutput(wall.x, wall.y, board, port))
        return;
    core_.m_nOsdSaveDone.store(0);
    int steps = 0;
    // Side 1: the output board's OSD.
    if (processor->jobs().StartOsdPosition(int(board), int(port), core_.GetOsdSavingReceiver(), steps, 1) != 0)
        return;
    core_.m_nOsdSaveTotal.store(steps);
    core_.m_nMode = kModeSavingLogos;
    core_.StopOsdNoticeTimer();
    core_.InvalidateView();
}

// ---- Dialog results ------------------------------------------------------------

void WallCommands::OnWindowRectFromDialog(const WindowRectValues& values, const WindowPtr& window,
                                          const std::optional<SourceResolution>& source)
{
    if (!core_.InPlan(window))
        return;
    const Rect wall = MakeRect(values.wallLeft, values.wallTop, values.wallRight, values.wallBottom);
    if (RectEmpty(wall) || RectWidth(wall) < core_.geometry().m_nMinWidth ||
        RectHeight(wall) < core_.geometry().m_nMinHeight)
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
    window->rectView = core_.geometry().WallToViewRect(wall);
    core_.OnPlanEdited(kActResizeWindow);
    core_.InvalidateView();
}

void WallCommands::OnOsdFromDialog(const LogoOsdValues& values, const WindowPtr& window)
{
    if (!core_.InPlan(window))
        return;
    ApplyOsdValues(*window->osd, values);
    core_.geometry().UpdateWindowGeometry(window);
    if (core_.m_bAutoExecute)
        core_.ExecutePlan(kExecLogos, 0);
    core_.InvalidateView();
}

// ---- Dialogs the menus open -----------------------------------------------------

void WallCommands::RenameWindow(const WindowPtr& window)
{
    const auto name = viewDialogs().AskName(core_.DialogParent(), Tr("重新命名窗口"), Label("窗口名称"),
                                            QString::fromStdString(window->name));
    if (!name || !core_.InPlan(window) || name->toStdString() == window->name)
        return;
    window->name = name->toStdString();
    core_.OnPlanEdited(kActRenameWindow);
    core_.InvalidateView();
}

void WallCommands::EditWindowPosition(const WindowPtr& window)
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
        core_.DialogParent(), values, source,
        [this, window, source](const WindowRectValues& preview) { OnWindowRectFromDialog(preview, window, source); });
    if (!core_.InPlan(window))
        return;
    if (ok) {
        OnWindowRectFromDialog(values, window, source);
        return;
    }
    // Cancel undoes the previews.
    window->rect = oldWall;
    window->rcsigsrc = StoredCrop(oldCrop, source);
    window->rectView = core_.geometry().WallToViewRect(oldWall);
    core_.OnPlanEdited(kActResizeWindow);
    core_.InvalidateView();
}

void WallCommands::EditLogoOsd(const WindowPtr& window)
{
    const tagOSD_DATA_EX2 oldOsd = *window->osd;
    const Rect oldRect = window->rect;
    LogoOsdValues values;
    values.captionColour = ui::ColorRef(oldOsd.captionColor);
    values.backgroundColour = ui::ColorRef(oldOsd.background);
    values.shown = oldOsd.shown == 1;
    values.transparent = oldOsd.transparent != 0;
    values.logo = oldOsd;
    values.left = oldRect.left;
    values.top = oldRect.top;
    const bool ok =
        viewDialogs().EditLogoOsd(core_.DialogParent(), values,
                                  [this, window](const LogoOsdValues& preview) { OnOsdFromDialog(preview, window); });
    if (!core_.InPlan(window))
        return;
    if (ok) {
        ApplyOsdValues(*window->osd, values);
        const tagOSD_DATA_EX2& logo = values.logo;
        // A picture of a size the record cannot hold leaves the old one.
        OsdRecordSetBitmap(*window->osd, logo.bitmap, logo.left, logo.top, logo.right, logo.bottom);
        window->rect =
            OffsetRect(window->rect, int64_t(values.left) - window->rect.left, int64_t(values.top) - window->rect.top);
    } else {
        *window->osd = oldOsd;
        window->rect = oldRect;
    }
    core_.geometry().UpdateWindowGeometry(window);
    core_.AutoSendFixedWindow();
    core_.InvalidateView();
}

void WallCommands::ClearWindows(bool logos)
{
    const std::shared_ptr<CQelPlan> plan = core_.m_pPlan;
    const QString question = logos ? Tr("您确定清空所有台标窗口吗？") : Tr("您确定清空所有视频窗口吗？");
    if (!ui::askYesNo(core_.DialogParent(), question) || !plan || core_.m_pPlan != plan)
        return;
    plan->ClearWindowsOfKind(logos);
    // The cleared windows must not stay selected or active: a later
    // command on them would put them back.
    core_.DropDepartedWindows();
    if (logos)
        core_.ExecutePlan(kExecLogos, 1);
    else
        core_.OnPlanEdited(kActClearWindows);
    core_.InvalidateView();
}

// ---- Context menus --------------------------------------------------------------

void WallCommands::OnContextMenu(Point device, QPoint global)
{
    const std::shared_ptr<CQelPlan> plan = core_.m_pPlan;
    if (!plan)
        return;
    const Point pt = core_.geometry().DeviceToCanvasPoint(device);
    if (!PtInRect(core_.geometry().m_rcWallArea, pt.x, pt.y)) {
        if (PtInRect(core_.geometry().m_rcWatchStrip, pt.x, pt.y))
            OnWatchSlotMenu(pt, global);
        return;
    }
    int index = -1;
    const WallHit code = core_.editing().HitTest(pt, index);
    const WindowPtr clicked = index >= 0 ? plan->GetWindowAt(index) : nullptr;
    const auto processor = core_.ViewProcessor();
    if (!processor)
        return;
    if (!core_.m_pActiveWnd)
        core_.m_pActiveWnd = clicked;

    const bool logo = clicked && clicked->sigsrc == kLogoSigSrc;
    ui::MenuSpec menu;
    wallmenu::WindowMenuState state;
    if (logo) {
        menu = wallmenu::BuildLogoMenu();
    } else {
        state.model = processor->GetKind();
        state.obm = processor->settings().GetObm();
        state.planType = plan->GetType();
        state.planWindowCount = plan->GetWindowCount();
        state.onBody = code == kHitBody;
        state.selectionCount = int(core_.m_vecSelection.size());
        if (clicked) {
            state.hasClicked = true;
            state.clickedSource = clicked->sigsrc;
            state.clickedGroup = clicked->group;
            state.clickedScaled = clicked->scaled;
        }
        if (core_.m_pActiveWnd) {
            state.activeLocked = IsLocked(core_.m_pActiveWnd);
            state.activeFullScreen = core_.m_pActiveWnd->fullscreen;
        }
        state.sources = MenuSources(*processor);
        for (const auto& group : plan->GetGroups())
            state.groups.push_back({group->id, QString::fromStdString(group->name)});
        state.fitModule = core_.m_bFitModule;
        state.transparent = core_.m_bTransparent;
        state.autoExecute = core_.m_bAutoExecute;
        menu = wallmenu::BuildWindowMenu(state);
    }
    const int id = ui::popupMenu(core_.DialogParent(), menu, global);
    if (core_.m_pPlan == plan && id != 0) {
        core_.DropDepartedWindows();
        const WindowPtr target = core_.InPlan(clicked) ? clicked : nullptr;
        if (logo)
            RunLogoCommand(id, target, pt);
        else
            RunWindowCommand(id, target, pt, state);
    }
    core_.InvalidateView();
}

void WallCommands::RunLogoCommand(int id, const WindowPtr& logo, Point pt)
{
    switch (id) {
    case wallmenu::kLogoSettings:
        if (logo)
            EditLogoOsd(logo);
        break;
    case wallmenu::kSendLogos: core_.ExecutePlan(kExecLogos, 1); break;
    case wallmenu::kSaveMonitorLogo: SaveMonitorLogo(pt); break;
    default: break;
    }
}

void WallCommands::RunWindowCommand(int id, const WindowPtr& clicked, Point pt, const wallmenu::WindowMenuState& menu)
{
    using namespace wallmenu;
    std::vector<WindowPtr> targets = core_.m_vecSelection;
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
        if (core_.m_pActiveWnd) {
            core_.geometry().SetWindowFullScreen(id == kFullScreenOn, core_.m_pActiveWnd);
            core_.OnPlanEdited(id == kFullScreenOn ? kActFullScreen : kActLeaveFullScreen);
        }
        return;
    case kMaximizeInCell: OnCmdMaximizeInCell(); return;
    case kSplit: core_.geometry().SplitWindow(clicked); return;
    case kSizeToSource: ResizeToSource(); return;
    case kPointToPoint:
        if (clicked) {
            clicked->scaled = !clicked->scaled;
            core_.m_pPlan->PlaceWindows();
            core_.AutoExecutePlan();
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
    case kExecute: core_.ExecutePlan(kExecLayout, 1); return;
    case kFitModule: core_.m_bFitModule = !core_.m_bFitModule; return;
    case kTransparent: core_.m_bTransparent = !core_.m_bTransparent; return;
    case kAutoExecute: core_.m_bAutoExecute = !core_.m_bAutoExecute; return;
    case kSaveMonitorLogo: SaveMonitorLogo(pt); return;
    case kSave: core_.SavePlan(); return;
    case kSaveAs: core_.SavePlanAs(); return;
    case kSaveToProcessor: core_.SavePlanToProcessor(); return;
    case kStandardOutputPlan: viewDialogs().NewPlanFromView(core_.m_pPlan); return;
    case kNewGroup: CreateGroupAndBind(0, targets); return;
    case kUnbindGroups: UnbindGroups(targets); return;
    case kClearGuideLines: viewDialogs().ClearGuideLines(); return;
    default: break;
    }
    if (id >= kAlignLeft && id <= kAlignBottom) {
        AlignSelection(AlignEdge(id - kAlignLeft + int(AlignEdge::Left)));
        core_.OnPlanEdited(kActAlign);
    } else if (id >= kSameWidth && id <= kSameSize) {
        MakeSameSize(SameSize(id - kSameWidth + int(SameSize::Width)));
        core_.OnPlanEdited(kActSameWidth + (id - kSameWidth));
    } else if (id >= kSnapLeft && id <= kSnapBottom) {
        SnapSelectionToEdge(Beside(id - kSnapLeft + int(Beside::Left)));
        core_.OnPlanEdited(kActSnap);
    } else if (const auto group = BoundGroupOf(menu, id)) {
        CreateGroupAndBind(*group, targets);
    } else if (id >= kSourceBase && id <= kSourceLast) {
        core_.editing().SetWindowsSource(targets, id - kSourceBase);
    } else if (id >= kGroupSourceBase && id <= kGroupSourceLast && clicked && clicked->group > 0) {
        CQelPlan::WindowList members;
        core_.m_pPlan->GetGroupWindows(clicked->group, members);
        core_.editing().SetWindowsSource(members, id - kGroupSourceBase);
    }
}

void WallCommands::OnWatchSlotMenu(Point pt, QPoint global)
{
    const std::shared_ptr<CQelPlan> plan = core_.m_pPlan;
    const std::vector<int32_t> outputs = plan->GetWatchOutputs();
    if (core_.geometry().m_vecWatchSlotRects.size() != outputs.size())
        return;
    const auto processor = core_.SelectedProcessor();
    if (!processor)
        return;
    const auto slot =
        std::find_if(core_.geometry().m_vecWatchSlotRects.begin(), core_.geometry().m_vecWatchSlotRects.end(),
                     [pt](const Rect& r) { return PtInRect(r, pt.x, pt.y); });
    if (slot == core_.geometry().m_vecWatchSlotRects.end())
        return;
    const int32_t output = outputs[size_t(slot - core_.geometry().m_vecWatchSlotRects.begin())];
    const CQelPlan::WatchPtr watch = plan->GetWatchWindowById(output);
    // The cell under the point, when the watch window has it.
    std::optional<size_t> cell;
    if (watch) {
        const GridCell at = core_.geometry().GridCellAt(watch->row, watch->col, *slot, pt);
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
    const int id = ui::popupMenu(core_.DialogParent(), wallmenu::BuildWatchSlotMenu(state), global);

    // Nothing changes when the menu's loop replaced the plan or its watch
    // window; the plan is sent all the same.
    if (core_.m_pPlan == plan && plan->GetWatchWindowById(output) == watch) {
        const auto addWatch = [&](int rows, int cols) {
            auto added = std::make_shared<CQelWatchWindow>();
            added->processor = int32_t(processor->GetId());
            added->sigout = output;
            CellGrid::Reset(*added, rows, cols);
            plan->AddWatchWindow(added);
            core_.geometry().LayoutWatchSlots();
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
    core_.ExecutePlan(kExecLayout, 1);
    core_.InvalidateView();
}
