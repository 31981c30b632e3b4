#pragma once
// What the wall view paints, decided without a widget: rectangles in canvas
// pixels, colours as 0x00BBGGRR and texts already translated. Fonts and
// text extents are the widget's.
#include <QString>
#include <vector>

#include "platform/geometry.h"
#include "platform/ui/colour.h"

struct TextItem {
    Rect rect;
    QString text;
};

// A wall cell: filled when no output drives it, else the output's name.
struct CellPaint {
    Rect rect;
    bool noOutput = false;
    QString name;
};

// Grid lines across a rectangle: y values of row lines or x values of
// column lines.
struct GridLines {
    std::vector<int> solid;
    std::vector<int> dotted;
};

// One title-bar button (or the lock icon) and the image cell it shows.
struct TitleButton {
    Rect rect; // empty: not drawn, cannot be hit
    int cellX = 0;
};

struct WindowPaint {
    enum class Frame { Solid, Dotted, Selected };

    bool logo = false;
    Rect rc;
    ui::ColorRef fill = 0;
    // Filled over `fill` in the body colour when the window is larger than
    // its source; empty otherwise.
    Rect sourcePart;
    ui::ColorRef body = 0;
    QString sourceName; // centred in rc below the title bar
    Rect titleBar;
    bool titleFilled = false;
    ui::ColorRef titleColour = 0;
    QString title;
    int titleTextLeft = 0;
    TitleButton lock;
    // The information lines, from (rc.left + 4, title bottom + 4).
    std::vector<QString> infoLines;
    TitleButton close;
    TitleButton maxCell;
    TitleButton maxScreen;
    Frame frame = Frame::Solid;
    ui::ColorRef frameColour = 0;
    Rect logoSource; // the logo bitmap's source rectangle
};

struct WatchSlotPaint {
    Rect rect;
    TextItem title;
    // Texts at their cells' top-left plus 4, one line each.
    std::vector<TextItem> inputs;
    GridLines rowLines;    // across the slot
    GridLines columnLines; // down the slot
    TextItem take;
};

struct WatchStripPaint {
    bool shown = false;
    TextItem header;
    std::vector<WatchSlotPaint> watchSlots;
};

// A colour laid over the canvas at the resource layers' alpha.
struct OverlayMark {
    Rect rect;
    ui::ColorRef colour = 0;
};
