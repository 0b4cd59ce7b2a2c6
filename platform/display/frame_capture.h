// INTERLOCK_CAPTURE=DIR: every frame presented to a window is written as an RGBA PNG
// DIR/<title>-<nnnn>.png, <title> being the window title (as the display holds it) with every
// character other than an ASCII letter or digit replaced by '_', <nnnn> the window's frame number
// from 0001; DIR is made when missing. The pixels are the frame's as presented, alpha included
// (not composed over the background). Any thread may capture.
#pragma once

#include <stdint.h>

#include "display.h"

namespace ilk::display {

// The order of a frame's bytes in memory: R, G, B, A as the GPU presents them, or B, G, R, A as
// a window's pixels hold them.
enum class ByteOrder { kRgba, kBgra };

// Writes the `width` x `height` frame `pixels` of `surface`, rows `row_pitch` bytes apart, when
// capture is on; a file that cannot be written is reported on stderr and skipped.
void CaptureFrame(SurfaceId surface, int width, int height, const uint8_t *pixels, size_t row_pitch, ByteOrder order);

}  // namespace ilk::display
