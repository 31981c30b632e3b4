#pragma once
// Dragging a window by what a hit code (HT...) names, shared by the custom
// frame and the movable child windows; each adds its own limits.
#include "platform/geometry.h"

#include <QtCore/qnamespace.h>
#include <cstdint>

// The edges a border code drags; none for any other code.
struct HitEdges {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
};
HitEdges EdgesOfHit(int hit);

// `start` with the edges that `hit` drags moved by (dx, dy), each stopped
// where its side would become smaller than the minimum. Other edges stay.
Rect MoveDraggedEdges(const Rect& start, int hit, int dx, int dy, int64_t minWidth, int64_t minHeight);

// The pointer over a hit code: the sizing arrow of a border edge or corner,
// else the plain arrow.
Qt::CursorShape CursorOfHit(int hit);
