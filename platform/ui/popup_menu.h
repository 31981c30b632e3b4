#pragma once
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
    std::vector<MenuSpec> items; // a sub-menu when not empty

    static MenuSpec item(int id, const QString& text, bool checked = false, bool enabled = true);
    static MenuSpec separatorItem();
    static MenuSpec subMenu(const QString& text, std::vector<MenuSpec> items);

    // The first item with this id, searching sub-menus too; null when none.
    const MenuSpec* find(int id) const;
};

// Fills `menu` with the items of `menuSpec`; every action carries its id as data.
void renderMenu(const MenuSpec& menuSpec, QMenu& menu);

} // namespace ui
