#pragma once
#include "platform/geometry.h"
#include "platform/ui/colour.h"

#include <QImage>

class QWidget;

namespace tavrix::test {

// Grabs the widget, writes it as a PNG under the build tree (named after the
// running test), reads the file back and returns what was read, in 32-bit
// RGB. Tests sample pixels of it, never hash the whole image.
QImage screenshot(QWidget& widget);

// What the screen shows of the widget now, read from its window's backing
// store without painting anything: a change the widget never asked to
// repaint stays unseen here.
QImage shownOnScreen(QWidget& widget);

// The pixel at (x, y) as 0x00BBGGRR; kNoColor outside the image.
ui::ColorRef pixelAt(const QImage& image, int x, int y);

// How many pixels of the rectangle have exactly this colour.
int countColour(const QImage& image, const Rect& r, ui::ColorRef colour);

} // namespace tavrix::test
