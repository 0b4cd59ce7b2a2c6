// ShowWindow and SetWindowPos on top-level windows: the flags WM_WINDOWPOSCHANGING carries (the
// caller's), the flags WM_WINDOWPOSCHANGED carries (what really changed), the size and position
// messages DefWindowProcW derives from them, frame changes, the flags that leave steps out, the
// activation a position change makes (of a hidden window too, and none by hiding) and the
// flags Windows keeps for itself.
#include <windows.h>

#include "conformance/check.h"
#include "conformance/message_log.h"
#include "conformance/sequences.h"

using namespace conformance;

namespace {

const unsigned kQuiet = SWP_NOZORDER | SWP_NOACTIVATE;

// A visible window of `style` at (100, 100), 300 by 200, with nothing left to paint or dispatch.
HWND SettledWindow(MessageLog &log, DWORD style) {
  HWND hwnd = log.Create(style | WS_VISIBLE);
  UpdateWindow(hwnd);
  log.Settle();
  return hwnd;
}

RECT WindowRect(HWND hwnd) {
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(hwnd, &rect);
  return rect;
}

}  // namespace

CONFORMANCE_CASE(ShowWindow, ShowingAHiddenOverlappedWindowActivatesAndSizesIt) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW);
  log.Settle();
  CHECK(!ShowWindow(hwnd, SW_SHOW));  // it was hidden
  CHECK_SEQUENCE(log, Concat(ShowAndActivateFirst(), {{WM_SIZE, kWparam, SIZE_RESTORED}, {WM_MOVE, 0, 0}}),
                 "ShowWindow(SW_SHOW)");
  CHECK(IsWindowVisible(hwnd));
  CHECK_EQ(GetActiveWindow(), hwnd);
  log.Clear();
  CHECK(ShowWindow(hwnd, SW_SHOW));  // already visible: nothing happens
  CHECK_SEQUENCE(log, Sequence(), "ShowWindow(SW_SHOW) of a visible window");
}

CONFORMANCE_CASE(ShowWindow, HidingTheActiveWindowDeactivatesTheApplication) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_OVERLAPPEDWINDOW);
  CHECK(ShowWindow(hwnd, SW_HIDE));  // it was visible
  CHECK_SEQUENCE(log, Sequence({{WM_SHOWWINDOW, kWparam, FALSE},
                                {WM_WINDOWPOSCHANGING, kPosFlags, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE},
                                {WM_WINDOWPOSCHANGED, kPosFlags,
                                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | kClientUnchanged},
                                {WM_NCACTIVATE, kWparam, FALSE},
                                {WM_ACTIVATE, kWparam, WA_INACTIVE},
                                {WM_ACTIVATEAPP, kWparam, FALSE},
                                {WM_KILLFOCUS, kWparam, 0}}),
                 "ShowWindow(SW_HIDE) of the active window");
  CHECK(!IsWindowVisible(hwnd));
  CHECK(GetActiveWindow() != hwnd);
  log.Clear();
  CHECK(!ShowWindow(hwnd, SW_HIDE));  // already hidden: nothing happens
  CHECK_SEQUENCE(log, Sequence(), "ShowWindow(SW_HIDE) of a hidden window");
}

CONFORMANCE_CASE(ShowWindow, ShowingWithoutActivationLeavesTheActiveWindow) {
  MessageLog log;
  HWND active = SettledWindow(log, WS_OVERLAPPEDWINDOW);
  HWND other = log.Create(WS_POPUP, 400, 100, 100, 100);
  log.Settle();
  CHECK(!ShowWindow(other, SW_SHOWNA));
  CHECK_SEQUENCE(log, Sequence({{WM_SHOWWINDOW, kWparam | kOtherWindow, TRUE},
                                {WM_WINDOWPOSCHANGING, kOtherWindow, 0},
                                {WM_NCPAINT, kOtherWindow | kOptional, 0},
                                {WM_ERASEBKGND, kOtherWindow | kOptional, 0},
                                {WM_WINDOWPOSCHANGED, kOtherWindow, 0}}),
                 "ShowWindow(SW_SHOWNA)");
  CHECK(IsWindowVisible(other));
  CHECK_EQ(GetActiveWindow(), active);
}

CONFORMANCE_CASE(WindowPos, MoveSendsOnlyTheMove) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_OVERLAPPEDWINDOW);
  RECT client_before;
  GetClientRect(hwnd, &client_before);
  CHECK(SetWindowPos(hwnd, nullptr, 150, 120, 0, 0, SWP_NOSIZE | kQuiet));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, SWP_NOSIZE | kQuiet},
                                {WM_NCPAINT, kOptional, 0},
                                {WM_ERASEBKGND, kOptional, 0},
                                {WM_WINDOWPOSCHANGED, kPosFlags, SWP_NOSIZE | kQuiet | SWP_NOCLIENTSIZE},
                                {WM_MOVE, kWparam, 0}}),
                 "SetWindowPos move");
  RECT rect = WindowRect(hwnd);
  CHECK_EQ(rect.left, 150);
  CHECK_EQ(rect.top, 120);
  CHECK_EQ(rect.right, 450);
  CHECK_EQ(rect.bottom, 320);
  POINT origin = {0, 0};
  ClientToScreen(hwnd, &origin);
  if (const Logged *move = log.Find(WM_MOVE)) CHECK_EQ(move->lparam, MAKELPARAM(origin.x, origin.y));
}

CONFORMANCE_CASE(WindowPos, ResizeOfAnOverlappedWindowAsksItsLimits) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_OVERLAPPEDWINDOW);
  CHECK(SetWindowPos(hwnd, nullptr, 0, 0, 400, 250, SWP_NOMOVE | kQuiet));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, SWP_NOMOVE | kQuiet},
                                {WM_GETMINMAXINFO, 0, 0},
                                {WM_NCCALCSIZE, kWparam, TRUE},
                                {WM_NCPAINT, kOptional, 0},
                                {WM_ERASEBKGND, kOptional, 0},
                                {WM_WINDOWPOSCHANGED, kPosFlags, SWP_NOMOVE | kQuiet | SWP_NOCLIENTMOVE},
                                {WM_SIZE, kWparam, SIZE_RESTORED},
                                {WM_NCCALCSIZE, kOptional, 0},
                                {WM_NCPAINT, kOptional, 0},
                                {WM_ERASEBKGND, kOptional, 0}}),
                 "SetWindowPos size");
  RECT rect = WindowRect(hwnd), client;
  GetClientRect(hwnd, &client);
  CHECK_EQ(rect.right - rect.left, 400);
  CHECK_EQ(rect.bottom - rect.top, 250);
  if (const Logged *size = log.Find(WM_SIZE)) CHECK_EQ(size->lparam, MAKELPARAM(client.right, client.bottom));
}

CONFORMANCE_CASE(WindowPos, ResizeOfAPopupAsksNoLimits) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_POPUP);
  CHECK(SetWindowPos(hwnd, nullptr, 0, 0, 400, 250, SWP_NOMOVE | kQuiet));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, SWP_NOMOVE | kQuiet},
                                {WM_NCCALCSIZE, kWparam, TRUE},
                                {WM_NCPAINT, kOptional, 0},
                                {WM_ERASEBKGND, kOptional, 0},
                                {WM_WINDOWPOSCHANGED, kPosFlags, SWP_NOMOVE | kQuiet | SWP_NOCLIENTMOVE},
                                {WM_SIZE, kWparam, SIZE_RESTORED},
                                {WM_NCCALCSIZE, kOptional, 0},
                                {WM_NCPAINT, kOptional, 0},
                                {WM_ERASEBKGND, kOptional, 0}}),
                 "SetWindowPos size of a popup");
  if (const Logged *size = log.Find(WM_SIZE)) CHECK_EQ(size->lparam, MAKELPARAM(400, 250));
}

CONFORMANCE_CASE(WindowPos, MoveAndSizeSendMoveThenSize) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_POPUP);
  CHECK(SetWindowPos(hwnd, nullptr, 90, 80, 320, 240, kQuiet));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, kQuiet},
                                {WM_NCCALCSIZE, kWparam, TRUE},
                                {WM_NCPAINT, kOptional, 0},
                                {WM_ERASEBKGND, kOptional, 0},
                                {WM_WINDOWPOSCHANGED, kPosFlags, kQuiet},
                                {WM_MOVE, 0, 0},
                                {WM_SIZE, kWparam, SIZE_RESTORED}}),
                 "SetWindowPos move and size");
  if (const Logged *move = log.Find(WM_MOVE)) CHECK_EQ(move->lparam, MAKELPARAM(90, 80));
  if (const Logged *size = log.Find(WM_SIZE)) CHECK_EQ(size->lparam, MAKELPARAM(320, 240));
}

CONFORMANCE_CASE(WindowPos, ChangingCarriesTheCallersFlagsWhenNothingChanges) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_POPUP);
  CHECK(SetWindowPos(hwnd, nullptr, 100, 100, 300, 200, kQuiet));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, kQuiet}, {WM_NCCALCSIZE, kOptional, 0}}),
                 "SetWindowPos to the same place and size");
}

CONFORMANCE_CASE(WindowPos, ChangedReportsASizeClampedBackAsUnchanged) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_POPUP);
  log.hook = [](HWND, UINT message, WPARAM, LPARAM lparam, LRESULT *result) {
    if (message != WM_WINDOWPOSCHANGING) return false;
    WINDOWPOS *pos = reinterpret_cast<WINDOWPOS *>(lparam);
    pos->cx = 300;  // keep the current size
    pos->cy = 200;
    *result = 0;
    return true;
  };
  CHECK(SetWindowPos(hwnd, nullptr, 140, 150, 500, 500, kQuiet));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, kQuiet},
                                {WM_NCCALCSIZE, kOptional, 0},
                                {WM_NCPAINT, kOptional, 0},
                                {WM_ERASEBKGND, kOptional, 0},
                                {WM_WINDOWPOSCHANGED, kPosFlags, kQuiet | SWP_NOSIZE | SWP_NOCLIENTSIZE},
                                {WM_MOVE, 0, 0}}),
                 "SetWindowPos whose size WM_WINDOWPOSCHANGING kept");
  RECT rect = WindowRect(hwnd);
  CHECK_EQ(rect.left, 140);
  CHECK_EQ(rect.right - rect.left, 300);
}

CONFORMANCE_CASE(WindowPos, NoSendChangingLeavesOutOnlyChanging) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_POPUP);
  CHECK(SetWindowPos(hwnd, nullptr, 130, 100, 0, 0, SWP_NOSIZE | SWP_NOSENDCHANGING | kQuiet));
  CHECK_SEQUENCE(log, Sequence({{WM_NCPAINT, kOptional, 0},
                                {WM_ERASEBKGND, kOptional, 0},
                                {WM_WINDOWPOSCHANGED, kPosFlags,
                                 SWP_NOSIZE | SWP_NOSENDCHANGING | kQuiet | SWP_NOCLIENTSIZE},
                                {WM_MOVE, 0, 0}}),
                 "SetWindowPos with SWP_NOSENDCHANGING");
}

CONFORMANCE_CASE(WindowPos, NoRedrawPaintsNothing) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_OVERLAPPEDWINDOW);
  CHECK(SetWindowPos(hwnd, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOREDRAW | kQuiet));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, SWP_NOMOVE | SWP_NOREDRAW | kQuiet},
                                {WM_GETMINMAXINFO, 0, 0},
                                {WM_NCCALCSIZE, kWparam, TRUE},
                                {WM_WINDOWPOSCHANGED, kPosFlags, SWP_NOMOVE | SWP_NOREDRAW | kQuiet | SWP_NOCLIENTMOVE},
                                {WM_SIZE, kWparam, SIZE_RESTORED}}),
                 "SetWindowPos with SWP_NOREDRAW");
}

// SetWindowPos(SWP_HIDEWINDOW | `flags`) sends the position change alone and hides the window.
void CheckHidingSendsOnlyThePositionChange(MessageLog &log, HWND hwnd, unsigned flags, const char *context) {
  const unsigned hide = SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | flags;
  CHECK(SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, hide));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, hide},
                                {WM_WINDOWPOSCHANGED, kPosFlags, hide | kClientUnchanged}}),
                 context);
  CHECK(!IsWindowVisible(hwnd));
}

CONFORMANCE_CASE(WindowPos, HideWindowOfAnInactiveWindow) {
  MessageLog log;
  HWND hidden = SettledWindow(log, WS_POPUP);
  log.Create(WS_POPUP | WS_VISIBLE, 400, 100, 100, 100);  // takes the activation
  log.Settle();
  CheckHidingSendsOnlyThePositionChange(log, hidden, kQuiet, "SetWindowPos(SWP_HIDEWINDOW)");
}

// Unlike ShowWindow(SW_HIDE), SetWindowPos's SWP_HIDEWINDOW only hides: the window stays
// active, with the focus.
CONFORMANCE_CASE(WindowPos, HideWindowOfTheActiveWindowKeepsItActive) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_OVERLAPPEDWINDOW);
  CHECK_EQ(GetActiveWindow(), hwnd);
  CheckHidingSendsOnlyThePositionChange(log, hwnd, SWP_NOZORDER, "SetWindowPos(SWP_HIDEWINDOW) of the active window");
  CHECK_EQ(GetActiveWindow(), hwnd);
  CHECK_EQ(GetFocus(), hwnd);
}

// Without SWP_NOACTIVATE, SetWindowPos activates a hidden window as a visible one, inside its
// position change: a raise of its own, then the application, the frame, the window and the
// focus. Makes a hidden window of `style` (at 100, 100, 300 by 200), calls
// SetWindowPos(`insert_after`, `x`, `y`, 300, 200, 0) on it and checks that sequence between
// `changing` and `changed`, and that the window is active and still hidden.
HWND CheckHiddenWindowActivated(MessageLog &log, DWORD style, HWND insert_after, int x, int y,
                                const Sequence &changing, const Sequence &changed, const char *context) {
  HWND hwnd = log.Create(style);
  log.Settle();
  CHECK(SetWindowPos(hwnd, insert_after, x, y, 300, 200, 0));
  CHECK_SEQUENCE(log,
                 Concat(Concat(changing, {{WM_WINDOWPOSCHANGING, kPosFlags | kOptional, SWP_NOSIZE | SWP_NOMOVE},
                                          {WM_WINDOWPOSCHANGED, kOptional, 0},
                                          {WM_NCCALCSIZE, kOptional, 0},
                                          {WM_ACTIVATEAPP, kWparam, TRUE},
                                          {WM_NCACTIVATE, kWparam, TRUE},
                                          {WM_ACTIVATE, kWparam, WA_ACTIVE},
                                          {WM_SETFOCUS, kWparam, 0}}),
                        changed),
                 context);
  CHECK(!IsWindowVisible(hwnd));
  CHECK_EQ(GetActiveWindow(), hwnd);
  CHECK_EQ(GetFocus(), hwnd);
  return hwnd;
}

CONFORMANCE_CASE(WindowPos, MovingAHiddenPopupActivatesIt) {
  MessageLog log;
  HWND hwnd = CheckHiddenWindowActivated(log, WS_POPUP, nullptr, 150, 120,
                                         {{WM_WINDOWPOSCHANGING, kPosFlags, 0}, {WM_NCCALCSIZE, kOptional, 0}},
                                         {{WM_WINDOWPOSCHANGED, 0, 0}, {WM_MOVE, 0, 0}}, "SetWindowPos of a hidden popup");
  CHECK_EQ(WindowRect(hwnd).left, 150);
}

CONFORMANCE_CASE(WindowPos, TopmostOfAHiddenOverlappedWindowActivatesItAfterItsLimits) {
  MessageLog log;
  HWND hwnd = CheckHiddenWindowActivated(log, WS_OVERLAPPEDWINDOW, HWND_TOPMOST, 100, 100,
                                         {{WM_WINDOWPOSCHANGING, kPosFlags, 0}, {WM_GETMINMAXINFO, 0, 0}},
                                         {{WM_WINDOWPOSCHANGED, 0, 0}},
                                         "SetWindowPos(HWND_TOPMOST) of a hidden overlapped window, in place");
  CHECK((GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
}

// SWP_NOCLIENTSIZE and SWP_NOCLIENTMOVE are Windows' own: a caller that passes either gets no
// message at all, whether it asks to show the window or not. (What the call returns is not
// checked: Windows' answer is not on record.)
CONFORMANCE_CASE(WindowPos, InternalClientFlagsFromACallerSendNothing) {
  KNOWN_WINE_DIFFERENCE("Wine carries out a request with SWP_NOCLIENTSIZE or SWP_NOCLIENTMOVE as any other");
  MessageLog log;
  HWND visible = SettledWindow(log, WS_POPUP);
  HWND hidden = log.Create(WS_POPUP, 400, 100, 100, 100);
  log.Settle();
  for (unsigned internal : {SWP_NOCLIENTSIZE, SWP_NOCLIENTMOVE}) {
    SetWindowPos(visible, nullptr, 150, 120, 320, 240, internal);
    SetWindowPos(hidden, nullptr, 0, 0, 0, 0, internal | SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE);
    CHECK_SEQUENCE(log, Sequence(), "SetWindowPos with an internal flag");
  }
}

CONFORMANCE_CASE(WindowPos, ShowWindowFlagShowsAndActivatesWithoutSizeMessages) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW);
  log.Settle();
  CHECK(SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE));
  Sequence show = ShowAndActivateFirst();
  show.erase(show.begin());  // no WM_SHOWWINDOW from SetWindowPos
  CHECK_SEQUENCE(log, show, "SetWindowPos(SWP_SHOWWINDOW)");
  CHECK(IsWindowVisible(hwnd));
}

CONFORMANCE_CASE(WindowPos, FrameChangeRecalculatesWithTheRealRectangle) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_OVERLAPPEDWINDOW);
  const unsigned flags = SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | kQuiet;
  CHECK(SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, flags},
                                {WM_NCCALCSIZE, kWparam, TRUE},
                                {WM_NCPAINT, 0, 0},
                                {WM_ERASEBKGND, kOptional, 0},
                                {WM_WINDOWPOSCHANGED, kPosFlags, flags | kClientUnchanged}}),
                 "SetWindowPos(SWP_FRAMECHANGED)");
  const Logged *calc = log.Find(WM_NCCALCSIZE);
  const Logged *changed = log.Find(WM_WINDOWPOSCHANGED);
  RECT rect = WindowRect(hwnd);
  if (calc) {
    CHECK_EQ(calc->pos_rect.left, rect.left);
    CHECK_EQ(calc->pos_rect.bottom, rect.bottom);
  }
  if (changed) {
    CHECK_EQ(changed->pos_rect.left, rect.left);
    CHECK_EQ(changed->pos_rect.top, rect.top);
    CHECK_EQ(changed->pos_rect.right, rect.right);
    CHECK_EQ(changed->pos_rect.bottom, rect.bottom);
  }
  log.Clear();
  UpdateWindow(hwnd);
  CHECK_SEQUENCE(log, Sequence(), "UpdateWindow after a frame change");
}

CONFORMANCE_CASE(WindowPos, DeferEraseLeavesTheFrameToBeginPaint) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_OVERLAPPEDWINDOW);
  const unsigned flags = SWP_FRAMECHANGED | SWP_DEFERERASE | SWP_NOMOVE | SWP_NOSIZE | kQuiet;
  CHECK(SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags));
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, flags},
                                {WM_NCCALCSIZE, kWparam, TRUE},
                                {WM_WINDOWPOSCHANGED, kPosFlags, flags | kClientUnchanged}}),
                 "SetWindowPos(SWP_FRAMECHANGED | SWP_DEFERERASE)");
  log.Clear();
  UpdateWindow(hwnd);
  CHECK_SEQUENCE(log, Sequence({{WM_PAINT, 0, 0}, {WM_NCPAINT, kInBeginPaint, 0}}),
                 "UpdateWindow after a deferred erase");
}

// A frame change whose WM_NCCALCSIZE answer moves and grows the client area, as a borderless
// window's does: WM_WINDOWPOSCHANGED says so, and WM_MOVE and WM_SIZE follow.
CONFORMANCE_CASE(WindowPos, FrameChangeThatMovesTheClientSendsMoveAndSize) {
  MessageLog log;
  HWND hwnd = SettledWindow(log, WS_OVERLAPPEDWINDOW);
  log.hook = [](HWND, UINT message, WPARAM, LPARAM, LRESULT *result) {
    *result = 0;
    return message == WM_NCCALCSIZE;  // the whole window becomes client area
  };
  const unsigned flags = SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | kQuiet;
  CHECK(SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags));
  const Logged *changed = log.Find(WM_WINDOWPOSCHANGED);
  CHECK(changed != nullptr);
  if (changed) CHECK_EQ(changed->pos_flags, flags);
  const Logged *move = log.Find(WM_MOVE);
  const Logged *size = log.Find(WM_SIZE);
  CHECK(move && size && changed < move && move < size);
  if (move) CHECK_EQ(move->lparam, MAKELPARAM(100, 100));
  if (size) CHECK_EQ(size->lparam, MAKELPARAM(300, 200));
}
