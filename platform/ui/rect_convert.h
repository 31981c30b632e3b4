#pragma once
#include "platform/geometry.h"

#include <QRect>

namespace ui {

// Our rectangles exclude their right and bottom edges, as QRect's width and
// height do: (10, 10, 20, 20) is QRect(10, 10, 10, 10).
QRect toQRect(const Rect& r);
Rect fromQRect(const QRect& r);

} // namespace ui
