#pragma once
// Reading and writing the program's XML files (processor file, plans, cycle
// plans, translation table) as XML 1.0 has them: a character it cannot
// carry is refused on reading and never written.
#include <boost/property_tree/ptree.hpp>

#include <cstddef>
#include <string>
#include <string_view>

#include "core/xml_attributes.h"

namespace xml {

// The offset of the first character XML 1.0 cannot carry in the text of a
// file, raw (a control character other than tab, LF and CR) or as a
// character reference ("&#0;"); npos when there is none.
size_t FindForbiddenCharacter(std::string_view text);

// The deepest nesting of elements a file may have. The program's files are
// a few levels deep; the limit leaves room for any hand-made file while
// keeping the reader's recursion a small part of any thread's stack.
inline constexpr size_t kMaxDepth = 256;

// Parses a file's text. Throws FileError when it is not well-formed, holds
// a character XML 1.0 cannot carry or nests deeper than kMaxDepth. `flags` are Boost's
// (xml_parser::trim_whitespace, ...).
void ReadTree(const std::string& text, boost::property_tree::ptree& tree, int flags = 0);

// The text of a file: UTF-8 with its declaration, one tab a level. Control
// characters XML 1.0 cannot carry are left out of every value, so what is
// written always reads again.
std::string WriteTree(const boost::property_tree::ptree& tree);

} // namespace xml
