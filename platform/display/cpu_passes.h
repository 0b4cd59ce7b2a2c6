// The count behind CpuPassesOverPresentedPixels (display.h): every pass the display's CPU code
// makes over an image's pixels to show it notes itself here.
#pragma once

#include <windef.h>  // INTERLOCK_EXPORT

namespace ilk::display {

// Counts one pass over an image's pixels. Any thread; the X11 backend's module too.
INTERLOCK_EXPORT void NoteCpuPassOverPixels();

}  // namespace ilk::display
