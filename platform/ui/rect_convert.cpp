#include "platform/ui/rect_convert.h"

namespace ui {

QRect toQRect(const Rect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Rect fromQRect(const QRect& r)
{
    return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

} // namespace ui
