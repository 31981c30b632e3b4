#include "uikit/text_convert.h"

#include "core/text_helpers.h"

namespace ui {

QString toQString(const std::string& text)
{
    return StdToCString(text);
}

std::string toUtf8(const QString& text)
{
    return CStringToStd(text);
}

} // namespace ui
