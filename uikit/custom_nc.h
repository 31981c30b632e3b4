#pragma once
#include "platform/ui/colour.h"
#include "platform/ui/popup_menu.h"
#include "uikit/caption_layout.h"
#include "uikit/caption_menu_bar.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

class CNControlBtns;
class CNText;
class CNToolBar;

// Draws a frameless top-level window's border and caption itself: a
// three-pixel grey border, the caption row with the menu bar, the title and
// the control buttons, and a tool row of large buttons under it. Attached, it is a child
// of the frame that covers the window except the client area (the frame's
// contents rectangle, set through its contents margins), and it watches the
// frame's size, state, activation and title through an event filter.
//
// The caption moves the window and the border resizes it through the window
// manager; where the platform has none, the frame follows the mouse itself.
// A double click on the caption maximises or restores, a right click opens
// the system menu there, Alt+Space opens it under the caption's left end.
class MXCustomNC : public QWidget {
    Q_OBJECT
public:
    MXCustomNC();
    ~MXCustomNC() override;
    MXCustomNC(const MXCustomNC&) = delete;
    MXCustomNC& operator=(const MXCustomNC&) = delete;

    // Takes over the frame's border and caption, making it frameless. A
    // frame without Qt::WindowTitleHint gets the border only; one of fixed
    // size grows so that its client area keeps its size. False when there
    // is no frame or the control-button glyphs cannot be loaded.
    bool Attach(QWidget* frame);
    // Gives the frame its whole area back; returns it (null when detached).
    QWidget* Detach();
    QWidget* Frame() const { return frame_; }

    // Lays the caption out for a window rectangle and applies it.
    void RecalcLayout(const Rect& windowRect);
    const CaptionLayout& Layout() const { return layout_; }

    // The tool row's background: a colour with a row height of 40, or an
    // image drawn with a draw mode (DrawBitmapInRect) and as high as the
    // image; a null image leaves a row of height 0.
    void SetToolBarBackColor(ui::ColorRef colour);
    void SetToolBarBackBitmap(const QImage& bitmap, int mode);
    // Reloads the image of the button with command id 27; nothing without one.
    void SetToolBarImage(const std::string& imagePath);
    // The caption row's background; a null image gives the caption colour.
    void SetCaptionImage(const QImage& image);
    void SetCaptionDrawMode(int mode);
    void SetLeftMargin(int margin);
    // The menu shown in the caption row; an open drop-down is closed first.
    void SetMenu(const ui::MenuSpec& menu);
    // Runs on a copy of each drop-down, sub-menus included, just before it
    // opens, so that the owner can enable and check its items.
    void SetMenuUpdate(std::function<void(ui::MenuSpec&)> update);

    CNToolBar& ToolBar() { return *toolBar_; }
    CNControlBtns& ControlButtons() { return *controls_; }
    CNText& TitleText() { return *text_; }
    CNCustomMenuBar& MenuBar() { return menuBar_; }

    // The frame's WS_ bits, from its window flags, size limits and state.
    unsigned Style() const;
    bool IsActive() const { return active_; }

    // Runs a system command (SC_...) on the frame.
    void SysCommand(int command);
    // Opens the system menu at a screen point and runs the chosen command.
    void ShowSystemMenu(const QPoint& globalPos, bool byKeyboard);

signals:
    // A tool button was clicked.
    void quickBarNotify(int commandId);
    // A command was chosen in the caption menu; delivered queued, once.
    void menuCommand(int commandId);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Drag {
        int hit = 0;              // HTCAPTION or a border code; 0 when none
        bool fromMenu = false;    // follows the mouse until a click
        bool askPlatform = false; // hand over to the window manager at the first move
        bool anchored = false;
        QPoint anchor; // screen point the drag is measured from
        Rect start;    // frame geometry when it began
    };

    void relayout();
    void beginDrag(int hit, bool fromMenu, const QPoint& globalPos);
    bool startPlatformDrag(int hit);
    void endDrag();
    Point windowPoint(const QPoint& local) const { return Point{local.x(), local.y()}; }

    QPointer<QWidget> frame_;
    CNText* text_;
    CNControlBtns* controls_;
    CNToolBar* toolBar_;
    CNCustomMenuBar menuBar_;
    CaptionLayout layout_;
    QImage captionImage_;
    int captionDrawMode_ = 0;
    ui::ColorRef captionColour_;
    int leftMargin_ = 0;
    bool noCaption_ = false;
    bool active_ = false;
    bool rightTracking_ = false;
    Drag drag_;
};

// The frame's holder of its caption: owns the MXCustomNC it makes.
class CCustomTitle {
public:
    CCustomTitle();
    virtual ~CCustomTitle();
    CCustomTitle(const CCustomTitle&) = delete;
    CCustomTitle& operator=(const CCustomTitle&) = delete;

    MXCustomNC* operator->() const { return nc_; }
    MXCustomNC& operator*() const { return *nc_; }

    // Adds a tool button and lays the caption out again; its index, or -1
    // when the path is empty or the image cannot be loaded.
    int AddToolButton(int id, const QString& text, const QString& tip, const std::string& imagePath);

private:
    QPointer<MXCustomNC> nc_;
};
