#include "views/multi_screen_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>

#include "platform/ui/image_file.h"
#include "platform/rect_math.h"
#include "platform/ui/post_to_ui.h"
#include "platform/ui/rect_convert.h"
#include "uikit/draw_helpers.h"
#include "uikit/res_path.h"

namespace {

QImage LoadButtonImage(const char* name)
{
    QImage image = ui::loadImage(ui::resPath(name));
    if (!image.isNull())
        PremultiplyAlpha(image);
    return image;
}

Size SizeOf(const QImage& image)
{
    return image.isNull() ? Size{} : Size{image.width(), image.height()};
}

} // namespace

CMultiScreenView::CMultiScreenView(QWidget* parent)
    : QAbstractScrollArea(parent), m_tip(this), m_self(this),
      m_osdSavingHandle(CReceiverHandle<IOSDSavingProgress>::Make(&m_osdSaving)), m_osdTimer(this)
{
    m_watchHeaderFont = QFont(QStringLiteral("Arial"));
    m_watchHeaderFont.setPointSizeF(11.5);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The canvas is painted whole: nothing underneath needs erasing.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(&m_osdTimer, &ui::UiTimer::timeout, this, &CMultiScreenView::OnTimer);
    OnCreate();
}

CMultiScreenView::~CMultiScreenView()
{
    OnDestroy();
}

void CMultiScreenView::OnCreate()
{
    m_imgClose = LoadButtonImage("tab_close_btn.png");
    m_imgMaxCell = LoadButtonImage("tab_maxcell_btn.png");
    m_imgMaxScreen = LoadButtonImage("tab_maxscreen_btn.png");
    m_imgLock = LoadButtonImage("lock.png");
    geometry().SetImageSizes(SizeOf(m_imgClose), SizeOf(m_imgMaxCell), SizeOf(m_imgMaxScreen), SizeOf(m_imgLock));

    m_tip.AddTool(viewport(), kTipToolId, QStringLiteral("    "));
    m_tip.SetTipTextColor(ui::rgb(0, 0, 255));
    m_tip.SetDelayTime(CMSViewTipCtrl::kInitialDelayMs, CMSViewTipCtrl::kAutoPopMs);
    m_tip.RefreshText(viewport(), kTipToolId);
}

void CMultiScreenView::OnDestroy()
{
    // A saving job still running reports no more; a report under way ends
    // first.
    m_osdSavingHandle->Revoke();
    m_osdTimer.stop();
    SaveViewSettings();
    Unsubscribe();
    m_tip.DelTool(viewport(), kTipToolId);
}

void CMultiScreenView::OnShowWindow(bool show)
{
    if (show) {
        LoadViewSettings();
        Subscribe();
    } else {
        SaveViewSettings();
        Unsubscribe();
    }
}

void CMultiScreenView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    // A restored top-level window shows its children again spontaneously;
    // only showing the view itself counts.
    if (!event->spontaneous())
        OnShowWindow(true);
}

void CMultiScreenView::hideEvent(QHideEvent* event)
{
    QAbstractScrollArea::hideEvent(event);
    if (!event->spontaneous())
        OnShowWindow(false);
}

void CMultiScreenView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    OnSize();
}

void CMultiScreenView::OnSize()
{
    RecalcLayout();
}

void CMultiScreenView::SetCanvasScale(int scale)
{
    geometry().SetCanvasScaleValue(scale);
    RecalcLayout();
}

void CMultiScreenView::RecalcLayout()
{
    const QSize client = maximumViewportSize();
    geometry().SetClientSize(Size{client.width(), client.height()});
    UpdateScrollSizes();
    WallViewCore::RecalcLayout();
}

void CMultiScreenView::UpdateScrollSizes()
{
    const QSize client = maximumViewportSize();
    const int64_t canvasWidth = int64_t(client.width()) * geometry().m_nCanvasScale;
    const int64_t canvasHeight = int64_t(client.height()) * geometry().m_nCanvasScale;
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, int(std::max<int64_t>(canvasWidth - page.width(), 0)));
    verticalScrollBar()->setRange(0, int(std::max<int64_t>(canvasHeight - page.height(), 0)));
    horizontalScrollBar()->setPageStep(page.width());
    verticalScrollBar()->setPageStep(page.height());
    horizontalScrollBar()->setSingleStep(std::max(page.width() / 10, 1));
    verticalScrollBar()->setSingleStep(std::max(page.height() / 10, 1));
    geometry().m_ptViewOrg = Point{-horizontalScrollBar()->value(), -verticalScrollBar()->value()};
}

void CMultiScreenView::scrollContentsBy(int, int)
{
    geometry().m_ptViewOrg = Point{-horizontalScrollBar()->value(), -verticalScrollBar()->value()};
    viewport()->update();
}

bool CMultiScreenView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Leave: m_tip.RelayEvent(*event); break;
    default: break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CMultiScreenView::InvalidateView()
{
    // A notice drawn on the window goes only with a whole repaint.
    const bool notice = !m_notice.text.isEmpty();
    m_notice = Notice{};
    const std::optional<QRegion> damage = notice ? std::nullopt : DragDamage();
    if (!damage)
        viewport()->update();
    else if (!damage->isEmpty())
        viewport()->update(*damage);
}

std::optional<QRegion> CMultiScreenView::DragDamage()
{
    // A drag repaints at every move: only what it changed, compared with
    // what the last paint drew.
    if (editing().m_nDragMode == 0 || m_layer.isNull() || m_layerDevice.size != viewport()->size() ||
        m_layerDevice.images != ButtonImageKeys())
        return std::nullopt;
    const Rect visible = VisibleCanvas();
    const WallLayerScene scene = painting().DescribeBaseLayer(visible);
    std::optional<std::vector<Rect>> damage = BaseLayerDamage(m_layerScene, scene);
    if (!damage)
        return std::nullopt;
    const auto top =
        TopLayerDamage(m_topScene, painting().DescribeTopLayer(visible, scene.frame.drawable && scene.frame.gridMatch));
    if (!top)
        return std::nullopt;
    damage->insert(damage->end(), top->begin(), top->end());
    QRegion region;
    for (const Rect& r : *damage) {
        const Rect shown = IntersectRect(r, visible);
        if (!RectEmpty(shown))
            region += ui::toQRect(OffsetRect(shown, geometry().m_ptViewOrg.x, geometry().m_ptViewOrg.y));
    }
    return region;
}

void CMultiScreenView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    OnDraw(p);
    if (!m_notice.text.isEmpty())
        DrawNoticeText(p, m_notice.text, m_notice.height, m_notice.rect);
}

// ---- Progress --------------------------------------------------------------

void CMultiScreenView::OnProgress(int done, int total)
{
    if (QThread::currentThread() != thread()) {
        ui::postToUi(m_self, [this, done, total] { OnProgress(done, total); });
        return;
    }
    const auto text = m_progressNotice.Report(GetProgress(), done, total);
    if (!text)
        return;
    DrawNoticeOnWindow(*text, wallview::kNoticeHeight, wallview::kNoticeRect);
    if (done >= total) {
        InvalidateView();
        viewport()->repaint();
    }
}

void CMultiScreenView::DrawNoticeOnWindow(const QString& text, int height, const Rect& rect)
{
    m_notice = Notice{text, height, rect};
    viewport()->repaint();
}

void CMultiScreenView::OnSavingProgress(int done, int total)
{
    m_nOsdSaveDone.store(done);
    m_nOsdSaveTotal.store(total);
    ui::postToUi(m_self, [this, done, total] {
        if (total <= done) {
            m_nMode = kModeLogosSaved;
            m_osdTimer.start(wallview::kOsdNoticeMs);
        }
        InvalidateView();
    });
}

void CMultiScreenView::OnTimer()
{
    m_osdTimer.stop();
    m_nMode = kModeNormal;
    InvalidateView();
}
