#pragma once
// The wall view without its widget: the state of the view of one plan and
// every decision that needs no window. The core holds the shown plan, the
// active window, the selection and the view's settings, follows the
// model's events and sends and saves the plan; its parts do the rest, each
// of one concern: the geometry (layout, conversions, window rectangles,
// snapping), the editing (mouse, keys, selection), the commands (frame
// commands, menus, dialogs) and the painting (every paint decision).
// CMultiScreenView paints those decisions and feeds the core its client
// size, scroll origin and mouse.
#include <QString>
#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "core/event_signals.h"
#include "core/progress.h"
#include "model/receiver_ptr.h"
#include "platform/clock.h"
#include "platform/geometry.h"
#include "platform/ui/colour.h"
#include "plan/plan.h"
#include "views/view_dialogs.h"

class CQelProcessor;
class QWidget;
class WallGeometry;
class WallEditing;
class WallCommands;
class WallPainting;

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
// A logo window's size in wall pixels.
inline constexpr int kLogoWidth = 256;
inline constexpr int kLogoHeight = 128;
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
    // A cell of a rows x cols division (WallGeometry::GridCellAt).
    struct GridCell {
        int row = -1;
        int col = -1;
        friend bool operator==(const GridCell&, const GridCell&) = default;
    };
    // The main frame's commands, which its caption buttons send
    // (WallCommands::OnCommand).
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

    WallViewCore();
    virtual ~WallViewCore();
    WallViewCore(const WallViewCore&) = delete;
    WallViewCore& operator=(const WallViewCore&) = delete;

    // ---- The parts (views/wall_geometry.h, wall_editing.h,
    // wall_commands.h, wall_painting.h)
    WallGeometry& geometry() { return *m_geometry; }
    const WallGeometry& geometry() const { return *m_geometry; }
    WallEditing& editing() { return *m_editing; }
    const WallEditing& editing() const { return *m_editing; }
    WallCommands& commands() { return *m_commands; }
    const WallCommands& commands() const { return *m_commands; }
    WallPainting& painting() { return *m_painting; }
    const WallPainting& painting() const { return *m_painting; }

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
    // Lays the wall out (WallGeometry::RecalcLayout); the widget first
    // takes its client size.
    virtual void RecalcLayout();

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

    // ---- Events, subscribed while the view is shown (wall_view_events.cpp)
    void Subscribe();
    void Unsubscribe();
    int ConnectionCount() const;
    void OnSigSrcRename(const CSigSrcRenameEvent& event);
    void OnSigSrcJoinChanged(const CSigSrcJoinChangedEvent& event);
    void OnSigSrcResolutionChanged(const CSigSrcResolutionChangedEvent& event);
    void OnPlanWindow(const CPlanWindowEvent& event);
    void OnPlanHisAdded(const CPlanHisAddedEvent& event);
    void OnPlanHisRecovered(const CPlanHisRecoveredEvent& event);

    // ---- Sending and saving (wall_view_exec.cpp)
    // The common tail of every edit: send when auto-execute is on, then
    // record an undo entry of that kind when the windows changed.
    void OnPlanEdited(int historyKind);
    void SavePlan();
    void SavePlanAs();
    void SavePlanToProcessor();

    // ---- Shared by the parts
    // The processor whose events concern the view, and the context's
    // selected one, which the wall's cells and the resource layers follow.
    std::shared_ptr<CQelProcessor> ViewProcessor() const;
    static std::shared_ptr<CQelProcessor> SelectedProcessor();
    bool IsSelected(const WindowPtr& window) const;
    bool InPlan(const WindowPtr& window) const;
    // Forgets windows that have left the plan: they leave the selection,
    // and the active window is cleared when it is one of them.
    void DropDepartedWindows();

    // ---- State, with the names the view has always used
    std::shared_ptr<CQelPlan> m_pPlan;
    int m_nProcessorId = 1;
    WindowPtr m_pActiveWnd;
    std::vector<WindowPtr> m_vecSelection;
    bool m_bAutoExecute = false;
    bool m_bFitModule = true;
    bool m_bTransparent = false;
    std::array<Connection, kSubscriptionCount> m_conn;
    ViewMode m_nMode = kModeNormal;
    // Written by the saving job's thread.
    std::atomic<int> m_nOsdSaveDone{0};
    std::atomic<int> m_nOsdSaveTotal{0};

private:
    std::unique_ptr<WallGeometry> m_geometry;
    std::unique_ptr<WallEditing> m_editing;
    std::unique_ptr<WallCommands> m_commands;
    std::unique_ptr<WallPainting> m_painting;
};

// The parts, complete for every user of the accessors.
#include "views/wall_commands.h"
#include "views/wall_editing.h"
#include "views/wall_geometry.h"
#include "views/wall_painting.h"
