#include "move_size/keyboard_sizing.h"

namespace interlock {

namespace {

const int kKeyboardStep = 10;

}  // namespace

void SizeByKey(HWND window, WPARAM key) {
  RECT window_size;
  GetWindowRect(window, &window_size);
  LONG width = window_size.right - window_size.left;
  LONG height = window_size.bottom - window_size.top;
  if (key == VK_OEM_PLUS) {
    SetWindowPos(window, NULL, window_size.left - kKeyboardStep, window_size.top - kKeyboardStep,
                 width + kKeyboardStep, height + kKeyboardStep, 0);
  } else if (key == VK_OEM_MINUS) {
    SetWindowPos(window, NULL, window_size.left + kKeyboardStep, window_size.top + kKeyboardStep,
                 width - kKeyboardStep, height - kKeyboardStep, 0);
  }
}

}  // namespace interlock
