#include "uikit/ui_layer_sheet_ctrl.h"

#include "plan/plan.h"
#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"
#include "platform/ui/image_file.h"
#include "platform/ui/rect_convert.h"
#include "uikit/draw_helpers.h"
#include "uikit/layer_cell.h"
#include "uikit/res_path.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

constexpr ui::ColorRef kWhite = ui::rgb(255, 255, 255);
constexpr ui::ColorRef kFrame = ui::rgb(128, 128, 128);
constexpr ui::ColorRef kRectText = ui::rgb(0x84, 0x84, 0x84);
constexpr ui::ColorRef kMiniWindow = ui::rgb(0x40, 0x80, 0xC0);

} // namespace

CUiLayerSheetCtrl::CUiLayerSheetCtrl(QWidget* parent)
    : CUiSheetCtrl(parent), lock_(ui::loadImage(ui::resPath("lock.png")))
{
    PremultiplyAlpha(lock_);
}

CUiLayerSheetCtrl::~CUiLayerSheetCtrl() = default;

void CUiLayerSheetCtrl::SetPlan(std::shared_ptr<CQelPlan> plan)
{
    plan_ = std::move(plan);
    InvalidateRect(RowsArea());
}

int CUiLayerSheetCtrl::HitTestLockIcon(int x, int y) const
{
    const int size = IconSize();
    if (size <= 0 || !PtInRect(RowsArea(), x, y))
        return -1;
    const bool frozen = int64_t(y) < int64_t(RowsArea().top) + FrozenRowsHeight();
    const int from = frozen ? 0 : VScroll().first;
    const int to = frozen ? FrozenRowCount() - 1 : std::min(VScroll().last, GetRowCount() - 1);
    for (int row = from; row <= to; ++row) {
        Rect rect;
        if (GetRowRect(row, rect) && PtInRect(LockIconSquare(rect, size), x, y))
            return row;
    }
    return -1;
}

void CUiLayerSheetCtrl::PaintCell(SheetPaintRecord& record)
{
    const auto window = LayerCellWindowOf(plan_.get(), record.row);
    if (!window) {
        CUiSheetCtrl::PaintCell(record);
        return;
    }
    PaintCellBackground(record);
    Rect row = record.cell;
    row.left = record.rowsArea.left;
    const int size = IconSize();
    const LayerCellLayout layout =
        LayOutLayerCell(record.cell, row, *window, plan_->GetPixelSize(), size, QFontMetrics(ItemFont()).height());
    QPainter& dc = *record.dc;
    dc.save();
    dc.setClipRect(ui::toQRect(record.cell), Qt::IntersectClip);
    if (layout.lockSquare) {
        ui::fillRect(dc, *layout.lockSquare, kWhite);
        DrawImageCentered(*layout.lockSquare, dc, lock_, layout.iconX, 0, size, size);
        ui::frameRect(dc, *layout.lockSquare, kFrame);
    }
    const SheetColumn* column = Header().At(record.column);
    const unsigned format = SheetTextFormat(column ? column->format : 0);
    const QColor text = ui::toQColor(CellTextColour(record));
    if (layout.ownText) {
        dc.setPen(text);
        ui::drawTextWin(dc, layout.textArea, GetItemText(record.row, record.column), format);
    }
    if (layout.miniature) {
        ui::fillRect(dc, *layout.miniature, kWhite);
        ui::frameRect(dc, *layout.miniature, kFrame);
        ui::fillRect(dc, layout.miniWindow, kMiniWindow);
    }
    if (layout.lines) {
        dc.setPen(text);
        ui::drawTextWin(dc, layout.line1, (*layout.lines)[0], format);
        dc.setPen(record.highlighted ? text : ui::toQColor(kRectText));
        ui::drawTextWin(dc, layout.line2, (*layout.lines)[1], format);
    }
    dc.restore();
    PaintGridLines(record);
}
