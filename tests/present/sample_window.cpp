// The program's window class and windows for the window procedure's tests.
#include "present/sample_window.h"

#include <stdio.h>

#include "app/options.h"
#include "present/window_proc.h"

namespace interlock {

HWND OpenSampleWindow(window_renderer *wr, int x, int y, int width, int height) {
  static ATOM registered = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(0);
    wc.lpszClassName = L"window";
    return RegisterClassW(&wc);
  }();
  (void)registered;
  DWORD style = no_decorations ? (WS_POPUP | WS_VISIBLE) : (WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  wr->window = CreateWindowExW(WS_EX_NOREDIRECTIONBITMAP | WS_EX_APPWINDOW, L"window", L"Sample", style, x, y, width,
                               height, NULL, NULL, NULL, wr);
  return wr->window;
}

void DispatchWaitingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

RECT OuterRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

std::string PointerText(const void *pointer) {
  char text[32];
  snprintf(text, sizeof text, "%p", pointer);
  return text;
}

}  // namespace interlock
