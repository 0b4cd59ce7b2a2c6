// The recording window class of the user32 tests.
#include "platform/user32/message_recorder.h"

#include <stdlib.h>

namespace {

MessageRecorder *current = nullptr;

// These tests expect the headless desktop whatever DISPLAY says; knobs are read on first use.
const int kHeadless = setenv("INTERLOCK_DISPLAY", "headless", 1);

}  // namespace

MessageRecorder::MessageRecorder() {
  // Registered unless it is: a shut-down of the platform unregisters it.
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Procedure;
  wc.hbrBackground = CreateSolidBrush(0x0000FF);
  wc.lpszClassName = L"recorder";
  if (!RegisterClassW(&wc)) DeleteObject(wc.hbrBackground);
  current = this;
}

MessageRecorder::~MessageRecorder() { current = nullptr; }

HWND MessageRecorder::Create(DWORD style, int x, int y, int width, int height, DWORD ex_style) {
  return CreateWindowExW(ex_style, L"recorder", L"recorded", style, x, y, width, height, NULL, NULL, NULL, NULL);
}

std::vector<UINT> MessageRecorder::Numbers(HWND only) const {
  std::vector<UINT> numbers;
  for (const RecordedMessage &m : messages_) {
    if (!only || m.hwnd == only) numbers.push_back(m.message);
  }
  return numbers;
}

LRESULT CALLBACK MessageRecorder::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (current) {
    UINT flags = 0;
    if (message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED) flags = reinterpret_cast<WINDOWPOS *>(lparam)->flags;
    current->messages_.push_back({hwnd, message, wparam, flags});
    LRESULT result;
    if (current->intercept && current->intercept(hwnd, message, wparam, lparam, &result)) return result;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

int DrainMessages() {
  MSG msg;
  int count = 0;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++count;
  }
  return count;
}
