#include "uikit/static_color_wnd.h"

#include "platform/ui/gdi_paint.h"
#include "uikit/draw_helpers.h"

#include <QPainter>

namespace {

// A one-pixel outline through the rectangle's corners; the right and bottom
// edges of the client rectangle itself fall outside it.
void outline(QPainter& p, const Rect& r, ui::ColorRef colour)
{
    p.setPen(QPen(ui::toQColor(colour), 1));
    ui::drawLineWin(p, r.left, r.top, r.right, r.top);
    ui::drawLineWin(p, r.right, r.top, r.right, r.bottom);
    ui::drawLineWin(p, r.right, r.bottom, r.left, r.bottom);
    ui::drawLineWin(p, r.left, r.bottom, r.left, r.top);
}

} // namespace

CStaticColorWnd::CStaticColorWnd(QWidget* parent) : QWidget(parent) {}

void CStaticColorWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const Rect client{0, 0, width(), height()};
    ui::fillRect(p, client, color);
    if (pictureOn && !picture.empty())
        DrawDib(p, picture.data(), picture.size(), client, pictureSource);
    outline(p, client, ui::rgb(0, 0, 0));
    outline(p, Rect{1, 1, client.right - 1, client.bottom - 1}, ui::rgb(255, 255, 255));
}
