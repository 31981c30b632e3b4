#include "core/xml_file.h"

#include <boost/property_tree/xml_parser.hpp>

#include <cstdint>
#include <cstdio>
#include <sstream>

namespace pt = boost::property_tree;

namespace xml {

namespace {

bool IsForbiddenByte(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

bool IsXmlChar(uint64_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The value the XML reader gives the character reference starting at `at`
// ("&#..."), read as it reads it: after "&#x" hexadecimal, otherwise
// decimal, taking 0-9, a-f and A-F as digits in either base (so "&#1F;" is
// 25) and wrapping as its unsigned long does. No digits is 0.
uint64_t ReferenceValue(std::string_view text, size_t at)
{
    size_t i = at + 2;
    const bool hex = i < text.size() && text[i] == 'x';
    if (hex)
        ++i;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            break;
        value = value * (hex ? 16 : 10) + uint64_t(digit);
    }
    return value;
}

size_t LineOf(std::string_view text, size_t at)
{
    size_t line = 1;
    for (size_t i = 0; i < at; ++i)
        line += text[i] == '\n';
    return line;
}

// Where an element opens more than `limit` levels deep, found as the reader
// would find the tags (comments, CDATA, declarations and quoted attribute
// values hold no tags); npos when none does. The reader recurses once a level, so
// it must never see such a file.
size_t FindTooDeep(std::string_view text, size_t limit)
{
    auto skipPast = [&text](size_t from, std::string_view end) {
        const size_t at = text.find(end, from);
        return at == std::string_view::npos ? text.size() : at + end.size();
    };
    size_t depth = 0;
    for (size_t i = text.find('<'); i < text.size(); i = text.find('<', i)) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            i = skipPast(i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = skipPast(i + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            i = skipPast(i + 2, "?>");
        } else if (rest.starts_with("<!")) {
            int brackets = 0; // a document type's internal subset
            for (++i; i < text.size() && (text[i] != '>' || brackets > 0); ++i) {
                if (text[i] == '[')
                    ++brackets;
                else if (text[i] == ']' && brackets > 0)
                    --brackets;
            }
        } else if (rest.starts_with("</")) {
            depth -= depth > 0;
            i = skipPast(i + 2, ">");
        } else {
            const size_t open = i;
            char quote = 0;
            for (++i; i < text.size() && (quote || text[i] != '>'); ++i) {
                if (quote ? text[i] == quote : text[i] == '"' || text[i] == '\'')
                    quote = quote ? 0 : text[i];
            }
            if (i == text.size())
                break;
            if (depth + 1 > limit)
                return open;
            if (text[i - 1] != '/')
                ++depth;
        }
    }
    return std::string_view::npos;
}

void Strip(pt::ptree& node)
{
    std::string& data = node.data();
    std::erase_if(data, [](char c) { return IsForbiddenByte(static_cast<unsigned char>(c)); });
    for (auto& child : node)
        Strip(child.second);
}

} // namespace

size_t FindForbiddenCharacter(std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsForbiddenByte(static_cast<unsigned char>(text[i])))
            return i;
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '#' && !IsXmlChar(ReferenceValue(text, i)))
            return i;
    }
    return std::string_view::npos;
}

void ReadTree(const std::string& text, pt::ptree& tree, int flags)
{
    const size_t bad = FindForbiddenCharacter(text);
    if (bad != std::string_view::npos) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(text[bad]));
        throw FileError(std::string("a character XML cannot carry (") + (text[bad] == '&' ? "a reference" : code) +
                        ") at line " + std::to_string(LineOf(text, bad)));
    }
    const size_t deep = FindTooDeep(text, kMaxDepth);
    if (deep != std::string_view::npos)
        throw FileError("elements nested deeper than " + std::to_string(kMaxDepth) + " levels at line " +
                        std::to_string(LineOf(text, deep)));
    try {
        std::istringstream in(text);
        pt::read_xml(in, tree, flags);
    } catch (const pt::xml_parser_error& e) {
        throw FileError("not well-formed XML: " + e.message() + " at line " + std::to_string(e.line()));
    }
}

std::string WriteTree(const pt::ptree& tree)
{
    pt::ptree clean = tree;
    Strip(clean);
    std::ostringstream out;
    pt::write_xml(out, clean, pt::xml_writer_make_settings<std::string>('\t', 1, "utf-8"));
    return out.str();
}

} // namespace xml
