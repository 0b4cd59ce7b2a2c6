// user32: what the window manager offers presentation (user32_internal.h): images shown in a
// window's client area, waiting for the display, and reading back what is shown.
#include "user32_internal.h"

#include <algorithm>

#include "common/log.h"
#include "desktop.h"
#include "window_manager.h"

namespace ilk::user32 {

bool PresentWindowImage(HWND window, int width, int height, const WindowImageWriter &write) {
  bool alive = user32::FindWindowAnyThread(window) != nullptr;
  if (alive) user32::CurrentDesktop().ShowImage(reinterpret_cast<user32::SurfaceId>(window), width, height, write);
  Trace("PresentWindowImage(%p, %dx%d) = %d", (void *)window, width, height, alive);
  return alive;
}

bool PresentWindowImage(HWND window, const WindowImage &image) {
  return PresentWindowImage(window, image.width, image.height,
                            [&image](uint8_t *bgra) { std::copy(image.bgra.begin(), image.bgra.end(), bgra); });
}

void WaitForPresentedImages() { user32::CurrentDesktop().Sync(); }

bool ReadWindowImage(HWND window, WindowImage *image) {
  if (!user32::FindWindowAnyThread(window)) return false;
  return user32::CurrentDesktop().ReadClientImage(reinterpret_cast<user32::SurfaceId>(window), &image->width,
                                                  &image->height, &image->bgra);
}

}  // namespace ilk::user32
