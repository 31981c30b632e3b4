#pragma once
#include "platform/geometry.h"

#include <optional>
#include <vector>

// The values an owner gives a splitter, with the defaults a new one has.
struct SplitterSettings {
    int orientation = 0; // 0: vertical bar, panes left and right; else stacked
    double ratio = 0.5;  // the bar's centre as a fraction of the client extent
    int firstMin = 20;   // pane minimums, kept while dragging
    int secondMin = 20;
    int margin = 0; // an empty band around the whole client area
    int thickness = 4;

    bool horizontalBar() const { return orientation != 0; }
};

// The splitter's rules apart from the widget. Every rectangle is in client
// coordinates; any settings and client give well-formed rectangles (a pane
// may be empty), whatever ratio the owner stored.

// The bar placed by the ratio, kept inside the client; centred when that
// leaves it empty or the client reaches 5000 pixels down.
Rect SplitterBar(const Rect& client, const SplitterSettings& s);

struct SplitterPanes {
    Rect first;
    Rect second;
};
// The panes on either side of the bar, inside the margin.
SplitterPanes SplitterPaneRects(const Rect& client, const Rect& bar, const SplitterSettings& s);

// The dragged bar moved to the mouse point, or nothing when the move would
// leave a pane at or below its minimum (or does not move the bar).
std::optional<Rect> SplitterDragTo(const Rect& client, const Rect& bar, Point pt, const SplitterSettings& s);

// The ratio of a bar dropped there: its integer centre over the client extent.
double SplitterRatioAt(const Rect& client, const Rect& bar, const SplitterSettings& s);

struct SplitterPaint {
    std::vector<Rect> fills;  // background colour: margin bands, then the bar
    std::vector<Rect> frames; // one-pixel frames in the frame colour
};
// What Paint draws: only the bar without a margin; with one, the four
// margin bands, the bar and a frame on each side of it.
SplitterPaint SplitterPaintRects(const Rect& client, const Rect& bar, const SplitterSettings& s);
