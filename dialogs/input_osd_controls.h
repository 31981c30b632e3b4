#pragma once
// The input OSD editor's number fields, shared by its layout and its
// handlers: the control id of each, its upper bound (the lower is 0) and
// what text that is no number reads as.
#include "dialogs/input_osd_config_dlg.h"
#include "dialogs/input_osd_edit.h"

namespace inputosd {

struct NumberField {
    int id;
    int max;
    int fallback;
};

inline constexpr NumberField kEdits[CInputOSDConfigDlg::kEditCount] = {
    {1094, kMaxPosition, 0}, {1095, kMaxPosition, 0}, {1098, kMaxColour, 255},    {1099, kMaxColour, 255},
    {1100, kMaxColour, 255}, {1091, kMaxColour, 255}, {1096, kMaxColour, 255},    {1097, kMaxColour, 255},
    {1104, kMaxPosition, 0}, {1105, kMaxPosition, 0}, {1106, kMaxTimeWidth, 255}, {1110, kMaxTimeHeight, 127},
};

} // namespace inputosd
