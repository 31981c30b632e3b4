#include "app/xml_file.h"

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

// The value of a character reference starting at `at` ("&#...;"); false
// when the text there is no complete reference.
bool ReferenceValue(std::string_view text, size_t at, uint64_t& value)
{
    size_t i = at + 2;
    const bool hex = i < text.size() && text[i] == 'x';
    if (hex)
        ++i;
    const size_t first = i;
    value = 0;
    for (; i < text.size() && text[i] != ';'; ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        if (value <= 0x10FFFF) // beyond that it is out of range anyway
            value = value * (hex ? 16 : 10) + uint64_t(digit);
    }
    return i < text.size() && i > first;
}

size_t LineOf(std::string_view text, size_t at)
{
    size_t line = 1;
    for (size_t i = 0; i < at; ++i)
        line += text[i] == '\n';
    return line;
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
        uint64_t value = 0;
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '#' && ReferenceValue(text, i, value) &&
            !IsXmlChar(value))
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
