#pragma once
#include "platform/geometry.h"
#include "platform/ui/colour.h"
#include "uikit/splitter_rules.h"

#include <QPointer>
#include <QWidget>
#include <vector>

class QPainter;

// Two panes (child widgets of the splitter, not owned) with a bar between
// them. The operator drags the bar; the panes move once, on release, and
// keep their proportion when the splitter is resized.
class CUiSplitter : public QWidget {
    Q_OBJECT
public:
    explicit CUiSplitter(QWidget* parent = nullptr);

    // The panes are children of the splitter; a pane its owner deletes
    // counts as unset.
    void SetPanes(QWidget* first, QWidget* second);
    void SetColours(ui::ColorRef background, ui::ColorRef frame);
    // Changed values take effect at the next Layout (or resize).
    SplitterSettings& Settings() { return settings_; }
    const SplitterSettings& Settings() const { return settings_; }

    const Rect& Bar() const { return bar_; }
    bool IsDragging() const { return dragging_; }
    // The tracking bars now shown over the panes.
    const std::vector<Rect>& TrackingBars() const { return tracking_; }

    // Places the bar by the ratio and moves both panes.
    virtual void Layout();
    // Shows the tracking bar at the rectangle, or removes it when it is
    // shown there, so drawing it twice leaves nothing.
    virtual void DragBar(const Rect& r);
    virtual void Paint(QPainter& dc);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Rect client() const { return Rect{0, 0, width(), height()}; }

    ui::ColorRef background_ = 0xFFFFFF;
    ui::ColorRef frame_ = 0xFFFFFF;
    QPointer<QWidget> first_;
    QPointer<QWidget> second_;
    SplitterSettings settings_;
    Rect bar_;
    Rect dragged_; // where the bar would be dropped
    bool dragging_ = false;
    std::vector<Rect> tracking_;
    QWidget* overlay_ = nullptr; // paints the tracking bars above the panes
};
