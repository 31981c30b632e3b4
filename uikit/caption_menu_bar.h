#pragma once
#include "platform/ui/popup_menu.h"
#include "uikit/menu_bar_layout.h"
#include "uikit/menu_mode.h"

#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class CNCustomMenuBar;
class MXCustomNC;
class QPainter;

// The chevron strip: four frames side by side (normal, open, hot, inactive).
inline constexpr const char* kChevronResource = ":/uikit/menu_chevron.png";

// Holds the keyboard (as focus) and the mouse (as grab) while the caption
// menu is in use, and hands what it gets to the bar. It has no size, so it
// is never seen.
class CMenuHostWnd : public QWidget {
    Q_OBJECT
public:
    CMenuHostWnd(CNCustomMenuBar& bar, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CNCustomMenuBar& bar_;
};

// What the bar learns from its open drop-down: Left and Right move along
// the bar unless they close or open a sub-menu; the pointer over another
// item switches to it.
class CMenuWatcher final : public ui::PopupWatcher {
public:
    explicit CMenuWatcher(CNCustomMenuBar& bar) : bar_(&bar) {}
    bool popupKey(int virtualKey, int openMenus, bool activeItemHasSubMenu) override;
    void popupMouseMove(QPoint global) override;

private:
    QPointer<CNCustomMenuBar> bar_; // gone when the bar went while its drop-down was open
};

// The frame's menu drawn in the caption row: the top-level items as text,
// a chevron for those that do not fit, and their drop-downs opened through
// the modal seam. Menu mode runs in Qt's own event loop: entering returns
// at once, the host takes the keyboard and the mouse, and each drop-down is
// a popup menu of its own. A chosen command is announced once, after menu
// mode has ended (the frame takes it queued).
class CNCustomMenuBar : public QObject {
    Q_OBJECT
public:
    explicit CNCustomMenuBar(MXCustomNC& nc);
    ~CNCustomMenuBar() override;

    // False when the chevron art cannot be loaded.
    bool LoadResources();
    // Watches the frame's keys for Alt, F10 and Alt with a mnemonic; null
    // stops watching and ends menu mode.
    void SetFrame(QWidget* frame);

    // Replaces the items; the layout is then out of date.
    void SetMenu(const ui::MenuSpec& menu);
    const ui::MenuSpec& Menu() const { return menu_; }
    const std::vector<MenuBarItem>& Items() const { return items_; }
    std::vector<Size> ItemSizes() const;
    Size ChevronSize() const;
    // Runs on a copy of each drop-down, sub-menus included, just before it
    // opens, so that the owner can enable and check its items.
    void SetUpdateHandler(std::function<void(ui::MenuSpec&)> update) { update_ = std::move(update); }

    void ApplyLayout(const MenuBarLayout& layout);
    const MenuBarLayout& Layout() const { return layout_; }
    void Paint(QPainter& p, bool active) const;

    // Outside menu mode the hot item follows the pointer (-1: none).
    void Hover(int item);
    // Starts menu mode with `index` hot and its drop-down opening (-1: the
    // first item hot, nothing open); returns at once.
    void EnterMenu(int index, bool byKeyboard);
    // Closes an open drop-down; menu mode stays.
    void CancelDropDown();
    // Ends menu mode, closing an open drop-down; none opens after it.
    void EndMenuMode();

    bool InMenuMode() const { return session_->machine.InMenuMode(); }
    bool DropDownOpen() const { return session_->machine.DropDownOpen(); }
    MenuModeMachine::ItemState StateOf(int index) const { return session_->machine.StateOf(index); }
    int HotItem() const { return session_->machine.Hot(); }

signals:
    void commandChosen(int id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class CMenuHostWnd;
    friend class CMenuWatcher;

    // The menu-mode state lives apart from the bar, so that a drop-down
    // that returns after the bar has gone still finds it.
    struct Session {
        explicit Session(CNCustomMenuBar& bar) : watcher(bar) {}
        MenuModeMachine machine;
        CMenuWatcher watcher;
    };

    void apply(unsigned effects);
    void openPending();
    int showDropDown(int index, bool byKeyboard);
    int itemAt(const QPoint& global) const;
    void takeInput();
    void releaseInput();
    void redraw();

    MXCustomNC& nc_;
    QPointer<QWidget> frame_;
    ui::MenuSpec menu_;
    std::vector<MenuBarItem> items_;
    MenuBarLayout layout_;
    QFont font_;
    QImage chevron_;
    std::function<void(ui::MenuSpec&)> update_;
    std::shared_ptr<Session> session_;
    CMenuHostWnd* host_;
    bool inputTaken_ = false;       // the host has the keyboard and the mouse
    QPointer<QWidget> focusBefore_; // gets the focus back when menu mode ends
};
