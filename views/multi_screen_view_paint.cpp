// Painting the wall view: each operation paints what WallViewCore decided,
// in canvas coordinates, and skips what lies outside the visible canvas.
#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>

#include "core/language_tr.h"
#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/rect_convert.h"
#include "uikit/draw_helpers.h"
#include "uikit/ui_resource_cache.h"
#include "views/multi_screen_view.h"

namespace {

constexpr unsigned kCentredLine = ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE | ui::DT_NOPREFIX;
constexpr unsigned kLeftLine = ui::DT_LEFT | ui::DT_VCENTER | ui::DT_SINGLELINE | ui::DT_NOPREFIX;
constexpr ui::ColorRef kWhite = ui::rgb(255, 255, 255);
constexpr ui::ColorRef kBlack = ui::rgb(0, 0, 0);
constexpr ui::ColorRef kRed = ui::rgb(255, 0, 0);
constexpr ui::ColorRef kBlue = ui::rgb(0, 0, 255);

QPen SolidPen(ui::ColorRef colour, int width = 1)
{
    QPen pen(ui::toQColor(colour));
    pen.setWidth(width);
    pen.setCosmetic(true);
    return pen;
}

// One pixel on, one off, as dotted grid lines and outlines are drawn.
QPen DottedPen(ui::ColorRef colour)
{
    QPen pen = SolidPen(colour);
    pen.setDashPattern({1.0, 1.0});
    return pen;
}

bool Meets(const Rect& a, const Rect& b)
{
    return !RectEmpty(IntersectRect(a, b));
}

// The format of the image the painter paints: the base layer is painted in
// it, so that its pixels are those a paint straight onto it would give.
QImage::Format DeviceFormat(QPainter& p)
{
    const QPaintDevice* device = p.paintEngine() ? p.paintEngine()->paintDevice() : p.device();
    if (device && device->devType() == QInternal::Image)
        return static_cast<const QImage*>(device)->format();
    return QImage::Format_ARGB32_Premultiplied;
}

} // namespace

void CMultiScreenView::PrepareCanvasDC(QPainter& p)
{
    geometry().m_ptViewOrg = Point{-horizontalScrollBar()->value(), -verticalScrollBar()->value()};
    p.translate(geometry().m_ptViewOrg.x, geometry().m_ptViewOrg.y);
}

void CMultiScreenView::OnDraw(QPainter& p)
{
    const QRect client = viewport()->rect();
    p.save();
    PrepareCanvasDC(p);
    m_rcVisible = VisibleCanvas();
    const bool windows = DrawBaseLayer(p);
    m_topScene = painting().DescribeTopLayer(m_rcVisible, windows);
    DrawTopLayer(p, m_topScene);
    p.restore();

    // Whatever of the viewport the canvas does not cover is white.
    const Rect& c = geometry().m_rcCanvas;
    const Rect canvas = geometry().CanvasToDeviceRect(c.left, c.top, c.right, c.bottom);
    const QRegion outside = QRegion(client).subtracted(QRegion(ui::toQRect(canvas)));
    for (const QRect& r : outside)
        p.fillRect(r, Qt::white);
}

void CMultiScreenView::DrawNoticeText(QPainter& p, const QString& text, int height, const Rect& rect) const
{
    // Made once per height: matching a face is slow and notices repaint
    // often.
    auto [it, added] = m_noticeFonts.try_emplace(std::max(height, 1), QStringLiteral("Arial"));
    if (added) {
        it->second.setPixelSize(it->first);
        it->second.setWeight(QFont::Normal);
    }
    p.save();
    p.setFont(it->second);
    p.setPen(ui::toQColor(wallview::kNoticeText));
    ui::drawTextWin(p, rect, text, ui::DT_NOPREFIX);
    p.restore();
}

// ---- The wall --------------------------------------------------------------

std::array<qint64, 4> CMultiScreenView::ButtonImageKeys() const
{
    return {m_imgClose.cacheKey(), m_imgMaxCell.cacheKey(), m_imgMaxScreen.cacheKey(), m_imgLock.cacheKey()};
}

Rect CMultiScreenView::VisibleCanvas() const
{
    const Rect client = ui::fromQRect(viewport()->rect());
    const Point& origin = geometry().m_ptViewOrg;
    return IntersectRect(OffsetRect(client, -int64_t(origin.x), -int64_t(origin.y)), geometry().m_rcCanvas);
}

void CMultiScreenView::DrawTopLayer(QPainter& p, const TopLayerScene& top)
{
    ui::frameRect(p, top.moveFrame, wallview::kMoveFrame);
    DrawSnapMark(p, top.snapMark);
    DrawRubberBand(p, top.rubberBand);
    ui::frameRect(p, top.marginFrame, wallview::kMarginFrame);

    p.save();
    p.setFont(GetUiFont18());
    p.setPen(ui::toQColor(wallview::kSizeText));
    for (const TextItem& text : top.sizeTexts)
        ui::drawTextWin(p, text.rect, text.text, kCentredLine);
    if (top.resolutionMismatch) {
        p.setPen(ui::toQColor(kRed));
        const Rect& c = geometry().m_rcCanvas;
        const Rect strip{c.left, c.top, c.right, c.top + 20};
        ui::drawTextWin(p, strip,
                        TranslateText(QStringLiteral("当前方案的输出分辨率和设备不匹配，请重新创建方案布局窗口。")),
                        kCentredLine);
    }
    p.restore();
    DrawWatchStrip(p, top.watchStrip);
    DrawOverlayMarks(p, top.shortage);
    DrawOverlayMarks(p, top.overlay);
    if (!top.status.isEmpty())
        DrawNoticeText(p, top.status, wallview::kNoticeHeight, wallview::kNoticeRect);
    if (!top.shortageNotice.isEmpty())
        DrawNoticeText(p, top.shortageNotice, wallview::kNoticeHeight, wallview::kNoticeRect);
}

bool CMultiScreenView::DrawBaseLayer(QPainter& p)
{
    WallLayerScene scene = painting().DescribeBaseLayer(m_rcVisible);
    const LayerDevice device{viewport()->size(), DeviceFormat(p), ButtonImageKeys()};
    std::optional<std::vector<Rect>> damage;
    if (device == m_layerDevice && !m_layer.isNull())
        damage = BaseLayerDamage(m_layerScene, scene);
    if (!damage) {
        m_layer = QImage(device.size, device.format);
        m_layer.fill(Qt::white);
        PaintBaseLayer(scene.frame, scene.windows, {});
    } else if (!damage->empty()) {
        PaintBaseLayer(scene.frame, scene.windows, *damage);
    }
    m_layerDevice = device;
    const bool windows = scene.frame.drawable && scene.frame.gridMatch;
    m_layerScene = std::move(scene);

    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(-geometry().m_ptViewOrg.x, -geometry().m_ptViewOrg.y), m_layer);
    p.restore();
    return windows;
}

void CMultiScreenView::PaintBaseLayer(const LayerFrame& frame, const std::vector<LayerWindow>& windows,
                                      const std::vector<Rect>& damage)
{
    QPainter p(&m_layer);
    m_rcRedraw = m_rcVisible;
    if (!damage.empty()) {
        // Painted again within the damage only, every pixel there comes
        // out as a whole paint gives it.
        QRegion clip;
        Rect box{};
        for (const Rect& r : damage) {
            const Rect shown = IntersectRect(r, m_rcVisible);
            if (RectEmpty(shown))
                continue;
            clip += ui::toQRect(OffsetRect(shown, geometry().m_ptViewOrg.x, geometry().m_ptViewOrg.y));
            box = UnionRect(box, shown);
        }
        if (clip.isEmpty())
            return;
        p.setClipRegion(clip);
        m_rcRedraw = box;
    }
    p.translate(geometry().m_ptViewOrg.x, geometry().m_ptViewOrg.y);
    for (const Rect& band : painting().BackgroundBands())
        ui::fillRect(p, band, frame.background);
    ui::fillRect(p, IntersectRect(frame.wallArea, frame.canvas), frame.wall);
    if (frame.drawable) {
        DrawCellNames(p, frame.cells);
        if (frame.twoOutputParts) {
            ui::fillRect(p, frame.wallArea, frame.background);
            for (const Rect& part : *frame.twoOutputParts)
                ui::fillRect(p, part, frame.wall);
        }
        if (frame.gridMatch) {
            DrawGridLines(p, frame.rows, frame.wallArea, true);
            DrawGridLines(p, frame.columns, frame.wallArea, false);
            DrawWindows(p, windows);
        }
    }
    m_rcRedraw = m_rcVisible;
}

void CMultiScreenView::DrawCellNames(QPainter& p, const std::vector<CellPaint>& cells)
{
    if (cells.empty())
        return;
    p.save();
    const QFont& font = GetUiFont18();
    p.setFont(font);
    p.setPen(ui::toQColor(kBlack));
    // A name may reach past its cell: a line's height to either side of
    // its extent is room enough.
    const auto nameReaches = [&](const CellPaint& cell) {
        if (cell.name.isEmpty())
            return false;
        const Rect& r = cell.rect;
        const int64_t half = m_texts.Width(font, cell.name) / 2 + m_texts.LineHeight(font);
        const int64_t middle = (int64_t(r.left) + r.right) / 2;
        const int64_t height = m_texts.LineHeight(font);
        return Meets(MakeRect(middle - half, int64_t(r.top) - height, middle + half, int64_t(r.bottom) + height),
                     m_rcRedraw);
    };
    for (const CellPaint& cell : cells) {
        if (!Meets(cell.rect, m_rcVisible))
            continue;
        if (m_rcRedraw != m_rcVisible && !Meets(cell.rect, m_rcRedraw) && !nameReaches(cell))
            continue;
        if (cell.noOutput)
            ui::fillRect(p, cell.rect, painting().m_clrNoOutputCell);
        else if (!cell.name.isEmpty())
            ui::drawTextWin(p, cell.rect, cell.name, kCentredLine);
    }
    p.restore();
}

void CMultiScreenView::DrawGridLines(QPainter& p, const GridLines& lines, const Rect& rc, bool rows)
{
    const int from = rows ? m_rcVisible.top : m_rcVisible.left;
    const int to = rows ? m_rcVisible.bottom : m_rcVisible.right;
    const auto draw = [&](const std::vector<int>& at) {
        for (int v : at) {
            if (v < from || v >= to)
                continue;
            if (rows)
                ui::drawLineWin(p, rc.left, v, rc.right, v);
            else
                ui::drawLineWin(p, v, rc.top, v, rc.bottom);
        }
    };
    p.save();
    p.setPen(SolidPen(painting().m_clrGridLine));
    draw(lines.solid);
    p.setPen(DottedPen(kBlack));
    draw(lines.dotted);
    p.restore();
}

void CMultiScreenView::DrawRowLines(QPainter& p, const Rect& rc)
{
    DrawGridLines(p, painting().RowLines(rc), rc, true);
}

void CMultiScreenView::DrawColumnLines(QPainter& p, const Rect& rc)
{
    DrawGridLines(p, painting().ColumnLines(rc), rc, false);
}

// ---- Windows ---------------------------------------------------------------

void CMultiScreenView::DrawWindows(QPainter& p, const std::vector<LayerWindow>& windows)
{
    if (m_bTransparent) {
        for (const auto& window : windows)
            DrawWindowTranslucent(p, window);
    } else {
        // An opaque window paints every pixel of its rectangle (a logo
        // may not), so a window needs painting only where no later one
        // will paint over it: on a crowded wall most of the fills and
        // texts below are never seen.
        std::vector<QRegion> shown(windows.size());
        QRegion above;
        for (size_t i = windows.size(); i-- > 0;) {
            const QRect visible = ui::toQRect(IntersectRect(windows[i].paint.rc, m_rcRedraw));
            if (visible.isEmpty())
                continue;
            shown[i] = QRegion(visible).subtracted(above);
            if (!windows[i].paint.logo)
                above += visible;
        }
        for (size_t i = 0; i < windows.size(); ++i)
            if (!shown[i].isEmpty())
                DrawWindowOpaque(p, windows[i], shown[i]);
    }
    m_blendPainter.reset();
}

void CMultiScreenView::DrawWindowOpaque(QPainter& p, const LayerWindow& window, const QRegion& shown)
{
    PaintWindow(p, window, &shown);
}

void CMultiScreenView::DrawWindowTranslucent(QPainter& p, const LayerWindow& window)
{
    const WindowPaint& d = window.paint;
    const Rect shown = IntersectRect(d.rc, m_rcRedraw);
    if (RectEmpty(shown))
        return;
    const QRegion detail = WindowDetail(d).intersected(ui::toQRect(shown));
    if (!d.logo)
        BlendWindowSolids(p, d, QRegion(ui::toQRect(shown)).subtracted(detail));
    if (detail.isEmpty())
        return;

    // What is not one colour is drawn into an image of its own and
    // blended from there.
    const QRect box = detail.boundingRect();
    QPainter& blend = BlendPainter(box.size());
    blend.resetTransform();
    // A window's body covers its rectangle; only a logo whose bitmap
    // cannot be drawn would leave the last window's pixels showing.
    if (d.logo) {
        blend.setCompositionMode(QPainter::CompositionMode_Source);
        blend.fillRect(0, 0, box.width(), box.height(), Qt::transparent);
        blend.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    blend.translate(-box.left(), -box.top());
    // Only the detail is blended: fills go no further, and texts and
    // images outside it are left out.
    PaintWindow(blend, window, &detail);
    p.save();
    p.setOpacity(wallview::kWindowAlpha / 255.0);
    for (const QRect& r : detail)
        p.drawImage(r.topLeft(), m_blend, r.translated(-box.topLeft()));
    p.restore();
}

CMultiScreenView::DetailBoxes CMultiScreenView::DetailBoxesOf(const WindowPaint& d)
{
    // Room for glyphs and images that reach past their boxes.
    constexpr int kSlack = 3;
    const Rect& rc = d.rc;
    const auto grown = [&](const Rect& r, int64_t dx, int64_t dy) {
        if (RectEmpty(r))
            return Rect{};
        return IntersectRect(
            MakeRect(int64_t(r.left) - dx, int64_t(r.top) - dy, int64_t(r.right) + dx, int64_t(r.bottom) + dy), rc);
    };
    const auto text = [&](const QFont& font, const Rect& r, const QString& line, bool centred) {
        return grown(m_texts.LineBox(font, r, line, centred), kSlack, kSlack);
    };
    // An image is centred in its button and may be larger than it.
    const auto button = [&](const TitleButton& b) {
        return grown(b.rect, RectWidth(b.rect) + kSlack, RectHeight(b.rect) + kSlack);
    };
    DetailBoxes boxes;
    const QFont& font12 = GetUiFont12();
    boxes.sourceName = text(font12, Rect{rc.left, d.titleBar.bottom, rc.right, rc.bottom}, d.sourceName, true);
    boxes.title =
        text(font12, Rect{d.titleTextLeft, d.titleBar.top, d.titleBar.right, d.titleBar.bottom}, d.title, false);
    boxes.lock = button(d.lock);
    boxes.close = button(d.close);
    boxes.maxCell = button(d.maxCell);
    boxes.maxScreen = button(d.maxScreen);
    if (!d.infoLines.empty()) {
        const QFont& font = InfoFont(d);
        const int lineHeight = m_texts.LineHeight(font) + 4;
        int64_t y = int64_t(d.titleBar.bottom) + 4;
        for (const QString& line : d.infoLines) {
            if (y >= rc.bottom)
                break;
            const Rect lineRect = MakeRect(int64_t(rc.left) + 4, y, rc.right, y + lineHeight);
            boxes.infoLines.push_back({lineRect, text(font, lineRect, line, false)});
            y += lineHeight;
        }
    }
    return boxes;
}

QPainter& CMultiScreenView::BlendPainter(const QSize& size)
{
    if (m_blend.width() < size.width() || m_blend.height() < size.height()) {
        m_blendPainter.reset();
        m_blend = QImage(std::max(size.width(), m_blend.width()), std::max(size.height(), m_blend.height()),
                         QImage::Format_ARGB32_Premultiplied);
    }
    // Opened once per paint: starting a painter costs more than many a
    // window's texts.
    if (!m_blendPainter)
        m_blendPainter = std::make_unique<QPainter>(&m_blend);
    return *m_blendPainter;
}

QRegion CMultiScreenView::WindowDetail(const WindowPaint& d)
{
    const Rect& rc = d.rc;
    if (d.logo)
        return QRegion(ui::toQRect(rc));
    QRegion detail;
    const auto add = [&](const Rect& r) {
        if (!RectEmpty(r))
            detail += ui::toQRect(r);
    };
    // A few larger boxes rather than many small ones: every piece of
    // the rest is blended on its own.
    const DetailBoxes boxes = DetailBoxesOf(d);
    add(boxes.sourceName);
    add(boxes.lock);
    Rect titleBar = boxes.title;
    for (const Rect* r : {&boxes.close, &boxes.maxCell, &boxes.maxScreen})
        titleBar = UnionRect(titleBar, *r);
    add(titleBar);
    Rect lines{};
    for (const auto& line : boxes.infoLines)
        lines = UnionRect(lines, line.box);
    add(lines);
    if (d.frame == WindowPaint::Frame::Dotted)
        detail += Ring(rc);
    return detail;
}

QRegion CMultiScreenView::Ring(const Rect& rc)
{
    const QRect r = ui::toQRect(rc);
    return QRegion(r).subtracted(QRegion(r.adjusted(1, 1, -1, -1)));
}

int CMultiScreenView::WindowBlendAlpha()
{
    // The alpha at which a colour filled over the canvas gives the pixels
    // an opaque image of it blended at the window opacity gives.
    static const int alpha = [] {
        QImage src(1, 1, QImage::Format_ARGB32_Premultiplied);
        src.fill(Qt::white);
        QImage dst(1, 1, QImage::Format_ARGB32_Premultiplied);
        dst.fill(Qt::black);
        QPainter p(&dst);
        p.setOpacity(wallview::kWindowAlpha / 255.0);
        p.drawImage(0, 0, src);
        p.end();
        return qRed(dst.pixel(0, 0));
    }();
    return alpha;
}

void CMultiScreenView::BlendWindowSolids(QPainter& p, const WindowPaint& d, const QRegion& solid)
{
    const auto blend = [&](const QRegion& area, ui::ColorRef colour) {
        if (colour == ui::kNoColor)
            return;
        QColor c = ui::toQColor(colour);
        c.setAlpha(WindowBlendAlpha());
        for (const QRect& r : area)
            ui::blendFillRect(p, r, c);
    };
    QRegion inside = solid;
    if (d.frame != WindowPaint::Frame::Dotted && d.frameColour != ui::kNoColor) {
        const QRegion ring = Ring(d.rc);
        blend(solid.intersected(ring), d.frameColour);
        inside = solid.subtracted(ring);
    }
    for (const Fill& fill : BodyFills(d))
        blend(inside.intersected(ui::toQRect(fill.rect)), fill.colour);
}

std::vector<CMultiScreenView::Fill> CMultiScreenView::BodyFills(const WindowPaint& d)
{
    // Disjoint, so every pixel is filled once (fills are most of a
    // paint): the title bar, the source's part below it, the rest in the
    // fill colour.
    std::vector<Fill> fills;
    const Rect& rc = d.rc;
    int top = rc.top;
    if (d.titleFilled) {
        fills.push_back({d.titleBar, d.titleColour});
        top = d.titleBar.bottom;
    }
    const Rect& part = d.sourcePart; // from rc's top-left corner
    if (RectEmpty(part)) {
        fills.push_back({Rect{rc.left, top, rc.right, rc.bottom}, d.fill});
        return fills;
    }
    fills.push_back({Rect{part.left, std::max(top, part.top), part.right, part.bottom}, d.body});
    fills.push_back({Rect{part.right, top, rc.right, rc.bottom}, d.fill});
    fills.push_back({Rect{rc.left, std::max(top, part.bottom), part.right, rc.bottom}, d.fill});
    return fills;
}

void CMultiScreenView::DrawButton(QPainter& p, const TitleButton& button, const QImage& image, int cellWidth)
{
    if (!RectEmpty(button.rect))
        DrawImageCentered(button.rect, p, image, button.cellX, 0, cellWidth, image.height());
}

const QFont& CMultiScreenView::InfoFont(const WindowPaint& d)
{
    const QFont& font12 = GetUiFont12();
    return m_texts.Width(font12, d.infoLines.front()) > RectWidth(d.rc) - 4 ? GetUiFontA() : font12;
}

void CMultiScreenView::PaintWindow(QPainter& p, const LayerWindow& window, const QRegion* shown)
{
    const WindowPaint& d = window.paint;
    const Rect& rc = d.rc;
    // Fills stay inside rc by themselves; only texts and buttons are
    // clipped to it (clipping makes large fills slower).
    if (d.logo) {
        const auto& bitmap = window.bitmap;
        DrawDib(p, bitmap.data(), bitmap.size(), rc, d.logoSource);
        ui::frameRect(p, rc, d.frameColour);
        p.save();
        p.setClipRect(ui::toQRect(rc), Qt::IntersectClip);
        DrawButton(p, d.close, m_imgClose, m_imgClose.height());
        p.restore();
        return;
    }

    for (const Fill& fill : BodyFills(d)) {
        if (!shown) {
            ui::fillRect(p, fill.rect, fill.colour);
            continue;
        }
        const QColor colour = ui::toQColor(fill.colour);
        for (const QRect& r : shown->intersected(ui::toQRect(fill.rect)))
            p.fillRect(r, colour);
    }
    // Below a later window a text or image would be painted over.
    const DetailBoxes boxes = DetailBoxesOf(d);
    const auto seen = [&](const Rect& box) { return !shown || shown->intersects(ui::toQRect(box)); };
    const auto drawButton = [&](const TitleButton& button, const Rect& box, const QImage& image, int cellWidth) {
        if (seen(box))
            DrawButton(p, button, image, cellWidth);
    };

    p.save();
    p.setClipRect(ui::toQRect(rc), Qt::IntersectClip);
    const QFont& font12 = GetUiFont12();
    p.setPen(ui::toQColor(kBlack));
    if (seen(boxes.sourceName))
        m_texts.DrawLine(p, font12, Rect{rc.left, d.titleBar.bottom, rc.right, rc.bottom}, d.sourceName, true);
    drawButton(d.lock, boxes.lock, m_imgLock, m_imgLock.height());
    p.setPen(ui::toQColor(kWhite));
    if (seen(boxes.title))
        m_texts.DrawLine(p, font12, Rect{d.titleTextLeft, d.titleBar.top, d.titleBar.right, d.titleBar.bottom}, d.title,
                         false);

    // The information lines take the small font when the first is too wide.
    p.setPen(ui::toQColor(kBlack));
    if (!boxes.infoLines.empty()) {
        const QFont& font = InfoFont(d);
        for (size_t i = 0; i < boxes.infoLines.size(); ++i)
            if (seen(boxes.infoLines[i].box))
                m_texts.DrawLine(p, font, boxes.infoLines[i].rect, d.infoLines[i], false);
    }

    drawButton(d.close, boxes.close, m_imgClose, m_imgClose.height());
    drawButton(d.maxCell, boxes.maxCell, m_imgMaxCell, m_imgMaxCell.height());
    drawButton(d.maxScreen, boxes.maxScreen, m_imgMaxScreen, 11);
    p.restore();

    if (d.frame == WindowPaint::Frame::Dotted) {
        if (!shown || shown->intersects(Ring(rc))) {
            ui::frameRect(p, rc, kWhite);
            ui::frameRectDotted(p, rc, d.frameColour);
        }
    } else {
        ui::frameRect(p, rc, d.frameColour);
    }
}

void CMultiScreenView::DrawSnapMark(QPainter& p, const std::vector<Point>& points)
{
    if (points.size() < 2)
        return;
    QPolygon line;
    for (const Point& pt : points)
        line << QPoint(pt.x, pt.y);
    p.save();
    p.setPen(SolidPen(wallview::kSnapMark, kSnapMarkWidth));
    p.drawPolyline(line);
    p.restore();
}

void CMultiScreenView::DrawRubberBand(QPainter& p, const Rect& r)
{
    if (RectEmpty(r))
        return;
    const QBrush halftone(Qt::black, Qt::Dense4Pattern);
    const QRect q = ui::toQRect(r);
    p.fillRect(QRect(q.left(), q.top(), q.width(), 1), halftone);
    p.fillRect(QRect(q.left(), q.bottom(), q.width(), 1), halftone);
    p.fillRect(QRect(q.left(), q.top(), 1, q.height()), halftone);
    p.fillRect(QRect(q.right(), q.top(), 1, q.height()), halftone);
}

// ---- Watch strip -----------------------------------------------------------

void CMultiScreenView::DrawWatchStrip(QPainter& p, const WatchStripPaint& strip)
{
    if (!strip.shown)
        return;
    p.save();
    p.setFont(m_watchHeaderFont);
    p.setPen(ui::toQColor(kBlack));
    ui::drawTextWin(p, strip.header.rect, strip.header.text, kLeftLine);
    p.setFont(GetUiFont12());
    const int lineHeight = QFontMetrics(GetUiFont12()).height() + 4;
    for (const WatchSlotPaint& slot : strip.watchSlots) {
        const Rect& s = slot.rect;
        ui::fillRect(p, s, wallview::kIdleBody);
        p.setPen(ui::toQColor(kWhite));
        ui::drawTextWin(p, slot.title.rect, slot.title.text, kLeftLine);
        p.setPen(SolidPen(painting().m_clrGridLine));
        for (int x : slot.columnLines.solid)
            ui::drawLineWin(p, x, s.top, x, s.bottom);
        for (int y : slot.rowLines.solid)
            ui::drawLineWin(p, s.left, y, s.right, y);
        p.setPen(ui::toQColor(kBlack));
        for (const TextItem& input : slot.inputs) {
            const Rect line =
                MakeRect(input.rect.left, input.rect.top, input.rect.right, int64_t(input.rect.top) + lineHeight);
            ui::drawTextWin(p, line, input.text, kLeftLine);
        }
        ui::frameRect(p, s, painting().m_clrGridLine);
        p.setPen(ui::toQColor(kBlue));
        ui::drawTextWin(p, slot.take.rect, slot.take.text, kLeftLine);
    }
    p.restore();
}

// ---- Layers and notices ----------------------------------------------------

void CMultiScreenView::DrawOverlayMarks(QPainter& p, const std::vector<OverlayMark>& marks)
{
    for (const OverlayMark& mark : marks) {
        QColor colour = ui::toQColor(mark.colour);
        colour.setAlpha(wallview::kResourceAlpha);
        const Rect shown = IntersectRect(mark.rect, m_rcVisible);
        if (!RectEmpty(shown))
            ui::blendFillRect(p, ui::toQRect(shown), colour);
    }
}
