// The sheet's columns, rows and selection.
#include "uikit/sheet_core.h"

#include "platform/rect_math.h"
#include "platform/ui/gdi_paint.h"

#include <algorithm>
#include <iterator>

unsigned SheetTextFormat(std::uint16_t format)
{
    // Single line, vertically centred, no prefix, an ellipsis when too long.
    const unsigned base = ui::DT_NOPREFIX | ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_END_ELLIPSIS;
    switch (format) {
    case 1: return base | ui::DT_RIGHT;
    case 2: return base | ui::DT_CENTER;
    default: return base | ui::DT_LEFT;
    }
}

SheetCore::SheetCore() : header_(std::make_unique<CSHeader>()), textColour_(ui::sysColor(ui::COLOR_WINDOWTEXT)) {}

SheetCore::~SheetCore() = default;

void SheetCore::SetStyle(std::uint32_t style)
{
    style_ = style;
}

void SheetCore::SetHeaderHeight(int height)
{
    header_->height = std::max(height, 0);
    Refresh();
}

void SheetCore::SetHeaderTextColor(ui::ColorRef colour)
{
    header_->textColour = colour;
    InvalidateRect(headerArea_);
}

void SheetCore::SetHeaderBkColor(ui::ColorRef colour)
{
    header_->bkColour = colour;
    InvalidateRect(headerArea_);
}

void SheetCore::SetGridColor(ui::ColorRef colour)
{
    gridColour_ = colour;
    InvalidateRect(rowsArea_);
}

void SheetCore::SetDefaultRowHeight(int height)
{
    defaultRowHeight_ = std::max(height, 1);
    CalcFrozenRows();
    UpdateVScroll();
    InvalidateRect(rowsArea_);
}

void SheetCore::SetBkColor(ui::ColorRef colour)
{
    bkColour_ = colour;
    InvalidateAll();
}

// Columns -----------------------------------------------------------------

int SheetCore::InsertColumn(int index, const QString& title, std::uint16_t flags, std::uint16_t format, int width)
{
    const int added = header_->InsertColumn(index, title, flags, format, width);
    if (added < 0)
        return -1;
    if (flags & kColumnFrozen)
        CalcFrozenColumns();
    UpdateLayout();
    Rect rect;
    if (GetColumnRect(added, rect))
        InvalidateRect(Rect{rect.left, client_.top, rect.right, client_.bottom});
    return added;
}

void SheetCore::SetColumnWidth(int column, int width)
{
    SheetColumn* col = header_->At(column);
    if (!col || col->width == width)
        return;
    col->width = width;
    if (column < frozenCols_)
        CalcFrozenColumns();
    UpdateLayout();
    Rect rect;
    const int left = GetColumnRect(column, rect) ? rect.left : client_.left;
    InvalidateRect(Rect{left, client_.top, client_.right, client_.bottom});
}

bool SheetCore::DeleteColumn(int column)
{
    if (column < 0 || column >= header_->Count())
        return false;
    Rect rect;
    const bool wasShown = GetColumnRect(column, rect);
    header_->DeleteColumn(column);
    // Every later cell moves left with its column.
    for (auto& row : rows_)
        row->DeleteCell(column);
    if (column < frozenCols_)
        CalcFrozenColumns();
    UpdateLayout();
    if (wasShown)
        InvalidateRect(Rect{rect.left, client_.top, client_.right, client_.bottom});
    return true;
}

int SheetCore::DeleteAllColumns(bool alsoRows)
{
    if (alsoRows)
        DeleteAllRows();
    header_->DeleteAllColumns();
    CalcFrozenColumns();
    UpdateLayout();
    InvalidateAll();
    return 1;
}

bool SheetCore::CanReorderColumns(int a, int b) const
{
    const int n = header_->Count();
    return a != b && a >= frozenCols_ && b >= frozenCols_ && a < n && b < n;
}

bool SheetCore::SwapColumns(int a, int b)
{
    if (!CanReorderColumns(a, b))
        return false;
    header_->SwapColumns(a, b);
    for (auto& row : rows_)
        row->SwapCells(a, b);
    UpdateLayout();
    InvalidateAll();
    return true;
}

bool SheetCore::MoveColumn(int from, int to)
{
    if (!CanReorderColumns(from, to))
        return false;
    header_->MoveColumn(from, to);
    for (auto& row : rows_)
        row->MoveCell(from, to);
    UpdateLayout();
    InvalidateAll();
    Notify(SheetNotify{kSheetColumnMoved, from, to, 0, 0, 0});
    return true;
}

bool SheetCore::SetColumnValue(int column, int value)
{
    SheetColumn* col = header_->At(column);
    if (!col)
        return false;
    col->value = value;
    return true;
}

int SheetCore::GetColumnValue(int column) const
{
    const SheetColumn* col = header_->At(column);
    return col ? col->value : -1;
}

void SheetCore::CalcFrozenColumns()
{
    frozenCols_ = 0;
    frozenWidth_ = 0;
    for (int i = 0; i < header_->Count(); ++i) {
        const SheetColumn* col = header_->At(i);
        if (!col || !col->IsFrozen())
            break;
        ++frozenCols_;
        frozenWidth_ += ColumnWidth(col);
    }
}

// Rows --------------------------------------------------------------------

CSItem* SheetCore::Row(int row) const
{
    return row >= 0 && row < GetRowCount() ? rows_[std::size_t(row)].get() : nullptr;
}

int SheetCore::RowHeight(int row) const
{
    const CSItem* item = Row(row);
    return item && item->height >= 1 ? item->height : defaultRowHeight_;
}

int SheetCore::AddRow(int position, const QString& text, std::uint16_t flags, std::uint8_t state, int cellValue,
                      ui::ColorRef textColour, int rowValue)
{
    if (header_->Count() == 0)
        return -1;
    auto item = std::make_unique<CSItem>();
    item->SetCell(0, text, state, cellValue, ui::kNoColor, ui::kNoColor);
    item->flags = flags;
    item->state = state;
    item->textColour = textColour;
    item->value = rowValue;
    return InsertRow(position, std::move(item));
}

int SheetCore::InsertRow(int position, std::unique_ptr<CSItem> row)
{
    if (!row)
        return -1;
    ++rowsGeneration_;
    int index;
    if (position >= 0 && position < GetRowCount()) {
        rows_.insert(rows_.begin() + position, std::move(row));
        if (focusRow_ >= position)
            ++focusRow_;
        index = position;
        UpdateVScroll();
        InvalidateFromRow(index);
    } else {
        rows_.push_back(std::move(row));
        index = GetRowCount() - 1;
        UpdateVScroll();
        InvalidateRow(index);
    }
    return index;
}

bool SheetCore::DeleteRow(int row)
{
    CSItem* item = Row(row);
    if (!item)
        return false;
    if (std::find(selection_.begin(), selection_.end(), item) != selection_.end()) {
        EraseFromSelection(item);
        const auto generation = rowsGeneration_;
        Notify(SheetNotify{kSheetSelChanged});
        if (generation != rowsGeneration_) {
            row = IndexOf(item);
            if (row < 0)
                return true; // the owner deleted it already
        }
    }
    const bool wasFrozen = row < frozenRows_;
    EraseFromSelection(item);
    ++rowsGeneration_;
    rows_.erase(rows_.begin() + row);
    if (focusRow_ == row)
        focusRow_ = -1;
    else if (focusRow_ > row)
        --focusRow_;
    if (wasFrozen)
        CalcFrozenRows();
    UpdateVScroll();
    InvalidateFromRow(row);
    return true;
}

int SheetCore::DeleteAllRows()
{
    ClearSelection();
    ++rowsGeneration_;
    selection_.clear();
    rows_.clear();
    focusRow_ = -1;
    CalcFrozenRows();
    UpdateVScroll();
    InvalidateRect(rowsArea_);
    return 1;
}

bool SheetCore::MoveRow(int from, int to)
{
    const int n = GetRowCount();
    if (from == to || from < frozenRows_ || to < frozenRows_ || from >= n || to >= n)
        return false;
    ++rowsGeneration_;
    auto moved = std::move(rows_[std::size_t(from)]);
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, std::move(moved));
    RebuildSelection(); // keeps the list in row order
    InvalidateFromRow(std::min(from, to));
    Notify(SheetNotify{kSheetRowMoved, from, 0, to, 0, 0});
    return true;
}

bool SheetCore::SetItemText(int row, int column, const QString& text)
{
    CSItem* item = Row(row);
    if (!item || column < 0 || column >= header_->Count())
        return false;
    if (item->SetCellText(column, text))
        InvalidateCell(row, column);
    return true;
}

QString SheetCore::GetItemText(int row, int column) const
{
    const CSItem* item = Row(row);
    return item ? item->GetCellText(column) : QString();
}

void SheetCore::SetRowTextColor(int row, ui::ColorRef colour)
{
    CSItem* item = Row(row);
    if (!item || item->textColour == colour)
        return;
    item->textColour = colour;
    InvalidateRow(row);
}

void SheetCore::SetRowState(int row, std::uint8_t state)
{
    CSItem* item = Row(row);
    if (!item || item->state == state)
        return;
    item->state = state;
    InvalidateRow(row);
}

std::uint8_t SheetCore::GetRowState(int row) const
{
    const CSItem* item = Row(row);
    return item ? item->state : 0;
}

bool SheetCore::SetCellColour(int row, int column, ui::ColorRef colour, int (CSItem::*set)(int, ui::ColorRef))
{
    CSItem* item = Row(row);
    if (!item || column < 0 || column >= header_->Count())
        return false;
    if ((item->*set)(column, colour))
        InvalidateCell(row, column);
    return true;
}

bool SheetCore::SetCellBkColor(int row, int column, ui::ColorRef colour)
{
    return SetCellColour(row, column, colour, &CSItem::SetCellBkColor);
}

bool SheetCore::SetCellTextColor(int row, int column, ui::ColorRef colour)
{
    return SetCellColour(row, column, colour, &CSItem::SetCellTextColor);
}

bool SheetCore::SetRowValue(int row, int value)
{
    CSItem* item = Row(row);
    if (!item)
        return false;
    item->value = value;
    return true;
}

int SheetCore::GetRowValue(int row) const
{
    const CSItem* item = Row(row);
    return item ? item->value : -1;
}

void SheetCore::CalcFrozenRows()
{
    frozenRows_ = 0;
    frozenHeight_ = 0;
    for (int i = 0; i < GetRowCount() && rows_[std::size_t(i)]->IsFrozen(); ++i) {
        ++frozenRows_;
        frozenHeight_ += RowHeight(i);
    }
}

bool SheetCore::IsRowHighlighted(int row) const
{
    const CSItem* item = Row(row);
    return item && (item->state & (kRowSelected | kRowMarked)) && !(style_ & kSheetNoHighlight);
}

int SheetCore::IndexOf(const CSItem* row) const
{
    for (int i = 0; i < GetRowCount(); ++i)
        if (rows_[std::size_t(i)].get() == row)
            return i;
    return -1;
}

// Selection -----------------------------------------------------------------

void SheetCore::RebuildSelection()
{
    selection_.clear();
    for (const auto& row : rows_)
        if (row->IsSelected())
            selection_.push_back(row.get());
}

void SheetCore::EraseFromSelection(const CSItem* row)
{
    selection_.erase(std::remove(selection_.begin(), selection_.end(), row), selection_.end());
}

void SheetCore::SelectRow(int row)
{
    CSItem* item = Row(row);
    if (!item)
        return;
    if (!item->IsSelected()) {
        if (!(style_ & kSheetMultiSelect)) {
            const auto generation = rowsGeneration_;
            ClearSelection();
            if (generation != rowsGeneration_ && (row = IndexOf(item)) < 0)
                return;
        }
        item->state |= kRowSelected;
        InvalidateRow(row);
    }
    RebuildSelection();
    Notify(SheetNotify{kSheetSelChanged});
}

void SheetCore::DeselectRow(int row)
{
    CSItem* item = Row(row);
    if (!item || !item->IsSelected())
        return;
    item->state &= std::uint8_t(~kRowSelected);
    EraseFromSelection(item);
    const auto generation = rowsGeneration_;
    Notify(SheetNotify{kSheetSelChanged});
    if (generation != rowsGeneration_)
        row = IndexOf(item);
    if (row >= 0) {
        if (focusRow_ == row)
            focusRow_ = -1;
        InvalidateRow(row);
    }
    Notify(SheetNotify{kSheetSelChanged});
}

void SheetCore::SelectAll()
{
    ClearSelection();
    for (auto& row : rows_)
        row->state |= kRowSelected;
    RebuildSelection();
    Notify(SheetNotify{kSheetSelChanged});
    InvalidateAll();
}

void SheetCore::ClearSelection()
{
    for (CSItem* item : selection_) {
        item->state &= std::uint8_t(~(kRowSelected | kRowMarked));
        const int row = GetRowIndex(item);
        if (row >= 0)
            InvalidateRow(row);
    }
    selection_.clear();
    focusRow_ = -1;
    Notify(SheetNotify{kSheetSelChanged});
}

std::vector<int> SheetCore::GetSelectedRows() const
{
    // The list is in row order: one pass matches it against the rows.
    std::vector<int> indexes;
    indexes.reserve(selection_.size());
    std::size_t next = 0;
    for (int i = 0; i < GetRowCount() && next < selection_.size(); ++i)
        if (rows_[std::size_t(i)].get() == selection_[next]) {
            indexes.push_back(i);
            ++next;
        }
    return indexes;
}

void SheetCore::SelectRange(int focus, int clicked)
{
    // One pass sets the states; the list is rebuilt and announced once.
    const bool select = !rows_[std::size_t(clicked)]->IsSelected();
    const int from = std::min(focus, clicked);
    const int to = std::max(focus, clicked);
    for (int i = from; i <= to; ++i) {
        CSItem& item = *rows_[std::size_t(i)];
        if (i == clicked || select)
            item.state |= kRowSelected;
        else
            item.state &= std::uint8_t(~kRowSelected);
    }
    RebuildSelection();
    InvalidateRect(rowsArea_);
    Notify(SheetNotify{kSheetSelChanged});
}
