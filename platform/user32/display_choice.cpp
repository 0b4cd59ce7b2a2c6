// The one place where the display backend is chosen: INTERLOCK_DISPLAY (x11 by default when
// DISPLAY is set, else headless). An X server that cannot be reached falls back to headless,
// with a note on stderr, so that a run never fails for want of a screen.
#include <mutex>

#include "common/log.h"
#include "user32/display.h"

namespace ilk::user32 {

Display &CurrentDisplay() {
  static std::once_flag opened;
  static std::unique_ptr<Display> display;
  std::call_once(opened, [] {
    if (ilk::SelectedDisplay() == ilk::DisplayBackend::X11) ilk::Log("X11 windows are not built yet, windows stay headless");
    display = OpenHeadlessDisplay();
  });
  return *display;
}

}  // namespace ilk::user32
