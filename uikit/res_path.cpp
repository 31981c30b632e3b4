#include "uikit/res_path.h"

#include "corlane/app_path.h"

namespace ui {

std::string resPath(const std::string& name)
{
    return qz::vok::path::GetSysPath() + "/res/" + name;
}

} // namespace ui
