#include "corlane/vformat.h"

#include <cstdio>
#include <vector>

namespace qz::vok::detail {

std::string vformat(const char* format, va_list args)
{
    if (!format)
        return {};
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0)
        return {};
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    return std::string(text.data());
}

} // namespace qz::vok::detail
