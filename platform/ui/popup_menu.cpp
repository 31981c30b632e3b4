#include "platform/ui/popup_menu.h"

#include <QAction>
#include <QMenu>

namespace ui {

MenuSpec MenuSpec::item(int id, const QString& text, bool checked, bool enabled)
{
    MenuSpec m;
    m.id = id;
    m.text = text;
    m.checked = checked;
    m.enabled = enabled;
    return m;
}

MenuSpec MenuSpec::separatorItem()
{
    MenuSpec m;
    m.separator = true;
    return m;
}

MenuSpec MenuSpec::subMenu(const QString& text, std::vector<MenuSpec> items)
{
    MenuSpec m;
    m.text = text;
    m.items = std::move(items);
    return m;
}

const MenuSpec* MenuSpec::find(int wanted) const
{
    for (const MenuSpec& child : items) {
        if (!child.separator && child.items.empty() && child.id == wanted)
            return &child;
        if (const MenuSpec* found = child.find(wanted))
            return found;
    }
    return nullptr;
}

void renderMenu(const MenuSpec& menuSpec, QMenu& menu)
{
    for (const MenuSpec& child : menuSpec.items) {
        if (child.separator) {
            menu.addSeparator();
        } else if (!child.items.empty()) {
            QMenu* sub = menu.addMenu(child.text);
            sub->setEnabled(child.enabled);
            renderMenu(child, *sub);
        } else {
            QAction* action = menu.addAction(child.text);
            action->setData(child.id);
            action->setEnabled(child.enabled);
            if (child.isDefault)
                menu.setDefaultAction(action);
            if (child.checked) {
                action->setCheckable(true);
                action->setChecked(true);
            }
        }
    }
}

} // namespace ui
