// Activation and focus between two top-level windows of the application: showing, raising,
// SetActiveWindow, SetFocus and destruction pass them on with Windows' messages.
#include <windows.h>

#include "conformance/check.h"
#include "conformance/message_log.h"
#include "conformance/sequences.h"

using namespace conformance;

namespace {

// Two visible popups, the second created last and so active, with nothing left to dispatch.
struct TwoWindows {
  explicit TwoWindows(MessageLog &log)
      : first(log.Create(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200)),
        second(log.Create(WS_POPUP | WS_VISIBLE, 400, 100, 200, 200)) {
    UpdateWindow(first);
    UpdateWindow(second);
    log.Settle();
  }
  HWND first, second;
};

// The messages of the window that loses the activation to a window of the same application.
Sequence Deactivated(HWND next) {
  (void)next;
  return {{WM_NCACTIVATE, kWparam, FALSE}, {WM_ACTIVATE, kWparam, WA_INACTIVE}, {WM_KILLFOCUS, 0, 0}};
}

// ... and of the window that takes it: it is raised (with a position change when it was not on
// top already), then activated and given the focus.
Sequence Activated() {
  return {{WM_WINDOWPOSCHANGING, kPosFlags | kOptional, SWP_NOSIZE | SWP_NOMOVE},
          {WM_WINDOWPOSCHANGED, kOptional, 0},
          {WM_NCPAINT, kOptional, 0},
          {WM_ERASEBKGND, kOptional, 0},
          {WM_NCACTIVATE, kWparam, TRUE},
          {WM_ACTIVATE, kWparam, WA_ACTIVE},
          {WM_SETFOCUS, 0, 0},
          {WM_NCPAINT, kOptional, 0},
          {WM_ERASEBKGND, kOptional, 0}};
}

}  // namespace

CONFORMANCE_CASE(Activation, NewWindowTakesActivationAndFocusFromTheOld) {
  MessageLog log;
  HWND first = log.Create(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
  log.Settle();
  HWND second = log.Create(WS_POPUP | WS_VISIBLE, 400, 100, 200, 200);
  CHECK_WINDOW_SEQUENCE(log, first, Deactivated(second), "the first window");
  // The application stays active: no WM_ACTIVATEAPP.
  CHECK(log.Find(WM_ACTIVATEAPP) == nullptr);
  // The old window is deactivated before the new one is activated, and loses the focus after.
  const Logged *old_deactivated = log.Find(WM_ACTIVATE, first);
  const Logged *new_activated = log.Find(WM_ACTIVATE, second);
  const Logged *focus_lost = log.Find(WM_KILLFOCUS, first);
  const Logged *focus_gained = log.Find(WM_SETFOCUS, second);
  CHECK(old_deactivated && new_activated && focus_lost && focus_gained);
  if (old_deactivated && new_activated && focus_lost && focus_gained) {
    CHECK(old_deactivated < new_activated && new_activated < focus_lost && focus_lost < focus_gained);
    CHECK_EQ((HWND)old_deactivated->lparam, second);
    CHECK_EQ((HWND)new_activated->lparam, first);
    CHECK_EQ((HWND)focus_lost->wparam, second);
    CHECK_EQ((HWND)focus_gained->wparam, first);
  }
  CHECK_EQ(GetActiveWindow(), second);
  CHECK_EQ(GetForegroundWindow(), second);
  CHECK_EQ(GetFocus(), second);
}

CONFORMANCE_CASE(Activation, SetActiveWindowSwitchesAndReturnsThePrevious) {
  MessageLog log;
  TwoWindows windows(log);
  CHECK_EQ(SetActiveWindow(windows.first), windows.second);
  CHECK_WINDOW_SEQUENCE(log, windows.second, Deactivated(windows.first), "the window that was active");
  CHECK_WINDOW_SEQUENCE(log, windows.first, Activated(), "the window made active");
  CHECK_EQ(GetActiveWindow(), windows.first);
  CHECK_EQ(GetFocus(), windows.first);
  // Activating the active window again changes nothing.
  log.Clear();
  CHECK_EQ(SetActiveWindow(windows.first), windows.first);
  CHECK_SEQUENCE(log, Sequence(), "SetActiveWindow of the active window");
}

CONFORMANCE_CASE(Activation, RaisingWithoutNoActivateActivates) {
  MessageLog log;
  TwoWindows windows(log);
  CHECK(SetWindowPos(windows.first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  CHECK_WINDOW_SEQUENCE(log, windows.second, Deactivated(windows.first), "the window that was active");
  Sequence raised = Concat({{WM_WINDOWPOSCHANGING, kPosFlags, SWP_NOMOVE | SWP_NOSIZE}}, Activated());
  raised.push_back({WM_WINDOWPOSCHANGED, kPosFlags, SWP_NOMOVE | SWP_NOSIZE | kClientUnchanged});
  CHECK_WINDOW_SEQUENCE(log, windows.first, raised, "the raised window");
  CHECK_EQ(GetActiveWindow(), windows.first);
}

CONFORMANCE_CASE(Activation, RaisingWithNoActivateOnlyRestacks) {
  MessageLog log;
  TwoWindows windows(log);
  const unsigned flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  CHECK(SetWindowPos(windows.first, HWND_TOP, 0, 0, 0, 0, flags));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, flags},
                                {WM_NCPAINT, kOptional, 0},
                                {WM_ERASEBKGND, kOptional, 0},
                                {WM_WINDOWPOSCHANGED, kPosFlags, flags | kClientUnchanged}}),
                 "SetWindowPos(HWND_TOP, SWP_NOACTIVATE)");
  CHECK_EQ(GetActiveWindow(), windows.second);
}

CONFORMANCE_CASE(Activation, SetFocusMovesTheFocusWithinTheActiveWindow) {
  MessageLog log;
  TwoWindows windows(log);
  CHECK_EQ(SetFocus(nullptr), windows.second);
  CHECK_SEQUENCE(log, Sequence({{WM_KILLFOCUS, kWparam | kOtherWindow, 0}}), "SetFocus(NULL)");
  CHECK(GetFocus() == nullptr);
  CHECK_EQ(GetActiveWindow(), windows.second);
  log.Clear();
  CHECK(SetFocus(windows.second) == nullptr);
  CHECK_SEQUENCE(log, Sequence({{WM_SETFOCUS, kWparam | kOtherWindow, 0}}), "SetFocus of the active window");
  CHECK_EQ(GetFocus(), windows.second);
}

CONFORMANCE_CASE(Activation, SetFocusOnAnInactiveWindowActivatesIt) {
  MessageLog log;
  TwoWindows windows(log);
  SetFocus(windows.first);
  CHECK_WINDOW_SEQUENCE(log, windows.second, Deactivated(windows.first), "the window that was active");
  CHECK_WINDOW_SEQUENCE(log, windows.first, Activated(), "the window given the focus");
  CHECK_EQ(GetActiveWindow(), windows.first);
  CHECK_EQ(GetFocus(), windows.first);
}

CONFORMANCE_CASE(Activation, DestroyingTheActiveWindowActivatesTheNext) {
  MessageLog log;
  TwoWindows windows(log);
  CHECK(DestroyWindow(windows.second));
  const unsigned hide = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
  CHECK_WINDOW_SEQUENCE(log, windows.second,
                        Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, hide},
                                  {WM_WINDOWPOSCHANGED, kPosFlags, hide | kClientUnchanged},
                                  {WM_NCACTIVATE, kWparam, FALSE},
                                  {WM_ACTIVATE, kWparam, WA_INACTIVE},
                                  {WM_KILLFOCUS, 0, 0},
                                  {WM_DESTROY, 0, 0},
                                  {WM_NCDESTROY, 0, 0}}),
                        "the destroyed window");
  CHECK_WINDOW_SEQUENCE(log, windows.first, Activated(), "the window below it");
  CHECK_EQ(GetActiveWindow(), windows.first);
}
