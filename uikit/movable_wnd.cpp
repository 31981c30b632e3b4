#include "uikit/movable_wnd.h"

#include "platform/ui/gdi_paint.h"
#include "platform/ui/rect_convert.h"
#include "uikit/hit_drag.h"
#include "uikit/move_limit.h"
#include "uikit/window_helpers.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

// Outside the part the source fills.
constexpr ui::ColorRef kNoSource = ui::rgb(150, 0, 20);

Point localPoint(const QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    return Point{p.x(), p.y()};
}

} // namespace

CWndBase::CWndBase(QWidget* parent) : QWidget(parent) {}

bool CWndBase::Create(const Rect& rect, QWidget* parent, int id)
{
    if (!CreateChildWindow(*this, parent, rect))
        return false;
    id_ = id;
    return true;
}

void CWndBase::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    ui::fillRect(p, Rect{0, 0, width(), height()}, backColor);
    PaintFrame(p);
}

void CWndBase::PaintFrame(QPainter& p) const
{
    // Each side takes `frameWidth` pixels inside the edge, so an odd width
    // shows as fully on the right and bottom as on the left and top.
    const int w = width();
    const int h = height();
    const int b = std::clamp(frameWidth, 0, std::max(w, h));
    if (b == 0)
        return;
    ui::fillRect(p, Rect{0, 0, b, h}, frameColor);
    ui::fillRect(p, Rect{w - b, 0, w, h}, frameColor);
    ui::fillRect(p, Rect{0, 0, w, b}, frameColor);
    ui::fillRect(p, Rect{0, h - b, w, h}, frameColor);
}

CMoveLimitWnd::CMoveLimitWnd(QWidget* parent) : CWndBase(parent)
{
    setMouseTracking(true); // the cursor shows what a drag would do
}

bool CMoveLimitWnd::Create(const Rect& limitRect, const Rect& rect, QWidget* parent, int id)
{
    limit = limitRect;
    return Create(rect, parent, id);
}

HitCode CMoveLimitWnd::OnNcHitTest(Point pt) const
{
    return MoveLimitHitTest(Rect{0, 0, width(), height()}, frameWidth, pt);
}

void CMoveLimitWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        CWndBase::mousePressEvent(event);
        return;
    }
    hit_ = OnNcHitTest(localPoint(event));
    if (hit_ == HTNOWHERE)
        return;
    inMove_ = true;
    pressGlobal_ = event->globalPosition().toPoint();
    start_ = ui::fromQRect(geometry());
    OnDragStart();
}

void CMoveLimitWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (inMove_ && !(event->buttons() & Qt::LeftButton)) {
        // The release went elsewhere (a grab taken away): the drag is over.
        inMove_ = false;
        OnDragEnd();
    }
    if (!inMove_) {
        setCursor(CursorOfHit(OnNcHitTest(localPoint(event))));
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - pressGlobal_;
    const Rect next = DragRect(start_, hit_, delta.x(), delta.y(), limit, frameWidth);
    if (next != ui::fromQRect(geometry()))
        MoveWindow(*this, next);
}

void CMoveLimitWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !inMove_) {
        CWndBase::mouseReleaseEvent(event);
        return;
    }
    inMove_ = false;
    OnDragEnd();
}

CSigSrcClipWnd::CSigSrcClipWnd(QWidget* parent) : CMoveLimitWnd(parent) {}

bool CSigSrcClipWnd::Create(const Rect& rect, QWidget* parent, int id)
{
    // Only later changes are reported: the place it is created at is known.
    lastPos_ = QPoint(rect.left, rect.top);
    lastSize_ = ui::toQRect(rect).size().expandedTo(QSize(0, 0));
    const bool created = CWndBase::Create(rect, parent, id);
    lastPos_ = pos();
    lastSize_ = size();
    return created;
}

void CSigSrcClipWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const Rect client{0, 0, width(), height()};
    if (full) {
        ui::fillRect(p, client, backColor);
    } else {
        ui::fillRect(p, client, kNoSource);
        ui::fillRect(p, Rect{0, 0, sourceWidth, sourceHeight}, backColor);
    }
    PaintFrame(p);
}

void CSigSrcClipWnd::moveEvent(QMoveEvent* event)
{
    CMoveLimitWnd::moveEvent(event);
    if (pos() == lastPos_)
        return;
    lastPos_ = pos();
    if (!notifyOn)
        return;
    moved_ = true;
    emit notify(ui::Notify{kMoved, lastPos_.x(), lastPos_.y()});
}

void CSigSrcClipWnd::resizeEvent(QResizeEvent* event)
{
    CMoveLimitWnd::resizeEvent(event);
    if (size() == lastSize_)
        return;
    lastSize_ = size();
    if (!notifyOn)
        return;
    moved_ = true;
    emit notify(ui::Notify{kSized, lastSize_.width(), lastSize_.height()});
}

void CSigSrcClipWnd::OnDragStart()
{
    moved_ = false;
}

void CSigSrcClipWnd::OnDragEnd()
{
    if (!moved_ || !notifyOn)
        return;
    moved_ = false;
    emit notify(ui::Notify{kDragEnded});
}

CIOSDWnd::CIOSDWnd(QWidget* parent) : CSigSrcClipWnd(parent) {}

HitCode CIOSDWnd::OnNcHitTest(Point) const
{
    return HTCAPTION;
}
