// The one pass of the CPU over a read-back frame's pixels: premultiplied R, G, B, A composed
// over the black window background into the window's B, G, R, X.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace ilk::display {

// Composes `count` pixels of `rgba` into `bgra` (which must not overlap it): the colour
// channels in the window's order and an alpha of 0xFF. `bgra` is the window's pixels, which
// this process does not read again soon, so large frames are written past the CPU's caches.
void ComposeOverBlack(const uint8_t *rgba, size_t count, uint8_t *bgra);

}  // namespace ilk::display
