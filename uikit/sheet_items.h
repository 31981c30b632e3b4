#pragma once
#include "platform/ui/colour.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

// The data of the sheet control: its columns, its header and its rows of
// cells. Colours are 0x00BBGGRR values; ui::kNoColor (-1) means "inherited".

// Column flags.
inline constexpr std::uint16_t kColumnFrozen = 0x0001;
inline constexpr std::uint16_t kColumnEditable = 0x0100;
// Row flags and row states.
inline constexpr std::uint16_t kRowFrozen = 0x0001;
inline constexpr std::uint8_t kRowSelected = 0x02;
inline constexpr std::uint8_t kRowMarked = 0x08;

// Narrower columns are laid out, hit-tested and painted this wide.
inline constexpr int kMinColumnWidth = 4;

struct SheetColumn {
    QString title;
    ui::ColorRef textColour = ui::kNoColor;
    ui::ColorRef bkColour = ui::kNoColor;
    std::uint16_t flags = 0;
    int width = -1;
    std::uint16_t format = 0; // 0 left, 1 right, 2 centred, else left
    int value = -1;           // kept for the owner

    bool IsFrozen() const { return flags & kColumnFrozen; }
};

// The width a column is laid out with; a null slot counts as 4 pixels.
int ColumnWidth(const SheetColumn* column);

class CSHeader {
public:
    virtual ~CSHeader() = default;

    int height = 20;
    ui::ColorRef textColour = ui::rgb(255, 255, 0);
    ui::ColorRef bkColour = ui::rgb(0, 0, 0);
    // Display order; a slot may be null (width 4, no flags, empty title).
    std::vector<std::unique_ptr<SheetColumn>> columns;

    int Count() const { return int(columns.size()); }
    // Null for an index out of range or an empty slot.
    SheetColumn* At(int index) const;

    // Appends a column; `index` only guards: an existing, non-null column
    // there refuses the insert with -1. Returns the new column's index.
    int InsertColumn(int index, const QString& title, std::uint16_t flags, std::uint16_t format, int width);
    bool DeleteColumn(int index);
    void DeleteAllColumns() { columns.clear(); }
    bool SwapColumns(int a, int b);
    // Moves the column to `to`, shifting the ones between.
    bool MoveColumn(int from, int to);
};

// One cell. The cell value and the flag byte are kept for the owner and
// copied, never drawn.
struct tagSSBaseItemGrid {
    virtual ~tagSSBaseItemGrid() = default;
    ui::ColorRef textColour = ui::kNoColor;
    ui::ColorRef bkColour = ui::kNoColor;
    int value = -1;
    std::uint8_t flag = 0;
};

struct tagSSTextItemGrid : tagSSBaseItemGrid {
    QString text;
};

// One row of the sheet; it owns its cells, which are made on demand.
class CSItem {
public:
    virtual ~CSItem() = default;

    std::uint16_t flags = 0;
    std::uint8_t state = 0;
    int height = -1; // below 1: the sheet's default row height
    ui::ColorRef textColour = ui::kNoColor;
    int value = -1; // kept for the owner
    // Indexed by column; null entries read as empty cells.
    std::vector<std::unique_ptr<tagSSBaseItemGrid>> cells;

    bool IsFrozen() const { return flags & kRowFrozen; }
    bool IsSelected() const { return state & kRowSelected; }
    // Null for a missing cell.
    const tagSSBaseItemGrid* Cell(int column) const;

    // 1 when the text changed, 0 when it was equal. No cell is made for an
    // empty text.
    virtual int SetCellText(int column, const QString& text);
    virtual QString GetCellText(int column) const;
    virtual int CopyCell(int column, const tagSSBaseItemGrid* source);
    // 1 when anything changed; an all-default cell makes no cell.
    virtual int SetCell(int column, const QString& text, std::uint8_t flag, int value, ui::ColorRef textColour,
                        ui::ColorRef bkColour);
    virtual void SwapCells(int a, int b);
    // Moves the cell to `to`, shifting the cells between.
    virtual void MoveCell(int from, int to);
    // Removes the cell, so every later cell stays under its column.
    virtual void DeleteCell(int column);
    virtual std::unique_ptr<tagSSBaseItemGrid> NewCell() const;

    // 1 when changed; kNoColor makes no cell.
    int SetCellBkColor(int column, ui::ColorRef colour);
    int SetCellTextColor(int column, ui::ColorRef colour);

protected:
    // The cell, made when missing; null for a negative column.
    tagSSBaseItemGrid* CellForWrite(int column);
    void Grow(int size);
    int SetCellColour(int column, ui::ColorRef colour, ui::ColorRef tagSSBaseItemGrid::*field);
};
