#include "uikit/sheet_items.h"

#include <algorithm>
#include <utility>

namespace {

// Moves element `from` of the vector to `to`, shifting the ones between.
template <class T>
void moveElement(std::vector<T>& v, int from, int to)
{
    if (from < to)
        std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else if (to < from)
        std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}

const QString& textOf(const tagSSBaseItemGrid* cell)
{
    static const QString empty;
    const auto* text = dynamic_cast<const tagSSTextItemGrid*>(cell);
    return text ? text->text : empty;
}

} // namespace

int ColumnWidth(const SheetColumn* column)
{
    return column ? std::max(column->width, kMinColumnWidth) : kMinColumnWidth;
}

SheetColumn* CSHeader::At(int index) const
{
    return index >= 0 && index < Count() ? columns[std::size_t(index)].get() : nullptr;
}

int CSHeader::InsertColumn(int index, const QString& title, std::uint16_t flags, std::uint16_t format, int width)
{
    if (At(index))
        return -1;
    auto column = std::make_unique<SheetColumn>();
    column->title = title;
    column->flags = flags;
    column->format = format;
    column->width = width;
    columns.push_back(std::move(column));
    return Count() - 1;
}

bool CSHeader::DeleteColumn(int index)
{
    if (index < 0 || index >= Count())
        return false;
    columns.erase(columns.begin() + index);
    return true;
}

bool CSHeader::SwapColumns(int a, int b)
{
    if (a < 0 || b < 0 || a >= Count() || b >= Count())
        return false;
    std::swap(columns[std::size_t(a)], columns[std::size_t(b)]);
    return true;
}

bool CSHeader::MoveColumn(int from, int to)
{
    if (from < 0 || to < 0 || from >= Count() || to >= Count())
        return false;
    moveElement(columns, from, to);
    return true;
}

const tagSSBaseItemGrid* CSItem::Cell(int column) const
{
    return column >= 0 && column < int(cells.size()) ? cells[std::size_t(column)].get() : nullptr;
}

void CSItem::Grow(int size)
{
    if (int(cells.size()) < size)
        cells.resize(std::size_t(size));
}

tagSSBaseItemGrid* CSItem::CellForWrite(int column)
{
    if (column < 0)
        return nullptr;
    Grow(column + 1);
    auto& slot = cells[std::size_t(column)];
    if (!slot)
        slot = NewCell();
    return slot.get();
}

int CSItem::SetCellText(int column, const QString& text)
{
    const tagSSBaseItemGrid* cell = Cell(column);
    if (textOf(cell) == text)
        return 0; // also keeps a missing cell missing for an empty text
    auto* target = dynamic_cast<tagSSTextItemGrid*>(CellForWrite(column));
    if (!target)
        return 0;
    target->text = text;
    return 1;
}

QString CSItem::GetCellText(int column) const
{
    return textOf(Cell(column));
}

int CSItem::CopyCell(int column, const tagSSBaseItemGrid* source)
{
    if (!source)
        return SetCell(column, QString(), 0, -1, ui::kNoColor, ui::kNoColor);
    return SetCell(column, textOf(source), source->flag, source->value, source->textColour, source->bkColour);
}

int CSItem::SetCell(int column, const QString& text, std::uint8_t flag, int value, ui::ColorRef textColour,
                    ui::ColorRef bkColour)
{
    const tagSSBaseItemGrid* cell = Cell(column);
    if (!cell) {
        if (column < 0 || (text.isEmpty() && flag == 0 && value == -1 && bkColour == ui::kNoColor))
            return 0;
    } else if (textOf(cell) == text && cell->flag == flag && cell->value == value && cell->textColour == textColour &&
               cell->bkColour == bkColour) {
        return 0;
    }
    tagSSBaseItemGrid* target = CellForWrite(column);
    if (auto* withText = dynamic_cast<tagSSTextItemGrid*>(target))
        withText->text = text;
    target->flag = flag;
    target->value = value;
    target->textColour = textColour;
    target->bkColour = bkColour;
    return 1;
}

void CSItem::SwapCells(int a, int b)
{
    if (a < 0 || b < 0 || a == b)
        return;
    Grow(std::max(a, b) + 1);
    std::swap(cells[std::size_t(a)], cells[std::size_t(b)]);
}

void CSItem::MoveCell(int from, int to)
{
    if (from < 0 || to < 0 || from == to)
        return;
    Grow(std::max(from, to) + 1);
    moveElement(cells, from, to);
}

void CSItem::DeleteCell(int column)
{
    if (column >= 0 && column < int(cells.size()))
        cells.erase(cells.begin() + column);
}

std::unique_ptr<tagSSBaseItemGrid> CSItem::NewCell() const
{
    return std::make_unique<tagSSTextItemGrid>();
}

int CSItem::SetCellColour(int column, ui::ColorRef colour, ui::ColorRef tagSSBaseItemGrid::*field)
{
    const tagSSBaseItemGrid* cell = Cell(column);
    if (cell ? cell->*field == colour : colour == ui::kNoColor)
        return 0;
    tagSSBaseItemGrid* target = CellForWrite(column);
    if (!target)
        return 0;
    target->*field = colour;
    return 1;
}

int CSItem::SetCellBkColor(int column, ui::ColorRef colour)
{
    return SetCellColour(column, colour, &tagSSBaseItemGrid::bkColour);
}

int CSItem::SetCellTextColor(int column, ui::ColorRef colour)
{
    return SetCellColour(column, colour, &tagSSBaseItemGrid::textColour);
}
