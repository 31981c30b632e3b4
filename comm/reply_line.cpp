#include "comm/reply_line.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace {

constexpr size_t kMaxTokens = 16;
constexpr int kDefaultHexFrom = 15;

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Values at token indexes above the limit print in hexadecimal.
struct HexLimit {
    std::string_view keyPrefix;
    int limit;
};
constexpr std::array<HexLimit, 6> kHexLimits{{
    {"I_F BWRP", 5},
    {"I_F OSDWC", 3},
    {"I_F OSDBWC", 3},
    {"O_F BWRP", 5},
    {"O_F OSDWC", 3},
    {"O_F OSDBWC", 3},
}};

int HexLimitOf(std::string_view key)
{
    for (const auto& entry : kHexLimits)
        if (key.starts_with(entry.keyPrefix))
            return entry.limit;
    return kDefaultHexFrom;
}

int DigitValue(char c, bool hex)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads the leading number of a token as scanf's "%d" or "0x%x" would, kept
// in 32 bits (wrapping instead of scanf's undefined overflow). Tokens with
// no number at their start give 0.
uint32_t TokenValue(std::string_view token)
{
    const bool hex = token.size() >= 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X');
    size_t pos = hex ? 2 : 0;
    bool negative = false;
    if (pos < token.size() && (token[pos] == '+' || token[pos] == '-')) {
        negative = token[pos] == '-';
        ++pos;
    }
    uint32_t value = 0;
    bool any = false;
    for (; pos < token.size(); ++pos) {
        const int digit = DigitValue(token[pos], hex);
        if (digit < 0)
            break;
        value = value * (hex ? 16u : 10u) + static_cast<uint32_t>(digit);
        any = true;
    }
    if (!any)
        return 0;
    return negative ? 0u - value : value;
}

} // namespace

void NormalizeReplyLine(std::string& line)
{
    std::array<std::string_view, kMaxTokens> tokens;
    size_t count = 0;
    const std::string_view text(line);
    size_t pos = 0;
    while (count < kMaxTokens) {
        while (pos < text.size() && IsSeparator(text[pos]))
            ++pos;
        if (pos == text.size())
            break;
        const size_t start = pos;
        while (pos < text.size() && !IsSeparator(text[pos]))
            ++pos;
        tokens[count++] = text.substr(start, pos - start);
    }
    if (count < 2)
        return;

    std::string out;
    out.reserve(line.size() + 8 * count);
    out.append(tokens[0]).append(" ").append(tokens[1]);
    const int hexFrom = HexLimitOf(out);
    char number[16];
    for (size_t i = 2; i < count; ++i) {
        const uint32_t value = TokenValue(tokens[i]);
        const int width = static_cast<int>(i) <= hexFrom ? std::snprintf(number, sizeof number, " %u", value)
                                                         : std::snprintf(number, sizeof number, " 0x%08X", value);
        out.append(number, static_cast<size_t>(width));
    }
    out.append("\r\n");
    line = std::move(out);
}

std::string NormalizedReplyLine(std::string_view line)
{
    std::string copy(line);
    NormalizeReplyLine(copy);
    return copy;
}
