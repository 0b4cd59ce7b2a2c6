// The one place where the desktop backend is chosen: INTERLOCK_DISPLAY (x11 by default when
// DISPLAY is set, else headless). An X server that cannot be reached falls back to headless,
// with a note on stderr, so that a run never fails for want of a screen.
#include "common/log.h"
#include "common/platform_state.h"
#include "desktop.h"

namespace ilk::user32 {
namespace {

Desktop *OpenChosenDesktop() {
  std::unique_ptr<Desktop> chosen;
  if (ilk::SelectedDisplay() == ilk::DisplayBackend::X11) {
    chosen = OpenX11Desktop();
    if (!chosen) ilk::Log("cannot open the X11 display, windows stay headless");
  }
  if (!chosen) chosen = OpenHeadlessDesktop();
  return chosen.release();
}

// Open until the platform shuts down, which the program never does: nothing talks to the X
// server after main ends, when the server may be gone already.
PlatformState<Desktop> desktop(&OpenChosenDesktop);

}  // namespace

Desktop &CurrentDesktop() { return desktop.Get(); }

}  // namespace ilk::user32
