#pragma once
// Moving and sizing a child window with the mouse inside a limit rectangle,
// without a widget. Rectangles are in the parent's coordinates unless named
// otherwise; an empty limit limits nothing.
#include "platform/geometry.h"
#include "uikit/nc_codes.h"

// The region of the client rectangle under `pt`: its inside moves the window,
// the corner squares and edge strips `border` wide size it (corners before
// edges). The border is narrowed so that some inside always remains; 0 makes
// the whole window a move region. A point outside gives HTNOWHERE.
HitCode MoveLimitHitTest(const Rect& client, int border, Point pt);

// Keeps a proposed window rectangle inside the limit: cut to the limit's
// width and height first, then shifted in.
void ClampToLimit(Rect& proposed, const Rect& limit);

// Where a drag begun on `hit` with the window at `start` puts the window once
// the mouse has moved by (dx, dy). A move is clamped as above; sizing moves
// only the dragged edges, stops them at the limit and keeps each side at
// least 2 x border + 1 pixels (or what it had, when less; the limit wins
// when it is narrower).
Rect DragRect(const Rect& start, HitCode hit, int dx, int dy, const Rect& limit, int border);
