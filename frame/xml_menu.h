#pragma once
// The main window's menu bar as read from MainMenu.xml (Chinese) or
// MainMenu2.xml (any other language mode) in the system folder: a "Menu"
// root with nested "MenuItem" elements whose attributes "Caption",
// "Popup", "Separator" and "CmdId" say what each item is.
#include <boost/property_tree/ptree_fwd.hpp>
#include <string>

#include "platform/ui/popup_menu.h"

// The menu file for a language mode of the translation table.
std::string MainMenuPath(int languageMode);

// Appends to `menu` the items read from the file. A file that is missing,
// too large, malformed or has no "Menu" root adds nothing and is logged
// once; the program runs on without a menu.
void BuildMenuFromXml(ui::MenuSpec& menu, const std::string& path);

// One entry per "MenuItem" child of `element`, in document order; other
// elements are skipped. A popup with no items is kept, disabled, so that
// its caption still shows.
void AppendMenuItems(ui::MenuSpec& menu, const boost::property_tree::ptree& element);
