#pragma once
#include "platform/geometry.h"
#include "platform/ui/colour.h"

#include <QSize>
#include <QString>

class QBrush;
class QColor;
class QFont;
class QPainter;
class QRect;

namespace ui {

// Painting with the rules the widgets were drawn with: rectangles exclude
// their right and bottom edges, lines their end point. Empty or inverted
// rectangles and kNoColor paint nothing.

void fillRect(QPainter& p, const Rect& r, ColorRef colour);
// A one-pixel frame just inside the rectangle: (10, 10, 20, 20) paints
// columns and rows 10 and 19.
void frameRect(QPainter& p, const Rect& r, ColorRef colour);
// Every second pixel of that frame, from its top-left corner on, clockwise:
// what a one-on, one-off dotted pen drawn around it paints when nothing
// cuts it.
void frameRectDotted(QPainter& p, const Rect& r, ColorRef colour);
// QPainter::fillRect for fills that blend (translucent colours, patterns)
// in bands of a few lines: the raster engine hands taller ones to its
// thread pool and waits, which costs more than the blending of most.
void blendFillRect(QPainter& p, const QRect& r, const QColor& colour);
void blendFillRect(QPainter& p, const QRect& r, const QBrush& brush);
// A line from (x1, y1) towards (x2, y2) in the painter's pen, the end point
// left out, so a polyline never paints a corner twice.
void drawLineWin(QPainter& p, int x1, int y1, int x2, int y2);

// Text format flags, with the values the callers were written against.
enum DrawTextFlags : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
};

// Draws `text` in the rectangle with the painter's font and pen. Lines break
// at "\r\n" (and lone "\n" or "\r") unless DT_SINGLELINE; DT_WORDBREAK wraps
// at the rectangle's width; without DT_NOPREFIX "&x" underlines x and "&&"
// is "&". VCENTER and BOTTOM apply to single lines. DT_CALCRECT draws nothing
// and sets the rectangle's right and bottom to what the text needs.
// Returns the height of the text.
int drawTextWin(QPainter& p, Rect& r, const QString& text, unsigned format);
inline int drawTextWin(QPainter& p, const Rect& r, const QString& text, unsigned format)
{
    Rect copy = r;
    return drawTextWin(p, copy, text, format);
}

// Width of the text on one line and the font's height.
QSize textExtent(const QFont& font, const QString& text);

} // namespace ui
