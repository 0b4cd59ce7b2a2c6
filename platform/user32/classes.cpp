// user32: window classes (RegisterClassW, the system class "STATIC") and cursors (LoadCursorW).
#include <wctype.h>

#include <map>
#include <mutex>

#include "common/log.h"
#include "common/platform_state.h"
#include "kernel32/kernel32_internal.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

std::wstring Folded(const std::wstring &name) {
  std::wstring folded = name;
  for (wchar_t &c : folded) c = towlower(c);
  return folded;
}

// Application classes by folded name; a class lives until the platform shuts down.
struct ClassTable {
  std::mutex mutex;
  std::multimap<std::wstring, std::shared_ptr<const WindowClass>> classes;
};

PlatformState<ClassTable> class_table;
std::multimap<std::wstring, std::shared_ptr<const WindowClass>> &Classes() { return class_table.Get().classes; }

// The system class "STATIC": the window manager's default behaviour stands in for the static
// control's own procedure, which draws text this platform never shows.
std::shared_ptr<const WindowClass> StaticClass() {
  static auto static_class = [] {
    auto window_class = std::make_shared<WindowClass>();
    window_class->name = L"STATIC";
    window_class->proc = DefWindowProcW;
    return std::shared_ptr<const WindowClass>(window_class);
  }();
  return static_class;
}

}  // namespace

std::shared_ptr<const WindowClass> FindClass(const std::wstring &name, HINSTANCE instance) {
  std::lock_guard<std::mutex> lock(class_table.Get().mutex);
  std::wstring folded = Folded(name);
  auto range = Classes().equal_range(folded);
  // A class registered by the calling module is preferred, as Windows does for local classes.
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second->instance == instance) return it->second;
  }
  if (range.first != range.second) return range.first->second;
  if (folded == L"static") return StaticClass();
  return nullptr;
}

}  // namespace ilk::user32

using namespace ilk::user32;

ATOM WINAPI RegisterClassW(const WNDCLASSW *wnd_class) {
  static ATOM next_atom = 0xC000;  // application class atoms start here on Windows
  ATOM atom = 0;
  if (!ilk::kernel32::FailsWithLastError("RegisterClassW")) {
    if (!wnd_class || !wnd_class->lpszClassName || !wnd_class->lpfnWndProc) {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_PARAMETER);
    } else {
      std::wstring folded = Folded(wnd_class->lpszClassName);
      std::lock_guard<std::mutex> lock(class_table.Get().mutex);
      auto range = Classes().equal_range(folded);
      bool exists = false;
      for (auto it = range.first; it != range.second; ++it) exists |= it->second->instance == wnd_class->hInstance;
      if (exists) {
        ilk::kernel32::SetThreadLastError(ERROR_CLASS_ALREADY_EXISTS);
      } else {
        auto window_class = std::make_shared<WindowClass>();
        window_class->name = wnd_class->lpszClassName;
        window_class->style = wnd_class->style;
        window_class->proc = wnd_class->lpfnWndProc;
        window_class->instance = wnd_class->hInstance;
        window_class->cursor = wnd_class->hCursor;
        window_class->background = wnd_class->hbrBackground;
        Classes().emplace(folded, window_class);
        atom = next_atom++;
      }
    }
  }
  ilk::Trace("RegisterClassW(\"%s\") = 0x%x", wnd_class && wnd_class->lpszClassName ? ilk::Utf8(wnd_class->lpszClassName).c_str() : "(null)", atom);
  return atom;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR cursor_name) {
  // The system cursors (IDC_ARROW and friends) are identified by their resource number; a
  // cursor handle stands for that shape only, as the display draws its own pointer.
  HCURSOR cursor = nullptr;
  uintptr_t id = reinterpret_cast<uintptr_t>(cursor_name);
  if (!ilk::kernel32::FailsWithLastError("LoadCursorW")) {
    if (instance == nullptr && id >= 32512 && id <= 32651) {
      cursor = reinterpret_cast<HCURSOR>(0x10000 + id);
    } else {
      // ERROR_RESOURCE_TYPE_NOT_FOUND: no module here carries cursor resources.
      ilk::kernel32::SetThreadLastError(1813);
    }
  }
  ilk::Trace("LoadCursorW(%p, %lu) = %p", (void *)instance, (unsigned long)id, (void *)cursor);
  return cursor;
}
