#pragma once
// The caption menu bar without widgets: its items' measures and mnemonics,
// where they go in the caption, what a point hits, and the overflow menu.
#include "platform/geometry.h"
#include "platform/ui/popup_menu.h"

#include <QString>
#include <vector>

class QFont;

inline constexpr int kMenuItemPadding = 12; // added to the text's width
inline constexpr int kMenuItemHeight = 20;

// One top-level item of the bar.
struct MenuBarItem {
    QString text;     // with its ampersand marks
    int mnemonic = 0; // the marked character, upper case; 0 for none
    int width = 0;
    int height = kMenuItemHeight;
};

// The character after the first ampersand that does not stand for a literal
// one ("&&"), upper case; 0 when there is none.
int MenuMnemonic(const QString& text);

// The item for a menu text, measured on one line in `font` with its marks
// taken out.
MenuBarItem MeasureMenuItem(const QString& text, const QFont& font);

struct MenuBarLayout {
    std::vector<Rect> items; // one per item; empty for an item not shown
    int overflow = -1;       // the first item not shown; -1 when all fit
    Rect chevron;            // empty when all fit
};

// Places the items left to right in `bar`, vertically centred. At the first
// item that does not fit, the chevron takes the place of as many placed items
// as it needs, and the overflow index is the first item left out.
MenuBarLayout LayoutMenuBar(const Rect& bar, const std::vector<Size>& items, Size chevron);

// The shown item under a point, the chevron standing for the overflow index;
// -1 for none.
int MenuBarHitTest(const MenuBarLayout& layout, Point pt);

// The chevron's drop-down: the items of `menu` from `from` on, sub-menus
// included.
ui::MenuSpec OverflowMenu(const ui::MenuSpec& menu, int from);
