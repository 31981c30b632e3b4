#pragma once
// Editing the wall with mouse and keys: the hit test, the pointer and the
// tip, the drags with their snap, the arrow keys, the selection and the
// active window, and the windows made by band, click or drop. The
// handlers take viewport points and convert them to the canvas themselves.
#include <vector>

#include "views/wall_view_core.h"

class WallEditing {
public:
    using WindowPtr = WallViewCore::WindowPtr;
    using DragMode = WallViewCore::DragMode;
    using KeyEdit = WallViewCore::KeyEdit;

    explicit WallEditing(WallViewCore& core);
    WallEditing(const WallEditing&) = delete;
    WallEditing& operator=(const WallEditing&) = delete;

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

    // ---- State, with the names the view has always used
    Point m_ptCurrent;
    DragMode m_nDragMode = WallViewCore::kDragNone;
    KeyEdit m_nKeyEditKind = KeyEdit::None;
    Point m_ptDragLast;
    Rect m_rcSnap;
    WallHit m_nSnapCode = kHitNone;

private:
    // A window of the source on the view rectangle, added on top and made
    // active.
    WindowPtr AddNewWindow(const Rect& rc, int processorId, int sourceId, int is4k);

    // Shared state, hooks and the geometry's conversions, through the core.
    WallViewCore& core_;
    Rect m_rcTipTool{0, 0, 1, 1};
};
