// Virtual-key codes (the Win32 numbering that shortcut values and hot keys
// carry) against the toolkit's keys and the X11 key symbols. For the layer's
// own use.
#pragma once

#include <string>

// The virtual key of a toolkit key (with keypad: from the number pad); shifted
// symbols count as their unshifted key on a US layout ("!" is the 1 key).
// 0 for modifiers and keys without a virtual key.
int VirtualKeyFromQtKey(int qtKey, bool keypad);
// The X11 key symbol of a virtual key; 0 when it has none.
unsigned KeySymOfVirtualKey(int virtualKey);
// The key's name as a hot-key field shows it ("A", "F5", "Num 3", "Page Up").
std::string VirtualKeyName(int virtualKey);
