// The one place where the display backend is chosen: INTERLOCK_DISPLAY (x11 by default when
// DISPLAY is set, else headless). An X server that cannot be reached falls back to headless,
// with a note on stderr, so that a run never fails for want of a screen.
#include <mutex>

#include "common/log.h"
#include "user32/desktop.h"

namespace ilk::user32 {

Desktop &CurrentDesktop() {
  static std::once_flag opened;
  static std::unique_ptr<Desktop> display;
  std::call_once(opened, [] {
    if (ilk::SelectedDisplay() == ilk::DisplayBackend::X11) {
      display = OpenX11Desktop();
      if (!display) ilk::Log("cannot open the X11 display, windows stay headless");
    }
    if (!display) display = OpenHeadlessDesktop();
  });
  return *display;
}

}  // namespace ilk::user32
