#pragma once
// The child windows of the preview areas: a painted frame, moved and sized
// with the mouse inside a limit, optionally reporting to the owner.
#include "platform/geometry.h"
#include "platform/ui/colour.h"
#include "platform/ui/notify.h"
#include "uikit/nc_codes.h"

#include <QPoint>
#include <QWidget>

// A child filled with a colour and framed `frameWidth` pixels deep.
class CWndBase : public QWidget {
    Q_OBJECT
public:
    explicit CWndBase(QWidget* parent = nullptr);

    // A visible child over `rect` (in the parent's coordinates); false,
    // with nothing done, without a parent.
    virtual bool Create(const Rect& rect, QWidget* parent, int id);
    int Id() const { return id_; }

    // Set by the owner; call update() after changing them. The frame width
    // is also the width of the sizing edges.
    ui::ColorRef backColor = ui::rgb(255, 255, 255);
    ui::ColorRef frameColor = ui::rgb(0, 0, 0);
    int frameWidth = 1;

protected:
    void paintEvent(QPaintEvent* event) override;
    void PaintFrame(QPainter& p) const;

private:
    int id_ = 0;
};

// Moved by dragging its inside and sized by dragging its frame, always
// inside `limit` (the parent's coordinates; an empty limit limits nothing).
// The drag is the widget's own mouse handling: Qt keeps sending it the
// mouse until the button is released.
class CMoveLimitWnd : public CWndBase {
    Q_OBJECT
public:
    explicit CMoveLimitWnd(QWidget* parent = nullptr);

    using CWndBase::Create;
    // Stores the limit, then creates the window as CWndBase does.
    virtual bool Create(const Rect& limit, const Rect& rect, QWidget* parent, int id);

    // The region under a point of the client area.
    virtual HitCode OnNcHitTest(Point pt) const;

    Rect limit;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A drag begins and ends.
    virtual void OnDragStart() {}
    virtual void OnDragEnd() {}

private:
    bool inMove_ = false;
    HitCode hit_ = HTNOWHERE;
    QPoint pressGlobal_;
    Rect start_;
};

// Reports its moves and sizes to the owner through `notify`: kMoved with the
// new position (p0 x, p1 y in the parent), kSized with the new size (p0
// width, p1 height), and kDragEnded once a drag that moved or sized it ends.
// Creating the window reports nothing. Shows the part the source fills.
class CSigSrcClipWnd : public CMoveLimitWnd {
    Q_OBJECT
public:
    enum NotifyCode { kMoved = 100, kSized = 101, kDragEnded = 102 };

    explicit CSigSrcClipWnd(QWidget* parent = nullptr);

    using CMoveLimitWnd::Create;
    bool Create(const Rect& rect, QWidget* parent, int id) override;

    bool notifyOn = true; // false: moves and sizes silently
    // Unless `full`, only (0, 0, sourceWidth, sourceHeight) shows the
    // background colour, the rest a dark red.
    bool full = true;
    int sourceWidth = 0;
    int sourceHeight = 0;

signals:
    void notify(const ui::Notify& n);

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void OnDragStart() override;
    void OnDragEnd() override;

private:
    bool moved_ = false;
    QPoint lastPos_;
    QSize lastSize_;
};

// Moved only, never sized: every point of it is a move region.
class CIOSDWnd : public CSigSrcClipWnd {
    Q_OBJECT
public:
    explicit CIOSDWnd(QWidget* parent = nullptr);
    HitCode OnNcHitTest(Point pt) const override;
};
