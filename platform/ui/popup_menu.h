#pragma once
#include <QPoint>
#include <QString>
#include <vector>

class QMenu;

namespace ui {

// A popup menu as data: built by the widget, rendered to a QMenu by the
// modal host, so tests read what would have been offered.
struct MenuSpec {
    int id = 0; // returned when chosen; 0 is never a command
    QString text;
    bool checked = false;
    bool enabled = true;
    bool separator = false;
    bool isDefault = false;      // shown as the menu's default item (bold)
    std::vector<MenuSpec> items; // a sub-menu when not empty

    static MenuSpec item(int id, const QString& text, bool checked = false, bool enabled = true);
    static MenuSpec separatorItem();
    static MenuSpec subMenu(const QString& text, std::vector<MenuSpec> items);

    // The first item with this id, searching sub-menus too; null when none.
    const MenuSpec* find(int id) const;
};

// Told by the host what happens in a popup menu while it is open, so that
// its owner can move on to another menu (a menu bar's neighbour).
class PopupWatcher {
public:
    virtual ~PopupWatcher() = default;
    // A key pressed in the popup (a virtual-key value), with how many menus
    // are open (the popup and its open sub-menus) and whether the active
    // item of the newest one opens a sub-menu. True takes the key from the
    // menu.
    virtual bool popupKey(int virtualKey, int openMenus, bool activeItemHasSubMenu) = 0;
    // The pointer moved, anywhere on the screen.
    virtual void popupMouseMove(QPoint global) = 0;
};

// How a popup menu opens.
struct PopupOptions {
    // The first enabled item is active when the menu shows, as when the menu
    // was opened from the keyboard.
    bool selectFirst = false;
    PopupWatcher* watcher = nullptr; // may be null
};

// Fills `menu` with the items of `menuSpec`; every action carries its id as
// data, and the default item becomes the menu's default action.
void renderMenu(const MenuSpec& menuSpec, QMenu& menu);

} // namespace ui
