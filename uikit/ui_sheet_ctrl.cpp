#include "uikit/ui_sheet_ctrl.h"

#include "core/config.h"
#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/rect_convert.h"
#include "platform/ui/virtual_key.h"
#include "uikit/ui_resource_cache.h"
#include "uikit/ui_tip_ctrl.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <cstdlib>

namespace {

constexpr ui::ColorRef kWhite = ui::rgb(255, 255, 255);
constexpr ui::ColorRef kFrameShadow = ui::rgb(128, 128, 128);
constexpr ui::ColorRef kDropBar = ui::rgb(0, 0, 255);
constexpr ui::ColorRef kGhostFill = ui::rgb(220, 220, 220);
constexpr int kGhostAlpha = 196;
constexpr ui::ColorRef kFeedbackPattern = ui::rgb(0x32, 0x32, 0x32);
constexpr ui::ColorRef kCrossColour = ui::rgb(255, 255, 0);
constexpr int kCrossTextDx = -130;
constexpr int kCrossTextDy = -30;
constexpr int kCellMargin = 4;
constexpr int kMinTextCell = 7; // narrower cells get no text
constexpr int kDragThreshold = 3;
// Bits of the key flags a key press carries.
constexpr int kKeyExtended = 0x0100;
constexpr int kKeyRepeat = 0x4000;

Point pointOf(const QMouseEvent& event)
{
    const QPoint p = event.position().toPoint();
    return Point{p.x(), p.y()};
}

bool meets(const Rect& a, const Rect& b)
{
    return !RectEmpty(IntersectRect(a, b));
}

// White top and left, grey bottom and right; the corners that both touch
// go to the bottom and right.
void draw3dRect(QPainter& dc, const Rect& r, ui::ColorRef topLeft, ui::ColorRef bottomRight)
{
    ui::fillRect(dc, Rect{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    ui::fillRect(dc, Rect{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    ui::fillRect(dc, Rect{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    ui::fillRect(dc, Rect{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

int keyFlags(const QKeyEvent& event)
{
    int flags = event.isAutoRepeat() ? kKeyRepeat : 0;
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    switch (event.key()) {
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!keypad)
            flags |= kKeyExtended;
        break;
    case Qt::Key_Enter:
    case Qt::Key_Slash:
        if (keypad)
            flags |= kKeyExtended;
        break;
    default: break;
    }
    return flags;
}

} // namespace

CUiSheetCtrl::CUiSheetCtrl(QWidget* parent) : QWidget(parent), headerFont_(GetUiFont12()), itemFont_(GetUiFont12())
{
    // Every pixel is painted here: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    tip_ = new CUiTipCtrl(this);
    tip_->setFont(itemFont_);
    for (const int bar : {int(SB_HORZ), int(SB_VERT)}) {
        auto* scrollBar = new QScrollBar(bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, this);
        scrollBar->hide();
        connect(scrollBar, &QAbstractSlider::actionTriggered, this,
                [this, bar, scrollBar](int action) { OnBarAction(bar, scrollBar, action); });
        bars_[std::size_t(bar)] = scrollBar;
    }
}

CUiSheetCtrl::~CUiSheetCtrl() = default;

void CUiSheetCtrl::SetScrollBarHost(SheetScrollBarHost* host)
{
    host_ = host;
}

bool CUiSheetCtrl::UsesHostBars() const
{
    return host_ && (GetStyle() & kSheetParentBars);
}

SheetScrollBarRequest CUiSheetCtrl::Request(int operation, int bar, int b) const
{
    SheetScrollBarRequest request;
    request.operation = operation;
    request.bar = bar;
    request.sheet = const_cast<CUiSheetCtrl*>(this);
    request.b = b;
    return request;
}

QScrollBar* CUiSheetCtrl::GetScrollBarCtrl(int bar)
{
    if (bar != SB_HORZ && bar != SB_VERT)
        return nullptr;
    if (!UsesHostBars())
        return OwnBar(bar);
    QScrollBar* scrollBar = host_->SheetScrollBar(Request(1, bar));
    ConnectBar(bar, scrollBar);
    return scrollBar;
}

void CUiSheetCtrl::ConnectBar(int bar, QScrollBar* scrollBar)
{
    QPointer<QScrollBar>& connected = connectedBars_[std::size_t(bar)];
    if (connected == scrollBar)
        return;
    if (connected)
        disconnect(connected, nullptr, this, nullptr);
    connected = scrollBar;
    if (scrollBar)
        connect(scrollBar, &QAbstractSlider::actionTriggered, this,
                [this, bar, scrollBar](int action) { OnBarAction(bar, scrollBar, action); });
}

void CUiSheetCtrl::OnBarAction(int bar, QScrollBar* scrollBar, int action)
{
    int code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: return;
    }
    const QPointer<QScrollBar> guard(scrollBar);
    if (bar == SB_VERT)
        OnVScroll(code, scrollBar->sliderPosition());
    else
        OnHScroll(code, scrollBar->sliderPosition());
    // The bar shows where the sheet went, not its own step.
    if (guard)
        guard->setSliderPosition(bar == SB_VERT ? VScroll().pos : HScroll().pos);
}

Rect CUiSheetCtrl::ClientRect() const
{
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool own = !UsesHostBars();
    const int w = width() - (own && barShown_[SB_VERT] ? extent : 0);
    const int h = height() - (own && barShown_[SB_HORZ] ? extent : 0);
    return Rect{0, 0, std::max(w, 0), std::max(h, 0)};
}

void CUiSheetCtrl::PlaceOwnBars()
{
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool own = !UsesHostBars();
    const bool vertical = own && barShown_[SB_VERT];
    const bool horizontal = own && barShown_[SB_HORZ];
    OwnBar(SB_VERT)->setGeometry(width() - extent, 0, extent, height() - (horizontal ? extent : 0));
    OwnBar(SB_HORZ)->setGeometry(0, height() - extent, width() - (vertical ? extent : 0), extent);
    OwnBar(SB_VERT)->setVisible(vertical);
    OwnBar(SB_HORZ)->setVisible(horizontal);
}

void CUiSheetCtrl::ApplyScrollRange(int bar, const SheetScrollState& state, bool keepShown)
{
    if (UsesHostBars())
        host_->SheetScrollBar(Request(3, bar));
    QScrollBar* scrollBar = GetScrollBarCtrl(bar);
    if (!scrollBar)
        return;
    scrollBar->setRange(0, state.max);
    scrollBar->setPageStep(1);
    scrollBar->setValue(state.pos);
    scrollBar->setEnabled(!keepShown || state.max > 0);
}

void CUiSheetCtrl::ApplyScrollBarShown(int bar, bool show)
{
    if (UsesHostBars()) {
        host_->SheetScrollBar(Request(2, bar, show ? 1 : 0));
        show = false; // the sheet's own bar stays out of the way
    }
    if (barShown_[std::size_t(bar)] == show)
        return;
    barShown_[std::size_t(bar)] = show;
    PlaceOwnBars();
}

void CUiSheetCtrl::AfterVScroll(int code, int pos)
{
    if (UsesHostBars())
        host_->SheetScrollBar(Request(4, SB_VERT, (code & 0xFFFF) | (pos << 16)));
}

void CUiSheetCtrl::Notify(const SheetNotify& notify)
{
    emit sheetNotify(notify);
}

void CUiSheetCtrl::InvalidateRect(const Rect& rect)
{
    if (!RectEmpty(rect))
        update(ui::toQRect(rect));
}

void CUiSheetCtrl::ShowTip(const Rect& cell, const QString& text)
{
    if (text.isEmpty()) {
        HideTip();
        return;
    }
    // The tip is a window of its own: it is placed in screen coordinates.
    const QPoint topLeft = mapToGlobal(QPoint(cell.left, cell.top));
    tip_->ShowAt(OffsetRect(cell, int64_t(topLeft.x()) - cell.left, int64_t(topLeft.y()) - cell.top), QPoint(0, 0),
                 text);
}

void CUiSheetCtrl::HideTip()
{
    if (tip_)
        tip_->Hide();
}

void CUiSheetCtrl::SetHitCursor(int kind)
{
    setCursor(kind == kHitColumnEdge ? Qt::SizeHorCursor : Qt::ArrowCursor);
}

void CUiSheetCtrl::TakeFocus()
{
    setFocus(Qt::MouseFocusReason);
}

std::optional<int> CUiSheetCtrl::TextWidth(const QString& text) const
{
    return QFontMetrics(itemFont_).horizontalAdvance(text);
}

void CUiSheetCtrl::SetHeaderFont(const QFont& font)
{
    headerFont_ = font;
    InvalidateRect(HeaderArea());
}

void CUiSheetCtrl::SetItemFont(const QFont& font)
{
    itemFont_ = font;
    tip_->setFont(font);
    InvalidateRect(RowsArea());
}

// Painting ------------------------------------------------------------------

void CUiSheetCtrl::paintEvent(QPaintEvent* event)
{
    QPainter dc(this);
    const Rect update = ui::fromQRect(event->rect());
    ui::fillRect(dc, Rect{0, 0, width(), height()}, GetBkColor());
    if (meets(HeaderArea(), update))
        PaintHeader(dc, update);
    if (meets(RowsArea(), update))
        PaintRows(dc, update);
    PaintDragOverlay(dc);
    if (!RectEmpty(Drag().feedback))
        InvertFeedbackRect(dc, Drag().feedback);
    PaintHoverCross(dc);
}

void CUiSheetCtrl::PaintHeader(QPainter& dc, const Rect& update)
{
    const Rect area = ClipToColumns(HeaderArea());
    if (RectEmpty(area))
        return;
    dc.save();
    dc.setClipRect(ui::toQRect(area));
    ui::fillRect(dc, area, Header().bkColour);
    dc.setFont(headerFont_);
    auto paintAt = [&](int column, int64_t left) {
        const Rect cell = MakeRect(left, area.top, left + ColumnWidth(Header().At(column)), area.bottom);
        if (meets(cell, update))
            PaintHeaderCell(dc, column, cell);
        return left + RectWidth(cell);
    };
    int64_t left = area.left;
    for (int i = 0; i < FrozenColumnCount(); ++i)
        left = paintAt(i, left);
    left = int64_t(area.left) + FrozenColumnsWidth();
    for (int i = HScroll().first; i <= HScroll().last && i < GetColumnCount(); ++i)
        left = paintAt(i, left);
    dc.restore();
}

void CUiSheetCtrl::PaintHeaderCell(QPainter& dc, int column, const Rect& cell)
{
    const SheetColumn* col = Header().At(column);
    if (col && col->bkColour != ui::kNoColor && col->bkColour != Header().bkColour)
        ui::fillRect(dc, cell, col->bkColour);
    draw3dRect(dc, cell, kWhite, kFrameShadow);
    if (RectWidth(cell) < kMinTextCell || !col)
        return;
    const ui::ColorRef colour = col->textColour != ui::kNoColor ? col->textColour : Header().textColour;
    dc.setPen(ui::toQColor(colour));
    ui::drawTextWin(dc, Rect{cell.left + kCellMargin, cell.top, cell.right - kCellMargin, cell.bottom}, col->title,
                    SheetTextFormat(col->format));
}

void CUiSheetCtrl::PaintDragOverlay(QPainter& dc)
{
    const SheetDrag& drag = Drag();
    if (drag.kind != kDragColumn || std::abs(drag.last.x - drag.start.x) <= kDragThreshold ||
        drag.target < FrozenColumnCount())
        return;
    Rect target;
    if (GetColumnRect(drag.target, target))
        ui::fillRect(dc, Rect{target.left, HeaderArea().top, target.left + 2, HeaderArea().bottom}, kDropBar);
    const SheetColumn* col = Header().At(drag.source);
    dc.save();
    dc.setOpacity(kGhostAlpha / 255.0);
    ui::fillRect(dc, drag.rect, kGhostFill);
    dc.setFont(headerFont_);
    dc.setPen(Qt::black);
    ui::drawTextWin(dc,
                    Rect{drag.rect.left + kCellMargin, drag.rect.top, drag.rect.right - kCellMargin, drag.rect.bottom},
                    col ? col->title : QString(), SheetTextFormat(col ? col->format : 0));
    dc.restore();
}

void CUiSheetCtrl::PaintRows(QPainter& dc, const Rect& update)
{
    const Rect area = ClipToColumns(RowsArea());
    if (RectEmpty(area))
        return;
    dc.save();
    dc.setClipRect(ui::toQRect(area));
    dc.setFont(itemFont_);
    SheetPaintRecord record;
    record.dc = &dc;
    record.rowsArea = RowsArea();
    record.update = update;
    // False once the rows reach the bottom of the area.
    auto paintAt = [&](int row, int64_t top) {
        if (top >= area.bottom)
            return false;
        record.cell = MakeRect(area.left, top, area.right, top + RowHeight(row));
        record.row = row;
        record.column = -1;
        if (meets(record.cell, update))
            PaintRow(record);
        return true;
    };
    int64_t top = area.top;
    for (int i = 0; i < FrozenRowCount() && paintAt(i, top); ++i)
        top += RowHeight(i);
    top = int64_t(area.top) + FrozenRowsHeight();
    for (int i = VScroll().first; i <= VScroll().last && i < GetRowCount() && paintAt(i, top); ++i)
        top += RowHeight(i);
    dc.restore();
}

void CUiSheetCtrl::PaintRow(SheetPaintRecord& record)
{
    const CSItem* item = Row(record.row);
    if (!item)
        return;
    const Rect band = record.cell;
    record.highlighted = IsRowHighlighted(record.row);
    record.textColour = GetDefaultTextColor();
    if (record.highlighted) {
        ui::fillRect(*record.dc, band, ui::sysColor(ui::COLOR_HIGHLIGHT));
        record.textColour = ui::sysColor(ui::COLOR_HIGHLIGHTTEXT);
    } else if (GetBkColor() != kWhite) {
        ui::fillRect(*record.dc, band, kWhite);
    }
    if (item->textColour != ui::kNoColor)
        record.textColour = item->textColour;

    // False once the cells start beyond the rows area.
    auto paintAt = [&](int column, int64_t left) {
        if (left >= RowsArea().right)
            return false;
        record.cell = MakeRect(left, band.top, left + ColumnWidth(Header().At(column)), band.bottom);
        record.column = column;
        if (meets(record.cell, record.update))
            PaintCell(record);
        return true;
    };
    int64_t left = band.left;
    for (int i = 0; i < FrozenColumnCount() && paintAt(i, left); ++i)
        left += ColumnWidth(Header().At(i));
    left = int64_t(band.left) + FrozenColumnsWidth();
    for (int i = HScroll().first; i <= HScroll().last && i < GetColumnCount() && paintAt(i, left); ++i)
        left += ColumnWidth(Header().At(i));
    record.cell = band;
    record.column = -1;
}

void CUiSheetCtrl::PaintCellBackground(const SheetPaintRecord& record)
{
    const CSItem* item = Row(record.row);
    const tagSSBaseItemGrid* cell = item ? item->Cell(record.column) : nullptr;
    if (cell && cell->bkColour != ui::kNoColor && cell->bkColour != kWhite)
        ui::fillRect(*record.dc, record.cell, cell->bkColour);
}

ui::ColorRef CUiSheetCtrl::CellTextColour(const SheetPaintRecord& record) const
{
    if (record.highlighted)
        return record.textColour;
    const CSItem* item = Row(record.row);
    const tagSSBaseItemGrid* cell = item ? item->Cell(record.column) : nullptr;
    if (cell && cell->textColour != ui::kNoColor)
        return cell->textColour;
    if (item && item->textColour != ui::kNoColor)
        return item->textColour;
    return GetDefaultTextColor();
}

void CUiSheetCtrl::PaintGridLines(const SheetPaintRecord& record)
{
    const std::uint32_t style = GetStyle();
    if (!(style & (kSheetHorzGrid | kSheetVertGrid)))
        return;
    QPainter& dc = *record.dc;
    dc.save();
    dc.setPen(ui::toQColor(GetGridColor()));
    const Rect& r = record.cell;
    if (style & kSheetHorzGrid)
        ui::drawLineWin(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
    if (style & kSheetVertGrid)
        ui::drawLineWin(dc, r.right - 1, r.top, r.right - 1, r.bottom);
    dc.restore();
}

void CUiSheetCtrl::PaintCell(SheetPaintRecord& record)
{
    PaintCellBackground(record);
    if (RectWidth(record.cell) >= kMinTextCell) {
        const SheetColumn* col = Header().At(record.column);
        record.dc->setPen(ui::toQColor(CellTextColour(record)));
        const Rect& r = record.cell;
        ui::drawTextWin(*record.dc, Rect{r.left + kCellMargin, r.top, r.right - kCellMargin, r.bottom},
                        GetItemText(record.row, record.column), SheetTextFormat(col ? col->format : 0));
    }
    PaintGridLines(record);
}

void CUiSheetCtrl::InvertFeedbackRect(QPainter& dc, const Rect& rect)
{
    dc.save();
    dc.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    ui::fillRect(dc, rect, kFeedbackPattern);
    dc.restore();
}

void CUiSheetCtrl::DrawHoverCross(int x, int y)
{
    // The setting is read once at start-up and never changes while the
    // program runs.
    if (CQelConfig::get_instance().GetInt("MainFrm.AppType", 1) == 1) {
        if (hoverCross_) {
            hoverCross_.reset();
            hoverText_.reset();
            update();
        }
        return;
    }
    hoverCross_ = Point{x, y};
    hoverText_ = HoverCrossText(x, y);
    update();
}

void CUiSheetCtrl::PaintHoverCross(QPainter& dc)
{
    if (!hoverCross_)
        return;
    const Point at = *hoverCross_;
    dc.save();
    dc.setPen(ui::toQColor(kCrossColour));
    ui::drawLineWin(dc, 0, at.y, at.x, at.y);
    ui::drawLineWin(dc, at.x, 0, at.x, at.y);
    if (hoverText_) {
        // Black on white, as text drawn straight onto the window comes out.
        dc.setFont(itemFont_);
        const QSize extent = ui::textExtent(itemFont_, *hoverText_);
        const Rect box{at.x + kCrossTextDx, at.y + kCrossTextDy, at.x + kCrossTextDx + extent.width(),
                       at.y + kCrossTextDy + extent.height()};
        ui::fillRect(dc, box, kWhite);
        dc.setPen(Qt::black);
        ui::drawTextWin(dc, box, *hoverText_, ui::DT_NOPREFIX | ui::DT_SINGLELINE | ui::DT_NOCLIP);
    }
    dc.restore();
}

// Input ---------------------------------------------------------------------

void CUiSheetCtrl::resizeEvent(QResizeEvent*)
{
    PlaceOwnBars();
    Refresh();
}

void CUiSheetCtrl::mousePressEvent(QMouseEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(pointOf(*event), mods & Qt::ShiftModifier, mods & Qt::ControlModifier);
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(pointOf(*event));
}

void CUiSheetCtrl::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(pointOf(*event), event->buttons() & Qt::LeftButton, event->buttons() != Qt::NoButton);
}

void CUiSheetCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(pointOf(*event));
}

void CUiSheetCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(pointOf(*event));
}

void CUiSheetCtrl::wheelEvent(QWheelEvent* event)
{
    OnMouseWheel(event->angleDelta().y());
    event->accept();
}

void CUiSheetCtrl::keyPressEvent(QKeyEvent* event)
{
    // Keys without an action of their own go on to the parent as well
    // (Enter and Escape to a dialog), after the owner has seen them.
    event->setAccepted(OnKeyDown(ui::virtualKey(*event), keyFlags(*event), event->modifiers() & Qt::ControlModifier));
}

void CUiSheetCtrl::leaveEvent(QEvent*)
{
    HideTip();
    if (hoverCross_) {
        hoverCross_.reset();
        hoverText_.reset();
        update();
    }
}
