// The one place where the desktop backend is chosen: INTERLOCK_DISPLAY (x11 by default when
// DISPLAY is set, else headless). An X server that cannot be reached falls back to headless,
// with a note on stderr, so that a run never fails for want of a screen. Message-box dialogs
// (INTERLOCK_MSGBOX=x11) are shown by the windows' desktop, or by an X11 desktop of their own
// when the windows are headless.
#include "common/log.h"
#include "common/platform_state.h"
#include "display.h"

namespace ilk::display {
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

// The X11 desktop of the dialogs while the windows are headless; none without an X server.
struct DialogDesktop {
  std::unique_ptr<Desktop> x11 = OpenX11Desktop();
};
PlatformState<DialogDesktop> dialog_desktop;

}  // namespace

Desktop &CurrentDesktop() { return desktop.Get(); }

bool ShowMessageBoxDialog(const std::string &caption, const std::string &text) {
  if (CurrentDesktop().ShowMessageBox(caption, text)) return true;
  Desktop *dialogs = dialog_desktop.Get().x11.get();
  return dialogs && dialogs->ShowMessageBox(caption, text);
}

}  // namespace ilk::display
