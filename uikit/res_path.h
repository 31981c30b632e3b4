#pragma once
#include <string>

namespace ui {

// The path of an image shipped in the system folder's "res" folder.
std::string resPath(const std::string& name);

} // namespace ui
