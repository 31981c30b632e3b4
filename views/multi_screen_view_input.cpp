// The wall view's mouse and keys, handed to the core's handlers.
#include <QBitmap>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/virtual_key.h"
#include "views/multi_screen_view.h"

namespace {

Point ToPoint(const QPointF& p)
{
    const QPoint q = p.toPoint();
    return Point{q.x(), q.y()};
}

// The placement cursor: a cross with a small logo frame at its lower right,
// hot spot at the cross's centre.
QCursor PlacementCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(8, 1, 8, 15);
    p.drawLine(1, 8, 15, 8);
    p.drawRect(10, 10, 18, 10);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(8, 1, 8, 15);
    p.drawLine(1, 8, 15, 8);
    p.drawRect(10, 10, 18, 10);
    p.end();
    return QCursor(pixmap, 8, 8);
}

} // namespace

void CMultiScreenView::SetViewCursor(ViewCursor cursor)
{
    switch (cursor) {
    case ViewCursor::SizeNS: viewport()->setCursor(Qt::SizeVerCursor); break;
    case ViewCursor::SizeWE: viewport()->setCursor(Qt::SizeHorCursor); break;
    case ViewCursor::SizeNWSE: viewport()->setCursor(Qt::SizeFDiagCursor); break;
    case ViewCursor::SizeNESW: viewport()->setCursor(Qt::SizeBDiagCursor); break;
    case ViewCursor::Place: {
        static const QCursor placement = PlacementCursor();
        viewport()->setCursor(placement);
        break;
    }
    case ViewCursor::Arrow: viewport()->setCursor(Qt::ArrowCursor); break;
    }
}

void CMultiScreenView::SetTip(const Rect& canvasRect, bool moved, const QString& text)
{
    if (moved)
        m_tip.SetToolRect(
            viewport(), kTipToolId,
            geometry().CanvasToDeviceRect(canvasRect.left, canvasRect.top, canvasRect.right, canvasRect.bottom));
    m_tip.UpdateText(viewport(), kTipToolId, text);
}

void CMultiScreenView::ReleaseCapture()
{
    if (QWidget::mouseGrabber() == this || QWidget::mouseGrabber() == viewport())
        QWidget::mouseGrabber()->releaseMouse();
}

void CMultiScreenView::RepaintNow()
{
    InvalidateView();
    viewport()->repaint();
}

void CMultiScreenView::DropSignalSource(const QPoint& screen)
{
    editing().DropSignalSource(ToPoint(viewport()->mapFromGlobal(QPointF(screen))));
}

bool CMultiScreenView::AltKeyDown() const
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
}

void CMultiScreenView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        editing().OnLButtonDown(ToPoint(event->position()), event->modifiers().testFlag(Qt::ControlModifier));
    else if (event->button() == Qt::RightButton)
        commands().OnContextMenu(ToPoint(event->position()), event->globalPosition().toPoint());
    QAbstractScrollArea::mousePressEvent(event);
}

void CMultiScreenView::mouseMoveEvent(QMouseEvent* event)
{
    editing().OnMouseMove(ToPoint(event->position()));
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CMultiScreenView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        editing().OnLButtonUp(ToPoint(event->position()));
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CMultiScreenView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        editing().OnLButtonDblClk(ToPoint(event->position()));
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void CMultiScreenView::keyPressEvent(QKeyEvent* event)
{
    // The arrows edit the wall rather than scroll it.
    if (!editing().OnKeyDown(ui::virtualKey(*event), event->modifiers().testFlag(Qt::ShiftModifier)))
        QAbstractScrollArea::keyPressEvent(event);
}

void CMultiScreenView::keyReleaseEvent(QKeyEvent* event)
{
    // X11 sends a release before every repeated press, Windows one at the
    // end: only the real release ends a key edit.
    if (!event->isAutoRepeat())
        editing().OnKeyUp(ui::virtualKey(*event));
    QAbstractScrollArea::keyReleaseEvent(event);
}
