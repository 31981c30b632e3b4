#pragma once
// The wall view's commands: the main frame's buttons, the context menus
// and what their items run (layers, lock, align, same size, beside, size
// to source, groups, logo saving), and the dialogs those open.
#include <QPoint>
#include <optional>
#include <vector>

#include "views/view_dialogs.h"
#include "views/wall_view_core.h"

namespace wallmenu {
struct WindowMenuState;
}

class WallCommands {
public:
    using WindowPtr = WallViewCore::WindowPtr;
    using AlignEdge = WallViewCore::AlignEdge;
    using SameSize = WallViewCore::SameSize;
    using Beside = WallViewCore::Beside;

    explicit WallCommands(WallViewCore& core);
    WallCommands(const WallCommands&) = delete;
    WallCommands& operator=(const WallCommands&) = delete;

    // Runs a frame command (WallViewCore::FrameCommand); false for one the
    // view does not know.
    bool OnCommand(int id);
    // The right button pressed at a viewport point: the logo, window or
    // watch-slot menu, shown at the screen point `global`, and its command.
    void OnContextMenu(Point device, QPoint global);
    void OnCmdExecutePlan();
    void OnCmdFullScreen();
    void OnCmdMaximizeInCell();
    void LockSelection();
    void UnlockSelection();
    void MoveLayerUp();
    void MoveLayerDown();
    void MoveLayerToTop();
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

private:
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

    // Shared state, hooks, sends and the other parts, through the core.
    WallViewCore& core_;
};
