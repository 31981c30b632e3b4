#pragma once
#include "platform/ui/colour.h"
#include "platform/ui/notify.h"
#include "uikit/tab_strip_layout.h"

#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

class CUiTipCtrl;
class QPainter;

// A self-drawn, single-row tab strip. It owns no pages: it tells its owner
// through `notify` that a tab was added, selected, is closing or was closed
// (p0 the tab index, p1 the kind), and the owner shows the matching page.
class CUiTabWnd : public QWidget {
    Q_OBJECT
public:
    enum NotifyCode { NotifySelected = 1, NotifyAdded = 2, NotifyClosing = 3, NotifyClosed = 4 };
    enum NotifyKind { KindSelect = 1, KindAdd = 2, KindClose = 3 };

    explicit CUiTabWnd(QWidget* parent = nullptr);
    ~CUiTabWnd() override;

    // The new tab's index, or -1 when a tab with this id exists.
    int AddTab(int id, const QString& text);
    // -1 selects none; an index outside -1 .. count - 1 is refused quietly.
    void SelectTab(int index);
    // False for an index out of range.
    bool CloseTab(int index);
    void SetTabText(int index, const QString& text);
    std::shared_ptr<CUiTab> GetTab(int index) const;
    // Each image is a PNG strip of two square frames: normal, then under the
    // mouse. A file that does not load, or is not two frames wide, leaves
    // that button without image; without a close image no tab has a close
    // button.
    void SetCloseButtonImage(const std::string& path);
    void SetMenuButtonImage(const std::string& path);

    int TabCount() const { return int(layout_.tabs.size()); }
    int Selected() const { return layout_.selected; }
    const TabStripLayout& Geometry() const { return layout_; }
    CUiTipCtrl* Tip() const { return tip_; }

    virtual int TextWidth(int index, bool shortened) const;
    virtual Rect CloseRect(int index) const;
    virtual Rect MenuRect() const;
    virtual void Layout();
    virtual void PaintBk(QPainter& dc);
    virtual void PaintTabs(QPainter& dc);
    virtual void PaintButtons(QPainter& dc);
    virtual int HitTest(const Point& pt, int& index) const;
    virtual void OverflowMenu();
    virtual void ShowTip(const Rect& tabRect, const QString& text);
    virtual void HideTip();

signals:
    void notify(const ui::Notify& n);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void send(int code, int index, int kind);
    // The frame to draw of a button: 1 while the stored mouse point is on it.
    int frameUnderMouse(const Rect& button) const;
    void loadButtonImage(const std::string& path, QImage& image, Size& size);

    ui::ColorRef background_ = 0x505050;
    ui::ColorRef tabColour_ = 0x606060;
    ui::ColorRef selectedColour_ = 0xC4C4C4;
    ui::ColorRef frameColour_ = 0x808080;
    ui::ColorRef textColour_ = 0xFFFFFF;
    ui::ColorRef selectedTextColour_ = 0x404040;

    TabStripLayout layout_;
    QImage closeImage_;
    QImage menuImage_;
    std::optional<Point> mouse_; // cleared when the mouse leaves
    CUiTipCtrl* tip_ = nullptr;  // a child: deleted with the strip
};
