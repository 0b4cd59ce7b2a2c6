// Creating and destroying top-level windows: which windows learn their size and position at
// creation (every window that is not overlapped) and which at their first showing, how a
// visible window is shown and activated from CreateWindowExW, and DestroyWindow's order.
#include <windows.h>

#include "conformance/check.h"
#include "conformance/message_log.h"
#include "conformance/sequences.h"

using namespace conformance;

CONFORMANCE_CASE(Creation, HiddenOverlappedWindowWaitsForItsFirstShowing) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW);
  CHECK_SEQUENCE(log, Sequence({{WM_GETMINMAXINFO, 0, 0},
                                {WM_NCCREATE, 0, 0},
                                {WM_NCCALCSIZE, kWparam, FALSE},
                                {WM_CREATE, 0, 0}}),
                 "CreateWindowExW(WS_OVERLAPPEDWINDOW)");
  CHECK(!IsWindowVisible(hwnd));
  RECT rect;
  GetWindowRect(hwnd, &rect);
  CHECK_EQ(rect.left, 100);
  CHECK_EQ(rect.right - rect.left, 300);
}

CONFORMANCE_CASE(Creation, HiddenPopupLearnsItsSizeAndPositionRightAfterCreate) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP, 120, 130, 300, 200);
  CHECK_SEQUENCE(log, Sequence({{WM_NCCREATE, 0, 0},
                                {WM_NCCALCSIZE, kWparam, FALSE},
                                {WM_CREATE, 0, 0},
                                {WM_SIZE, kWparam, SIZE_RESTORED},
                                {WM_MOVE, 0, 0}}),
                 "CreateWindowExW(WS_POPUP)");
  const Logged *size = log.Find(WM_SIZE);
  const Logged *move = log.Find(WM_MOVE);
  if (size && move) {
    CHECK_EQ(size->lparam, MAKELPARAM(300, 200));
    CHECK_EQ(move->lparam, MAKELPARAM(120, 130));
  }
  CHECK(!IsWindowVisible(hwnd));
  // The first showing then sends them no more.
  log.Clear();
  ShowWindow(hwnd, SW_SHOW);
  CHECK(log.Find(WM_SIZE) == nullptr);
  CHECK(log.Find(WM_MOVE) == nullptr);
}

CONFORMANCE_CASE(Creation, VisiblePopupIsSizedThenShownAndActivated) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP | WS_VISIBLE);
  CHECK_SEQUENCE(log, Concat({{WM_NCCREATE, 0, 0},
                              {WM_NCCALCSIZE, kWparam, FALSE},
                              {WM_CREATE, 0, 0},
                              {WM_SIZE, kWparam, SIZE_RESTORED},
                              {WM_MOVE, 0, 0}},
                             ShowAndActivateFirst()),
                 "CreateWindowExW(WS_POPUP | WS_VISIBLE)");
  CHECK(IsWindowVisible(hwnd));
  CHECK_EQ(GetActiveWindow(), hwnd);
  CHECK_EQ(GetFocus(), hwnd);
  // A new window is on top already: its Z order does not change.
  if (const Logged *changed = log.Find(WM_WINDOWPOSCHANGED)) {
    CHECK_EQ(changed->pos_flags, kShownPositionUnchanged | SWP_NOZORDER);
  }
}

CONFORMANCE_CASE(Creation, VisibleOverlappedWindowLearnsItsSizeAfterShowing) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  CHECK_SEQUENCE(log, Concat(Concat({{WM_GETMINMAXINFO, 0, 0},
                                     {WM_NCCREATE, 0, 0},
                                     {WM_NCCALCSIZE, kWparam, FALSE},
                                     {WM_CREATE, 0, 0}},
                                    ShowAndActivateFirst()),
                             {{WM_SIZE, kWparam, SIZE_RESTORED}, {WM_MOVE, 0, 0}}),
                 "CreateWindowExW(WS_OVERLAPPEDWINDOW | WS_VISIBLE)");
  CHECK_EQ(GetActiveWindow(), hwnd);
  if (const Logged *changed = log.Find(WM_WINDOWPOSCHANGED)) {
    CHECK_EQ(changed->pos_flags, kShownPositionUnchanged | SWP_NOZORDER);
  }
  RECT client, frame = {0, 0, 0, 0};
  GetClientRect(hwnd, &client);
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  const Logged *size = log.Find(WM_SIZE);
  if (size) CHECK_EQ(size->lparam, MAKELPARAM(client.right, client.bottom));
  CHECK_EQ(client.right, 300 - (frame.right - frame.left));
  CHECK_EQ(client.bottom, 200 - (frame.bottom - frame.top));
}

// A borderless window as the program makes one: a popup whose procedure answers WM_NCCALCSIZE
// itself, so the whole window is client area.
CONFORMANCE_CASE(Creation, BorderlessPopupIsAllClientArea) {
  MessageLog log;
  log.hook = [](HWND, UINT message, WPARAM, LPARAM, LRESULT *result) {
    *result = 0;
    return message == WM_NCCALCSIZE;
  };
  HWND hwnd = log.Create(WS_POPUP | WS_VISIBLE, 50, 60, 640, 480);
  const Logged *size = log.Find(WM_SIZE);
  const Logged *move = log.Find(WM_MOVE);
  CHECK(size && move && size < move && log.Find(WM_SHOWWINDOW) > move);
  if (size && move) {
    CHECK_EQ(size->lparam, MAKELPARAM(640, 480));
    CHECK_EQ(move->lparam, MAKELPARAM(50, 60));
  }
  RECT client, window;
  GetClientRect(hwnd, &client);
  GetWindowRect(hwnd, &window);
  CHECK_EQ(client.right, 640);
  CHECK_EQ(client.bottom, 480);
  CHECK_EQ(window.left, 50);
  CHECK_EQ(window.top, 60);
}

CONFORMANCE_CASE(Creation, RefusedCreationDestroysTheWindow) {
  MessageLog log;
  log.hook = [](HWND, UINT message, WPARAM, LPARAM, LRESULT *result) {
    *result = -1;
    return message == WM_CREATE;
  };
  HWND hwnd = CreateWindowExW(0, L"conformance", L"refused", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
  CHECK(hwnd == nullptr);
  const unsigned any = kAnyWindow;
  CHECK_SEQUENCE(log, Sequence({{WM_NCCREATE, any, 0},
                                {WM_NCCALCSIZE, any, 0},
                                {WM_CREATE, any, 0},
                                {WM_DESTROY, any | kOptional, 0},
                                {WM_NCDESTROY, any, 0}}),
                 "creation refused in WM_CREATE");
}

CONFORMANCE_CASE(Creation, UnknownClassFails) {
  KNOWN_WINE_DIFFERENCE("Wine reports ERROR_CLASS_DOES_NOT_EXIST (1411) where Windows reports 1407");
  SetLastError(0);
  HWND hwnd = CreateWindowExW(0, L"no such class", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CHECK(hwnd == nullptr);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_CANNOT_FIND_WND_CLASS);
}

CONFORMANCE_CASE(Destruction, VisibleActiveWindowIsHiddenDeactivatedThenDestroyed) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  log.Settle();
  CHECK(DestroyWindow(hwnd));
  const unsigned hide = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
  CHECK_SEQUENCE(log, Sequence({{WM_WINDOWPOSCHANGING, kPosFlags, hide},
                                {WM_WINDOWPOSCHANGED, kPosFlags, hide | kClientUnchanged},
                                {WM_NCACTIVATE, kWparam, FALSE},
                                {WM_ACTIVATE, kWparam, WA_INACTIVE},
                                {WM_ACTIVATEAPP, kWparam | kOptional, FALSE},
                                {WM_KILLFOCUS, kWparam, 0},
                                {WM_DESTROY, 0, 0},
                                {WM_NCDESTROY, 0, 0}}),
                 "DestroyWindow of the active window");
  CHECK(!IsWindow(hwnd));
  CHECK(GetActiveWindow() != hwnd);
  CHECK(GetFocus() != hwnd);
}

CONFORMANCE_CASE(Destruction, HiddenWindowGetsOnlyDestroyAndNcDestroy) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP);
  log.Settle();
  CHECK(DestroyWindow(hwnd));
  CHECK_SEQUENCE(log, Sequence({{WM_DESTROY, 0, 0}, {WM_NCDESTROY, 0, 0}}), "DestroyWindow of a hidden window");
}

CONFORMANCE_CASE(Destruction, StaleHandleIsInvalid) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP);
  DestroyWindow(hwnd);
  CHECK(!DestroyWindow(hwnd));
  SetLastError(0);
  RECT rect;
  CHECK(!GetWindowRect(hwnd, &rect));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
  CHECK(!IsWindow(hwnd));
}
