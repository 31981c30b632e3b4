#pragma once
#include "platform/geometry.h"

#include <QString>
#include <array>
#include <optional>

class CQelPlan;

// What a row of the layer sheet shows of its plan window.
struct LayerCellWindow {
    QString name;
    Rect rect; // on the wall
    bool locked = false;
    std::optional<QString> sourceName; // none: the window's processor lacks its source
};

// The plan's window at `row` and the name of its signal source; none
// without a plan or a window at that row.
std::optional<LayerCellWindow> LayerCellWindowOf(const CQelPlan* plan, int row);

// The lock icon's square in a row: 4 pixels in from the row's left edge,
// centred on the row's vertical centre, `iconSize` a side.
Rect LockIconSquare(const Rect& row, int iconSize);

// Where the parts of a layer cell that shows a window go.
struct LayerCellLayout {
    std::optional<Rect> lockSquare; // filled white, the icon centred, framed grey
    int iconX = 0;                  // the icon's x in the lock strip
    Rect textArea;
    bool ownText = false;                        // the wall has no width: the cell's text in textArea only
    std::optional<Rect> miniature;               // the wall in small, framed grey
    Rect miniWindow;                             // the window inside the miniature
    std::optional<std::array<QString, 2>> lines; // "name(source)" and the rectangle
    Rect line1;
    Rect line2;
};

// Lays out a cell of `row` showing `window` on a wall of `wall` pixels.
// `iconSize` is the lock image's height (0: no image), `lineHeight` the
// row font's height. A cell narrower than 7 pixels gets nothing.
LayerCellLayout LayOutLayerCell(const Rect& cell, const Rect& row, const LayerCellWindow& window, Size wall,
                                int iconSize, int lineHeight);
