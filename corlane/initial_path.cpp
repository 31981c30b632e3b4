#include "corlane/initial_path.h"

#include <system_error>

namespace qz::vok::detail {

const std::filesystem::path& initial_path()
{
    static const std::filesystem::path path = [] {
        std::error_code ec;
        std::filesystem::path cwd = std::filesystem::current_path(ec);
        return ec ? std::filesystem::path() : cwd;
    }();
    return path;
}

} // namespace qz::vok::detail
