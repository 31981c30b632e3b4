#pragma once

class QKeyEvent;

namespace ui {

// The Windows virtual-key value of a key press, as the key handlers compare
// them (VK_DELETE 0x2E, 'A' 0x41, ...); 0 for a key without one.
int virtualKey(const QKeyEvent& event);

} // namespace ui
