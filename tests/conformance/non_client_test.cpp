// DefWindowProcW's non-client handling: the client area it computes, hit-testing, and the
// commands a press on the frame or the system menu turns into.
#include <windows.h>

#include "conformance/check.h"
#include "conformance/message_log.h"
#include "conformance/sequences.h"

using namespace conformance;

namespace {

RECT Frame(DWORD style) {
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  return frame;
}

LRESULT HitTest(HWND hwnd, int x, int y) { return SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)); }

}  // namespace

CONFORMANCE_CASE(NonClient, CalcSizeTakesTheFrameOff) {
  MessageLog log;
  HWND overlapped = log.Create(WS_OVERLAPPEDWINDOW);
  HWND popup = log.Create(WS_POPUP);
  RECT rect = {100, 100, 400, 300};
  CHECK_EQ(SendMessageW(overlapped, WM_NCCALCSIZE, FALSE, (LPARAM)&rect), 0);
  RECT frame = Frame(WS_OVERLAPPEDWINDOW);
  CHECK_EQ(rect.left, 100 - frame.left);
  CHECK_EQ(rect.top, 100 - frame.top);
  CHECK_EQ(rect.right, 400 - frame.right);
  CHECK_EQ(rect.bottom, 300 - frame.bottom);
  RECT popup_rect = {100, 100, 400, 300};
  SendMessageW(popup, WM_NCCALCSIZE, FALSE, (LPARAM)&popup_rect);
  CHECK_EQ(popup_rect.left, 100);
  CHECK_EQ(popup_rect.bottom, 300);
}

CONFORMANCE_CASE(NonClient, ClientAreaFollowsAdjustWindowRect) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW, 100, 100, 300, 200);
  RECT window, client;
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  RECT frame = Frame(WS_OVERLAPPEDWINDOW);
  CHECK_EQ(client.left, 0);
  CHECK_EQ(client.right, 300 - (frame.right - frame.left));
  CHECK_EQ(client.bottom, 200 - (frame.bottom - frame.top));
  POINT origin = {0, 0};
  CHECK(ClientToScreen(hwnd, &origin));
  CHECK_EQ(origin.x, window.left - frame.left);
  CHECK_EQ(origin.y, window.top - frame.top);
}

CONFORMANCE_CASE(NonClient, HitTestFindsClientCaptionEdgesAndNowhere) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  RECT window;
  GetWindowRect(hwnd, &window);
  POINT client = {0, 0};
  ClientToScreen(hwnd, &client);
  const int middle_x = (window.left + window.right) / 2, middle_y = (window.top + window.bottom) / 2;
  CHECK_EQ(HitTest(hwnd, middle_x, middle_y), (LRESULT)HTCLIENT);
  CHECK_EQ(HitTest(hwnd, middle_x, client.y - 4), (LRESULT)HTCAPTION);
  CHECK_EQ(HitTest(hwnd, window.left + 1, middle_y), (LRESULT)HTLEFT);
  CHECK_EQ(HitTest(hwnd, window.right - 2, middle_y), (LRESULT)HTRIGHT);
  CHECK_EQ(HitTest(hwnd, middle_x, window.bottom - 2), (LRESULT)HTBOTTOM);
  CHECK_EQ(HitTest(hwnd, window.right - 2, window.bottom - 2), (LRESULT)HTBOTTOMRIGHT);
  CHECK_EQ(HitTest(hwnd, window.left - 5, middle_y), (LRESULT)HTNOWHERE);
}

CONFORMANCE_CASE(NonClient, PopupIsAllClientToHitTesting) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP | WS_VISIBLE, 100, 100, 300, 200);
  CHECK_EQ(HitTest(hwnd, 100, 100), (LRESULT)HTCLIENT);
  CHECK_EQ(HitTest(hwnd, 399, 299), (LRESULT)HTCLIENT);
  CHECK_EQ(HitTest(hwnd, 400, 299), (LRESULT)HTNOWHERE);
}

CONFORMANCE_CASE(NonClient, CloseCommandClosesAndCloseDestroys) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW);
  log.Settle();
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  CHECK_SEQUENCE(log, Sequence({{WM_SYSCOMMAND, kWparam, SC_CLOSE},
                                {WM_CLOSE, 0, 0},
                                {WM_DESTROY, 0, 0},
                                {WM_NCDESTROY, 0, 0}}),
                 "WM_SYSCOMMAND(SC_CLOSE)");
  CHECK(!IsWindow(hwnd));
}

CONFORMANCE_CASE(NonClient, AltF4PostsTheCloseCommand) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW);
  log.Settle();
  SendMessageW(hwnd, WM_SYSKEYDOWN, VK_F4, 1 << 29);  // bit 29: Alt is held
  MSG msg;
  CHECK(PeekMessageW(&msg, hwnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  CHECK_EQ(msg.wParam & 0xFFF0, (WPARAM)SC_CLOSE);
  CHECK(IsWindow(hwnd));
}

// The window menu's Move (SC_MOVE without a press) runs the modal loop from the keyboard; a
// posted Escape ends it at once and leaves the window where it was.
CONFORMANCE_CASE(NonClient, KeyboardMoveLoopEndsWithEscape) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
  UpdateWindow(hwnd);
  log.Settle();
  PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MOVE, 0);
  const Logged *command = log.Find(WM_SYSCOMMAND);
  const Logged *enter = log.Find(WM_ENTERSIZEMOVE);
  const Logged *exit = log.Find(WM_EXITSIZEMOVE);
  CHECK(command && enter && exit && command < enter && enter < exit);
  const Logged *capture = log.Find(WM_CAPTURECHANGED);
  if (capture && enter && exit) CHECK(enter < capture && capture < exit);
  RECT rect;
  GetWindowRect(hwnd, &rect);
  CHECK_EQ(rect.left, 100);
  CHECK_EQ(rect.top, 100);
  MSG msg;
  CHECK(!PeekMessageW(&msg, hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));  // the loop took the key
}
