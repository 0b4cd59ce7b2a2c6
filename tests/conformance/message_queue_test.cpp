// The thread's message queue: posting, peeking (with and without removal, with filters and a
// null message pointer), GetMessage, the quit message, dispatching and sending.
#include <windows.h>

#include "conformance/check.h"
#include "conformance/message_log.h"
#include "conformance/sequences.h"

using namespace conformance;

CONFORMANCE_CASE(Queue, PostedMessagesComeBackInOrderWithTheirParameters) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP);
  log.Settle();
  CHECK(PostMessageW(hwnd, WM_USER, 1, 2));
  CHECK(PostMessageW(nullptr, WM_USER + 1, 3, 4));  // a thread message
  MSG msg;
  CHECK(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  CHECK_EQ(msg.message, (UINT)WM_USER);
  CHECK(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  CHECK_EQ(msg.hwnd, hwnd);
  CHECK_EQ(msg.message, (UINT)WM_USER);
  CHECK_EQ(msg.wParam, (WPARAM)1);
  CHECK_EQ(msg.lParam, (LPARAM)2);
  CHECK(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  CHECK(msg.hwnd == nullptr);
  CHECK_EQ(msg.message, (UINT)(WM_USER + 1));
  CHECK_EQ(msg.lParam, (LPARAM)4);
  CHECK(!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

CONFORMANCE_CASE(Queue, FiltersSelectByWindowAndRange) {
  MessageLog log;
  HWND first = log.Create(WS_POPUP);
  HWND second = log.Create(WS_POPUP);
  log.Settle();
  PostMessageW(first, WM_USER, 1, 0);
  PostMessageW(second, WM_USER + 5, 2, 0);
  PostMessageW(nullptr, WM_USER + 9, 3, 0);
  MSG msg;
  CHECK(PeekMessageW(&msg, second, 0, 0, PM_REMOVE));
  CHECK_EQ(msg.wParam, (WPARAM)2);
  CHECK(PeekMessageW(&msg, (HWND)-1, 0, 0, PM_REMOVE));  // only messages without a window
  CHECK_EQ(msg.wParam, (WPARAM)3);
  CHECK(!PeekMessageW(&msg, nullptr, WM_USER + 1, WM_USER + 100, PM_REMOVE));
  CHECK(PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
  CHECK_EQ(msg.wParam, (WPARAM)1);
}

// Some programs pump their queue with a null message pointer. Windows takes the message and
// then fails to write it where the pointer points: the result is FALSE with ERROR_NOACCESS, and
// the message is gone (or, without PM_REMOVE, still there).
CONFORMANCE_CASE(Queue, PeekWithANullMessagePointerTakesTheMessageAndFails) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP);
  log.Settle();
  PostMessageW(hwnd, WM_USER, 0, 0);
  SetLastError(0);
  CHECK(!PeekMessageA(nullptr, nullptr, 0, 0, PM_NOREMOVE));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_NOACCESS);
  SetLastError(0);
  CHECK(!PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_NOACCESS);
  MSG msg;
  CHECK(!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  CHECK(!PeekMessageW(nullptr, nullptr, 0, 0, PM_REMOVE));  // an empty queue: nothing to write
}

CONFORMANCE_CASE(Queue, GetMessageReturnsPostedMessagesThenZeroForQuit) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP);
  log.Settle();
  PostMessageW(hwnd, WM_USER, 7, 0);
  PostQuitMessage(3);
  MSG msg;
  CHECK_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
  CHECK_EQ(msg.message, (UINT)WM_USER);
  CHECK_EQ(msg.wParam, (WPARAM)7);
  CHECK_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
  CHECK_EQ(msg.message, (UINT)WM_QUIT);
  CHECK_EQ(msg.wParam, (WPARAM)3);
  CHECK(msg.hwnd == nullptr);
  CHECK(!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));  // the quit message is taken once
}

CONFORMANCE_CASE(Queue, QuitComesBeforePainting) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP | WS_VISIBLE);
  log.Settle();
  InvalidateRect(hwnd, nullptr, TRUE);
  PostQuitMessage(0);
  MSG msg;
  CHECK(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  CHECK_EQ(msg.message, (UINT)WM_QUIT);
  CHECK(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  CHECK_EQ(msg.message, (UINT)WM_PAINT);
  CHECK_EQ(msg.hwnd, hwnd);
  DispatchMessageW(&msg);
}

CONFORMANCE_CASE(Queue, GetMessageForAnInvalidWindowFails) {
  MSG msg;
  SetLastError(0);
  CHECK_EQ(GetMessageW(&msg, (HWND)(uintptr_t)0xdead0, 0, 0), -1);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
}

CONFORMANCE_CASE(Queue, DispatchCallsTheProcedureAndReturnsItsResult) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP);
  log.Settle();
  log.hook = [](HWND, UINT message, WPARAM wparam, LPARAM, LRESULT *result) {
    *result = (LRESULT)wparam * 2;
    return message == WM_USER;
  };
  MSG msg = {hwnd, WM_USER, 21, 0, 0, {0, 0}};
  CHECK_EQ(DispatchMessageW(&msg), (LRESULT)42);
  CHECK_SEQUENCE(log, Sequence({{WM_USER, kWparam, 21}}), "DispatchMessageW");
  MSG thread_message = {nullptr, WM_USER, 21, 0, 0, {0, 0}};
  CHECK_EQ(DispatchMessageW(&thread_message), (LRESULT)0);
  CHECK_EQ(SendMessageW(hwnd, WM_USER, 50, 0), (LRESULT)100);
}

CONFORMANCE_CASE(Queue, InvalidWindowsRefuseMessages) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP);
  DestroyWindow(hwnd);
  SetLastError(0);
  CHECK(!PostMessageW(hwnd, WM_USER, 0, 0));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
  SetLastError(0);
  CHECK_EQ(SendMessageW(hwnd, WM_USER, 0, 0), (LRESULT)0);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
}

CONFORMANCE_CASE(Queue, WindowLongsHoldTheProcedureAndStyles) {
  MessageLog log;
  HWND hwnd = log.Create(WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, WS_EX_APPWINDOW);
  CHECK_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & (LONG_PTR)(WS_POPUP | WS_VISIBLE), (LONG_PTR)(WS_POPUP | WS_VISIBLE));
  CHECK((GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0);
  CHECK_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, 1234), (LONG_PTR)0);
  CHECK_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), (LONG_PTR)1234);
  CHECK(GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != 0);
  SetLastError(0);
  CHECK_EQ(GetWindowLongPtrW(hwnd, 4096), (LONG_PTR)0);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_INDEX);
}
