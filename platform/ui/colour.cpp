#include "platform/ui/colour.h"

#include <QGuiApplication>
#include <QPalette>

namespace ui {

QColor toQColor(ColorRef c)
{
    if (c == kNoColor)
        return QColor();
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

ColorRef fromQColor(const QColor& c)
{
    if (!c.isValid())
        return kNoColor;
    const QColor rgbColour = c.toRgb();
    return rgb(rgbColour.red(), rgbColour.green(), rgbColour.blue());
}

ColorRef sysColor(int index)
{
    QPalette::ColorRole role;
    QPalette::ColorGroup group = QPalette::Active;
    switch (index) {
    case COLOR_ACTIVECAPTION: role = QPalette::Highlight; break;
    case COLOR_WINDOW: role = QPalette::Base; break;
    case COLOR_WINDOWFRAME: role = QPalette::Shadow; break;
    case COLOR_WINDOWTEXT: role = QPalette::WindowText; break;
    case COLOR_ACTIVEBORDER: role = QPalette::Window; break;
    case COLOR_INACTIVEBORDER:
        role = QPalette::Window;
        group = QPalette::Inactive;
        break;
    case COLOR_HIGHLIGHT: role = QPalette::Highlight; break;
    case COLOR_HIGHLIGHTTEXT: role = QPalette::HighlightedText; break;
    case COLOR_BTNFACE: role = QPalette::Button; break;
    case COLOR_BTNSHADOW: role = QPalette::Dark; break;
    case COLOR_GRAYTEXT: role = QPalette::PlaceholderText; break;
    case COLOR_BTNTEXT: role = QPalette::ButtonText; break;
    case COLOR_BTNHIGHLIGHT: role = QPalette::Light; break;
    case COLOR_INFOTEXT: role = QPalette::ToolTipText; break;
    case COLOR_INFOBK: role = QPalette::ToolTipBase; break;
    default: return kNoColor;
    }
    return fromQColor(QGuiApplication::palette().color(group, role));
}

} // namespace ui
