#include <charconv>
#include "core/text_helpers.h"

#include <QString>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

// Scans up to `count` comma-separated decimal fields the way "%d,%d,..."
// would: blanks before a number are skipped, the comma must follow the
// number at once. The first field that does not scan or does not fit in 32
// bits ends the scan. Returns the number of fields stored.
int ScanFields(const std::string& text, int32_t* const fields[], int count)
{
    const char* p = text.c_str();
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (*p != ',') {
                return i;
            }
            ++p;
        }
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(p, &end, 10);
        if (end == p || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
            return i;
        }
        *fields[i] = static_cast<int32_t>(value);
        p = end;
    }
    return count;
}

std::string JoinFields(std::initializer_list<int32_t> fields)
{
    std::string text;
    for (int32_t f : fields) {
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(f);
    }
    return text;
}

// One list piece: blanks, a sign and the digits before anything else.
int32_t LeadingInt(const std::string& text, size_t begin, size_t end)
{
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t' || text[begin] == '\r' || text[begin] == '\n'))
        ++begin;
    bool negative = false;
    if (begin < end && (text[begin] == '+' || text[begin] == '-')) {
        negative = text[begin] == '-';
        ++begin;
    }
    int64_t value = 0;
    for (; begin < end && text[begin] >= '0' && text[begin] <= '9'; ++begin)
        value = std::min<int64_t>(value * 10 + (text[begin] - '0'), int64_t(1) << 32);
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

std::string IntListToText(const std::vector<int32_t>& values)
{
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(values[i]);
    }
    return text;
}

std::vector<int32_t> TextToIntList(const std::string& text)
{
    std::vector<int32_t> values;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        if (comma > start)
            values.push_back(LeadingInt(text, start, comma));
        start = comma + 1;
    }
    return values;
}

std::string CStringToStd(const QString& text)
{
    return text.toUtf8().toStdString();
}

QString StdToCString(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string IntToString(int value)
{
    return std::to_string(value);
}

std::string RectToText(const Rect& rect)
{
    return JoinFields({rect.left, rect.top, rect.right, rect.bottom});
}

Rect TextToRect(const std::string& text)
{
    Rect rect;
    if (!text.empty()) {
        int32_t* const fields[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
        ScanFields(text, fields, 4);
    }
    return rect;
}

std::string PointToText(const Point& point)
{
    return JoinFields({point.x, point.y});
}

std::string PointToText(const Size& size)
{
    return JoinFields({size.cx, size.cy});
}

Point TextToPoint(const std::string& text)
{
    Point point;
    if (!text.empty()) {
        int32_t* const fields[] = {&point.x, &point.y};
        ScanFields(text, fields, 2);
    }
    return point;
}

Size TextToSize(const std::string& text)
{
    const Point p = TextToPoint(text);
    return Size{p.x, p.y};
}

std::string TripleToText(const ResolutionTriple& triple)
{
    return JoinFields({triple.width, triple.height, triple.rate});
}

ResolutionTriple TextToTriple(const std::string& text)
{
    ResolutionTriple triple{0, 0, 60};
    if (text.empty()) {
        return triple;
    }
    int32_t* const fields[] = {&triple.width, &triple.height, &triple.rate};
    const bool withRate = std::count(text.begin(), text.end(), ',') == 2;
    ScanFields(text, fields, withRate ? 3 : 2);
    return triple;
}

bool TriplesDiffer(const ResolutionTriple& a, const ResolutionTriple& b)
{
    return !(a == b);
}

bool IsTripleInvalid(const ResolutionTriple& t)
{
    return t.width < 1 || t.height < 1 || t.rate < 1;
}

std::string_view TrimAttributeText(std::string_view s)
{
    const size_t begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos)
        return {};
    const size_t end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

std::optional<int64_t> ParseAttributeInteger(std::string_view text)
{
    text = TrimAttributeText(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}
