#pragma once
#include "uikit/sheet_core.h"

#include <QFont>
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>

class CUiSheetCtrl;
class CUiTipCtrl;
class QPainter;
class QScrollBar;

// What a sheet with style 0x0010 asks of the owner that provides its bars.
// Operations: 1 which bar to use (the host returns it; a, b, c zero),
// 2 show or hide it (b the flag), 3 its range is about to be set,
// 4 the rows scrolled (b: low word the scroll code, high word the position).
struct SheetScrollBarRequest {
    int operation = 0;
    int bar = SB_HORZ; // SB_HORZ or SB_VERT
    CUiSheetCtrl* sheet = nullptr;
    int a = 0;
    int b = 0;
    int c = 0;
};

class SheetScrollBarHost {
public:
    virtual ~SheetScrollBarHost() = default;
    // The bar for operation 1 (null: none); ignored for the others.
    virtual QScrollBar* SheetScrollBar(const SheetScrollBarRequest& request) = 0;
};

// What the row and cell painters get: the cell being painted and the
// colours its row was given.
struct SheetPaintRecord {
    QPainter* dc = nullptr;
    Rect rowsArea;
    Rect update;
    Rect cell;
    int row = -1;
    int column = -1;
    bool highlighted = false;
    ui::ColorRef textColour = ui::kNoColor; // the row's, before the cell's own
};

// The self-drawn grid: a header of columns over rows of text cells, frozen
// leading columns and rows, row selection, column resizing and moving by
// dragging, optional row dragging. Every user action reaches the owner
// through sheetNotify, delivered before the sheet goes on.
class CUiSheetCtrl : public QWidget, public SheetCore {
    Q_OBJECT
public:
    explicit CUiSheetCtrl(QWidget* parent = nullptr);
    ~CUiSheetCtrl() override;

    // The owner's bars for style 0x0010; without a host the sheet shows
    // its own, as without that style. The host must outlive the sheet or
    // be unset first.
    void SetScrollBarHost(SheetScrollBarHost* host);
    // The bar the sheet scrolls with: the host's under style 0x0010, else
    // its own.
    QScrollBar* GetScrollBarCtrl(int bar);

    // The sheet keeps copies.
    void SetHeaderFont(const QFont& font);
    void SetItemFont(const QFont& font);
    const QFont& HeaderFont() const { return headerFont_; }
    const QFont& ItemFont() const { return itemFont_; }
    CUiTipCtrl* TipCtrl() const { return tip_; }

signals:
    void sheetNotify(const SheetNotify& notify);

protected:
    virtual void PaintHeader(QPainter& dc, const Rect& update);
    virtual void PaintHeaderCell(QPainter& dc, int column, const Rect& cell);
    // The drop bar and the ghost of a dragged header cell.
    virtual void PaintDragOverlay(QPainter& dc);
    virtual void PaintRows(QPainter& dc, const Rect& update);
    virtual void PaintRow(SheetPaintRecord& record);
    virtual void PaintCell(SheetPaintRecord& record);
    virtual void InvertFeedbackRect(QPainter& dc, const Rect& rect);
    // With "MainFrm.AppType" other than 1, a cross-hair to the pointer.
    void DrawHoverCross(int x, int y) override;

    // Pieces of PaintCell for cells painted otherwise.
    void PaintCellBackground(const SheetPaintRecord& record);
    ui::ColorRef CellTextColour(const SheetPaintRecord& record) const;
    void PaintGridLines(const SheetPaintRecord& record);

    void Notify(const SheetNotify& notify) override;
    void InvalidateRect(const Rect& rect) override;
    Rect ClientRect() const override;
    void ApplyScrollRange(int bar, const SheetScrollState& state, bool keepShown) override;
    void ApplyScrollBarShown(int bar, bool show) override;
    void AfterVScroll(int code, int pos) override;
    void ShowTip(const Rect& cell, const QString& text) override;
    void HideTip() override;
    void SetHitCursor(int kind) override;
    void TakeFocus() override;
    std::optional<int> TextWidth(const QString& text) const override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool UsesHostBars() const;
    QScrollBar* OwnBar(int bar) const { return bars_[std::size_t(bar)]; }
    void PlaceOwnBars();
    void OnBarAction(int bar, QScrollBar* scrollBar, int action);
    void ConnectBar(int bar, QScrollBar* scrollBar);
    SheetScrollBarRequest Request(int operation, int bar, int b = 0) const;
    void PaintHoverCross(QPainter& dc);

    QFont headerFont_;
    QFont itemFont_;
    CUiTipCtrl* tip_ = nullptr;
    std::array<QScrollBar*, 2> bars_{};
    std::array<bool, 2> barShown_{};
    std::array<QPointer<QScrollBar>, 2> connectedBars_;
    SheetScrollBarHost* host_ = nullptr;
    std::optional<Point> hoverCross_;
    std::optional<QString> hoverText_;
};
