#include "uikit/ui_splitter.h"

#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/rect_convert.h"
#include "uikit/window_helpers.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

// A see-through layer over the whole splitter that inverts every other
// pixel of the tracking bars, as the halftone pattern did on the screen.
class TrackingOverlay : public QWidget {
public:
    TrackingOverlay(QWidget* parent, const std::vector<Rect>& bars) : QWidget(parent), bars_(bars)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        for (const Rect& r : bars_)
            if (!RectEmpty(r))
                p.fillRect(ui::toQRect(r), QBrush(Qt::white, Qt::Dense4Pattern));
    }

private:
    const std::vector<Rect>& bars_;
};

Point pointOf(const QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    return Point{p.x(), p.y()};
}

} // namespace

CUiSplitter::CUiSplitter(QWidget* parent) : QWidget(parent)
{
    overlay_ = new TrackingOverlay(this, tracking_);
    setMouseTracking(true);
}

void CUiSplitter::SetPanes(QWidget* first, QWidget* second)
{
    first_ = first;
    second_ = second;
}

void CUiSplitter::SetColours(ui::ColorRef background, ui::ColorRef frame)
{
    background_ = background;
    frame_ = frame;
    update();
}

void CUiSplitter::Layout()
{
    const Rect c = client();
    if (!first_ || !second_ || RectEmpty(c))
        return;
    bar_ = SplitterBar(c, settings_);
    const SplitterPanes panes = SplitterPaneRects(c, bar_, settings_);
    MoveWindow(*first_, panes.first);
    MoveWindow(*second_, panes.second);
    update();
}

void CUiSplitter::DragBar(const Rect& r)
{
    const auto shown = std::find(tracking_.begin(), tracking_.end(), r);
    if (shown != tracking_.end())
        tracking_.erase(shown);
    else
        tracking_.push_back(r);
    overlay_->setGeometry(rect());
    overlay_->setVisible(!tracking_.empty());
    overlay_->raise();
    overlay_->update();
}

void CUiSplitter::Paint(QPainter& dc)
{
    const SplitterPaint paint = SplitterPaintRects(client(), bar_, settings_);
    for (const Rect& r : paint.fills)
        ui::fillRect(dc, r, background_);
    for (const Rect& r : paint.frames)
        ui::frameRect(dc, r, frame_);
}

void CUiSplitter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    Paint(p);
}

void CUiSplitter::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    overlay_->setGeometry(rect());
    Layout();
}

// Qt's implicit grab while a button is held takes the place of capturing
// the mouse: the moves and the release come here wherever the mouse goes.
void CUiSplitter::mousePressEvent(QMouseEvent* event)
{
    const Point pt = pointOf(event);
    if (event->button() != Qt::LeftButton || dragging_ || !PtInRect(bar_, pt.x, pt.y)) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragged_ = bar_;
    DragBar(dragged_);
}

void CUiSplitter::mouseMoveEvent(QMouseEvent* event)
{
    const Point pt = pointOf(event);
    if (!dragging_) {
        if (!PtInRect(bar_, pt.x, pt.y))
            setCursor(Qt::ArrowCursor);
        else
            setCursor(settings_.horizontalBar() ? Qt::SizeVerCursor : Qt::SizeHorCursor);
        QWidget::mouseMoveEvent(event);
        return;
    }
    if (const auto moved = SplitterDragTo(client(), dragged_, pt, settings_)) {
        DragBar(dragged_);
        dragged_ = *moved;
        DragBar(dragged_);
    }
}

void CUiSplitter::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        DragBar(dragged_);
        if (!RectEmpty(client()))
            settings_.ratio = SplitterRatioAt(client(), dragged_, settings_);
        Layout();
    }
    setCursor(Qt::ArrowCursor);
    QWidget::mouseReleaseEvent(event);
}
