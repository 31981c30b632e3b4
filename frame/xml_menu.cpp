#include "frame/xml_menu.h"

#include <boost/property_tree/ptree.hpp>

#include <sstream>

#include "context/context.h"
#include "core/xml_file.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "core/program_log.h"

namespace {

// A menu file is a few kilobytes; anything far larger is not one.
constexpr size_t kMaxMenuFileBytes = 1 << 20;

void LogMenuProblem(const std::string& path, const std::string& why)
{
    const std::string text = "menu: " + path + ": " + why + "; the menu bar stays empty";
    CQelContext::GetLog()->error("%s", text.c_str());
    PrintNotice(text);
}

int IntAttribute(const boost::property_tree::ptree& element, const char* name)
{
    // A value that is not a number takes the default, as a missing one.
    return element.get<int>(std::string(xml::kAttrs) + "." + name, 0);
}

} // namespace

std::string MainMenuPath(int languageMode)
{
    return qz::vok::path::GetSysPath() + (languageMode == 0 ? "/MainMenu.xml" : "/MainMenu2.xml");
}

void BuildMenuFromXml(ui::MenuSpec& menu, const std::string& path)
{
    // A folder, a pipe or a device of that name is unreadable; none blocks.
    const qz::vok::file_store::read_result file = qz::vok::file_store::read_file(path, kMaxMenuFileBytes);
    if (file.status != qz::vok::file_store::read_status::ok) {
        LogMenuProblem(path, file.status == qz::vok::file_store::read_status::missing ? "missing"
                                                                                      : "unreadable: " + file.error);
        return;
    }

    boost::property_tree::ptree tree;
    try {
        xml::ReadTree(file.bytes, tree);
    } catch (const std::exception& e) {
        LogMenuProblem(path, e.what());
        return;
    }
    const auto root = tree.get_child_optional("Menu");
    if (!root) {
        LogMenuProblem(path, "no <Menu> root");
        return;
    }
    AppendMenuItems(menu, *root);
}

void AppendMenuItems(ui::MenuSpec& menu, const boost::property_tree::ptree& element)
{
    for (const auto& [name, child] : element) {
        if (name != "MenuItem")
            continue;
        const QString caption =
            QString::fromStdString(child.get<std::string>(std::string(xml::kAttrs) + ".Caption", ""));
        if (IntAttribute(child, "Popup") == 1) {
            ui::MenuSpec popup = ui::MenuSpec::subMenu(caption, {});
            AppendMenuItems(popup, child);
            if (popup.items.empty()) {
                CQelContext::GetLog()->warn("menu: the popup \"%s\" has no items", caption.toStdString().c_str());
                popup.enabled = false;
            }
            menu.items.push_back(std::move(popup));
        } else if (IntAttribute(child, "Separator") == 1) {
            menu.items.push_back(ui::MenuSpec::separatorItem());
        } else {
            menu.items.push_back(ui::MenuSpec::item(IntAttribute(child, "CmdId"), caption));
        }
    }
}
