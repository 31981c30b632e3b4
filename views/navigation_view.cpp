#include "views/navigation_view.h"

#include <QPainter>

#include "platform/ui/gdi_paint.h"

CNavigationView::CNavigationView(QWidget* parent) : QWidget(parent)
{
    // Every pixel is painted, so nothing is erased first and nothing
    // flickers.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CNavigationView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    ui::fillRect(p, Rect{0, 0, width(), height()}, kBackground);
}
