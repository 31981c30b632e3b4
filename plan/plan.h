#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/progress.h"
#include "core/text_helpers.h"
#include "plan/eight_part_overlay.h"
#include "plan/group.h"
#include "plan/plan_context.h"
#include "plan/plan_his.h"
#include "plan/watch_window.h"
#include "plan/window.h"
#include "platform/geometry.h"

// Plan types.
inline constexpr int32_t kPlanUniform = 0;   // every screen the same size
inline constexpr int32_t kPlanSizedGrid = 1; // rows and columns of their own sizes
inline constexpr int32_t kPlanSwitch = 2;    // output-to-input routes only

// No wall has more screens a side; larger counts come from damaged files.
inline constexpr int32_t kMaxPlanGridSide = 1024;

// Undo action kinds recorded with CQelPlan::AddHistory.
enum PlanAction : int32_t {
    kActNewPlan = 1,
    kActOpenPlan,
    kActNewWindow,
    kActRenameWindow,
    kActDeleteWindow,
    kActClearWindows,
    kActChangeSource,
    kActMoveWindow,
    kActResizeWindow,
    kActFullScreen,
    kActLeaveFullScreen,
    kActLockWindow,
    kActLayerOrder,
    kActAlign,
    kActSameWidth,
    kActSameHeight,
    kActSameSize,
    kActSnap
};

// MoveWindowLayer operations.
enum WindowLayerOp : int32_t { kLayerDown = 0, kLayerUp = 1, kLayerBottom = 2, kLayerTop = 3 };

// One saved layout of the wall: the screen grid, the windows on it (list
// order is the z-order, first at the bottom), window groups, watch windows,
// the output-to-input switch map and the undo history. Lives on the UI
// thread and has no lock. Where it needs the wall's outputs or the selected
// source it is handed them (PlanSelection, WallPlacement); it never reads
// the context's selection itself.
//
// Invariants kept by every operation that changes the window list: layers
// are 1, 2, 3, ... in list order; at most one window is active; a window's
// group is 0 or a group in the list; an edit that leaves a group without
// windows removes it. A restore from the history removes no group.
class CQelPlan {
public:
    using WindowPtr = std::shared_ptr<CQelWindow>;
    using WindowList = std::vector<WindowPtr>;
    using GroupPtr = std::shared_ptr<CQelGroup>;
    using WatchPtr = std::shared_ptr<CQelWatchWindow>;
    using HistoryPtr = std::shared_ptr<CQelPlanHis>;
    // Source window id to the ids of the windows derived from it.
    using DeriveMap = std::map<int32_t, std::vector<int32_t>>;

    CQelPlan();
    virtual ~CQelPlan();
    CQelPlan(const CQelPlan&) = delete;
    CQelPlan& operator=(const CQelPlan&) = delete;

    // --- Identity and screen grid ---
    int32_t GetId() const { return id_; }
    void SetId(int32_t id) { id_ = id; }
    std::string GetName() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    int32_t GetType() const { return type_; }
    void SetType(int32_t type) { type_ = type; }
    int32_t GetRows() const { return rows_; }
    int32_t GetCols() const { return cols_; }
    void SetGrid(int32_t rows, int32_t cols);
    // Sub-cells of one screen, drawn and snapped to by the wall view.
    int32_t GetCellRows() const { return cellrow_; }
    int32_t GetCellCols() const { return cellcol_; }
    void SetCellSplit(int32_t cellrow, int32_t cellcol);
    // One screen's pixel size and refresh rate.
    ResolutionTriple GetResolution() const { return resolution_; }
    void SetResolution(const ResolutionTriple& resolution) { resolution_ = resolution; }
    // Kept off the wall's edges by a full-screen window (uniform plans).
    Rect GetMargin() const { return margin_; }
    void SetMargin(const Rect& margin) { margin_ = margin; }
    std::vector<int32_t> GetRowHeights() const { return rowHeights_; }
    std::vector<int32_t> GetColumnWidths() const { return columnWidths_; }
    void SetRowHeights(const std::vector<int32_t>& heights) { rowHeights_ = heights; }
    void SetColumnWidths(const std::vector<int32_t>& widths) { columnWidths_ = widths; }
    // Changed since last saved.
    bool IsDirty() const { return dirty_; }
    void SetDirty(bool dirty) { dirty_ = dirty; }
    // The last window id handed out.
    int32_t GetWindowIdCounter() const { return windowIdCounter_; }

    // --- Geometry, in plan pixels ---
    Size GetPixelSize() const;
    Rect GetPixelRect() const;
    // The window's `rect`, or for a full-screen one the wall (inside the
    // margins on a uniform plan). Empty for no window.
    Rect GetWindowRect(const WindowPtr& window) const;
    // The output's screen on the wall; empty when the placement (the
    // selected processor's) is null or does not place it, or it lies
    // outside the grid.
    Rect GetOutputRect(int32_t outputId, const std::shared_ptr<const WallPlacement>& placement) const;
    Rect GetOutputRectBySizes(int32_t outputId, const std::shared_ptr<const WallPlacement>& placement) const;
    Rect IntersectWindowRect(const WindowPtr& window, const Rect& rect) const;
    // Ids of the outputs the window meets, row by row, column by column.
    std::vector<int32_t> GetWindowOutputs(const WindowPtr& window,
                                          const std::shared_ptr<const WallPlacement>& placement) const;
    // 0 when the window is as large as its crop (or whole source), 1 when
    // larger in both directions, -1 else; 0 also when the window's
    // processor or source is missing.
    int32_t CheckWindowSource(const WindowPtr& window) const;
    // For a cropped window whose processor and source exist, derives
    // `szsigsrcfull` and `rcsigsrcinner` from the source resolution and the
    // window's size; else (or for sizes that are not positive) nothing.
    void CheckWindowSourceCrop(const WindowPtr& window) const;

    // Ids of the windows some part of which the windows above them leave
    // uncovered, bottom first.
    void GetVisibleWindows(std::vector<int32_t>& ids) const;

    // --- Applying to the selected processor ---
    // These run the builders installed with SetPlanBuilders (plan_builders.h).
    // Sends the layout (mode 0) or the OSD windows (mode 1) to the selected
    // processor; false when it is missing, not connected, or its model has
    // no path for this plan, or the command queue refused a line.
    bool Apply(int32_t mode, IProgress* receiver);
    // Sets `resourceOk` on the windows the selected processor can show.
    void PlaceWindows();
    // Stores the layout in the processor's preset slot.
    bool SaveToProcessor(int32_t slot, IProgress* receiver);

    // --- Windows ---
    // Gives the window the next id, the top layer and the name "Win_<layer>"
    // and puts it on top; a 4K window also gets its four quarter parts, made
    // for the selection's processor and source.
    void AddWindow(const WindowPtr& window, const PlanSelection& selection);
    // Removes the window, its 4K parts and its group membership.
    void RemoveWindow(const WindowPtr& window);
    int32_t GetWindowCount() const { return static_cast<int32_t>(windows_.size()); }
    WindowPtr GetWindowAt(int32_t index) const;
    WindowPtr GetWindowById(int32_t id) const;
    WindowPtr GetSelectedWindow() const;
    WindowList GetWindows() const { return windows_; }
    // The four quarter records of every 4K window (`is4k` 1 to 4).
    WindowList Get4KParts() const { return parts_; }
    // Makes the window the active one and posts the plan-window event.
    void SelectWindow(const WindowPtr& window);
    // kLayerDown/Up swap with the neighbour, kLayerBottom/Top move to the end.
    void MoveWindowLayer(const WindowPtr& window, int32_t op);
    // Moves the window at 1-based position n by delta places.
    void MoveLayer(int32_t n, int32_t delta);
    // Removes every logo window (true) or every other window (false).
    void ClearWindowsOfKind(bool logos);
    // Save-as: takes the other plan's grid, windows, groups, watch outputs
    // and windows and switch map; the history starts empty.
    void CopyWindowsFrom(const CQelPlan& other);

    // --- Groups ---
    int32_t NextGroupId() const;
    int32_t AddGroup(const GroupPtr& group);
    void RemoveGroup(int32_t id);
    int32_t GetGroupCount() const { return static_cast<int32_t>(groups_.size()); }
    GroupPtr GetGroupAt(int32_t index) const;
    GroupPtr GetGroupById(int32_t id) const;
    std::vector<GroupPtr> GetGroups() const { return groups_; }
    void GetGroupWindows(int32_t id, WindowList& out) const;
    // Takes the window out of its group, removing the group when it empties.
    void LeaveGroup(const WindowPtr& window);

    // --- Watch windows ---
    // The watch outputs become `outputs`; each gets a fresh 1 x 1 watch
    // window for the selection's processor (none without its placement), and
    // watch windows of outputs no longer listed go.
    void BuildWatchWindows(const std::vector<int32_t>& outputs, const PlanSelection& selection);
    // Replaces the watch window of its output or appends it; false when the
    // output is not a watch output.
    bool AddWatchWindow(const WatchPtr& window);
    WatchPtr GetWatchWindowById(int32_t outputId) const;
    std::vector<WatchPtr> GetWatchWindows() const { return watchWindows_; }
    std::vector<int32_t> GetWatchOutputs() const { return watchOutputs_; }
    void SetWatchOutputs(const std::vector<int32_t>& outputs) { watchOutputs_ = outputs; }

    // --- Switch map (switch plans) ---
    // Routes `input` to `output`; input -1 removes the route. False only for
    // output -1; every other call marks the plan dirty.
    bool SetSwitch(int32_t output, int32_t input);
    int32_t GetSwitch(int32_t output) const;
    std::map<int32_t, int32_t> GetSwitchMap() const { return switchMap_; }

    // --- 8-part overlays for the wall view ---
    // What the selected 8-part processor cannot show of the plan: the
    // placement's failure records, and per output the areas past its
    // limits. Empty without a processor of models 7 to 10. Computed by the
    // 8-part sender, through the installed builders.
    std::vector<std::shared_ptr<_8PART_NS::tagFPGAWindowFailRect>> GetEightPartOverlay() const;
    std::vector<std::shared_ptr<_8PART_NS::tagMonitorInvalidSegmentWindow>> GetEightPartOverlay2() const;

    // A plan of the placement's output resolution made from a type-1 plan:
    // each window is cut at the outputs it covers. `windowMap` gets each
    // source window's new ids. Empty for other plan types, a grid above
    // kMaxPlanGridSide a side, or without a placement.
    static std::shared_ptr<CQelPlan> DerivePlan(const CQelPlan& source, DeriveMap& windowMap,
                                                const std::shared_ptr<const WallPlacement>& placement);

    // --- Undo history ---
    // Records the windows as a new entry of the given action kind.
    void AddHistory(int32_t kind);
    // Makes the windows those of the entry with that serial; 4K windows get
    // their parts anew, for the selection. Groups stay as they are; a window
    // whose group is no longer listed gets none.
    bool RecoverHistory(int32_t serial, const PlanSelection& selection);
    // True (and marks the plan dirty) when the windows differ from the
    // current entry.
    bool CompareHistory();
    int32_t GetHistoryCount() const { return static_cast<int32_t>(history_.size()); }
    HistoryPtr GetHistoryAt(int32_t index) const;
    int32_t IndexOfHistory(int32_t serial) const;
    HistoryPtr GetHistoryBySerial(int32_t serial) const;
    HistoryPtr GetNewestHistory() const { return newestHistory_; }
    // 0 unless an entry was restored since the last new one; then its serial.
    int32_t GetUndoPosition() const { return undoPosition_; }
    void ClearHistory();

private:
    void RenumberLayers();
    void Make4KParts(const WindowPtr& window, const PlanSelection& selection);
    void Remove4KParts(int32_t windowId);
    void RemoveEmptyGroups();
    WindowList SnapshotWindows() const;

    int32_t id_ = 0;
    std::string name_;
    int32_t rows_ = 0;
    int32_t cols_ = 0;
    int32_t cellrow_ = 2;
    int32_t cellcol_ = 2;
    ResolutionTriple resolution_{0, 0, 60};
    Rect margin_;
    int32_t windowIdCounter_ = 0;
    WindowList windows_;
    WindowList parts_;
    std::vector<GroupPtr> groups_;
    HistoryPtr newestHistory_;
    std::deque<HistoryPtr> history_;
    bool dirty_ = false;
    int32_t historySerial_ = 0;
    int32_t undoPosition_ = 0;
    int32_t type_ = kPlanUniform;
    std::vector<int32_t> rowHeights_;
    std::vector<int32_t> columnWidths_;
    std::vector<int32_t> watchOutputs_;
    std::vector<WatchPtr> watchWindows_;
    std::map<int32_t, int32_t> switchMap_;
};
