// Keyboard sizing: the main keyboard's plus and minus keys grow or shrink a window.
#pragma once

#include <windows.h>

namespace interlock {

// VK_OEM_PLUS grows `window` by 10 pixels each way and VK_OEM_MINUS shrinks it by 10, keeping
// its bottom-right corner; SetWindowPos also raises and activates it. Other keys change nothing.
void SizeByKey(HWND window, WPARAM key);

}  // namespace interlock
