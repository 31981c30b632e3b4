#include "corlane/fstr.h"

#include "corlane/vformat.h"

#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstring>

namespace qz::vok {

std::string fstr_format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = detail::vformat(format, args);
    va_end(args);
    return text;
}

void fstr_format(std::string& out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    out = detail::vformat(format, args);
    va_end(args);
}

void fstr_appendformat(std::string& text, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    text += detail::vformat(format, args);
    va_end(args);
}

bool fstr_isdigit(const char* text)
{
    if (!text)
        return true;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9')
            return false;
    }
    return true;
}

std::vector<std::string> fstr_resolve_number(const char* text)
{
    std::vector<std::string> numbers;
    if (!text)
        return numbers;
    const char* run = nullptr;
    for (const char* p = text;; ++p) {
        bool digit = *p >= '0' && *p <= '9';
        if (digit && !run)
            run = p;
        if (!digit && run) {
            numbers.emplace_back(run, p);
            run = nullptr;
        }
        if (!*p)
            break;
    }
    return numbers;
}

namespace {

int decimal_digits(uint64_t n)
{
    int digits = 0;
    for (; n > 0; n /= 10)
        ++digits;
    return digits;
}

std::string floatstr(double x, int maxsig, int maxdec)
{
    if (std::isnan(x))
        return "nan";
    const char* sign = x < 0 ? "-" : "";
    double magnitude = std::fabs(x);
    if (std::isinf(magnitude))
        return std::string(sign) + "inf";
    // Past 2^64 the integer part no longer fits the counter below; such a
    // value has far more digits than any precision here, so no decimals.
    if (magnitude >= 18446744073709551616.0)
        return fstr_format("%s%.0f", sign, magnitude);

    double whole;
    double fraction = std::modf(magnitude, &whole);
    const uint64_t integer = static_cast<uint64_t>(whole);
    maxsig = std::min(maxsig, 16);
    maxdec = std::min(maxdec, maxsig - 1);
    const int digits = decimal_digits(integer);
    if (digits >= maxsig)
        return fstr_format("%s%" PRIu64, sign, integer);

    int decimals = std::min(maxsig - digits, maxdec);
    uint64_t frac = static_cast<uint64_t>(fraction * std::pow(10.0, decimals));
    while (decimals > 0 && frac % 10 == 0) {
        frac /= 10;
        --decimals;
    }
    if (decimals > 0)
        return fstr_format("%s%" PRIu64 ".%0*" PRIu64, sign, integer, decimals, frac);
    return fstr_format("%s%" PRIu64, sign, integer);
}

} // namespace

std::string fstr_floatstr(float value)
{
    return floatstr(static_cast<double>(value), 9, 6);
}

std::string fstr_floatstr(double value)
{
    return floatstr(value, 16, 8);
}

bool fstr_fgets(FILE* file, std::string& out)
{
    out.clear();
    if (!file || std::feof(file))
        return false;
    char chunk[256];
    for (;;) {
        if (!std::fgets(chunk, sizeof chunk, file))
            return false;
        out += chunk;
        if ((!out.empty() && out.back() == '\n') || std::feof(file))
            return true;
    }
}

std::string fstr_create_hexstr(const uint8_t* data, int length)
{
    static const char digits[] = "0123456789ABCDEF";
    if (!data || length < 1)
        return {};
    std::string text(static_cast<size_t>(length) * 2, '0');
    for (int i = 0; i < length; ++i) {
        text[2 * static_cast<size_t>(i)] = digits[data[i] >> 4];
        text[2 * static_cast<size_t>(i) + 1] = digits[data[i] & 0x0F];
    }
    return text;
}

namespace {

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool fstr_parse_hexstr(binblock& block, const std::string& text)
{
    if (text.empty() || text.size() % 2 != 0 || text.size() / 2 > UINT32_MAX)
        return false;
    block = binblock(static_cast<uint32_t>(text.size() / 2));
    uint8_t* bytes = block.data();
    for (size_t i = 0; i < text.size(); ++i) {
        int nibble = hex_value(text[i]);
        if (nibble < 0)
            return false;
        if (i % 2 == 0)
            bytes[i / 2] = static_cast<uint8_t>(nibble << 4);
        else
            bytes[i / 2] = static_cast<uint8_t>(bytes[i / 2] | nibble);
    }
    return true;
}

int fstr_char_count(const char* text, char c)
{
    int count = 0;
    if (text) {
        for (; *text; ++text)
            count += *text == c;
    }
    return count;
}

std::string fstr_read(const char* src, uint8_t width)
{
    if (!src)
        return {};
    return std::string(src, strnlen(src, width));
}

void fstr_copy(char* dst, uint8_t width, const char* src)
{
    if (!dst)
        return;
    size_t n = src ? strnlen(src, width) : 0;
    if (n > 0)
        std::memcpy(dst, src, n);
    std::memset(dst + n, 0, width - n);
}

} // namespace qz::vok
