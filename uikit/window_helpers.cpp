#include "uikit/window_helpers.h"

#include "platform/rect_math.h"
#include "platform/ui/rect_convert.h"

#include <QWidget>

QWidget* GetParent(const QWidget& widget)
{
    return widget.parentWidget();
}

bool PtInRectHelper(const Rect& rect, int x, int y)
{
    return PtInRect(rect, x, y);
}

void MoveWindow(QWidget& widget, const Rect& rect)
{
    widget.setGeometry(ui::toQRect(rect));
    widget.update();
}

bool CreateChildWindow(QWidget& widget, QWidget* parent, const Rect& rect, bool visible)
{
    if (!parent)
        return false;
    widget.setParent(parent);
    widget.setGeometry(ui::toQRect(rect));
    widget.setVisible(visible);
    return true;
}
