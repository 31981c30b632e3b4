#pragma once
// What the wall view paints, decided without a widget: rectangles in canvas
// pixels, colours as 0x00BBGGRR and texts already translated. Fonts and
// text extents are the widget's.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/geometry.h"
#include "platform/ui/colour.h"

struct TextItem {
    Rect rect;
    QString text;
    friend bool operator==(const TextItem&, const TextItem&) = default;
};

// A wall cell: filled when no output drives it, else the output's name.
struct CellPaint {
    Rect rect;
    bool noOutput = false;
    QString name;
    friend bool operator==(const CellPaint&, const CellPaint&) = default;
};

// Grid lines across a rectangle: y values of row lines or x values of
// column lines.
struct GridLines {
    std::vector<int> solid;
    std::vector<int> dotted;
    friend bool operator==(const GridLines&, const GridLines&) = default;
};

// One title-bar button (or the lock icon) and the image cell it shows.
struct TitleButton {
    Rect rect; // empty: not drawn, cannot be hit
    int cellX = 0;
    friend bool operator==(const TitleButton&, const TitleButton&) = default;
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
    friend bool operator==(const WindowPaint&, const WindowPaint&) = default;
};

// The wall's base layer: background, cells, grid and windows, everything a
// paint draws below the drag marks. Painted once and kept, it is painted
// again only where what it is painted from changed.
struct LayerWindow {
    WindowPaint paint;
    std::vector<uint8_t> bitmap; // a logo's
    friend bool operator==(const LayerWindow&, const LayerWindow&) = default;
};

struct LayerFrame {
    Rect canvas;
    Rect visible;
    Point origin;
    Rect wallArea;
    Rect wallView;
    ui::ColorRef background = 0;
    ui::ColorRef wall = 0;
    ui::ColorRef noOutputCell = 0;
    ui::ColorRef gridLine = 0;
    bool translucent = false;
    bool drawable = false;  // else only background and wall fill
    bool gridMatch = false; // else no grid and no windows
    std::vector<CellPaint> cells;
    std::optional<std::vector<Rect>> twoOutputParts;
    GridLines rows;
    GridLines columns;
    friend bool operator==(const LayerFrame&, const LayerFrame&) = default;
};

struct WallLayerScene {
    LayerFrame frame;
    std::vector<LayerWindow> windows; // bottom first
};

// Where a base layer painted from `before` differs from one painted from
// `now`, in canvas pixels: each changed window at its old and its new
// place. Nothing when they may differ anywhere.
std::optional<std::vector<Rect>> BaseLayerDamage(const WallLayerScene& before, const WallLayerScene& now);

struct WatchSlotPaint {
    Rect rect;
    TextItem title;
    // Texts at their cells' top-left plus 4, one line each.
    std::vector<TextItem> inputs;
    GridLines rowLines;    // across the slot
    GridLines columnLines; // down the slot
    TextItem take;
    friend bool operator==(const WatchSlotPaint&, const WatchSlotPaint&) = default;
};

struct WatchStripPaint {
    bool shown = false;
    TextItem header;
    std::vector<WatchSlotPaint> watchSlots;
    friend bool operator==(const WatchStripPaint&, const WatchStripPaint&) = default;
};

// A colour laid over the canvas at the resource layers' alpha.
struct OverlayMark {
    Rect rect;
    ui::ColorRef colour = 0;
    friend bool operator==(const OverlayMark&, const OverlayMark&) = default;
};

// What a paint draws over the base layer, in canvas pixels; the wall's
// marks and texts only when its windows are drawn.
struct TopLayerScene {
    Rect moveFrame; // empty: none
    std::vector<Point> snapMark;
    Rect rubberBand; // empty: none
    Rect marginFrame;
    std::vector<TextItem> sizeTexts;
    bool resolutionMismatch = false;
    WatchStripPaint watchStrip;
    std::vector<OverlayMark> shortage;
    std::vector<OverlayMark> overlay;
    QString status;
    QString shortageNotice;
    friend bool operator==(const TopLayerScene&, const TopLayerScene&) = default;
};

// The snap mark's pen width: its pixels lie within that of its polyline.
inline constexpr int kSnapMarkWidth = 3;

// Where a paint of `now` differs from one of `before` in what is drawn
// over the base layer: each changed mark at its old and new place.
// Nothing when they may differ anywhere (a text changed).
std::optional<std::vector<Rect>> TopLayerDamage(const TopLayerScene& before, const TopLayerScene& now);
