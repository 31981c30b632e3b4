#pragma once
// The docking control bar's geometry and mouse decisions, apart from the
// widget: caption band, float button, tab strip and page area for each
// docking side, the tab items stacked in the strip, their hit test, where a
// page pops out while the bar is collapsed and when it hides again.
#include <vector>

#include "platform/geometry.h"

namespace ctrlbar {
// Docking side bits of the bar's style word.
inline constexpr unsigned CBRS_ALIGN_LEFT = 0x1000;
inline constexpr unsigned CBRS_ALIGN_TOP = 0x2000;
inline constexpr unsigned CBRS_ALIGN_RIGHT = 0x4000;
inline constexpr unsigned CBRS_ALIGN_BOTTOM = 0x8000;
inline constexpr unsigned CBRS_ALIGN_ANY = 0xF000;

inline constexpr int kCaptionHeight = 24;
inline constexpr int kItemImagePadding = 6;
// The float button image: a sheet of four arrows of this size.
inline constexpr int kArrowCell = 16;
// How far right of the bar's expanded edge the pointer may stray before a
// popped-out page hides.
inline constexpr int kAutoHideSlack = 2;
} // namespace ctrlbar

struct FloatTabBarLayout {
    Rect caption;
    Rect floatButton;
    Rect strip;
    Rect pageArea;
    std::vector<Rect> items;
};

// `align` is one of the side bits; `imageHeights` holds each item's normal
// image height, 0 for an item without image.
FloatTabBarLayout LayOutFloatTabBar(const Rect& client, unsigned align, bool expanded, int collapsedThickness,
                                    const std::vector<int>& imageHeights);

// The item's rectangle pushed 2 pixels away from the page side and
// deflated by 2 contains the point.
bool HitTestItem(const Rect& item, unsigned align, Point pt);

// The top-left corner of the float button's arrow in its image sheet.
Point FloatButtonCell(unsigned align, bool expanded);

// Where a page pops out, in screen coordinates, beside a collapsed bar at
// `barScreen`: at its right edge, as tall as the bar, as wide as the
// difference of the two thicknesses.
Rect FloatWindowRect(const Rect& barScreen, int collapsedThickness, int expandedThickness);

// A popped-out page stays while the pointer is within the bar's height and
// no further right of its left edge than the expanded thickness and the
// slack.
bool KeepsFloatWindow(const Rect& barScreen, int expandedThickness, Point screen);
