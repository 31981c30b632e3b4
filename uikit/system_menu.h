#pragma once
#include "platform/ui/popup_menu.h"

// The frame's system menu as data, for a frame of the given WS_ style: Move
// and Size only for a frame that is neither minimised nor maximised (Size
// also needs a thick frame), Minimise and Maximise by their boxes unless
// already so, Restore only when minimised or maximised, Close always. Close
// is the default item, Restore when minimised. Items carry the SC_ ids.
ui::MenuSpec SystemMenuSpec(unsigned style);

// The system command a click on a control button (ControlButton) sends, or
// 0 when the frame's style does not allow it.
int ControlButtonCommand(int button, unsigned style);
