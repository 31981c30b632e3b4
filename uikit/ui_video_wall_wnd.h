#pragma once
#include "platform/geometry.h"
#include "platform/ui/notify.h"
#include "uikit/video_wall_layout.h"

#include <QWidget>
#include <cstdint>
#include <set>
#include <vector>

// The selected processor's video wall as a grid of cells to which the
// operator assigns outputs: a left click selects a cell, a right click
// offers the outputs still free. The grid works on a copy; its owner
// commits it into the processor. It looks the selected processor up each
// time it needs it and keeps no reference to it.
//
// `notify` tells the owner (p0 row, p1 column) that the selection changed
// or that a menu command changed the cells.
class CUiVideoWallWnd : public QWidget {
    Q_OBJECT
public:
    enum NotifyCode { NotifySelected = 1, NotifyCellsChanged = 2 };

    explicit CUiVideoWallWnd(QWidget* parent = nullptr);
    ~CUiVideoWallWnd() override;

    // Takes rows, columns and cells from the selected processor's wall (in
    // list mode the cells (0, 0), (0, 1), ... from its watch list), then
    // becomes a visible child of `parent` over `rect`; false without a
    // parent. Without a selected processor only the window is made.
    bool Init(QWidget* parent, int id, const Rect& rect, bool listMode);
    // A new size keeps the cells inside it and selects (0, 0); the same size
    // does nothing.
    void SetWall(int32_t rows, int32_t cols);
    // Writes the grid into the selected processor's wall (in list mode only
    // the watch list, in cell order); nothing without one.
    void CommitToProcessor();
    // In wall pixels; 0 without a selected processor.
    int32_t GetRowHeight(int32_t row) const;
    int32_t GetColumnWidth(int32_t column) const;
    int32_t GetTotalHeight() const;
    int32_t GetTotalWidth() const;
    // Selects the cell and tells the owner, unless it is already selected.
    void NotifySelection(int32_t row, int32_t column);

    int Id() const { return id_; }
    bool IsListMode() const { return listMode_; }
    int32_t GetRows() const { return grid_.rows; }
    int32_t GetCols() const { return grid_.cols; }
    WallCell GetSelection() const { return selected_; }
    // The owner's: one size a row (column), in wall pixels.
    const std::vector<int32_t>& GetRowHeights() const { return grid_.rowHeights; }
    void SetRowHeights(const std::vector<int32_t>& heights);
    const std::vector<int32_t>& GetColumnWidths() const { return grid_.colWidths; }
    void SetColumnWidths(const std::vector<int32_t>& widths);
    // Cell to output id; cells outside the grid are kept but neither shown
    // nor hit until SetWall drops them.
    const WallCellMap& GetCells() const { return grid_.cells; }
    void SetCells(const WallCellMap& cells);
    // Outputs the menu never offers.
    const std::set<int32_t>& GetExcludedOutputs() const { return excluded_; }
    void SetExcludedOutputs(const std::set<int32_t>& outputs);

signals:
    void notify(const ui::Notify& n);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Rect clientRect() const { return Rect{0, 0, width(), height()}; }
    void send(int code, const WallCell& cell);

    bool listMode_ = false;
    WallGrid grid_;
    WallCell selected_{-1, -1};
    std::set<int32_t> excluded_;
    int id_ = 0;
};
