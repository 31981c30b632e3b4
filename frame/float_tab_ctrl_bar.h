#pragma once
// The docking control bar of the main window: a caption band, a strip of
// image tabs along the docked edge and a page area. Expanded, the active
// tab's page shows inside the bar; collapsed, only the strip shows and a
// tab click pops its page out beside the bar in a floating window that
// hides again when the pointer leaves. The geometry and the decisions are
// ctrl_bar_layout's; these classes paint them and move the pages.
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frame/ctrl_bar_layout.h"
#include "platform/ui/colour.h"

class CUiTipCtrl;
class CUiFloatTabCtrlBar;

// A page of the bar: a margin around one content area, painted in the
// background colour. Pages holding one content window move it into the
// inner rectangle in RecalcLayout.
class CUiCtrlBarSubWnd : public QWidget {
    Q_OBJECT
public:
    explicit CUiCtrlBarSubWnd(QWidget* parent = nullptr);

    virtual void RecalcLayout();
    const Rect& InnerRect() const { return m_rcInner; }

    int m_nMargin = 2;
    ui::ColorRef m_clrBackground = ui::rgb(255, 255, 255);

protected:
    virtual void DrawBorder(QPainter& p);
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Rect m_rcInner;
};

// The window a page pops out into while the bar is collapsed; it borrows
// the page while it shows.
class CUiCtrlBarFloatWnd : public QWidget {
    Q_OBJECT
public:
    explicit CUiCtrlBarFloatWnd(CUiFloatTabCtrlBar& owner);
    ~CUiCtrlBarFloatWnd() override;

    // Hosts the page: reparented, laid out and shown; 0 for no page.
    int SetPage(QWidget* page);
    QWidget* GetPage() const { return m_pPage; }
    void SetTitle(const QString& title);
    const QString& Title() const { return m_strTitle; }
    void RecalcLayout();

    ui::ColorRef m_clrBackground = ui::rgb(255, 255, 255);
    ui::ColorRef m_clrLine = ui::rgb(0x80, 0x80, 0x80);
    ui::ColorRef m_clrCaption = ui::rgb(0x50, 0x50, 0x50);
    ui::ColorRef m_clrCaptionText = ui::rgb(255, 255, 255);
    int m_nCaptionHeight = ctrlbar::kCaptionHeight;

protected:
    void DrawWnd(QPainter& p);
    void DrawCaption(QPainter& p);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CUiFloatTabCtrlBar& m_owner;
    QString m_strTitle;
    Rect m_rcCaption;
    Rect m_rcContent;
    QPointer<QWidget> m_pPage;
};

struct FloatTabItem {
    uint32_t id = 0;
    QString title;
    QImage normal;
    QImage selected;
    Rect rect;
    int state = 0; // 0 normal, 1 hot, 2 active
    QPointer<QWidget> page;
};

class CUiFloatTabCtrlBar : public QWidget {
    Q_OBJECT
public:
    explicit CUiFloatTabCtrlBar(QWidget* parent = nullptr);
    ~CUiFloatTabCtrlBar() override;

    // Keeps the thicknesses and the docking side of `style`; the bar's
    // width (or height) follows the expanded state from now on.
    bool Create(const QString& title, QWidget* parent, int id, int collapsedThickness, int expandedThickness,
                unsigned style);
    // 0, changing nothing, when the id is present. A picture that cannot
    // be loaded leaves the tab without it (the loader says which file).
    int AddItem(uint32_t id, const QString& title, const std::string& normalImage, const std::string& selectedImage,
                QWidget* page);
    void SetFloatImage(const std::string& path);
    void SetCollapsed(bool collapse);
    void CreateFloatWnd();
    void HideFloatWnd();
    void DestroyFloatWnd();
    virtual void RecalcLayout();

    bool IsExpanded() const { return m_bExpanded; }
    unsigned Align() const { return m_nAlign; }
    int Thickness() const { return m_bExpanded ? m_nExpanded : m_nCollapsed; }
    const FloatTabBarLayout& Layout() const { return m_layout; }
    const std::vector<std::shared_ptr<FloatTabItem>>& Items() const { return m_items; }
    std::shared_ptr<FloatTabItem> ActiveItem() const { return m_pActive; }
    CUiCtrlBarFloatWnd* FloatWnd() const { return m_pFloatWnd; }
    const QString& Title() const { return m_strTitle; }

    // The pointer moved somewhere on the screen while a page floats.
    void OnFloatMouseMove(const QPoint& global);

    QSize sizeHint() const override;

    ui::ColorRef m_clrStrip = ui::rgb(0x3D, 0x3D, 0x3D);
    ui::ColorRef m_clrHot = ui::rgb(0x80, 0x80, 0x80);
    ui::ColorRef m_clrActive = ui::rgb(255, 255, 255);
    ui::ColorRef m_clrLine = ui::rgb(0x80, 0x80, 0x80);
    ui::ColorRef m_clrCaption = ui::rgb(0x50, 0x50, 0x50);
    ui::ColorRef m_clrCaptionText = ui::rgb(255, 255, 255);

signals:
    // The bar's thickness changed: the frame lays its client out again.
    void thicknessChanged();

protected:
    void DrawBar(QPainter& p);
    void DrawCaption(QPainter& p);
    void DrawTabs(QPainter& p);
    void DrawItem(QPainter& p, const FloatTabItem& item);
    void ShowTip(const Rect& screenRect, const QString& text);
    void HideTip();
    void ActivateItem(const std::shared_ptr<FloatTabItem>& item);

    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void applyThickness();

    QString m_strTitle;
    int m_nCollapsed = 32;
    int m_nExpanded = 200;
    unsigned m_nAlign = ctrlbar::CBRS_ALIGN_LEFT;
    QImage m_imgFloat;
    bool m_bExpanded = true;
    FloatTabBarLayout m_layout;
    std::vector<std::shared_ptr<FloatTabItem>> m_items;
    std::shared_ptr<FloatTabItem> m_pActive;
    CUiTipCtrl* m_pTip = nullptr;
    CUiCtrlBarFloatWnd* m_pFloatWnd = nullptr;
};
