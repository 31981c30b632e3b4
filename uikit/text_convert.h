#pragma once
#include <QString>
#include <string>

namespace ui {

// Narrow strings are UTF-8 (the application's text helpers); bytes that are
// not UTF-8 become replacement characters.
QString toQString(const std::string& text);
std::string toUtf8(const QString& text);

} // namespace ui
