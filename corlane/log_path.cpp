#include "corlane/log_path.h"

#include "corlane/fstr.h"

#include <cctype>

namespace qz::vok::detail {

std::string log_file_name(const std::string& name)
{
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string log_file_leaf(const std::string& upper_name, uint32_t date)
{
    return fstr_format("%s-%d.LOG", upper_name.c_str(), static_cast<int>(date));
}

std::string log_path_join(const std::string& folder, const std::string& leaf)
{
    if (folder.empty() || folder.back() == '/')
        return folder + leaf;
    return folder + "/" + leaf;
}

} // namespace qz::vok::detail
