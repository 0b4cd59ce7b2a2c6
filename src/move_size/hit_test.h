// The program's own hit-testing: the whole window is a surface for moving and sizing it.
#pragma once

#include <windows.h>

namespace interlock {

// The hit-test code of the cursor at `x`, `y` (screen coordinates) in a window whose outer
// rectangle is `window_size`: an edge or corner code within 19 pixels of an edge (top and left
// win where zones overlap), HTCAPTION everywhere else.
LRESULT HitTest(const RECT &window_size, int x, int y);

}  // namespace interlock
