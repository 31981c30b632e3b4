#include "replies/reply_numbers.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::size_t ReadReplyNumbers(std::string_view line, std::string_view prefix, std::span<int32_t> out)
{
    for (auto& value : out)
        value = 0;
    if (!line.starts_with(prefix))
        return 0;
    std::size_t pos = prefix.size();
    std::size_t count = 0;
    for (; count < out.size(); ++count) {
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        bool negative = false;
        if (pos < line.size() && (line[pos] == '+' || line[pos] == '-'))
            negative = line[pos++] == '-';
        if (pos >= line.size() || !IsDigit(line[pos]))
            break;
        // Unsigned arithmetic wraps; only the low 32 bits matter.
        uint64_t value = 0;
        while (pos < line.size() && IsDigit(line[pos]))
            value = value * 10 + static_cast<uint64_t>(line[pos++] - '0');
        if (negative)
            value = 0 - value;
        out[count] = static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    return count;
}

bool IsValidModelId(int64_t id)
{
    return id >= 0 && id < 0xFFFFFFFF;
}
