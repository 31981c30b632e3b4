#pragma once
#include "platform/geometry.h"
#include "platform/ui/notify.h"
#include "uikit/sheet_items.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// What the sheet reports to its owner: a code and p0-p4, whose meaning
// each code defines (see SheetNotifyCode).
using SheetNotify = ui::Notify;

enum SheetNotifyCode {
    kSheetClick = 1,         // p0 row (-1: empty space), p1 column, p3 x, p4 y
    kSheetRightClick = 2,    // as code 1
    kSheetDoubleClick = 3,   // as code 1
    kSheetSelChanged = 4,    // no payload
    kSheetRowMoved = 5,      // p0 from, p2 to
    kSheetHeaderClick = 20,  // p0 column, p2 x, p3 y
    kSheetHeaderRClick = 21, // p0 column (-1: empty header), p2 x, p3 y
    kSheetColumnMoved = 22,  // p0 from, p1 to
    kSheetKey = 40,          // p0 virtual-key code, p1 key flags
    kSheetHScrolled = 41,    // p0-p3 the scrolled area
    kSheetVScrolled = 42,    // p2 left, p3 top, p4 right of the scrolled area
};

// Style flags set by the owner.
enum SheetStyle : std::uint32_t {
    kSheetHorzGrid = 0x0001,
    kSheetVertGrid = 0x0002,
    kSheetMultiSelect = 0x0008,
    kSheetParentBars = 0x0010, // the owner's scroll-bar host provides the bars
    kSheetNoBars = 0x0020,
    kSheetNoVertBar = 0x0040,
    kSheetNoHorzBar = 0x0080,
    kSheetKeepBars = 0x0100,   // bars stay visible, disabled when nothing scrolls
    kSheetHorzToLast = 0x0200, // the last column may scroll to the first scrolled place
    kSheetVertToLast = 0x0400, // the last row likewise
    kSheetNoHighlight = 0x0800,
    kSheetCellTips = 0x1000,
    kSheetKeepSelection = 0x2000, // a click on empty space keeps the selection
};

// Scroll bars and scroll requests, with the values the scrolling logic was
// written against.
enum SheetScrollBarKind { SB_HORZ = 0, SB_VERT = 1 };
enum SheetScrollCode {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
};

// Keys the sheet acts on.
enum SheetKey {
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
};

// What lies under a point.
enum SheetHitKind {
    kHitNothing = 0,
    kHitColumnEdge = 1, // within 2 pixels of a column's right edge, in the header
    kHitHeaderCell = 3,
    kHitRow = 4,
};

struct SheetHit {
    int kind = kHitNothing;
    int row = -1;
    int column = -1; // the header column, or the column under the point
    friend bool operator==(const SheetHit&, const SheetHit&) = default;
};

// One scroll direction: position, its maximum and the first and last
// visible scrolled column or row (indexes that count the frozen ones).
struct SheetScrollState {
    int pos = 0;
    int max = 0;
    int first = 0;
    int last = 0;
};

// Kinds of drag.
enum SheetDragKind { kDragNone = 0, kDragResize = 1, kDragColumn = 3, kDragRow = 4 };

struct SheetDrag {
    int kind = kDragNone;
    Point start;
    Point last;
    int source = -1;
    int target = -1;
    Rect rect;     // the dragged header cell
    Rect feedback; // the row band shown while a row is dragged
};

// The DrawTextWin format of a header or cell text by column format.
unsigned SheetTextFormat(std::uint16_t format);

// The sheet without its window: columns, rows, selection, layout, scroll
// arithmetic, hit testing and what the mouse and the keys do. What needs a
// window (notifying, repainting, scroll bars, the tip, the cursor) goes
// through the protected hooks, which the control overrides. Every operation
// re-reads its state after each notification, since the owner may change
// the sheet (delete rows, refill it) while handling one.
class SheetCore {
public:
    SheetCore();
    virtual ~SheetCore();
    SheetCore(const SheetCore&) = delete;
    SheetCore& operator=(const SheetCore&) = delete;

    // Settings.
    void SetStyle(std::uint32_t style);
    std::uint32_t GetStyle() const { return style_; }
    void EnableRowDrag(bool enable) { rowDrag_ = enable; }
    bool IsRowDragEnabled() const { return rowDrag_; }
    // 0 hides the header; the layout follows.
    void SetHeaderHeight(int height);
    int GetHeaderHeight() const { return header_->height; }
    void SetHeaderTextColor(ui::ColorRef colour);
    void SetHeaderBkColor(ui::ColorRef colour);
    void SetGridColor(ui::ColorRef colour);
    ui::ColorRef GetGridColor() const { return gridColour_; }
    // Heights below 1 count as 1.
    void SetDefaultRowHeight(int height);
    int GetDefaultRowHeight() const { return defaultRowHeight_; }
    // The colour around and below the rows.
    void SetBkColor(ui::ColorRef colour);
    ui::ColorRef GetBkColor() const { return bkColour_; }
    ui::ColorRef GetDefaultTextColor() const { return textColour_; }

    CSHeader& Header() { return *header_; }
    const CSHeader& Header() const { return *header_; }

    // Columns.
    int GetColumnCount() const { return header_->Count(); }
    int InsertColumn(int index, const QString& title, std::uint16_t flags, std::uint16_t format, int width);
    void SetColumnWidth(int column, int width);
    // Removes the column and its cell in every row.
    virtual bool DeleteColumn(int column);
    virtual int DeleteAllColumns(bool alsoRows);
    virtual bool SwapColumns(int a, int b);
    virtual bool MoveColumn(int from, int to);
    bool SetColumnValue(int column, int value);
    int GetColumnValue(int column) const; // -1 for a bad column

    // Rows.
    int GetRowCount() const { return int(rows_.size()); }
    CSItem* Row(int row) const;
    virtual int AddRow(int position, const QString& text, std::uint16_t flags = 0, std::uint8_t state = 0,
                       int cellValue = -1, ui::ColorRef textColour = ui::kNoColor, int rowValue = -1);
    virtual int InsertRow(int position, std::unique_ptr<CSItem> row);
    virtual bool DeleteRow(int row);
    virtual int DeleteAllRows();
    virtual bool MoveRow(int from, int to);
    bool SetItemText(int row, int column, const QString& text);
    virtual QString GetItemText(int row, int column) const;
    void SetRowTextColor(int row, ui::ColorRef colour);
    void SetRowState(int row, std::uint8_t state);
    std::uint8_t GetRowState(int row) const;
    bool SetCellBkColor(int row, int column, ui::ColorRef colour);
    bool SetCellTextColor(int row, int column, ui::ColorRef colour);
    bool SetRowValue(int row, int value);
    int GetRowValue(int row) const; // -1 for a bad row
    // Index of the row among the frozen and the visible rows; -1 otherwise.
    virtual int GetRowIndex(const CSItem* row) const;
    virtual bool GetRowRect(int row, Rect& rect) const;
    virtual bool IsRowVisible(int row) const;
    void EnsureRowVisible(int row);

    // Layout and queries.
    void CalcFrozenColumns();
    void CalcFrozenRows();
    void UpdateLayout();
    void UpdateVScroll();
    void Refresh();
    bool GetColumnRect(int column, Rect& rect) const;
    void InvalidateCell(int row, int column);
    int HitTestHeader(int x, int y, int& column) const;
    int HitTestRows(int x, int y, int& row) const;
    SheetHit HitTest(Point point) const;
    // The column under x in the rows area; -1 when none.
    int ColumnAt(int x) const;
    // The cell's rectangle when its row and column are shown.
    bool GetCellRect(int row, int column, Rect& rect) const;
    // True when every row can be shown at once, nothing scrolled.
    bool AllRowsFit() const;
    virtual int GetRowsAreaHeight() const;
    virtual int CountRowsThatFit(int start, bool wholeRowsOnly, bool addFrozenCount, bool backward) const;
    int FrozenColumnCount() const;
    int FrozenColumnsWidth() const { return frozenWidth_; }
    int FrozenRowCount() const;
    int FrozenRowsHeight() const { return frozenHeight_; }
    int RowHeight(int row) const;
    const Rect& ClientArea() const { return client_; }
    const Rect& HeaderArea() const { return headerArea_; }
    const Rect& RowsArea() const { return rowsArea_; }
    const SheetScrollState& HScroll() const { return h_; }
    const SheetScrollState& VScroll() const { return v_; }
    // Right edge of the last column, at most the client's right.
    int ColumnsEnd() const;
    // The area cut at the right edge of the last column.
    Rect ClipToColumns(Rect area) const;
    // Rows highlighted when painted: selected or marked, unless style 0x0800.
    bool IsRowHighlighted(int row) const;
    // The hover cross-hair's "row => column" estimate; none where it cannot
    // be made (no header, a column 1 width of 0 or below, no such row or
    // column).
    std::optional<QString> HoverCrossText(int x, int y) const;

    // Selection.
    virtual void SelectRow(int row);
    virtual void DeselectRow(int row);
    virtual void SelectAll();
    void ClearSelection();
    std::vector<int> GetSelectedRows() const;
    int GetFocusRow() const { return focusRow_; }

    // Scrolling by request code.
    void OnVScroll(int code, int trackPos = 0);
    void OnHScroll(int code, int trackPos = 0);
    virtual void ScrollHome() { OnVScroll(SB_TOP); }
    virtual void ScrollEnd() { OnVScroll(SB_BOTTOM); }
    virtual void ScrollPageUp() { OnVScroll(SB_PAGEUP); }
    virtual void ScrollPageDown() { OnVScroll(SB_PAGEDOWN); }
    virtual void ScrollLineLeft() { OnHScroll(SB_LINELEFT); }
    virtual void ScrollLineRight() { OnHScroll(SB_LINERIGHT); }
    virtual void SelectPrevRow();
    virtual void SelectNextRow();

    // Input, in client coordinates.
    void OnLButtonDown(Point point, bool shift, bool ctrl);
    void OnLButtonUp(Point point);
    void OnLButtonDblClk(Point point);
    void OnRButtonDown(Point point);
    // `leftHeld`: the left button is down; `anyHeld`: some button is.
    void OnMouseMove(Point point, bool leftHeld, bool anyHeld);
    void OnMouseWheel(int delta);
    // True when the key had an action of its own.
    bool OnKeyDown(int virtualKey, int flags, bool ctrl);
    const SheetDrag& Drag() const { return drag_; }
    // x of the clicks the double click near the left edge replays.
    static std::vector<int> ReplayClickXs();

    // A client area to lay out in, for use without a window.
    void SetClientSize(int width, int height);

protected:
    // Hooks for the window; without one they do nothing.
    virtual void Notify(const SheetNotify&) {}
    virtual void InvalidateRect(const Rect&) {}
    virtual Rect ClientRect() const { return clientSize_; }
    virtual void ApplyScrollRange(int /*bar*/, const SheetScrollState&, bool /*keepShown*/) {}
    virtual void ApplyScrollBarShown(int /*bar*/, bool /*show*/) {}
    virtual void AfterVScroll(int /*code*/, int /*pos*/) {}
    virtual void ShowTip(const Rect& /*cell*/, const QString& /*text*/) {}
    virtual void HideTip() {}
    virtual void SetHitCursor(int /*kind*/) {}
    virtual void TakeFocus() {}
    virtual void DrawHoverCross(int /*x*/, int /*y*/) {}
    virtual void FeedbackChanged(const Rect& before, const Rect& after);
    // The width of a text in the row font; none when it cannot be measured.
    virtual std::optional<int> TextWidth(const QString&) const { return std::nullopt; }
    // Whether a double click near the left edge first replays clicks along
    // its row.
    virtual bool ReplaysLeftEdgeClicks() const { return true; }
    // Runs after a double click on a row has been reported (code 3), with
    // the row's index after the owner's handler; not when it deleted the row.
    virtual void RowDoubleClicked(int /*row*/, int /*column*/) {}

    // Style rules, then ApplyScrollBarShown.
    virtual void ShowScrollBarEx(int bar, bool show);
    void InvalidateAll() { InvalidateRect(client_); }
    // Where the row is now among all rows; -1 once it is deleted.
    int IndexOf(const CSItem* row) const;

private:
    int ColumnWidthAt(int column) const;
    bool CanReorderColumns(int a, int b) const;
    bool SetCellColour(int row, int column, ui::ColorRef colour, int (CSItem::*set)(int, ui::ColorRef));
    int ScrolledRowsTop() const { return rowsArea_.top + frozenHeight_; }
    int ColumnsThatFit(int start, bool wholeOnly) const;
    int ColumnsThatFitBack() const;
    void ApplyBar(int bar);
    void SyncClientRect();
    void RebuildSelection();
    void EraseFromSelection(const CSItem* row);
    void InvalidateRow(int row);
    void InvalidateFromRow(int row);
    void SelectRange(int focus, int clicked);
    void ClickRow(int row, bool shift, bool ctrl);
    void SetFeedback(const Rect& rect);
    void EndDrag();
    int AutoFitWidth(int column) const;

    std::unique_ptr<CSHeader> header_;
    std::vector<std::unique_ptr<CSItem>> rows_;
    std::vector<CSItem*> selection_; // in row order
    // Bumped whenever rows are added, removed or reordered, so an
    // operation can tell that a notification handler changed them.
    std::uint64_t rowsGeneration_ = 0;
    int focusRow_ = -1;
    int selMode_ = 0; // of the last left click: 0 plain, 1 Shift, 2 Ctrl
    std::uint32_t style_ = 0;
    bool rowDrag_ = false;
    int defaultRowHeight_ = 20;
    ui::ColorRef bkColour_ = ui::rgb(255, 255, 255);
    ui::ColorRef textColour_;
    ui::ColorRef gridColour_ = ui::rgb(216, 216, 216);

    int frozenCols_ = 0;
    int frozenWidth_ = 0;
    int frozenRows_ = 0;
    int frozenHeight_ = 0;
    Rect clientSize_;
    Rect client_;
    Rect headerArea_;
    Rect rowsArea_;
    SheetScrollState h_;
    SheetScrollState v_;
    bool inRefresh_ = false;
    SheetDrag drag_;
};
