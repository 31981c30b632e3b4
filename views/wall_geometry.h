#pragma once
// The wall view's geometry: the wall laid out on the canvas, wall pixels
// and canvas pixels, the title-bar buttons, the watch slots, the windows'
// rectangles and what snapping, maximising, full screen and the split do to
// them.
#include <functional>
#include <vector>

#include "views/wall_view_core.h"

class WallGeometry {
public:
    using WindowPtr = WallViewCore::WindowPtr;
    using Direction = WallViewCore::Direction;
    using DragMode = WallViewCore::DragMode;
    using GridCell = WallViewCore::GridCell;

    explicit WallGeometry(WallViewCore& core);
    WallGeometry(const WallGeometry&) = delete;
    WallGeometry& operator=(const WallGeometry&) = delete;

    // The main frame's reference-line style, read at each use; without a
    // provider the grid of an unknown style applies.
    void SetReferenceLineStyleProvider(std::function<int()> provider);
    // Module rows (cy) and columns (cx) of a type-1 plan, at least 1 each.
    Size ModuleGrid() const;
    // Module rows (cy) and columns (cx) as the plan gives them: 0 on an
    // empty plan.
    Size ModuleCounts() const;

    // ---- Layout
    // The client size (the viewport without scroll bars) and the canvas
    // scale, clamped to 1 to 5; neither lays out by itself.
    void SetClientSize(const Size& client) { m_szClient = client; }
    Size GetClientSize() const { return m_szClient; }
    void SetCanvasScaleValue(int scale);
    // Lays the wall out on the canvas, the windows and the watch slots
    // with it, and repaints. The view's RecalcLayout runs it after the
    // widget has taken its client size.
    void RecalcLayout();
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

    // ---- Geometry operations
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
    // named edges) of the active window: apply the editing's m_nSnapCode
    // and m_rcSnap.
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
    static GridCell GridCellAt(int rows, int cols, const Rect& rect, Point p);
    // One window per output the window covers, each with its share of the
    // source crop; the window itself goes.
    void SplitWindow(const WindowPtr& window);

    // ---- State, with the names the view has always used
    int m_nTitleHeight = 20;
    int m_nMinWidth = 10;
    int m_nMinHeight = 10;
    Rect m_rcCanvas;
    Rect m_rcWallArea;
    Rect m_rcWatchStrip;
    Rect m_rcWallView;
    std::vector<Rect> m_vecWatchSlotRects;
    Point m_ptViewOrg;
    int m_nCanvasScale = 1;
    // The loaded button images' sizes, which the paint decisions read too.
    Size m_szCloseImage;
    Size m_szMaxCellImage;
    Size m_szMaxScreenImage;
    Size m_szLockImage;

private:
    // The plan's area inside its margins, where snapping applies.
    Rect SnapArea() const;
    // The window takes `cells`, or goes full screen when they are at least
    // as large as `wall`.
    void FillCells(const WindowPtr& window, const Rect& cells, Size wall);

    // Shared state, hooks and the editing's snap state, through the core.
    WallViewCore& core_;
    Size m_szClient;
    std::function<int()> m_referenceLineStyle;
};
