// user32: the window table and the life of a window (CreateWindowExW/A, DestroyWindow, IsWindow,
// GetWindowRect, GetClientRect). Handle values are never reused, so a stale HWND stays invalid.
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "common/log.h"
#include "common/platform_state.h"
#include "gdi32/gdi32_internal.h"
#include "display/display.h"
#include "kernel32/kernel32_internal.h"
#include "user32_internal.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

struct WindowTable {
  std::mutex mutex;
  std::vector<WindowPtr> windows;  // topmost first: the Z order of the top-level windows
  // The thread the live windows belong to; none while there are none. Set and cleared under
  // the lock, read anywhere.
  std::atomic<std::thread::id> thread;

  ~WindowTable() { platform_state::RequireNoneLeft(windows.size(), "window(s)"); }
};

PlatformState<WindowTable> window_table;
WindowTable &State() { return window_table.Get(); }
std::vector<WindowPtr> &Table() { return State().windows; }

// Handle values look like Windows' (small, multiples of 2) and count upwards.
HWND NextWindowHandle() {
  static uintptr_t next = 0x10010;
  next += 2;
  return reinterpret_cast<HWND>(next);
}

}  // namespace

void CheckWindowThread(HWND hwnd, std::thread::id owner) {
  if (owner == std::this_thread::get_id()) return;
  if (hwnd) {
    Log("window %p used by a thread that does not own it", (void *)hwnd);
  } else {
    Log("the message queue used by a thread that has no windows while another has");
  }
  abort();
}

void CheckQueueThread() {
  std::thread::id owner = State().thread;
  if (owner != std::thread::id()) CheckWindowThread(nullptr, owner);
}

WindowPtr FindWindowAnyThread(HWND hwnd) {
  std::lock_guard<std::mutex> lock(State().mutex);
  for (const WindowPtr &window : Table()) {
    if (window->hwnd == hwnd) return window;
  }
  return nullptr;
}

WindowPtr FindWindowObject(HWND hwnd, bool report) {
  WindowPtr window = FindWindowAnyThread(hwnd);
  if (window) {
    CheckWindowThread(hwnd, window->thread);
  } else if (report) {
    ilk::kernel32::SetThreadLastError(ERROR_INVALID_WINDOW_HANDLE);
  }
  return window;
}

void AddWindowObject(const WindowPtr &window) {
  std::lock_guard<std::mutex> lock(State().mutex);
  if (!Table().empty()) CheckWindowThread(window->hwnd, State().thread);
  State().thread = window->thread;
  Table().insert(Table().begin(), window);
}

void RemoveWindowObject(HWND hwnd) {
  HDC dc = nullptr;
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto &table = Table();
    auto found = std::find_if(table.begin(), table.end(), [hwnd](const WindowPtr &w) { return w->hwnd == hwnd; });
    if (found == table.end()) return;
    dc = (*found)->dc;
    table.erase(found);
    if (table.empty()) State().thread = std::thread::id();
  }
  ilk::gdi32::DeleteWindowDc(dc);
}

std::vector<WindowPtr> WindowsInZOrder() {
  std::lock_guard<std::mutex> lock(State().mutex);
  return Table();
}

bool IsInZOrderPlace(HWND hwnd, HWND insert_after) {
  std::lock_guard<std::mutex> lock(State().mutex);
  const auto &table = Table();
  auto found = std::find_if(table.begin(), table.end(), [hwnd](const WindowPtr &w) { return w->hwnd == hwnd; });
  if (found == table.end() || insert_after == hwnd) return true;
  // As in PlaceInZOrder, HWND_TOPMOST and HWND_NOTOPMOST mean the top.
  if (insert_after == HWND_TOP || insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST) {
    return found == table.begin();
  }
  if (insert_after == HWND_BOTTOM) return found + 1 == table.end();
  return found != table.begin() && (*(found - 1))->hwnd == insert_after;
}

void PlaceInZOrder(HWND hwnd, HWND insert_after) {
  std::vector<display::SurfaceId> order;
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto &table = Table();
    auto found = std::find_if(table.begin(), table.end(), [hwnd](const WindowPtr &w) { return w->hwnd == hwnd; });
    if (found == table.end()) return;
    WindowPtr window = *found;
    table.erase(found);
    // There is no always-on-top band here: HWND_TOPMOST and HWND_NOTOPMOST place at the top.
    auto position = table.begin();
    if (insert_after == HWND_BOTTOM) {
      position = table.end();
    } else if (insert_after != HWND_TOP && insert_after != HWND_TOPMOST && insert_after != HWND_NOTOPMOST) {
      auto after = std::find_if(table.begin(), table.end(), [insert_after](const WindowPtr &w) { return w->hwnd == insert_after; });
      if (after != table.end()) position = after + 1;
    }
    table.insert(position, window);
    for (const WindowPtr &w : table) order.push_back(display::SurfaceOf(w->hwnd));
  }
  display::CurrentDesktop().RestackSurfaces(order);
}

void UpdateDisplay(const WindowPtr &window) {
  display::SurfaceLook look;
  look.window = {window->window_rect.left, window->window_rect.top, window->window_rect.right,
                 window->window_rect.bottom};
  look.client = {window->client_rect.left, window->client_rect.top, window->client_rect.right,
                 window->client_rect.bottom};
  look.caption = (window->style & WS_CAPTION) == WS_CAPTION;
  // The caption buttons come with the window menu, as on Windows.
  bool system_menu = look.caption && (window->style & WS_SYSMENU);
  look.close_box = system_menu;
  look.minimize_box = system_menu && (window->style & WS_MINIMIZEBOX);
  look.maximize_box = system_menu && (window->style & WS_MAXIMIZEBOX);
  look.active = ActiveWindow() == window->hwnd;
  look.visible = (window->style & WS_VISIBLE) != 0;
  look.title = ilk::Utf8(window->title);
  if (std::optional<COLORREF> color = ilk::gdi32::BrushColor(window->window_class->background)) {
    look.background = *color;
    look.has_background = true;
  }
  display::CurrentDesktop().UpdateSurface(display::SurfaceOf(window->hwnd), look);
}

}  // namespace ilk::user32

using namespace ilk::user32;
namespace display = ilk::display;

namespace {

std::wstring Widen(LPCSTR text) {
  std::wstring wide;
  for (const char *c = text; c && *c; ++c) wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  return wide;
}

// Tears down a window whose creation the window procedure refused.
void AbandonCreation(const WindowPtr &window, bool send_destroy) {
  if (send_destroy) Send(window->hwnd, WM_DESTROY, 0, 0);
  Send(window->hwnd, WM_NCDESTROY, 0, 0);
  display::CurrentDesktop().DestroySurface(display::SurfaceOf(window->hwnd));
  RemoveWindowObject(window->hwnd);
}

HWND CreateWindowCore(DWORD ex_style, const std::wstring &class_name, const std::wstring &title, DWORD style, int x,
                      int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  std::shared_ptr<const WindowClass> window_class = FindClass(class_name, instance);
  if (!window_class) {
    ilk::kernel32::SetThreadLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  WindowPtr parent_window;
  if (parent && !(parent_window = FindWindowObject(parent))) return nullptr;
  // A top-level window without WS_POPUP always has a caption (WS_CLIPSIBLINGS too), as on Windows.
  if (!(style & (WS_POPUP | WS_CHILD))) style |= WS_CAPTION | WS_CLIPSIBLINGS;
  // Default positions and sizes: where Windows would cascade, this platform chooses the origin
  // and three quarters of the screen.
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) {
    width = display::CurrentDesktop().ScreenWidth() * 3 / 4;
    height = display::CurrentDesktop().ScreenHeight() * 3 / 4;
  }

  auto window = std::make_shared<Window>();
  window->hwnd = NextWindowHandle();
  window->dc = ilk::gdi32::CreateWindowDc(window->hwnd);
  window->window_class = window_class;
  window->proc = window_class->proc;
  window->parent = parent;
  window->instance = instance;
  window->id = reinterpret_cast<LONG_PTR>(menu);
  window->style = style & ~WS_VISIBLE;  // WS_VISIBLE is set when the window is shown below
  window->ex_style = ex_style;
  window->title = title;
  POINT origin = {0, 0};
  if (parent_window && (style & WS_CHILD)) origin = {parent_window->client_rect.left, parent_window->client_rect.top};
  window->window_rect = {origin.x + x, origin.y + y, origin.x + x + width, origin.y + y + height};
  AddWindowObject(window);
  display::CurrentDesktop().CreateSurface(display::SurfaceOf(window->hwnd), display::SurfaceLook{});

  // Sizable and overlapped windows learn their limits first and are clamped to them.
  if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
    MINMAXINFO limits = QueryMinMaxInfo(window->hwnd);
    width = std::max<int>(limits.ptMinTrackSize.x, std::min<int>(width, limits.ptMaxTrackSize.x));
    height = std::max<int>(limits.ptMinTrackSize.y, std::min<int>(height, limits.ptMaxTrackSize.y));
  }
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  window->window_rect.right = window->window_rect.left + width;
  window->window_rect.bottom = window->window_rect.top + height;
  window->client_rect = window->window_rect;

  CREATESTRUCTW create = {param, instance, menu, parent, height, width, y, x, (LONG)style,
                          title.c_str(), class_name.c_str(), ex_style};
  if (!Send(window->hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
    AbandonCreation(window, false);
    // Windows leaves whatever code the procedure set; this is ours.
    ilk::kernel32::SetThreadLastError(ERROR_GEN_FAILURE);
    return nullptr;
  }
  RECT client = window->window_rect;
  Send(window->hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
  window->client_rect = client;
  if (Send(window->hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    AbandonCreation(window, true);
    ilk::kernel32::SetThreadLastError(ERROR_GEN_FAILURE);
    return nullptr;
  }
  UpdateDisplay(window);
  // Every window but an overlapped one learns its size and place right away; an overlapped
  // one at its first showing.
  if (style & (WS_POPUP | WS_CHILD)) {
    window->need_size = false;
    const RECT &client_now = window->client_rect;
    POINT client_origin = {client_now.left - origin.x, client_now.top - origin.y};
    Send(window->hwnd, WM_SIZE, SIZE_RESTORED,
         MAKELPARAM(client_now.right - client_now.left, client_now.bottom - client_now.top));
    Send(window->hwnd, WM_MOVE, 0, MAKELPARAM(client_origin.x, client_origin.y));
  }
  if ((style & WS_VISIBLE) && FindWindowObject(window->hwnd, false)) ShowWindowNow(window->hwnd, SW_SHOW);
  // A procedure may destroy its window while it is being created; the creation then fails.
  return FindWindowObject(window->hwnd, false) ? window->hwnd : nullptr;
}

}  // namespace

HWND WINAPI CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR window_name, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  std::wstring name = class_name ? class_name : L"";
  std::wstring title = window_name ? window_name : L"";
  ilk::Trace("CreateWindowExW(0x%x, \"%s\", \"%s\", 0x%x, %d, %d, %d, %d) ...", ex_style, ilk::Utf8(name).c_str(),
             ilk::Utf8(title).c_str(), style, x, y, width, height);
  HWND hwnd = ilk::kernel32::FailsWithLastError("CreateWindowExW")
                  ? nullptr
                  : CreateWindowCore(ex_style, name, title, style, x, y, width, height, parent, menu, instance, param);
  ilk::Trace("CreateWindowExW(\"%s\") = %p", ilk::Utf8(title).c_str(), (void *)hwnd);
  return hwnd;
}

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  ilk::Trace("CreateWindowExA(0x%x, \"%s\", \"%s\", 0x%x, %d, %d, %d, %d) ...", ex_style,
             class_name ? class_name : "(null)", window_name ? window_name : "", style, x, y, width, height);
  // The creation structure the procedure sees stays the wide one: this platform's windows are
  // all Unicode windows.
  HWND hwnd = ilk::kernel32::FailsWithLastError("CreateWindowExA") ? nullptr
                                          : CreateWindowCore(ex_style, Widen(class_name), Widen(window_name), style, x,
                                                             y, width, height, parent, menu, instance, param);
  ilk::Trace("CreateWindowExA(\"%s\") = %p", window_name ? window_name : "", (void *)hwnd);
  return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
  BOOL result = FALSE;
  WindowPtr window = ilk::kernel32::FailsWithLastError("DestroyWindow") ? nullptr : FindWindowObject(hwnd);
  if (window && !window->destroying) {
    window->destroying = true;
    // Owned and child windows go first, as Windows destroys them before their parent.
    for (const WindowPtr &other : WindowsInZOrder()) {
      if (other->parent == hwnd) DestroyWindow(other->hwnd);
    }
    if (window->style & WS_VISIBLE) {
      SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    }
    if (ActiveWindow() == hwnd || FocusWindow() == hwnd) DeactivateWindow(hwnd);
    Send(hwnd, WM_DESTROY, 0, 0);
    Send(hwnd, WM_NCDESTROY, 0, 0);
    ForgetWindow(hwnd);
    PurgeMessages(hwnd);
    display::CurrentDesktop().DestroySurface(display::SurfaceOf(hwnd));
    RemoveWindowObject(hwnd);
    result = TRUE;
  } else if (window) {
    result = TRUE;  // already on its way out: the outer DestroyWindow finishes it
  }
  ilk::Trace("DestroyWindow(%p) = %d", (void *)hwnd, result);
  return result;
}

bool ilk::user32::IsLiveWindow(HWND hwnd) { return FindWindowAnyThread(hwnd) != nullptr; }

BOOL WINAPI IsWindow(HWND hwnd) {
  BOOL result = IsLiveWindow(hwnd);
  ilk::Trace("IsWindow(%p) = %d", (void *)hwnd, result);
  return result;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError("GetWindowRect")) {
    if (WindowPtr window = FindWindowObject(hwnd)) {
      *rect = window->window_rect;
      result = TRUE;
    }
  }
  ilk::Trace("GetWindowRect(%p) = %d {%d, %d, %d, %d}", (void *)hwnd, result, result ? rect->left : 0,
             result ? rect->top : 0, result ? rect->right : 0, result ? rect->bottom : 0);
  return result;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError("GetClientRect")) {
    if (WindowPtr window = FindWindowObject(hwnd)) {
      *rect = {0, 0, window->client_rect.right - window->client_rect.left,
               window->client_rect.bottom - window->client_rect.top};
      result = TRUE;
    }
  }
  ilk::Trace("GetClientRect(%p) = %d {%d, %d, %d, %d}", (void *)hwnd, result, result ? rect->left : 0,
             result ? rect->top : 0, result ? rect->right : 0, result ? rect->bottom : 0);
  return result;
}
