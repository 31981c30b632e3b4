#include "frame/float_tab_ctrl_bar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "platform/rect_math.h"
#include "platform/ui/image_file.h"
#include "platform/ui/rect_convert.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/ui_tip_ctrl.h"

namespace {

void FillRect(QPainter& p, const Rect& r, ui::ColorRef colour)
{
    if (!RectEmpty(r))
        p.fillRect(ui::toQRect(r), ui::toQColor(colour));
}

// A one-pixel frame inside the rectangle.
void FrameRect(QPainter& p, const Rect& r, ui::ColorRef colour)
{
    if (RectEmpty(r))
        return;
    const QColor c = ui::toQColor(colour);
    p.fillRect(QRect(r.left, r.top, Width32(r), 1), c);
    p.fillRect(QRect(r.left, r.bottom - 1, Width32(r), 1), c);
    p.fillRect(QRect(r.left, r.top, 1, Height32(r)), c);
    p.fillRect(QRect(r.right - 1, r.top, 1, Height32(r)), c);
}

void DrawTitle(QPainter& p, const Rect& r, const QString& text, ui::ColorRef colour)
{
    p.setFont(GetUiFont12());
    p.setPen(ui::toQColor(colour));
    p.drawText(ui::toQRect(r), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

QImage Premultiplied(const std::string& path)
{
    if (path.empty())
        return {};
    QImage image = ui::loadImage(path);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

Rect ScreenRect(const QWidget& w)
{
    const QPoint origin = w.mapToGlobal(QPoint(0, 0));
    return Rect{origin.x(), origin.y(), origin.x() + w.width(), origin.y() + w.height()};
}

} // namespace

// ---- CUiCtrlBarSubWnd

CUiCtrlBarSubWnd::CUiCtrlBarSubWnd(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CUiCtrlBarSubWnd::RecalcLayout()
{
    m_rcInner = Rect{m_nMargin, m_nMargin, width() - m_nMargin, height() - m_nMargin};
    update();
}

void CUiCtrlBarSubWnd::DrawBorder(QPainter& p)
{
    const int w = width();
    const int h = height();
    const Rect in = m_rcInner;
    for (const Rect& strip : {Rect{0, 0, w, in.top}, Rect{0, in.bottom, w, h}, Rect{0, in.top, in.left, in.bottom},
                              Rect{in.right, in.top, w, in.bottom}})
        FillRect(p, strip, m_clrBackground);
}

void CUiCtrlBarSubWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcLayout();
}

void CUiCtrlBarSubWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // An empty page shows its background all over.
    FillRect(p, m_rcInner, m_clrBackground);
    DrawBorder(p);
}

// ---- CUiCtrlBarFloatWnd

CUiCtrlBarFloatWnd::CUiCtrlBarFloatWnd(CUiFloatTabCtrlBar& owner)
    : QWidget(owner.window(), Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), m_owner(owner)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Stands for the thread mouse hook: every pointer move reaches the bar
    // while the window shows.
    qApp->installEventFilter(this);
}

CUiCtrlBarFloatWnd::~CUiCtrlBarFloatWnd()
{
    qApp->removeEventFilter(this);
}

int CUiCtrlBarFloatWnd::SetPage(QWidget* page)
{
    if (!page) {
        m_pPage = nullptr;
        return 0;
    }
    m_pPage = page;
    page->setParent(this);
    RecalcLayout();
    page->show();
    update();
    return 1;
}

void CUiCtrlBarFloatWnd::SetTitle(const QString& title)
{
    m_strTitle = title;
    update();
}

void CUiCtrlBarFloatWnd::RecalcLayout()
{
    m_rcCaption = Rect{0, 0, width(), m_nCaptionHeight};
    m_rcContent = Rect{0, m_nCaptionHeight, width(), height()};
    if (m_pPage)
        m_pPage->setGeometry(
            ui::toQRect(Rect{m_rcContent.left, m_rcContent.top, m_rcContent.right - 1, m_rcContent.bottom - 1}));
}

void CUiCtrlBarFloatWnd::DrawCaption(QPainter& p)
{
    FillRect(p, m_rcCaption, m_clrCaption);
    const QColor line = ui::toQColor(m_clrLine);
    const Rect& c = m_rcCaption;
    p.fillRect(QRect(c.left, c.top, Width32(c), 1), line);
    p.fillRect(QRect(c.right - 1, c.top, 1, Height32(c)), line);
    p.fillRect(QRect(c.left, c.bottom - 1, Width32(c), 1), line);
    DrawTitle(p, Rect{c.left + 8, c.top, c.right, c.bottom}, m_strTitle, m_clrCaptionText);
}

void CUiCtrlBarFloatWnd::DrawWnd(QPainter& p)
{
    FillRect(p, m_rcContent, m_clrBackground);
    DrawCaption(p);
    const QColor line = ui::toQColor(m_clrLine);
    const Rect& r = m_rcContent;
    p.fillRect(QRect(r.right - 1, r.top, 1, Height32(r)), line);
    p.fillRect(QRect(r.left, r.bottom - 1, Width32(r), 1), line);
}

bool CUiCtrlBarFloatWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && watched->isWidgetType() && isVisible()) {
        const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        QPointer<CUiFloatTabCtrlBar> bar = &m_owner;
        // Posted, as the hook did: the bar may hide this window, which must
        // not happen inside another widget's event.
        QMetaObject::invokeMethod(
            &m_owner,
            [bar, global] {
                if (bar)
                    bar->OnFloatMouseMove(global);
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void CUiCtrlBarFloatWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcLayout();
    update();
}

void CUiCtrlBarFloatWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    DrawWnd(p);
}

// ---- CUiFloatTabCtrlBar

CUiFloatTabCtrlBar::CUiFloatTabCtrlBar(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

CUiFloatTabCtrlBar::~CUiFloatTabCtrlBar()
{
    DestroyFloatWnd();
}

bool CUiFloatTabCtrlBar::Create(const QString& title, QWidget* parent, int id, int collapsedThickness,
                                int expandedThickness, unsigned style)
{
    if (collapsedThickness <= 0 || expandedThickness < collapsedThickness)
        return false;
    m_strTitle = title;
    m_nCollapsed = collapsedThickness;
    m_nExpanded = expandedThickness;
    m_nAlign = style & ctrlbar::CBRS_ALIGN_ANY;
    if (!m_nAlign)
        m_nAlign = ctrlbar::CBRS_ALIGN_LEFT;
    setParent(parent);
    setObjectName(QStringLiteral("ctrlbar%1").arg(id));
    setWindowTitle(title);
    if (!m_pTip)
        m_pTip = new CUiTipCtrl(this);
    applyThickness();
    return true;
}

void CUiFloatTabCtrlBar::applyThickness()
{
    if (m_nAlign & (ctrlbar::CBRS_ALIGN_LEFT | ctrlbar::CBRS_ALIGN_RIGHT)) {
        setMinimumWidth(Thickness());
        setMaximumWidth(Thickness());
    } else {
        setMinimumHeight(Thickness());
        setMaximumHeight(Thickness());
    }
    emit thicknessChanged();
}

QSize CUiFloatTabCtrlBar::sizeHint() const
{
    return (m_nAlign & (ctrlbar::CBRS_ALIGN_LEFT | ctrlbar::CBRS_ALIGN_RIGHT)) ? QSize(Thickness(), 600)
                                                                               : QSize(600, Thickness());
}

int CUiFloatTabCtrlBar::AddItem(uint32_t id, const QString& title, const std::string& normalImage,
                                const std::string& selectedImage, QWidget* page)
{
    for (const auto& item : m_items)
        if (item->id == id)
            return 0;
    auto item = std::make_shared<FloatTabItem>();
    item->id = id;
    item->title = title;
    item->normal = Premultiplied(normalImage);
    item->selected = Premultiplied(selectedImage);
    item->page = page;
    if (!m_pActive) {
        m_pActive = item;
        item->state = 2;
    }
    if (page) {
        page->setParent(this);
        page->setVisible(m_pActive == item && m_bExpanded);
    }
    m_items.push_back(item);
    RecalcLayout();
    return 1;
}

void CUiFloatTabCtrlBar::SetFloatImage(const std::string& path)
{
    m_imgFloat = Premultiplied(path);
    update();
}

void CUiFloatTabCtrlBar::SetCollapsed(bool collapse)
{
    if (collapse) {
        m_bExpanded = false;
        if (m_pActive && m_pActive->page)
            m_pActive->page->hide();
    } else {
        m_bExpanded = true;
        HideFloatWnd();
        if (m_pActive && m_pActive->page)
            m_pActive->page->show();
    }
    applyThickness();
    RecalcLayout();
}

void CUiFloatTabCtrlBar::CreateFloatWnd()
{
    if (!m_pFloatWnd)
        m_pFloatWnd = new CUiCtrlBarFloatWnd(*this);
}

void CUiFloatTabCtrlBar::HideFloatWnd()
{
    if (!m_pFloatWnd || !m_pFloatWnd->isVisible())
        return;
    if (QWidget* page = m_pFloatWnd->GetPage()) {
        if (!m_bExpanded)
            page->hide();
        page->setParent(this);
    }
    m_pFloatWnd->SetTitle(QString());
    m_pFloatWnd->SetPage(nullptr);
    m_pFloatWnd->hide();
    RecalcLayout();
    window()->update();
}

void CUiFloatTabCtrlBar::DestroyFloatWnd()
{
    delete m_pFloatWnd;
    m_pFloatWnd = nullptr;
}

void CUiFloatTabCtrlBar::RecalcLayout()
{
    std::vector<int> heights;
    for (const auto& item : m_items)
        heights.push_back(item->normal.isNull() ? 0 : item->normal.height());
    m_layout = LayOutFloatTabBar(Rect{0, 0, width(), height()}, m_nAlign, m_bExpanded, m_nCollapsed, heights);
    for (size_t i = 0; i < m_items.size(); ++i) {
        m_items[i]->rect = m_layout.items[i];
        QWidget* page = m_items[i]->page;
        if (page && page->parentWidget() == this)
            page->setGeometry(ui::toQRect(m_layout.pageArea));
    }
    update();
}

void CUiFloatTabCtrlBar::ActivateItem(const std::shared_ptr<FloatTabItem>& item)
{
    if (m_pActive != item) {
        if (m_pActive) {
            m_pActive->state = 0;
            if (m_pActive->page) {
                if (m_pFloatWnd && m_pFloatWnd->GetPage() == m_pActive->page)
                    m_pFloatWnd->SetPage(nullptr);
                m_pActive->page->setParent(this);
                m_pActive->page->hide();
            }
        }
        m_pActive = item;
        item->state = 2;
    }
    if (!m_bExpanded && item->page) {
        CreateFloatWnd();
        m_pFloatWnd->m_clrCaption = m_clrCaption;
        m_pFloatWnd->m_clrCaptionText = m_clrCaptionText;
        m_pFloatWnd->m_clrLine = m_clrLine;
        m_pFloatWnd->m_nCaptionHeight = m_layout.caption.bottom - m_layout.caption.top;
        const Rect r = FloatWindowRect(ScreenRect(*this), m_nCollapsed, m_nExpanded);
        m_pFloatWnd->setGeometry(ui::toQRect(r));
        m_pFloatWnd->SetTitle(item->title);
        m_pFloatWnd->SetPage(item->page);
        m_pFloatWnd->show();
        window()->update();
    }
    if (item->page) {
        if (m_bExpanded)
            item->page->setGeometry(ui::toQRect(m_layout.pageArea));
        item->page->show();
    }
    update();
}

void CUiFloatTabCtrlBar::OnFloatMouseMove(const QPoint& global)
{
    if (!m_pFloatWnd || !m_pFloatWnd->isVisible())
        return;
    if (!KeepsFloatWindow(ScreenRect(*this), m_nExpanded, Point{global.x(), global.y()}))
        HideFloatWnd();
}

void CUiFloatTabCtrlBar::DrawCaption(QPainter& p)
{
    FillRect(p, m_layout.caption, m_clrCaption);
    FrameRect(p, m_layout.caption, m_clrLine);
    if (m_bExpanded && m_pActive) {
        const Rect& c = m_layout.caption;
        DrawTitle(p, Rect{c.left + 8, c.top, m_layout.floatButton.left, c.bottom}, m_pActive->title, m_clrCaptionText);
    }
    if (!m_imgFloat.isNull()) {
        const Point cell = FloatButtonCell(m_nAlign, m_bExpanded);
        const Rect& b = m_layout.floatButton;
        const int x = b.left + (Width32(b) - ctrlbar::kArrowCell) / 2;
        const int y = b.top + (Height32(b) - ctrlbar::kArrowCell) / 2;
        p.drawImage(QPoint(x, y), m_imgFloat, QRect(cell.x, cell.y, ctrlbar::kArrowCell, ctrlbar::kArrowCell));
    }
}

void CUiFloatTabCtrlBar::DrawItem(QPainter& p, const FloatTabItem& item)
{
    if (item.state == 1)
        FillRect(p, item.rect, m_clrHot);
    else if (item.state == 2)
        FillRect(p, item.rect, m_clrActive);
    const QImage& image = item.state == 2 && !item.selected.isNull() ? item.selected : item.normal;
    if (image.isNull())
        return;
    const int side = item.normal.width();
    const int x = item.rect.left + (Width32(item.rect) - side) / 2;
    const int y = item.rect.top + (Height32(item.rect) - side) / 2;
    p.drawImage(QRect(x, y, side, side), image);
}

void CUiFloatTabCtrlBar::DrawTabs(QPainter& p)
{
    const Rect& s = m_layout.strip;
    FillRect(p, s, m_clrStrip);
    const QColor line = ui::toQColor(m_clrLine);
    if (m_nAlign & ctrlbar::CBRS_ALIGN_LEFT)
        p.fillRect(QRect(s.right - 1, s.top, 1, Height32(s)), line);
    else if (m_nAlign & ctrlbar::CBRS_ALIGN_RIGHT)
        p.fillRect(QRect(s.left, s.top, 1, Height32(s)), line);
    else if (m_nAlign & ctrlbar::CBRS_ALIGN_TOP)
        p.fillRect(QRect(s.left, s.top, Width32(s), 1), line);
    else
        p.fillRect(QRect(s.left, s.top, Width32(s), 1), line);
    for (const auto& item : m_items)
        DrawItem(p, *item);
}

void CUiFloatTabCtrlBar::DrawBar(QPainter& p)
{
    // The page area behind a missing or hidden page.
    FillRect(p, Rect{0, 0, width(), height()}, ui::rgb(255, 255, 255));
    DrawCaption(p);
    DrawTabs(p);
    FrameRect(p, Rect{0, 0, width(), height()}, m_clrLine);
    if (!m_bExpanded && m_pFloatWnd && m_pFloatWnd->isVisible() && m_pActive) {
        const Rect& r = m_pActive->rect;
        FillRect(p, Rect{r.right - 2, r.top, r.right, r.bottom}, ui::rgb(255, 255, 255));
    }
}

void CUiFloatTabCtrlBar::ShowTip(const Rect& screenRect, const QString& text)
{
    if (m_pTip)
        m_pTip->ShowAt(Rect{screenRect.left, screenRect.top, screenRect.right, screenRect.bottom + 2},
                       QPoint(Width32(screenRect), 0), text);
}

void CUiFloatTabCtrlBar::HideTip()
{
    if (m_pTip)
        m_pTip->Hide();
}

void CUiFloatTabCtrlBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (width() > 0 && height() > 0)
        RecalcLayout();
}

void CUiFloatTabCtrlBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    DrawBar(p);
}

void CUiFloatTabCtrlBar::mouseMoveEvent(QMouseEvent* event)
{
    const Point pt{int(event->position().x()), int(event->position().y())};
    bool changed = false;
    bool tipShown = false;
    const bool inStrip = PtInRect(m_layout.strip, pt.x, pt.y);
    for (const auto& item : m_items) {
        const bool under = inStrip && HitTestItem(item->rect, m_nAlign, pt);
        if (under && item->state == 0) {
            item->state = 1;
            changed = true;
        } else if (!under && item->state == 1) {
            item->state = 0;
            changed = true;
        }
        const Rect inner{item->rect.left + 4, item->rect.top + 4, item->rect.right - 4, item->rect.bottom - 4};
        if (under && PtInRect(inner, pt.x, pt.y) && !(item == m_pActive && m_bExpanded)) {
            const QPoint origin = mapToGlobal(QPoint(item->rect.left, item->rect.top));
            ShowTip(OffsetRect(item->rect, origin.x() - item->rect.left, origin.y() - item->rect.top), item->title);
            tipShown = true;
        }
    }
    if (!tipShown)
        HideTip();
    if (changed)
        update();
    QWidget::mouseMoveEvent(event);
}

void CUiFloatTabCtrlBar::leaveEvent(QEvent* event)
{
    for (const auto& item : m_items)
        if (item->state == 1)
            item->state = 0;
    HideTip();
    update();
    QWidget::leaveEvent(event);
}

void CUiFloatTabCtrlBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const Point pt{int(event->position().x()), int(event->position().y())};
    if (PtInRect(m_layout.strip, pt.x, pt.y)) {
        for (const auto& item : m_items)
            if (HitTestItem(item->rect, m_nAlign, pt)) {
                ActivateItem(item);
                break;
            }
    } else if (PtInRect(m_layout.floatButton, pt.x, pt.y)) {
        SetCollapsed(m_bExpanded);
    }
    update();
}
