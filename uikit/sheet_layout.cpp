// The sheet's areas, scroll ranges, scrolling and hit testing.
#include "uikit/sheet_core.h"

#include "platform/rect_math.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Rooms that need a second layout pass at most: a bar that appears can
// make the other one appear, which changes nothing further.
constexpr int kLayoutPasses = 4;

} // namespace

int SheetCore::FrozenColumnCount() const
{
    return std::min(frozenCols_, header_->Count());
}

int SheetCore::FrozenRowCount() const
{
    return std::min(frozenRows_, GetRowCount());
}

int SheetCore::ColumnWidthAt(int column) const
{
    return ColumnWidth(header_->At(column));
}

void SheetCore::SetClientSize(int width, int height)
{
    clientSize_ = Rect{0, 0, std::max(width, 0), std::max(height, 0)};
    Refresh();
}

void SheetCore::Refresh()
{
    HideTip();
    inRefresh_ = true;
    for (int pass = 0; pass < kLayoutPasses; ++pass) {
        client_ = ClientRect();
        const int headerBottom = int(std::min<int64_t>(int64_t(client_.top) + header_->height, client_.bottom));
        headerArea_ = Rect{client_.left, client_.top, client_.right, headerBottom};
        rowsArea_ = Rect{client_.left, headerBottom, client_.right, client_.bottom};
        UpdateLayout();
        UpdateVScroll();
        if (ClientRect() == client_)
            break;
    }
    inRefresh_ = false;
    InvalidateAll();
}

void SheetCore::SyncClientRect()
{
    // Showing or hiding a bar resizes the client area: lay out again.
    if (!inRefresh_ && ClientRect() != client_)
        Refresh();
}

int SheetCore::ColumnsThatFit(int start, bool wholeOnly) const
{
    const int64_t space = RectWidth(rowsArea_) - frozenWidth_;
    int64_t used = 0;
    int n = 0;
    for (int i = std::max(start, 0); i < header_->Count(); ++i) {
        const int w = ColumnWidthAt(i);
        if (wholeOnly ? used + w > space : used >= space)
            break;
        used += w;
        ++n;
    }
    return n;
}

int SheetCore::ColumnsThatFitBack() const
{
    const int64_t space = RectWidth(rowsArea_) - frozenWidth_;
    int64_t used = 0;
    int n = 0;
    for (int i = header_->Count() - 1; i >= FrozenColumnCount(); --i) {
        used += ColumnWidthAt(i);
        if (used > space)
            break;
        ++n;
    }
    return n;
}

void SheetCore::UpdateLayout()
{
    const int frozen = FrozenColumnCount();
    const int scrolled = header_->Count() - frozen;
    int fit = ColumnsThatFit(frozen + h_.pos, true);
    // Room left after the last column while columns are hidden on the
    // left: the range is what fits back from the last column instead.
    if (fit == header_->Count() - (frozen + h_.pos))
        fit = std::max(fit, ColumnsThatFitBack());
    h_.max = std::max(0, (style_ & kSheetHorzToLast) ? scrolled - 1 : scrolled - fit);
    if (h_.pos > h_.max) {
        h_.pos = h_.max;
        InvalidateAll();
    }
    h_.pos = std::max(h_.pos, 0);
    h_.first = frozen + h_.pos;
    h_.last = std::max(h_.first, h_.first + ColumnsThatFit(h_.first, false) - 1);
    ApplyBar(SB_HORZ);
}

void SheetCore::UpdateVScroll()
{
    const int frozen = FrozenRowCount();
    const int scrolled = GetRowCount() - frozen;
    int fit = CountRowsThatFit(frozen + v_.pos, true, false, false);
    // Rows deleted while scrolled down leave room below the last row: the
    // range is then what fits back from the last row, so no row stays
    // hidden above a blank area.
    if (fit == GetRowCount() - (frozen + v_.pos))
        fit = std::max(fit, CountRowsThatFit(-1, true, false, true));
    v_.max = std::max(0, (style_ & kSheetVertToLast) ? scrolled - 1 : scrolled - fit);
    if (v_.pos > v_.max) {
        v_.pos = v_.max;
        InvalidateRect(rowsArea_);
    }
    v_.pos = std::max(v_.pos, 0);
    v_.first = frozen + v_.pos;
    v_.last = std::max(v_.first, v_.first + CountRowsThatFit(v_.first, false, false, false) - 1);
    ApplyBar(SB_VERT);
}

void SheetCore::ApplyBar(int bar)
{
    const SheetScrollState& state = bar == SB_HORZ ? h_ : v_;
    const bool keepShown = style_ & kSheetKeepBars;
    ApplyScrollRange(bar, state, keepShown);
    ShowScrollBarEx(bar, keepShown || state.max > 0);
    SyncClientRect();
}

void SheetCore::ShowScrollBarEx(int bar, bool show)
{
    if (style_ & kSheetNoBars)
        show = false;
    if (bar == SB_VERT && (style_ & kSheetNoVertBar))
        show = false;
    if (bar == SB_HORZ && (style_ & kSheetNoHorzBar))
        show = false;
    ApplyScrollBarShown(bar, show);
}

int SheetCore::GetRowsAreaHeight() const
{
    return Height32(rowsArea_);
}

int SheetCore::CountRowsThatFit(int start, bool wholeRowsOnly, bool addFrozenCount, bool backward) const
{
    const int frozen = FrozenRowCount();
    const int64_t space = int64_t(GetRowsAreaHeight()) - frozenHeight_;
    int64_t used = 0;
    int n = 0;
    auto fits = [&](int row) {
        const int h = RowHeight(row);
        if (wholeRowsOnly ? used + h > space : used >= space)
            return false;
        used += h;
        ++n;
        return true;
    };
    if (backward) {
        const int from = start < 0 || start >= GetRowCount() ? GetRowCount() - 1 : start;
        for (int i = from; i >= frozen && fits(i); --i) {
        }
    } else {
        for (int i = std::max(start, frozen); i < GetRowCount() && fits(i); ++i) {
        }
    }
    return addFrozenCount ? n + frozen : n;
}

bool SheetCore::AllRowsFit() const
{
    const int frozen = FrozenRowCount();
    return GetRowCount() - frozen <= CountRowsThatFit(frozen, true, false, false);
}

int SheetCore::ColumnsEnd() const
{
    int64_t x = int64_t(client_.left) + frozenWidth_;
    for (int i = h_.first; i < header_->Count() && x < client_.right; ++i)
        x += ColumnWidthAt(i);
    return int(std::min<int64_t>(x, client_.right));
}

Rect SheetCore::ClipToColumns(Rect area) const
{
    area.right = std::min(area.right, ColumnsEnd());
    return area;
}

bool SheetCore::GetColumnRect(int column, Rect& rect) const
{
    if (column < 0 || column >= header_->Count())
        return false;
    int64_t left;
    if (column < FrozenColumnCount()) {
        left = headerArea_.left;
        for (int i = 0; i < column; ++i)
            left += ColumnWidthAt(i);
    } else if (column >= h_.first && column <= h_.last) {
        left = int64_t(headerArea_.left) + frozenWidth_;
        for (int i = h_.first; i < column; ++i)
            left += ColumnWidthAt(i);
    } else {
        return false;
    }
    rect = MakeRect(left, headerArea_.top, left + ColumnWidthAt(column), headerArea_.bottom);
    return true;
}

bool SheetCore::GetRowRect(int row, Rect& rect) const
{
    if (row < 0 || row >= GetRowCount())
        return false;
    int64_t top;
    if (row < FrozenRowCount()) {
        top = rowsArea_.top;
        for (int i = 0; i < row; ++i)
            top += RowHeight(i);
        rect =
            MakeRect(rowsArea_.left, top, rowsArea_.right, std::min<int64_t>(top + RowHeight(row), rowsArea_.bottom));
        return true;
    }
    if (row < v_.first || row > v_.last)
        return false;
    top = ScrolledRowsTop();
    for (int i = v_.first; i < row; ++i)
        top += RowHeight(i);
    rect = MakeRect(rowsArea_.left, top, rowsArea_.right, top + RowHeight(row));
    return true;
}

bool SheetCore::IsRowVisible(int row) const
{
    Rect rect;
    return GetRowRect(row, rect);
}

bool SheetCore::GetCellRect(int row, int column, Rect& rect) const
{
    Rect rowRect, columnRect;
    if (!GetRowRect(row, rowRect) || !GetColumnRect(column, columnRect))
        return false;
    rect = Rect{columnRect.left, rowRect.top, columnRect.right, rowRect.bottom};
    return true;
}

int SheetCore::GetRowIndex(const CSItem* row) const
{
    for (int i = 0; i < FrozenRowCount(); ++i)
        if (rows_[std::size_t(i)].get() == row)
            return i;
    for (int i = v_.first; i <= v_.last && i < GetRowCount(); ++i)
        if (rows_[std::size_t(i)].get() == row)
            return i;
    return -1;
}

void SheetCore::InvalidateCell(int row, int column)
{
    Rect rect;
    if (GetCellRect(row, column, rect))
        InvalidateRect(rect);
}

void SheetCore::InvalidateRow(int row)
{
    Rect rect;
    if (GetRowRect(row, rect))
        InvalidateRect(rect);
}

void SheetCore::InvalidateFromRow(int row)
{
    Rect rect;
    if (GetRowRect(row, rect))
        InvalidateRect(Rect{rowsArea_.left, rect.top, rowsArea_.right, rowsArea_.bottom});
    else if (row < v_.first)
        InvalidateRect(rowsArea_);
}

void SheetCore::EnsureRowVisible(int row)
{
    // Pages while that moves the rows, lines where a page moves nothing.
    for (int guard = GetRowCount() + 1; guard > 0 && row >= 0 && row < GetRowCount(); --guard) {
        if (IsRowVisible(row))
            return;
        const int before = v_.pos;
        const bool up = row < v_.first;
        OnVScroll(up ? SB_PAGEUP : SB_PAGEDOWN);
        if (v_.pos == before)
            OnVScroll(up ? SB_LINEUP : SB_LINEDOWN);
        if (v_.pos == before)
            return;
    }
}

// Scrolling -----------------------------------------------------------------

void SheetCore::OnVScroll(int code, int trackPos)
{
    HideTip();
    const int p = v_.pos;
    int next = p;
    switch (code) {
    case SB_LINEUP: next = p > 0 ? p - 1 : p; break;
    case SB_LINEDOWN: next = p < GetRowCount() ? p + 1 : p; break;
    case SB_PAGEUP: next = p - CountRowsThatFit(v_.first, true, false, false); break;
    case SB_PAGEDOWN: next = p + CountRowsThatFit(v_.first, true, false, false); break;
    case SB_THUMBTRACK: next = trackPos; break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = v_.max; break;
    default: break; // SB_THUMBPOSITION: the position last set
    }
    next = std::clamp(next, 0, v_.max);
    if (next == p)
        return;
    v_.pos = next;
    UpdateVScroll();
    InvalidateRect(Rect{rowsArea_.left, ScrolledRowsTop(), rowsArea_.right, rowsArea_.bottom});
    AfterVScroll(code, v_.pos);
    Notify(SheetNotify{kSheetVScrolled, 0, 0, rowsArea_.left, ScrolledRowsTop(), rowsArea_.right});
}

void SheetCore::OnHScroll(int code, int trackPos)
{
    HideTip();
    const int p = h_.pos;
    int next = p;
    switch (code) {
    case SB_LINELEFT:
    case SB_PAGELEFT: next = p > 0 ? p - 1 : p; break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT: {
        int64_t end = int64_t(rowsArea_.left) + frozenWidth_;
        for (int i = h_.first; i < header_->Count(); ++i)
            end += ColumnWidthAt(i);
        if (end > rowsArea_.right)
            next = p + 1;
        break;
    }
    case SB_THUMBTRACK: next = trackPos; break;
    case SB_LEFT: next = 0; break;
    case SB_RIGHT: next = h_.max; break;
    default: break;
    }
    next = std::clamp(next, 0, h_.max);
    if (next == p)
        return;
    h_.pos = next;
    UpdateLayout();
    InvalidateAll();
    const int left = client_.left + frozenWidth_;
    Notify(SheetNotify{kSheetHScrolled, left, client_.top, client_.right, client_.bottom, 0});
}

// Hit testing ---------------------------------------------------------------

int SheetCore::HitTestHeader(int x, int y, int& column) const
{
    column = -1;
    if (!PtInRect(headerArea_, x, y))
        return kHitNothing;
    const int frozen = FrozenColumnCount();
    auto test = [&](int i, int64_t left) {
        const int64_t right = left + ColumnWidthAt(i);
        if (std::abs(x - right) <= 2) {
            column = i;
            return kHitColumnEdge;
        }
        if (x >= left && x < right) {
            column = i;
            return kHitHeaderCell;
        }
        return kHitNothing;
    };
    if (frozen > 0 && x < int64_t(headerArea_.left) + frozenWidth_ + 2) {
        int64_t left = headerArea_.left;
        for (int i = 0; i < frozen; ++i) {
            if (const int kind = test(i, left))
                return kind;
            left += ColumnWidthAt(i);
        }
        return kHitNothing;
    }
    int64_t left = int64_t(headerArea_.left) + frozenWidth_;
    for (int i = h_.first; i <= h_.last && i < header_->Count(); ++i) {
        if (const int kind = test(i, left))
            return kind;
        left += ColumnWidthAt(i);
    }
    return kHitNothing;
}

int SheetCore::HitTestRows(int x, int y, int& row) const
{
    row = -1;
    if (!PtInRect(rowsArea_, x, y))
        return kHitNothing;
    int64_t top = rowsArea_.top;
    int from = 0;
    int to = FrozenRowCount() - 1;
    if (y >= ScrolledRowsTop()) {
        top = ScrolledRowsTop();
        from = v_.first;
        to = std::min(v_.last, GetRowCount() - 1);
    }
    for (int i = from; i <= to; ++i) {
        const int64_t bottom = top + RowHeight(i);
        if (y >= top && y < bottom) {
            row = i;
            return kHitRow;
        }
        top = bottom;
    }
    return kHitNothing;
}

int SheetCore::ColumnAt(int x) const
{
    const int frozen = FrozenColumnCount();
    int64_t left = client_.left;
    int from = 0;
    int to = frozen - 1;
    if (x >= int64_t(client_.left) + frozenWidth_) {
        left = int64_t(client_.left) + frozenWidth_;
        from = h_.first;
        to = std::min(h_.last, header_->Count() - 1);
    }
    for (int i = from; i <= to; ++i) {
        const int64_t right = left + ColumnWidthAt(i);
        if (x >= left && x < right)
            return i;
        left = right;
    }
    return -1;
}

SheetHit SheetCore::HitTest(Point point) const
{
    SheetHit hit;
    if (PtInRect(headerArea_, point.x, point.y)) {
        hit.kind = HitTestHeader(point.x, point.y, hit.column);
        return hit;
    }
    hit.kind = HitTestRows(point.x, point.y, hit.row);
    if (PtInRect(rowsArea_, point.x, point.y))
        hit.column = ColumnAt(point.x);
    return hit;
}

std::optional<QString> SheetCore::HoverCrossText(int x, int y) const
{
    auto storedWidth = [&](int i) {
        const SheetColumn* col = header_->At(i);
        return col ? col->width : kMinColumnWidth;
    };
    if (header_->height <= 0 || header_->Count() < 2 || storedWidth(1) <= 0)
        return std::nullopt;
    const int row = y / header_->height - 1 + v_.first;
    const int column = (x - storedWidth(0)) / storedWidth(1) + h_.first;
    if (!Row(row) || column < 0 || column >= header_->Count())
        return std::nullopt;
    const SheetColumn* col = header_->At(column);
    return QStringLiteral("%1 => %2").arg(GetItemText(row, 0), col ? col->title : QString());
}
