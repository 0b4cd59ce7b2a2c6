// The count behind CpuPassesOverPresentedPixels (display.h): every pass the display's CPU code
// makes over an image's pixels to show it notes itself here.
#pragma once

namespace ilk::display {

// Counts one pass over an image's pixels. Any thread.
void NoteCpuPassOverPixels();

}  // namespace ilk::display
