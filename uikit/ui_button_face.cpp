#include "uikit/ui_button_face.h"

#include "platform/ui/gdi_paint.h"

namespace {

constexpr int kCapWidth = 3;

int index(ButtonState state)
{
    return int(state);
}

ui::ColorRef resolve(const std::array<ui::ColorRef, 4>& table, ButtonState state, int systemIndex)
{
    if (table[index(state)] != ui::kNoColor)
        return table[index(state)];
    if (table[index(ButtonState::Normal)] != ui::kNoColor)
        return table[index(ButtonState::Normal)];
    return ui::sysColor(systemIndex);
}

} // namespace

ButtonState ButtonStateOf(bool pressed, bool disabled, bool hover)
{
    if (pressed)
        return ButtonState::Pressed;
    if (disabled)
        return ButtonState::Disabled;
    return hover ? ButtonState::Hover : ButtonState::Normal;
}

int SkinRowOf(ButtonState state)
{
    switch (state) {
    case ButtonState::Normal: return 0;
    case ButtonState::Hover: return 1;
    case ButtonState::Pressed: return 2;
    case ButtonState::Disabled: return 3;
    }
    return 0;
}

FaceColours ResolveFaceColours(const ButtonColours& colours, ButtonState state, bool hover)
{
    FaceColours face;
    face.back = resolve(colours.back, state, hover ? ui::COLOR_3DHIGHLIGHT : ui::COLOR_3DFACE);
    face.border = resolve(colours.border, state, hover ? ui::COLOR_ACTIVEBORDER : ui::COLOR_INACTIVEBORDER);
    face.text = resolve(colours.text, state, ui::COLOR_BTNTEXT);
    return face;
}

ButtonFace LayoutButtonFace(const Rect& item, Size icon, bool hasText, bool iconRight, bool alignRight)
{
    ButtonFace face;
    face.text = Rect{item.left + 1, item.top, item.right - 1, item.bottom};
    const bool hasIcon = icon.cx > 0 && icon.cy > 0;
    face.textFormat = ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_END_ELLIPSIS |
                      (alignRight && !hasIcon ? ui::DT_RIGHT : ui::DT_CENTER);
    if (!hasIcon)
        return face;

    int left = 0;
    if (!hasText) {
        left = (item.left + item.right) / 2 - icon.cx / 2;
    } else if (iconRight) {
        left = item.right - 1 - icon.cx;
        face.text.right = left - 1;
    } else {
        left = item.left + 1;
        face.text.left = left + icon.cx + 1;
    }
    const int top = (item.top + item.bottom) / 2 - icon.cy / 2;
    face.icon = Rect{left, top, left + icon.cx, top + icon.cy};
    return face;
}

SkinPieces LayoutSkin(const Rect& item, Size skin, ButtonState state)
{
    SkinPieces pieces;
    const int column = skin.cx / 3;
    const int row = skin.cy / 4;
    if (column < 1 || row < 1)
        return pieces;
    pieces.valid = true;
    const int y = SkinRowOf(state) * row;
    pieces.leftSource = Rect{0, y, column, y + row};
    pieces.middleTile = Rect{column, y, 2 * column, y + row};
    pieces.rightSource = Rect{2 * column, y, 3 * column, y + row};
    pieces.leftDest = Rect{item.left, item.top, item.left + kCapWidth, item.bottom};
    pieces.middleDest = Rect{item.left + kCapWidth, item.top, item.right - kCapWidth, item.bottom};
    pieces.rightDest = Rect{item.right - kCapWidth, item.top, item.right, item.bottom};
    return pieces;
}
