// What the mouse, the wheel and the keys do to the sheet.
#include "uikit/sheet_core.h"

#include "platform/rect_math.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The double click near the left edge first replays clicks along its row
// from far right in steps of 60 pixels.
constexpr int kReplayFirstX = 6115;
constexpr int kReplayLastX = 115;
constexpr int kReplayStep = 60;
constexpr int kReplayMaxX = 101;  // double clicks left of this replay
constexpr int kReplayMinY = 26;   // ... when at least this low
constexpr int kDragThreshold = 3; // header drags shorter than this are clicks
constexpr int kAutoFitMin = 40;
constexpr int kAutoFitMargin = 8;
constexpr int kWheelDelta = 120;
constexpr int kKeyA = 0x41;

} // namespace

std::vector<int> SheetCore::ReplayClickXs()
{
    std::vector<int> xs;
    for (int x = kReplayFirstX; x >= kReplayLastX; x -= kReplayStep)
        xs.push_back(x);
    return xs;
}

void SheetCore::FeedbackChanged(const Rect& before, const Rect& after)
{
    InvalidateRect(before);
    InvalidateRect(after);
}

void SheetCore::SetFeedback(const Rect& rect)
{
    const Rect before = drag_.feedback;
    drag_.feedback = rect;
    if (before != rect)
        FeedbackChanged(before, rect);
}

void SheetCore::EndDrag()
{
    SetFeedback(Rect{});
    drag_ = SheetDrag{};
}

void SheetCore::ClickRow(int row, bool shift, bool ctrl)
{
    const bool multi = style_ & kSheetMultiSelect;
    const CSItem* item = Row(row);
    if (multi && shift && Row(focusRow_)) {
        const int focus = focusRow_;
        if (selMode_ != 1) {
            const auto generation = rowsGeneration_;
            ClearSelection();
            if (generation != rowsGeneration_ && ((row = IndexOf(item)) < 0 || !Row(focus)))
                return;
            focusRow_ = focus;
        }
        SelectRange(focus, row);
        selMode_ = 1;
    } else if (multi && ctrl) {
        if (item->IsSelected())
            DeselectRow(row);
        else
            SelectRow(row);
        selMode_ = 2;
    } else {
        ClearSelection();
        SelectRow(IndexOf(item));
        selMode_ = 0;
    }
}

void SheetCore::OnLButtonDown(Point point, bool shift, bool ctrl)
{
    if (drag_.kind != kDragNone)
        return;
    HideTip();
    TakeFocus();
    const SheetHit hit = HitTest(point);
    SetHitCursor(hit.kind);
    switch (hit.kind) {
    case kHitColumnEdge:
    case kHitHeaderCell:
        drag_.kind = hit.kind;
        drag_.start = drag_.last = point;
        drag_.source = drag_.target = hit.column;
        if (hit.kind == kHitHeaderCell) {
            GetColumnRect(hit.column, drag_.rect);
            drag_.rect.right = std::max<int>(drag_.rect.right, drag_.rect.left + ColumnWidthAt(hit.column));
        }
        break;
    case kHitRow: {
        const CSItem* item = Row(hit.row);
        ClickRow(hit.row, shift, ctrl);
        int row = IndexOf(item);
        if (row < 0)
            return;
        focusRow_ = row;
        const auto generation = rowsGeneration_;
        Notify(SheetNotify{kSheetClick, row, ColumnAt(point.x), 0, point.x, point.y});
        if (generation != rowsGeneration_)
            row = IndexOf(item);
        if (rowDrag_ && row >= 0) {
            drag_.kind = kDragRow;
            drag_.start = drag_.last = point;
            drag_.source = drag_.target = row;
        }
        break;
    }
    default:
        if (style_ & kSheetKeepSelection)
            break;
        ClearSelection();
        selMode_ = 0;
        Notify(SheetNotify{kSheetClick, -1, ColumnAt(point.x), 0, point.x, point.y});
        break;
    }
}

void SheetCore::OnMouseMove(Point point, bool leftHeld, bool anyHeld)
{
    if (drag_.kind != kDragNone && !leftHeld) {
        // The button went up elsewhere: the drag is over.
        EndDrag();
        InvalidateRect(headerArea_);
    }
    switch (drag_.kind) {
    case kDragResize:
        if (PtInRect(client_, point.x, point.y)) {
            SetHitCursor(kHitColumnEdge);
            const int column = drag_.source;
            const int dx = point.x - drag_.last.x;
            drag_.last = point;
            SetColumnWidth(column, ClampInt32(int64_t(ColumnWidthAt(column)) + dx));
        } else {
            SetHitCursor(kHitNothing);
            EndDrag();
        }
        break;
    case kDragColumn: {
        drag_.rect = OffsetRect(drag_.rect, int64_t(point.x) - drag_.last.x, int64_t(point.y) - drag_.last.y);
        drag_.last = point;
        const int64_t middle = (int64_t(drag_.rect.top) + drag_.rect.bottom) / 2;
        const int column = PtInRect(headerArea_, drag_.rect.left, middle) ? ColumnAt(drag_.rect.left) : -1;
        if (column >= 0) {
            drag_.target = column;
            InvalidateRect(headerArea_);
        }
        break;
    }
    case kDragRow:
        if (point.y != drag_.last.y && PtInRect(rowsArea_, point.x, point.y)) {
            const int h = RowHeight(drag_.source);
            const int top = point.y - h / 2;
            SetFeedback(MakeRect(rowsArea_.left, top, rowsArea_.right, int64_t(top) + h));
        }
        drag_.last = point;
        break;
    default:
        if (style_ & kSheetCellTips) {
            const SheetHit hit = HitTest(point);
            Rect cell;
            if (!anyHeld && hit.kind == kHitRow && GetCellRect(hit.row, hit.column, cell))
                ShowTip(cell, GetItemText(hit.row, hit.column));
            else
                HideTip();
        }
        break;
    }
    DrawHoverCross(point.x, point.y);
}

void SheetCore::OnLButtonUp(Point point)
{
    if (drag_.kind == kDragNone)
        return;
    const SheetDrag drag = drag_;
    EndDrag();
    if (drag.kind == kDragColumn) {
        if (std::abs(point.x - drag.start.x) > kDragThreshold && drag.target != drag.source)
            MoveColumn(drag.source, drag.target);
        else
            Notify(SheetNotify{kSheetHeaderClick, drag.source, 0, point.x, point.y, 0});
    } else if (drag.kind == kDragRow) {
        int row = -1;
        if (HitTestRows(point.x, point.y, row) == kHitRow && row != drag.source)
            MoveRow(drag.source, row);
    }
    InvalidateAll();
}

void SheetCore::OnRButtonDown(Point point)
{
    HideTip();
    TakeFocus();
    const SheetHit hit = HitTest(point);
    if (PtInRect(headerArea_, point.x, point.y)) {
        if (hit.kind != kHitColumnEdge)
            Notify(SheetNotify{kSheetHeaderRClick, hit.column, 0, point.x, point.y, 0});
        return;
    }
    if (hit.kind == kHitRow) {
        const CSItem* item = Row(hit.row);
        int row = hit.row;
        if (!(item->state & (kRowSelected | kRowMarked))) {
            ClearSelection();
            if ((row = IndexOf(item)) < 0)
                return;
        }
        focusRow_ = row;
        Notify(SheetNotify{kSheetRightClick, row, ColumnAt(point.x), 0, point.x, point.y});
    } else if (PtInRect(rowsArea_, point.x, point.y)) {
        Notify(SheetNotify{kSheetRightClick, -1, hit.column, 0, point.x, point.y});
    }
}

int SheetCore::AutoFitWidth(int column) const
{
    int widest = 0;
    auto measure = [&](int row) {
        if (const auto width = TextWidth(GetItemText(row, column)))
            widest = std::max(widest, *width + kAutoFitMargin);
    };
    for (int i = 0; i < FrozenRowCount(); ++i)
        measure(i);
    for (int i = v_.first; i <= v_.last && i < GetRowCount(); ++i)
        measure(i);
    return std::max(widest, kAutoFitMin);
}

void SheetCore::OnLButtonDblClk(Point point)
{
    HideTip();
    TakeFocus();
    if (ReplaysLeftEdgeClicks() && point.x < kReplayMaxX && point.y >= kReplayMinY) {
        // Clicks along the row, right to left, over every horizontal
        // position; each one is a full button press the owner sees.
        if (h_.pos != h_.max)
            OnHScroll(SB_RIGHT);
        for (const int x : ReplayClickXs())
            OnLButtonDown(Point{x, point.y}, false, false);
        for (int guard = h_.max; guard > 0 && h_.pos > 0; --guard) {
            OnHScroll(SB_LINELEFT);
            OnLButtonDown(Point{kReplayLastX, point.y}, false, false);
        }
    }
    const SheetHit hit = HitTest(point);
    if (hit.kind == kHitColumnEdge)
        SetColumnWidth(hit.column, AutoFitWidth(hit.column));
    else if (hit.kind == kHitRow) {
        const CSItem* item = Row(hit.row);
        Notify(SheetNotify{kSheetDoubleClick, hit.row, hit.column, 0, point.x, point.y});
        if (const int row = IndexOf(item); row >= 0)
            RowDoubleClicked(row, hit.column);
    }
}

void SheetCore::OnMouseWheel(int delta)
{
    if (drag_.kind != kDragNone)
        return;
    HideTip();
    const int n = delta / kWheelDelta;
    for (int i = 0; i < std::abs(n); ++i)
        OnVScroll(n > 0 ? SB_LINEUP : SB_LINEDOWN);
}

bool SheetCore::OnKeyDown(int virtualKey, int flags, bool ctrl)
{
    bool acted = true;
    switch (virtualKey) {
    case VK_PRIOR: ScrollPageUp(); break;
    case VK_NEXT: ScrollPageDown(); break;
    case VK_HOME: ScrollHome(); break;
    case VK_END: ScrollEnd(); break;
    case VK_LEFT: ScrollLineLeft(); break;
    case VK_RIGHT: ScrollLineRight(); break;
    case VK_UP: SelectPrevRow(); break;
    case VK_DOWN: SelectNextRow(); break;
    case kKeyA:
        acted = ctrl;
        if (ctrl)
            SelectAll();
        break;
    default: acted = false; break;
    }
    Notify(SheetNotify{kSheetKey, virtualKey, flags, 0, 0, 0});
    return acted;
}

void SheetCore::SelectPrevRow()
{
    const int lastVisible = std::min(v_.last, GetRowCount() - 1);
    const int index = selection_.empty() ? -1 : GetRowIndex(selection_.front());
    if (index < 0) {
        ClearSelection();
        SelectRow(lastVisible);
        return;
    }
    const int above = index - 1;
    if (above < 0)
        return;
    ClearSelection();
    SelectRow(above);
    if (Row(above) && !IsRowVisible(above))
        OnVScroll(SB_LINEUP);
}

void SheetCore::SelectNextRow()
{
    const int frozen = FrozenRowCount();
    const int index = selection_.empty() ? -1 : GetRowIndex(selection_.front());
    if (index < 0) {
        ClearSelection();
        SelectRow(frozen > 0 ? 0 : v_.first);
        return;
    }
    int next = index + 1;
    if (index < frozen && next >= frozen)
        next = v_.first;
    if (next >= GetRowCount())
        return;
    ClearSelection();
    SelectRow(next);
    if (Row(next) && !IsRowVisible(next))
        OnVScroll(SB_LINEDOWN);
}
