#pragma once
// What the image button paints, decided without a widget: its state, the
// colours of that state and where its icon, text and skin pieces go.
#include "platform/geometry.h"
#include "platform/ui/colour.h"

#include <array>

// Index of the colour tables: normal, pressed, hover, disabled.
enum class ButtonState { Normal = 0, Pressed = 1, Hover = 2, Disabled = 3 };

// Pressed wins over disabled, disabled over hover.
ButtonState ButtonStateOf(bool pressed, bool disabled, bool hover);

// The skin's rows run normal, hover, pressed, disabled from the top.
int SkinRowOf(ButtonState state);

// The owner's colours per state; ui::kNoColor means not set.
struct ButtonColours {
    std::array<ui::ColorRef, 4> back{0xBACBCE, 0xA6B7BA, 0xCEDFE2, 0xC8C8C8};
    std::array<ui::ColorRef, 4> border{0xBACBCE, 0x808080, 0x808080, 0x646464};
    std::array<ui::ColorRef, 4> text{0xD5871C, 0xD5871C, 0xD5871C, 0xD5871C};
};

struct FaceColours {
    ui::ColorRef back = ui::kNoColor;
    ui::ColorRef border = ui::kNoColor;
    ui::ColorRef text = ui::kNoColor;
};

// An unset colour of a state falls back to the normal one, an unset normal
// one to the system's: face and inactive border, their highlighted forms
// while the mouse is over the button, and the button text.
FaceColours ResolveFaceColours(const ButtonColours& colours, ButtonState state, bool hover);

// Where the icon and the text go in the button rectangle. `icon` is the
// icon's size, empty when none is loaded; `iconRight` puts it right of the
// text. `textFormat` holds the ui::DrawTextFlags to draw the text with.
struct ButtonFace {
    Rect icon;
    Rect text;
    unsigned textFormat = 0;
};
ButtonFace LayoutButtonFace(const Rect& item, Size icon, bool hasText, bool iconRight, bool alignRight);

// The three pieces of a skin row: the caps are stretched into the outer
// 3 pixels, the middle tile repeated between them. `valid` is false for a
// skin too small to hold three columns and four rows.
struct SkinPieces {
    bool valid = false;
    Rect leftSource, leftDest;
    Rect rightSource, rightDest;
    Rect middleTile, middleDest; // the tile's position and size in the skin
};
SkinPieces LayoutSkin(const Rect& item, Size skin, ButtonState state);
