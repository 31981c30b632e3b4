#pragma once
#include "platform/geometry.h"
#include "uikit/menu_bar_layout.h"

#include <array>
#include <vector>

// Where the custom frame's border, caption row, control buttons, title box
// and tool row lie, and what a point of the window hits. All rectangles are
// in window coordinates (origin at the window's top-left corner).

inline constexpr int kBorderWidth = 3;
inline constexpr int kCaptionHeight = 24;
// The tool row's own height, whatever the height of its background.
inline constexpr int kToolRowExtent = 42;
// The smallest size a resizable frame is given.
inline constexpr Size kFrameMinSize{400, 300};

// Control buttons in the order the layout places them, right to left.
enum ControlButton { kCloseButton, kMaxButton, kMinButton, kControlButtonCount };
enum ControlState { kStateNormal = 0, kStateHot = 1, kStatePressed = 2, kStateDisabled = 3 };

struct CaptionInput {
    Rect window;            // any origin: the layout works at (0, 0)
    unsigned style = 0;     // WS_ bits of the frame
    bool noCaption = false; // the frame was attached without a caption
    int leftMargin = 0;
    Size glyph;                // one control-button cell
    bool toolBarShown = false; // the tool row has a background image or a button
    int toolRowHeight = 25;
    std::vector<Size> toolImages; // image size of each tool button, in order
    std::vector<Size> menuItems;  // size of each menu bar item, in order
    Size chevron;                 // the menu bar's chevron
};

struct ToolButtonBox {
    Rect button;
    Rect label; // a strip under the tool row, shown where the row's background reaches
};

struct CaptionLayout {
    Rect window;
    int border = kBorderWidth; // 0 while maximised
    Rect captionRow;           // also the caption background
    Rect caption;              // the caption row with the tool row under it; empty without a caption
    Rect client;
    Rect menuBar;       // where the caption menu bar goes
    MenuBarLayout menu; // its items and chevron
    Rect text;          // the title box, centred on the window
    Rect toolRow;       // the buttons' row
    Rect toolFill;      // the tool row's background band
    std::array<Rect, kControlButtonCount> buttons{};
    std::array<int, kControlButtonCount> buttonStates{};
    int toolMargin = 3; // inner margin of every tool button
    std::vector<ToolButtonBox> tools;
};

CaptionLayout LayoutCaption(const CaptionInput& in);

// The hit code of a window point (HT...): menu bar items (and the chevron),
// control and tool buttons and the caption inside the caption rectangle, the border's resize edges when the
// style has WS_THICKFRAME, the client, or nowhere outside the window.
int CaptionHitTest(const CaptionLayout& layout, unsigned style, Point pt);

// The control button or tool button under a window point; -1 for none.
int ControlButtonAt(const CaptionLayout& layout, Point pt);
int ToolButtonAt(const CaptionLayout& layout, Point pt);

// The window rectangle after dragging by (dx, dy) what `hit` names: the
// caption moves it, a border edge or corner resizes it, never below
// `minSize`. Other codes leave it as it is.
Rect DragRect(const Rect& start, int hit, int dx, int dy, Size minSize);
