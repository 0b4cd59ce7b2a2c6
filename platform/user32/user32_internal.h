// What the other DLLs of the platform use of the window manager: whether a window is alive
// (opengl32 drops the pbuffers of windows that are gone). None of these calls is a call of the
// program: they are not traced, and INTERLOCK_FAIL does not apply to them.
#pragma once

#include <windows.h>

#include "common/knobs.h"

namespace ilk::user32 {

// Whether `hwnd` names a window that has not been destroyed, as IsWindow; any thread may ask.
INTERLOCK_EXPORT bool IsLiveWindow(HWND hwnd);

}  // namespace ilk::user32
