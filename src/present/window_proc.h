// The window procedure of the class "window", shared by both windows.
#pragma once

#include <windows.h>

namespace interlock {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The program's own hit-testing: the whole window moves or sizes it. `window_size` is the
// outer rectangle, `x` and `y` the cursor in screen coordinates.
LRESULT HitTest(const RECT &window_size, int x, int y);

}  // namespace interlock
