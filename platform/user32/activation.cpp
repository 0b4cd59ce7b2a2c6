// user32: the active window, the foreground and the keyboard focus (GetActiveWindow,
// GetForegroundWindow, SetActiveWindow, GetFocus, SetFocus), in Windows' order: the old window
// is deactivated, the new one raised (a position change of its own), the application told
// when it gains the activation, the new window activated, and the focus moved last.
// One thread owns every window here, so the active window is also the foreground window.
#include "common/log.h"
#include "common/platform_state.h"
#include "display/display.h"
#include "window_manager.h"
#include "kernel32/kernel32_internal.h"

namespace ilk::user32 {
namespace {

// The window thread's, as its windows are.
struct Activation {
  HWND active = nullptr;
  HWND focus = nullptr;
};

PlatformState<Activation> activation;

void SetFocusTo(HWND hwnd) {
  HWND previous = activation.Get().focus;
  if (previous == hwnd) return;
  activation.Get().focus = hwnd;
  if (previous && FindWindowObject(previous, false)) Send(previous, WM_KILLFOCUS, (WPARAM)hwnd, 0);
  if (hwnd) Send(hwnd, WM_SETFOCUS, (WPARAM)previous, 0);
}

// WM_ACTIVATEAPP goes to every top-level window of the thread when the application gains or
// loses the activation.
void SendActivateApp(bool active) {
  for (const WindowPtr &window : WindowsInZOrder()) {
    if (!(window->style & WS_CHILD)) Send(window->hwnd, WM_ACTIVATEAPP, active, 0);
  }
}

}  // namespace

HWND ActiveWindow() { return activation.Get().active; }
HWND FocusWindow() { return activation.Get().focus; }

void ActivateWindow(HWND hwnd, bool by_mouse) {
  HWND previous = activation.Get().active;
  if (previous == hwnd) return;
  if (previous && FindWindowObject(previous, false)) {
    Send(previous, WM_NCACTIVATE, FALSE, 0);
    Send(previous, WM_ACTIVATE, WA_INACTIVE, (LPARAM)hwnd);
  }
  activation.Get().active = hwnd;
  WindowPtr window = FindWindowObject(hwnd, false);
  if (window) SetWindowPosition(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  // The procedures may have destroyed the window or activated another meanwhile.
  if (activation.Get().active != hwnd || !FindWindowObject(hwnd, false)) return;
  display::CurrentDesktop().FocusSurface(display::SurfaceOf(hwnd));
  if (!previous) SendActivateApp(true);
  Send(hwnd, WM_NCACTIVATE, TRUE, 0);
  Send(hwnd, WM_ACTIVATE, by_mouse ? WA_CLICKACTIVE : WA_ACTIVE, (LPARAM)previous);
}

// A window and the top-level window it lies in.
static HWND TopLevelOf(HWND hwnd) {
  WindowPtr window = FindWindowObject(hwnd, false);
  while (window && (window->style & WS_CHILD)) {
    WindowPtr parent = FindWindowObject(window->parent, false);
    if (!parent) break;
    window = parent;
  }
  return window ? window->hwnd : nullptr;
}

void DeactivateWindow(HWND hwnd) {
  // Another visible top-level window takes the activation; with none left the application
  // loses it (on Windows another application's window would become active).
  for (const WindowPtr &window : WindowsInZOrder()) {
    if (window->hwnd != hwnd && (window->style & WS_VISIBLE) && !(window->style & WS_CHILD) && !window->destroying) {
      ActivateWindow(window->hwnd, false);
      return;
    }
  }
  if (activation.Get().active == hwnd) {
    Send(hwnd, WM_NCACTIVATE, FALSE, 0);
    Send(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    activation.Get().active = nullptr;
    SendActivateApp(false);
  }
  if (activation.Get().focus == hwnd) SetFocusTo(nullptr);
}

void ForgetWindow(HWND hwnd) {
  if (activation.Get().active == hwnd) activation.Get().active = nullptr;
  if (activation.Get().focus == hwnd) activation.Get().focus = nullptr;
}

// DefWindowProcW's WM_ACTIVATE: an activated window takes the focus.
void TakeFocus(HWND hwnd) { SetFocusTo(hwnd); }

}  // namespace ilk::user32

HWND WINAPI GetActiveWindow(void) {
  HWND hwnd = ilk::user32::ActiveWindow();
  ilk::Trace("GetActiveWindow() = %p", (void *)hwnd);
  return hwnd;
}

HWND WINAPI GetForegroundWindow(void) {
  HWND hwnd = ilk::user32::ActiveWindow();
  ilk::Trace("GetForegroundWindow() = %p", (void *)hwnd);
  return hwnd;
}

HWND WINAPI SetActiveWindow(HWND hwnd) {
  using namespace ilk::user32;
  HWND previous = ActiveWindow();
  HWND result = nullptr;
  if (!hwnd) {
    if (previous) DeactivateWindow(previous);
    result = previous;
  } else if (WindowPtr window = FindWindowObject(hwnd)) {
    if (window->style & WS_CHILD) {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_PARAMETER);  // only top-level windows are activated
    } else {
      ActivateWindow(hwnd, false);
      result = previous;
    }
  }
  ilk::Trace("SetActiveWindow(%p) = %p", (void *)hwnd, (void *)result);
  return result;
}

HWND WINAPI GetFocus(void) {
  HWND hwnd = ilk::user32::FocusWindow();
  ilk::Trace("GetFocus() = %p", (void *)hwnd);
  return hwnd;
}

HWND WINAPI SetFocus(HWND hwnd) {
  using namespace ilk::user32;
  HWND previous = FocusWindow();
  HWND result = nullptr;
  if (!hwnd) {
    TakeFocus(nullptr);
    result = previous;
  } else if (FindWindowObject(hwnd)) {
    // The focus lies in the active window: a window of another top-level window activates it
    // first.
    HWND top = TopLevelOf(hwnd);
    if (top != ActiveWindow()) ActivateWindow(top, false);
    if (ActiveWindow() == top && FindWindowObject(hwnd, false)) {
      TakeFocus(hwnd);
      result = previous;
    }
  }
  ilk::Trace("SetFocus(%p) = %p", (void *)hwnd, (void *)result);
  return result;
}
