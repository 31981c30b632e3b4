#include "views/wall_view_core.h"

int WallViewCore::MoveDirection(int, int, int, int)
{
    return 0;
}

Point WallViewCore::GetAnchorPoint(int, const WindowPtr&)
{
    return Point{-1, -1};
}

int WallViewCore::SnapToCell(int, Point, Rect& cell) const
{
    cell = Rect{};
    return 0;
}

int WallViewCore::SnapToUniformGrid(int, Point, Rect& cell) const
{
    cell = Rect{};
    return 0;
}

void WallViewCore::SnapMovedWindow() {}

void WallViewCore::SnapResizedWindow() {}

void WallViewCore::SetWindowFullScreen(bool, const WindowPtr&) {}

void WallViewCore::MaximizeInCell() {}

void WallViewCore::MaximizeInGridCell() {}

std::vector<int> WallViewCore::GetRowBoundaries() const
{
    return {};
}

std::vector<int> WallViewCore::GetColumnBoundaries() const
{
    return {};
}

WallViewCore::GridCell WallViewCore::GridCellAt(int, int, const Rect&, Point)
{
    return GridCell{};
}

void WallViewCore::SplitWindow(const WindowPtr&) {}
