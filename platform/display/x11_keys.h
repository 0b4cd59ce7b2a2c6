// Windows virtual-key codes for X11 key symbols.
#pragma once

namespace ilk::display {

// The virtual-key code of `keysym` (0 for none); `extended` tells whether Windows marks the key
// as an extended one (the right-hand Ctrl and Alt, the cursor block, the keypad's Enter and /).
int VirtualKeyForKeysym(unsigned long keysym, bool *extended);

}  // namespace ilk::display
