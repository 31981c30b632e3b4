#pragma once
#include <QColor>
#include <cstdint>

namespace ui {

// Colours are kept as 0x00BBGGRR values, as the files and the processor hold
// them; they become QColor only when painting.
using ColorRef = std::uint32_t;
inline constexpr ColorRef kNoColor = 0xFFFFFFFFu; // -1: unset, never painted

constexpr ColorRef rgb(int r, int g, int b)
{
    return ColorRef(r & 0xFF) | ColorRef(g & 0xFF) << 8 | ColorRef(b & 0xFF) << 16;
}
constexpr int redOf(ColorRef c)
{
    return int(c & 0xFF);
}
constexpr int greenOf(ColorRef c)
{
    return int(c >> 8 & 0xFF);
}
constexpr int blueOf(ColorRef c)
{
    return int(c >> 16 & 0xFF);
}

// kNoColor gives an invalid QColor, which the painting helpers skip.
QColor toQColor(ColorRef c);
ColorRef fromQColor(const QColor& c);

// The system colour indexes the widgets ask for, answered from the palette.
enum SysColorIndex {
    COLOR_ACTIVECAPTION = 2,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_WINDOWTEXT = 8,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_3DFACE = COLOR_BTNFACE,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
};

// kNoColor for an index the palette has no role for.
ColorRef sysColor(int index);

} // namespace ui
