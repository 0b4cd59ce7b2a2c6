// What the window manager offers the presentation side (dcomp, dwmapi): showing a composed
// image in a window's client area, and waiting until the display has taken it.
#pragma once

#include <stdint.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "common/knobs.h"

namespace ilk::user32 {

// A window's client-area image: BGRA8 rows, top row first, 4 bytes per pixel.
struct WindowImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;
};

// Writes a client-area image in place: `bgra` has room for the image's pixels, B, G, R, A rows
// top first, 4 bytes per pixel, already composed over the black window background (so opaque).
using WindowImageWriter = std::function<void(uint8_t *bgra)>;

// Shows a `width` x `height` image in the client area of `window`, anchored at the client's
// top-left corner; `write` fills it straight into the memory the window shows it from, which
// is kept from one image to the next. Under X11 it reaches the server before the call returns;
// headless it is kept in memory. FALSE for a window that is not alive (nothing is written).
INTERLOCK_EXPORT bool PresentWindowImage(HWND window, int width, int height, const WindowImageWriter &write);
// The same for an image already in memory.
INTERLOCK_EXPORT bool PresentWindowImage(HWND window, const WindowImage &image);

// Returns once the display has taken every image presented so far (X11: the server has
// processed them); at once headless.
INTERLOCK_EXPORT void WaitForPresentedImages();

// What the client area of `window` shows now: the last presented image, or the class
// background before any. Under X11 it is read back from the server, so it proves what a person
// sees. FALSE for a window that is not alive.
INTERLOCK_EXPORT bool ReadWindowImage(HWND window, WindowImage *image);

}  // namespace ilk::user32
