#pragma once
// The wall view without its widget: the state of the view of one plan and
// every decision that needs no window. It lays the wall out on the canvas,
// converts between wall pixels and canvas pixels, places the title-bar
// buttons and the watch slots, normalises window rectangles, handles the
// model's events, and decides what each part of a paint draws
// (WallViewCore's paint decisions). CMultiScreenView paints those decisions and feeds
// the core its client size, scroll origin and mouse.
#include <QPoint>
#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/event_signals.h"
#include "model/job_progress.h"
#include "platform/clock.h"
#include "platform/geometry.h"
#include "platform/ui/colour.h"
#include "plan/plan.h"
#include "views/overlay_cache.h"
#include "views/view_dialogs.h"
#include "views/wall_view_paint.h"

namespace wallmenu {
struct WindowMenuState;
}

class CQelProcessor;
class QWidget;

// Hit codes of the wall view.
enum WallHit : int {
    kHitNone = 0,
    kHitBody = 1,
    kHitTitle = 2,
    kHitClose = 3,
    kHitMaxCell = 4,
    kHitMax = 5,
    kHitTop = 6,
    kHitBottom = 7,
    kHitLeft = 8,
    kHitRight = 9,
    kHitTopLeft = 10,
    kHitBottomLeft = 11,
    kHitTopRight = 12,
    kHitBottomRight = 13,
};

// The wall view's palette.
namespace wallview {
inline constexpr ui::ColorRef kNoSourceBody = ui::rgb(150, 0, 20);
inline constexpr ui::ColorRef kJoinedBody = ui::rgb(196, 240, 238);
inline constexpr ui::ColorRef kIdleBody = ui::rgb(192, 192, 192);
inline constexpr ui::ColorRef kActiveTitle = ui::rgb(0, 0, 255);
inline constexpr ui::ColorRef kInactiveTitle = ui::rgb(100, 100, 101);
inline constexpr ui::ColorRef kSelectionFrame = ui::rgb(239, 156, 0);
inline constexpr ui::ColorRef kMarginFrame = ui::rgb(0, 0, 164);
inline constexpr ui::ColorRef kMoveFrame = ui::rgb(0, 117, 32);
inline constexpr ui::ColorRef kSnapMark = ui::rgb(0, 255, 0);
inline constexpr ui::ColorRef kSizeText = ui::rgb(220, 220, 220);
inline constexpr ui::ColorRef kNoticeText = ui::rgb(255, 0, 0);
inline constexpr ui::ColorRef kShortageMark = ui::rgb(22, 0, 0);
// Alpha of translucent windows and of the resource layers, of 255.
inline constexpr int kWindowAlpha = 196;
inline constexpr int kResourceAlpha = 100;
// Where the notices go, in canvas pixels (or window pixels for the notice
// drawn straight on the window), and their text height.
inline constexpr Rect kNoticeRect{0, 0, 800, 100};
inline constexpr int kNoticeHeight = 40;
// The canvas is the client area times this factor.
inline constexpr int kMinCanvasScale = 1;
inline constexpr int kMaxCanvasScale = 5;
// Progress reports of one kind closer together than this are not drawn.
inline constexpr int kProgressThrottleMs = 20;
// How long the end of a logo saving stays on screen.
inline constexpr int kOsdNoticeMs = 3000;
} // namespace wallview

// The progress notices drawn while a long send blocks the UI thread: one per
// report, except a report of the same kind within 20 ms of the last drawn
// one that is not the last of its job.
class ProgressNotice {
public:
    // The view's progress values (IProgress::SetProgress) while a send blocks.
    enum Kind : int {
        kKindExecute = 1, // sending a plan
        kKindStore = 2,   // storing a plan in a preset slot
    };

    // The text to draw for the report; nothing when it is skipped or its
    // kind (any progress value) has no text.
    std::optional<QString> Report(int kind, int done, int total);

private:
    std::array<std::optional<platform::TimePoint>, 2> lastShown_;
};

class WallViewCore {
public:
    using WindowPtr = std::shared_ptr<CQelWindow>;
    using Connection = CQelEvtSignals::Connection;
    static constexpr int kSubscriptionCount = 6;
    // The keys the view takes (Windows virtual-key values).
    enum Key : int { VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28 };
    // What ExecutePlan sends: the layout or the OSD (logo) windows.
    enum ExecMode : int { kExecLayout = 0, kExecLogos = 1 };
    // Direction of a move, as MoveDirection finds it.
    enum Direction : int {
        kDirNone = 0,
        kDirUp = 1,
        kDirDown = 2,
        kDirLeft = 3,
        kDirRight = 4,
        kDirUpLeft = 5,
        kDirDownLeft = 6,
        kDirDownRight = 7,
        kDirUpRight = 8,
    };
    // What a left-button drag does: a band (or placing a logo), a move, or a
    // resize by the edges of a handle, numbered as its hit code minus 3.
    enum DragMode : int {
        kDragNone = 0,
        kDragBand = 1,
        kDragMove = 2,
        kDragTop = 3,
        kDragBottom = 4,
        kDragLeft = 5,
        kDragRight = 6,
        kDragTopLeft = 7,
        kDragBottomLeft = 8,
        kDragTopRight = 9,
        kDragBottomRight = 10,
    };
    // What the arrow keys changed since the last key-up.
    enum class KeyEdit { None = 0, Moved = 2, Height = 4, Width = 6 };
    // What the view is busy with besides editing.
    enum ViewMode : int { kModeNormal = 0, kModePlacingLogo = 1, kModeSavingLogos = 2, kModeLogosSaved = 3 };
    // The selection operations' edges and sides.
    enum class AlignEdge { Left = 1, Right = 2, Top = 3, Bottom = 4 };
    enum class SameSize { Width = 1, Height = 2, Both = 3 };
    enum class Beside { Left = 1, Right = 2, Above = 3, Below = 4 };

    WallViewCore();
    virtual ~WallViewCore();
    WallViewCore(const WallViewCore&) = delete;
    WallViewCore& operator=(const WallViewCore&) = delete;

    // ---- Hooks for the widget and the execution layer
    // Repaints the view without erasing it.
    virtual void InvalidateView() {}
    // Sends the shown plan to the processor; the execution layer gives it
    // its body.
    virtual void ExecutePlan(ExecMode mode, int withProgress);
    // The pointer's shape for a hit code's kind.
    enum class ViewCursor { Arrow, SizeNS, SizeWE, SizeNWSE, SizeNESW, Place };
    virtual void SetViewCursor(ViewCursor) {}
    // The tip's tool: `moved` when its canvas rectangle changed.
    virtual void SetTip(const Rect& /*canvasRect*/, bool /*moved*/, const QString& /*text*/) {}
    // Ends a mouse capture the frame began for placement mode.
    virtual void ReleaseCapture() {}
    // Repaints the whole view at once, wiping a progress notice.
    virtual void RepaintNow() { InvalidateView(); }
    // What long sends report to; null in the headless core.
    virtual IProgress* ProgressReceiver() { return nullptr; }
    // The parent of the view's prompts.
    virtual QWidget* DialogParent() { return nullptr; }
    // Whether Alt is held at this moment (not as of the last event).
    virtual bool AltKeyDown() const { return false; }
    // What a logo saving job reports to; null in the headless core.
    virtual ReceiverPtr<IOSDSavingProgress> GetOsdSavingReceiver() const { return nullptr; }
    // Stops the timer that ends the notice of a finished logo saving.
    virtual void StopOsdNoticeTimer() {}

    // ---- Plan and settings
    // Shows the plan: its selected window becomes the active one, and the
    // layout is recomputed.
    void SetPlan(const std::shared_ptr<CQelPlan>& plan);
    std::shared_ptr<CQelPlan> GetPlan() const { return m_pPlan; }
    // Makes the shown plan (0 without one) the context's selected plan.
    void SelectPlanInContext() const;
    // After a logo window moved, instead of a history entry.
    void AutoSendFixedWindow();
    void AutoExecutePlan();
    // The three "MulSView" settings; a missing key takes the default of the
    // configuration's table.
    void LoadViewSettings();
    void SaveViewSettings() const;
    // The main frame's reference-line style, read at each use; without a
    // provider the grid of an unknown style applies.
    void SetReferenceLineStyleProvider(std::function<int()> provider);
    // Module rows (cy) and columns (cx) of a type-1 plan, at least 1 each.
    Size ModuleGrid() const;

    // ---- Layout
    // The client size (the viewport without scroll bars) and the canvas
    // scale, clamped to 1 to 5; neither lays out by itself.
    void SetClientSize(const Size& client) { m_szClient = client; }
    Size GetClientSize() const { return m_szClient; }
    void SetCanvasScaleValue(int scale);
    // Lays the wall out on the canvas, the windows and the watch slots
    // with it, and repaints. The widget first takes its client size.
    virtual void RecalcLayout();
    void LayoutWatchSlots();
    // Every window's canvas rectangle from its wall rectangle.
    void LayoutWindowRects();
    // The canvas point shown at a viewport point, and back; the origin is
    // minus the scroll position.
    Point DeviceToCanvasPoint(Point pt) const;
    Point CanvasToDevicePoint(Point pt) const;
    Rect CanvasToDeviceRect(int l, int t, int r, int b) const;

    // ---- Wall pixels and canvas pixels; empty or (0, 0) without a plan of
    // positive size or with an empty wall area.
    Rect WallToViewRect(const Rect& rc) const;
    Point WallToViewPoint(Point pt) const;
    Rect ViewToWallRect(const Rect& rc) const;
    Point ViewToWallPoint(Point pt) const;
    // ViewToWallRect keeping of the result only the edges the resize moves.
    Rect ViewToWallForResize(DragMode mode, const Rect& rc, const Rect& rcOldWall) const;

    // ---- Title-bar buttons of a window drawn at rcWindow
    Rect GetCloseButtonRect(const Rect& rcWindow) const;
    Rect GetCloseButtonRect(const WindowPtr& window);
    Rect GetMaxCellButtonRect(const Rect& rcWindow) const;
    Rect GetMaxCellButtonRect(const WindowPtr& window);
    Rect GetMaxButtonRect(const Rect& rcWindow) const;
    Rect GetMaxButtonRect(const WindowPtr& window);
    // The sizes of the loaded button images; an empty size: not loaded.
    void SetImageSizes(Size close, Size maxCell, Size maxScreen, Size lock);

    // ---- Window rectangles
    Rect GetWindowViewRect(const WindowPtr& window);
    Rect GetWindowWallRect(const WindowPtr& window);
    // Logo windows are 256 x 128 wall pixels; others start on an even x
    // with an even width.
    void UpdateWindowGeometry(const WindowPtr& window);
    void UpdateAllWindowGeometry();
    // Forgets windows that have left the plan: they leave the selection,
    // and the active window is cleared when it is one of them.
    void DropDepartedWindows();

    // ---- Geometry operations (wall_view_geometry.cpp)
    // Direction of (x2, y2) seen from (x1, y1).
    static Direction MoveDirection(int x1, int y1, int x2, int y2);
    // The middle of the window's wall edge, or its corner, that leads in
    // direction `dir`; (-1, -1) for none, an unknown one or no window.
    static Point GetAnchorPoint(Direction dir, const WindowPtr& window);
    // The cell edge (an edge or corner hit code) that the wall point `p`,
    // moving in `dir`, comes within the snap band of, or kHitNone. `cell`
    // gets the cell snapped to, or empty. A type-1 plan uses the uniform
    // grid instead.
    WallHit SnapToCell(Direction dir, Point p, Rect& cell) const;
    // SnapToCell over the uniform module grid of a type-1 plan.
    WallHit SnapToUniformGrid(Direction dir, Point p, Rect& cell) const;
    // At the end of a move (keeping the size) or a resize (moving only the
    // named edges) of the active window: apply m_nSnapCode and m_rcSnap.
    void SnapMovedWindow();
    void SnapResizedWindow();
    // Switches the window's full-screen flag; on model 1 at most one window
    // is full screen and it goes to the bottom of the z-order.
    void SetWindowFullScreen(bool on, const WindowPtr& window);
    // The active window fills the cells it overlaps, or the whole wall.
    void MaximizeInCell();
    // MaximizeInCell over the cells of a type-1 plan's boundaries.
    void MaximizeInGridCell();
    // Sorted distinct y (rows) or x (columns) of the uniform module grid
    // and the plan's own row heights or column widths.
    std::vector<int> GetRowBoundaries() const;
    std::vector<int> GetColumnBoundaries() const;
    // The cell of a rows x cols division of `rect` holding `p`; (-1, -1)
    // for none.
    struct GridCell {
        int row = -1;
        int col = -1;
        friend bool operator==(const GridCell&, const GridCell&) = default;
    };
    static GridCell GridCellAt(int rows, int cols, const Rect& rect, Point p);
    // One window per output the window covers, each with its share of the
    // source crop; the window itself goes.
    void SplitWindow(const WindowPtr& window);

    // ---- Events, subscribed while the view is shown
    void Subscribe();
    void Unsubscribe();
    int ConnectionCount() const;
    void OnSigSrcRename(const CSigSrcRenameEvent& event);
    void OnSigSrcJoinChanged(const CSigSrcJoinChangedEvent& event);
    void OnSigSrcResolutionChanged(const CSigSrcResolutionChangedEvent& event);
    void OnPlanWindow(const CPlanWindowEvent& event);
    void OnPlanHisAdded(const CPlanHisAddedEvent& event);
    void OnPlanHisRecovered(const CPlanHisRecoveredEvent& event);

    // ---- Paint decisions (wall_view_paint.cpp)
    // Whether the plan can be laid out and drawn at all (positive size and
    // grid, a wall area); else only the background is drawn.
    bool PlanDrawable() const;
    // False for a type-1 plan whose size lists do not match its grid: the
    // wall is then drawn without grid, windows, texts or watch strip.
    bool GridListsMatch() const;
    // The canvas around the wall area, in four bands.
    std::vector<Rect> BackgroundBands() const;
    std::vector<CellPaint> CellNames() const;
    // Model 6: the wall-coloured part of each output's half; nothing for
    // other models.
    std::optional<std::vector<Rect>> TwoOutputParts() const;
    GridLines RowLines(const Rect& area) const;
    GridLines ColumnLines(const Rect& area) const;
    // The content frame when the plan has a margin, else empty.
    Rect MarginFrame() const;
    std::vector<TextItem> WallSizeTexts() const;
    // The processor's output resolution differs from the plan's.
    bool ResolutionMismatch() const;
    WindowPaint DescribeWindow(const WindowPtr& window, const Rect& rc, Point mouse) const;
    // What the base layer is painted from, `visible` being the visible
    // canvas.
    WallLayerScene DescribeBaseLayer(const Rect& visible);
    bool ShowsMoveFrame() const;
    bool ShowsRubberBand() const;
    // The pending snap's polyline on the window rectangle; empty: none.
    std::vector<Point> SnapMarkPoints(const Rect& rc) const;
    WatchStripPaint DescribeWatchStrip() const;
    // The 8-part resource layers, in canvas pixels; each sets m_bShortage
    // when it marks something.
    std::vector<OverlayMark> EightPartShortageMarks();
    std::vector<OverlayMark> EightPartOverlayMarks();
    void BeginDrawPass() { m_bShortage = false; }
    QString LogoSaveStatusText() const;
    QString ShortageNoticeText() const;
    // What a paint draws over the base layer, from a new draw pass; the
    // drag marks are cut to just beyond `visible`.
    TopLayerScene DescribeTopLayer(const Rect& visible, bool windowsDrawn);

    // ---- Editing with mouse and keys (wall_view_edit.cpp). The handlers
    // take viewport points and convert them to the canvas themselves.
    // What lies under a canvas point: a hit code (kHit...) and the index of
    // the window hit, -1 for none or a resize handle.
    WallHit HitTest(Point pt, int& index);
    void UpdateCursor(WallHit code);
    void UpdateTitleButtonTip(Point pt);
    void OnLButtonDown(Point device, bool ctrl);
    void OnMouseMove(Point device);
    void OnLButtonUp(Point device);
    void OnLButtonDblClk(Point device);
    // Arrow keys move (or with Shift resize) the active window; false for a
    // key the view does not take.
    bool OnKeyDown(int key, bool shift);
    void OnKeyUp(int key);
    void SetActiveWnd(const WindowPtr& window);
    bool ToggleSelection(const WindowPtr& window);
    void ClearSelection();
    void SelectAllWindows();
    void SetSelectionLocked(bool locked);
    void MoveSelection(Point pt);
    void ResizeActiveWindow(Point pt);
    // New windows on the view rectangle; the window made, or null.
    WindowPtr CreateWindowFromRect(const Rect& rc);
    WindowPtr Create4KWindow(const Rect& rc);
    WindowPtr CreateFixedWindow(const Rect& rc);
    // The context's selected source dropped at a viewport point.
    void DropSignalSource(Point device);
    void SetWindowsSource(const std::vector<WindowPtr>& windows, int sourceId);
    // Commands the mouse also runs.
    void OnCmdMaximizeInCell();
    void MoveLayerToTop();

    // ---- Sending and saving (wall_view_exec.cpp)
    // The common tail of every edit: send when auto-execute is on, then
    // record an undo entry of that kind when the windows changed.
    void OnPlanEdited(int historyKind);
    void SavePlan();
    void SavePlanAs();
    void SavePlanToProcessor();

    // ---- Menus and commands (wall_view_commands.cpp)
    // The main frame's commands, which its caption buttons send.
    enum FrameCommand : int {
        kCmdSave = 1002,
        kCmdSaveAs = 1003,
        kCmdExecute = 1201,
        kCmdFullScreen = 1202,
        kCmdMaximizeInCell = 1203,
        kCmdLock = 1204,
        kCmdUnlock = 1205,
        kCmdLayerUp = 1206,
        kCmdLayerDown = 1207,
        kCmdLayerTop = 1208,
        kCmdLayerBottom = 1209,
        kCmdResizeToSource = 1210,
    };
    // Runs a frame command; false for one the view does not know.
    bool OnCommand(int id);
    // The right button pressed at a viewport point: the logo, window or
    // watch-slot menu, shown at the screen point `global`, and its command.
    void OnContextMenu(Point device, QPoint global);
    void OnCmdExecutePlan();
    void OnCmdFullScreen();
    void LockSelection();
    void UnlockSelection();
    void MoveLayerUp();
    void MoveLayerDown();
    void MoveLayerToBottom();
    // The active window takes its source's size (or its crop's), kept on
    // the wall.
    void ResizeToSource();
    // Over the selection, to the outermost of those edges.
    void AlignSelection(AlignEdge edge);
    // The size of the first selected window.
    void MakeSameSize(SameSize what);
    // The second selected window beside the first.
    void SnapSelectionToEdge(Beside side);
    // Group 0 asks for a new group's name.
    void CreateGroupAndBind(int groupId, const std::vector<WindowPtr>& windows);
    void UnbindGroups(const std::vector<WindowPtr>& windows);
    // Saves the logo of the screen under the canvas point in the processor.
    void SaveMonitorLogo(Point canvas);
    // The window position dialog's values for `window` (a preview or its
    // result); `source` is the window's source when it is known.
    void OnWindowRectFromDialog(const WindowRectValues& values, const WindowPtr& window,
                                const std::optional<SourceResolution>& source);
    // The OSD settings dialog's colours and flags for a logo window.
    void OnOsdFromDialog(const LogoOsdValues& values, const WindowPtr& window);

    // ---- State, with the names the view has always used
    ui::ColorRef m_clrNoOutputCell = ui::rgb(150, 150, 150);
    ui::ColorRef m_clrBackground = ui::rgb(164, 164, 164);
    ui::ColorRef m_clrWall = ui::rgb(128, 128, 128);
    ui::ColorRef m_clrGridLine = ui::rgb(0, 0, 0);
    int m_nTitleHeight = 20;
    int m_nMinWidth = 10;
    int m_nMinHeight = 10;
    Rect m_rcCanvas;
    Rect m_rcWallArea;
    Rect m_rcWatchStrip;
    Rect m_rcWallView;
    std::shared_ptr<CQelPlan> m_pPlan;
    Point m_ptCurrent;
    DragMode m_nDragMode = kDragNone;
    KeyEdit m_nKeyEditKind = KeyEdit::None;
    Point m_ptDragLast;
    int m_nProcessorId = 1;
    WindowPtr m_pActiveWnd;
    std::vector<WindowPtr> m_vecSelection;
    std::vector<Rect> m_vecWatchSlotRects;
    bool m_bAutoExecute = false;
    bool m_bFitModule = true;
    Rect m_rcSnap;
    WallHit m_nSnapCode = kHitNone;
    bool m_bTransparent = false;
    std::array<Connection, kSubscriptionCount> m_conn;
    ViewMode m_nMode = kModeNormal;
    // Written by the saving job's thread.
    std::atomic<int> m_nOsdSaveDone{0};
    std::atomic<int> m_nOsdSaveTotal{0};
    bool m_bShortage = false;
    Point m_ptViewOrg;
    int m_nCanvasScale = 1;

protected:
    // The processor whose events concern the view, and the context's
    // selected one, which the wall's cells and the resource layers follow.
    std::shared_ptr<CQelProcessor> ViewProcessor() const;
    static std::shared_ptr<CQelProcessor> SelectedProcessor();
    bool IsSelected(const WindowPtr& window) const;
    // A window of the source on the view rectangle, added on top and made
    // active.
    WindowPtr AddNewWindow(const Rect& rc, int processorId, int sourceId, int is4k);
    // Module rows (cy) and columns (cx) as the plan gives them: 0 on an
    // empty plan.
    Size ModuleCounts() const;
    // The plan's area inside its margins, where snapping applies.
    Rect SnapArea() const;
    // The window takes `cells`, or goes full screen when they are at least
    // as large as `wall`.
    void FillCells(const WindowPtr& window, const Rect& cells, Size wall);
    // Grid lines across `area`: y values of the row lines or x values of
    // the column lines.
    GridLines AxisLines(const Rect& area, bool rows) const;
    bool InPlan(const WindowPtr& window) const;
    // The menus' commands; `clicked` may be null, `pt` is in the canvas.
    void RunWindowCommand(int id, const WindowPtr& clicked, Point pt, const wallmenu::WindowMenuState& menu);
    void RunLogoCommand(int id, const WindowPtr& logo, Point pt);
    void OnWatchSlotMenu(Point pt, QPoint global);
    void RenameWindow(const WindowPtr& window);
    void EditWindowPosition(const WindowPtr& window);
    void EditLogoOsd(const WindowPtr& window);
    void ClearWindows(bool logos);
    // Moves the active window in the z-order and records the layer order.
    void MoveActiveLayer(WindowLayerOp op);

private:
    Size m_szClient;
    Size m_szCloseImage;
    Size m_szMaxCellImage;
    Size m_szMaxScreenImage;
    Size m_szLockImage;
    Rect m_rcTipTool{0, 0, 1, 1};
    std::function<int()> m_referenceLineStyle;
    EightPartOverlayCache m_overlays;
};
