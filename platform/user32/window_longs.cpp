// user32: a window's values by index (GetWindowLongPtrW, SetWindowLongPtrW). Changing the style
// is announced with WM_STYLECHANGING and WM_STYLECHANGED, as on Windows; the frame follows only
// at the next SetWindowPos with SWP_FRAMECHANGED. Classes here reserve no extra window bytes, so
// every non-negative index is invalid.
#include "kernel32/kernel32_internal.h"
#include "common/log.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

// The value at `index`, or false for an index Windows does not know.
bool ReadLong(const WindowPtr &window, int index, LONG_PTR *value) {
  switch (index) {
    case GWLP_WNDPROC: *value = reinterpret_cast<LONG_PTR>(window->proc); return true;
    case GWLP_HINSTANCE: *value = reinterpret_cast<LONG_PTR>(window->instance); return true;
    case GWLP_HWNDPARENT: *value = reinterpret_cast<LONG_PTR>(window->parent); return true;
    case GWLP_ID: *value = window->id; return true;
    case GWL_STYLE: *value = window->style; return true;
    case GWL_EXSTYLE: *value = window->ex_style; return true;
    case GWLP_USERDATA: *value = window->user_data; return true;
  }
  return false;
}

void ChangeStyle(const WindowPtr &window, int index, DWORD *field, DWORD value) {
  STYLESTRUCT change = {*field, value};
  Send(window->hwnd, WM_STYLECHANGING, (WPARAM)index, (LPARAM)&change);
  if (!FindWindowObject(window->hwnd, false)) return;
  *field = change.styleNew;  // the procedure may have changed the request
  Send(window->hwnd, WM_STYLECHANGED, (WPARAM)index, (LPARAM)&change);
  UpdateDisplay(window);
}

void WriteLong(const WindowPtr &window, int index, LONG_PTR value) {
  switch (index) {
    case GWLP_WNDPROC: window->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWLP_HINSTANCE: window->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWLP_HWNDPARENT: window->parent = reinterpret_cast<HWND>(value); break;
    case GWLP_ID: window->id = value; break;
    case GWL_STYLE: ChangeStyle(window, index, &window->style, static_cast<DWORD>(value)); break;
    case GWL_EXSTYLE: ChangeStyle(window, index, &window->ex_style, static_cast<DWORD>(value)); break;
    case GWLP_USERDATA: window->user_data = value; break;
  }
}

}  // namespace
}  // namespace ilk::user32

using namespace ilk::user32;

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index) {
  LONG_PTR value = 0;
  if (!ilk::kernel32::FailsWithLastError("GetWindowLongPtrW")) {
    WindowPtr window = FindWindowObject(hwnd);
    if (window && !ReadLong(window, index, &value)) ilk::kernel32::SetThreadLastError(ERROR_INVALID_INDEX);
  }
  ilk::Trace("GetWindowLongPtrW(%p, %d) = 0x%llx", (void *)hwnd, index, (long long)value);
  return value;
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  LONG_PTR previous = 0;
  if (!ilk::kernel32::FailsWithLastError("SetWindowLongPtrW")) {
    WindowPtr window = FindWindowObject(hwnd);
    if (window && ReadLong(window, index, &previous)) {
      WriteLong(window, index, value);
    } else if (window) {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_INDEX);
    }
  }
  ilk::Trace("SetWindowLongPtrW(%p, %d, 0x%llx) = 0x%llx", (void *)hwnd, index, (long long)value, (long long)previous);
  return previous;
}
