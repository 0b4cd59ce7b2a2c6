// The one place where the desktop backend is chosen: INTERLOCK_DISPLAY (x11 by default when
// DISPLAY is set, else headless). An X server that cannot be reached falls back to headless,
// with a note on stderr, so that a run never fails for want of a screen.
#include <mutex>

#include "common/log.h"
#include "desktop.h"

namespace ilk::user32 {

Desktop &CurrentDesktop() {
  static std::once_flag opened;
  // The desktop lives as long as the process: nothing talks to the X server after main ends,
  // when the server may be gone already.
  static Desktop *desktop = nullptr;
  std::call_once(opened, [] {
    std::unique_ptr<Desktop> chosen;
    if (ilk::SelectedDisplay() == ilk::DisplayBackend::X11) {
      chosen = OpenX11Desktop();
      if (!chosen) ilk::Log("cannot open the X11 display, windows stay headless");
    }
    if (!chosen) chosen = OpenHeadlessDesktop();
    desktop = chosen.release();
  });
  return *desktop;
}

}  // namespace ilk::user32
