// user32: what the window manager offers presentation (user32_internal.h): images shown in a
// window's client area, waiting for the display, and reading back what is shown.
#include "user32_internal.h"

#include "common/log.h"
#include "desktop.h"
#include "window_manager.h"

namespace ilk::user32 {

bool PresentWindowImage(HWND window, const WindowImage &image) {
  bool alive = user32::FindWindowAnyThread(window) != nullptr;
  if (alive) {
    user32::CurrentDesktop().ShowImage(reinterpret_cast<user32::SurfaceId>(window), image.width, image.height, image.bgra);
  }
  Trace("PresentWindowImage(%p, %dx%d) = %d", (void *)window, image.width, image.height, alive);
  return alive;
}

void WaitForPresentedImages() { user32::CurrentDesktop().Sync(); }

bool ReadWindowImage(HWND window, WindowImage *image) {
  if (!user32::FindWindowAnyThread(window)) return false;
  return user32::CurrentDesktop().ReadClientImage(reinterpret_cast<user32::SurfaceId>(window), &image->width,
                                                  &image->height, &image->bgra);
}

}  // namespace ilk::user32
