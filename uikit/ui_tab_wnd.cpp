#include "uikit/ui_tab_wnd.h"

#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/image_file.h"
#include "platform/ui/modal.h"
#include "platform/ui/rect_convert.h"
#include "platform/ui/ui_log.h"
#include "uikit/draw_helpers.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/ui_tip_ctrl.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace {

Rect shrink(const Rect& r, int dx, int dy)
{
    return MakeRect(int64_t(r.left) + dx, int64_t(r.top) + dy, int64_t(r.right) - dx, int64_t(r.bottom) - dy);
}

Point pointOf(const QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    return Point{p.x(), p.y()};
}

} // namespace

CUiTabWnd::CUiTabWnd(QWidget* parent) : QWidget(parent), tip_(new CUiTipCtrl(this))
{
    layout_.measure = [](const QString& text) { return ui::textExtent(GetUiFont12(), text).width(); };
    setFont(GetUiFont12());
    setMouseTracking(true);
    // Every pixel is painted: Qt's backing store stands in for a memory DC.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CUiTabWnd::~CUiTabWnd() = default;

void CUiTabWnd::send(int code, int index, int kind)
{
    ui::Notify n;
    n.code = code;
    n.p0 = index;
    n.p1 = kind;
    emit notify(n);
}

int CUiTabWnd::AddTab(int id, const QString& text)
{
    if (layout_.IndexOfId(id) >= 0)
        return -1;
    auto tab = std::make_shared<CUiTab>();
    tab->id = id;
    tab->text = text;
    layout_.tabs.push_back(tab);
    const int index = TabCount() - 1;
    Layout();
    send(NotifyAdded, index, KindAdd);
    if (layout_.selected < 0)
        SelectTab(index);
    return index;
}

void CUiTabWnd::SelectTab(int index)
{
    // The layout reads the selected tab's rectangle, so an index past the
    // tabs is refused rather than stored.
    if (index < -1 || index >= TabCount())
        return;
    layout_.selected = index;
    send(NotifySelected, index, KindSelect);
    Layout();
}

bool CUiTabWnd::CloseTab(int index)
{
    if (!layout_.ValidIndex(index))
        return false;
    send(NotifyClosing, index, KindClose);
    // The owner may have changed the tabs while answering.
    if (!layout_.ValidIndex(index))
        return true;
    // The selection moves with the tabs at once, so it never points past
    // them and the selected tab keeps its place in the layout.
    layout_.selected = TabStripLayout::SelectionAfterClose(index, layout_.selected, TabCount());
    layout_.tabs.erase(layout_.tabs.begin() + index);
    send(NotifyClosed, index, KindClose);
    if (!layout_.ValidIndex(layout_.selected))
        layout_.selected = -1;
    Layout();
    SelectTab(layout_.selected);
    return true;
}

void CUiTabWnd::SetTabText(int index, const QString& text)
{
    if (!layout_.ValidIndex(index))
        return;
    layout_.tabs[size_t(index)]->text = text;
    Layout();
}

std::shared_ptr<CUiTab> CUiTabWnd::GetTab(int index) const
{
    return layout_.ValidIndex(index) ? layout_.tabs[size_t(index)] : nullptr;
}

void CUiTabWnd::loadButtonImage(const std::string& path, QImage& image, Size& size)
{
    image = ui::loadImage(path);
    size = Size{};
    if (!image.isNull() && image.width() < 2 * image.height()) {
        qCWarning(ui::lcUi) << "button image is not two square frames wide:" << path.c_str();
        image = QImage();
    }
    if (!image.isNull()) {
        image.convertTo(QImage::Format_ARGB32);
        PremultiplyAlpha(image);
        size = Size{image.width(), image.height()};
    }
    update();
}

void CUiTabWnd::SetCloseButtonImage(const std::string& path)
{
    loadButtonImage(path, closeImage_, layout_.closeImage);
}

void CUiTabWnd::SetMenuButtonImage(const std::string& path)
{
    loadButtonImage(path, menuImage_, layout_.menuImage);
}

int CUiTabWnd::TextWidth(int index, bool shortened) const
{
    return layout_.TextWidth(index, shortened);
}
Rect CUiTabWnd::CloseRect(int index) const
{
    return layout_.CloseRect(index);
}
Rect CUiTabWnd::MenuRect() const
{
    return layout_.MenuRect();
}
int CUiTabWnd::HitTest(const Point& pt, int& index) const
{
    return layout_.HitTest(pt, index);
}

void CUiTabWnd::Layout()
{
    HideTip();
    layout_.Layout(Rect{0, 0, width(), height()});
    update();
}

int CUiTabWnd::frameUnderMouse(const Rect& button) const
{
    return mouse_ && PtInRect(button, mouse_->x, mouse_->y) ? 1 : 0;
}

void CUiTabWnd::PaintBk(QPainter& dc)
{
    const Rect client{0, 0, width(), height()};
    ui::fillRect(dc, client, background_);
    ui::frameRect(dc, client, frameColour_);
    PaintTabs(dc);
    PaintButtons(dc);
}

void CUiTabWnd::PaintTabs(QPainter& dc)
{
    const Rect& area = layout_.tabArea;
    if (RectEmpty(area))
        return;
    dc.save();
    // A tab partly outside the area never paints over the frame or the
    // overflow button.
    dc.setClipRect(ui::toQRect(area));
    dc.setFont(GetUiFont12());
    const int h = layout_.closeImage.cy;
    for (int i = 0; i < TabCount(); ++i) {
        const Rect& r = layout_.tabs[size_t(i)]->rect;
        if (RectEmpty(IntersectRect(r, area)))
            continue;
        const bool selected = i == layout_.selected;
        ui::fillRect(dc, r, selected ? selectedColour_ : tabColour_);
        dc.setPen(ui::toQColor(selected ? selectedTextColour_ : textColour_));
        ui::drawTextWin(dc, shrink(r, layout_.spacing, 1), layout_.ShownText(i),
                        ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_LEFT);
        if (!closeImage_.isNull()) {
            const Rect button = CloseRect(i);
            DrawImageCentered(button, dc, closeImage_, frameUnderMouse(button) * h, 0, h, h);
        }
        ui::fillRect(dc, Rect{r.right - 1, r.top, r.right, r.bottom}, frameColour_);
    }
    dc.restore();
}

void CUiTabWnd::PaintButtons(QPainter& dc)
{
    const Rect& area = layout_.menuArea;
    if (RectEmpty(area))
        return;
    ui::fillRect(dc, area, background_);
    ui::fillRect(dc, Rect{area.left, area.top, area.left + 1, area.bottom}, frameColour_);
    if (!menuImage_.isNull()) {
        const Rect button = MenuRect();
        const int h = layout_.menuImage.cy;
        DrawImageCentered(button, dc, menuImage_, frameUnderMouse(button) * h, 0, h, h);
    }
}

void CUiTabWnd::OverflowMenu()
{
    const QPoint at = mouse_ ? mapToGlobal(QPoint(mouse_->x, mouse_->y)) : QCursor::pos();
    // A dismissed menu answers 0, which selects no tab.
    SelectTab(ui::popupMenu(this, layout_.OverflowMenu(), at) - 1);
}

void CUiTabWnd::ShowTip(const Rect& tabRect, const QString& text)
{
    Rect r = tabRect;
    r.left = std::max(r.left, layout_.tabArea.left);
    r.right = std::min(r.right, layout_.tabArea.right);
    const QPoint topLeft = mapToGlobal(QPoint(r.left, r.top));
    const Rect screen = OffsetRect(r, int64_t(topLeft.x()) - r.left, int64_t(topLeft.y()) - r.top);
    tip_->ShowAt(screen, QPoint(0, Height32(r) + 2), text);
}

void CUiTabWnd::HideTip()
{
    tip_->Hide();
}

void CUiTabWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintBk(p);
}

void CUiTabWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CUiTabWnd::mouseMoveEvent(QMouseEvent* event)
{
    const Point pt = pointOf(event);
    mouse_ = pt;
    int index = -1;
    if (HitTest(pt, index) == TabStripLayout::HitTab && layout_.ValidIndex(index) &&
        PtInRect(shrink(layout_.tabs[size_t(index)]->rect, 4, 4), pt.x, pt.y)) {
        const CUiTab& tab = *layout_.tabs[size_t(index)];
        ShowTip(tab.rect, tab.text);
    } else {
        HideTip();
    }
    update();
}

void CUiTabWnd::mousePressEvent(QMouseEvent* event)
{
    mouse_ = pointOf(event);
    HideTip();
    if (event->button() != Qt::LeftButton)
        return;
    int index = -1;
    switch (HitTest(*mouse_, index)) {
    case TabStripLayout::HitTab: SelectTab(index); break;
    case TabStripLayout::HitClose: CloseTab(index); break;
    case TabStripLayout::HitMenu: OverflowMenu(); break;
    default: break;
    }
}

void CUiTabWnd::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    mouse_.reset();
    HideTip();
    update();
}

void CUiTabWnd::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        tip_->setEnabled(isEnabled());
        update();
    }
}
