// The recording window class and the comparison of logged and expected sequences.
#include "conformance/message_log.h"

#include <stdio.h>

#include <string>

#include "conformance/check.h"

namespace conformance {
namespace {

MessageLog *current = nullptr;

// Messages Windows sends that no program here acts on, so that they never take part in a
// sequence: accessibility, input-method and theme traffic, the caption text DefWindowProcW reads
// to draw the frame, notifications of system-wide changes, and what the real pointer causes
// when it happens to rest over a window.
bool Unrelated(UINT message) {
  switch (message) {
    case 0x000D:  // WM_GETTEXT
    case 0x001A:  // WM_SETTINGCHANGE
    case 0x001E:  // WM_TIMECHANGE
    case 0x0020:  // WM_SETCURSOR
    case 0x003D:  // WM_GETOBJECT
    case 0x007E:  // WM_DISPLAYCHANGE
    case 0x007F:  // WM_GETICON
    case 0x0084:  // WM_NCHITTEST
    case 0x0088:  // WM_SYNCPAINT
    case 0x0093:  // the theme's undocumented caption and frame messages
    case 0x0094:
    case 0x00A0:  // WM_NCMOUSEMOVE
    case 0x00AE:
    case 0x00AF:
    case 0x0127:  // WM_CHANGEUISTATE
    case 0x0128:  // WM_UPDATEUISTATE
    case 0x0200:  // WM_MOUSEMOVE
    case 0x0219:  // WM_DEVICECHANGE
    case 0x0281:  // WM_IME_SETCONTEXT
    case 0x0282:  // WM_IME_NOTIFY
    case 0x02A2:  // WM_NCMOUSELEAVE
    case 0x02A3:  // WM_MOUSELEAVE
    case 0x030F:  // WM_QUERYNEWPALETTE
    case 0x031A:  // WM_THEMECHANGED
    case 0x031F:  // WM_DWMNCRENDERINGCHANGED
    case 0x0320:  // WM_DWMCOLORIZATIONCOLORCHANGED
      return true;
  }
  return false;
}

const char *Name(UINT message) {
  switch (message) {
    case WM_CREATE: return "WM_CREATE";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_MOVE: return "WM_MOVE";
    case WM_SIZE: return "WM_SIZE";
    case WM_ACTIVATE: return "WM_ACTIVATE";
    case WM_SETFOCUS: return "WM_SETFOCUS";
    case WM_KILLFOCUS: return "WM_KILLFOCUS";
    case WM_PAINT: return "WM_PAINT";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_SHOWWINDOW: return "WM_SHOWWINDOW";
    case WM_ACTIVATEAPP: return "WM_ACTIVATEAPP";
    case WM_MOUSEACTIVATE: return "WM_MOUSEACTIVATE";
    case WM_GETMINMAXINFO: return "WM_GETMINMAXINFO";
    case WM_WINDOWPOSCHANGING: return "WM_WINDOWPOSCHANGING";
    case WM_WINDOWPOSCHANGED: return "WM_WINDOWPOSCHANGED";
    case WM_NCCREATE: return "WM_NCCREATE";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_NCCALCSIZE: return "WM_NCCALCSIZE";
    case WM_NCPAINT: return "WM_NCPAINT";
    case WM_NCACTIVATE: return "WM_NCACTIVATE";
    case WM_SYSCOMMAND: return "WM_SYSCOMMAND";
    case WM_ENTERSIZEMOVE: return "WM_ENTERSIZEMOVE";
    case WM_EXITSIZEMOVE: return "WM_EXITSIZEMOVE";
    case WM_CAPTURECHANGED: return "WM_CAPTURECHANGED";
    case WM_USER: return "WM_USER";
  }
  return nullptr;
}

std::string Text(UINT message, unsigned match, unsigned long long value, bool second_window, bool in_begin_paint) {
  char text[96];
  const char *name = Name(message);
  int length = name ? snprintf(text, sizeof text, "%s", name) : snprintf(text, sizeof text, "0x%04x", message);
  std::string result(text, length);
  if (match & (kWparam | kPosFlags)) {
    snprintf(text, sizeof text, match & kPosFlags ? " flags 0x%llx" : " wparam 0x%llx", value);
    result += text;
  }
  if (second_window) result += " (second window)";
  if (in_begin_paint) result += " (in BeginPaint)";
  if (match & kOptional) result += " (optional)";
  return result;
}

}  // namespace

MessageLog::MessageLog() {
  static const ATOM registered = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = nullptr;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 0));
    wc.lpszClassName = L"conformance";
    return RegisterClassW(&wc);
  }();
  CHECK(registered != 0);
  current = this;
}

MessageLog::~MessageLog() {
  hook = nullptr;
  for (HWND hwnd : windows_) {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  DispatchPending();
  current = nullptr;
}

HWND MessageLog::Create(DWORD style, int x, int y, int width, int height, DWORD ex_style) {
  HWND hwnd = CreateWindowExW(ex_style, L"conformance", L"conformance", style, x, y, width, height, nullptr, nullptr,
                              nullptr, nullptr);
  CHECK(hwnd != nullptr);
  windows_.push_back(hwnd);
  return hwnd;
}

void MessageLog::Settle() {
  DispatchPending();
  Clear();
}

const Logged *MessageLog::Find(UINT message, HWND hwnd) const {
  for (const Logged &entry : logged_) {
    if (entry.message == message && (!hwnd || entry.hwnd == hwnd)) return &entry;
  }
  return nullptr;
}

void MessageLog::CheckSequence(const std::vector<Expected> &expected, const char *context, const char *file,
                               int line, HWND only) const {
  HWND first = windows_.size() > 0 ? windows_[0] : nullptr;
  HWND second = windows_.size() > 1 ? windows_[1] : nullptr;
  std::vector<Logged> logged;
  for (const Logged &entry : logged_) {
    if (!only || entry.hwnd == only) logged.push_back(entry);
  }
  auto matches = [&](const Expected &want, const Logged &got) {
    if (want.message != got.message) return false;
    bool any_window = only || (want.match & kAnyWindow);
    if (!any_window && got.hwnd != ((want.match & kOtherWindow) ? second : first)) return false;
    if ((want.match & kWparam) && got.wparam != want.value) return false;
    if ((want.match & kPosFlags) && got.pos_flags != want.value) return false;
    return ((want.match & kInBeginPaint) != 0) == got.in_begin_paint;
  };
  size_t next = 0;
  bool same = true;
  for (const Expected &want : expected) {
    if (next < logged.size() && matches(want, logged[next])) {
      ++next;
    } else if (!(want.match & kOptional)) {
      same = false;
      break;
    }
  }
  if (same && next == logged.size()) return;
  std::string report = std::string(context) + ": the sequence differs\n    expected:";
  for (const Expected &want : expected) {
    report += "\n      " + Text(want.message, want.match, want.value, want.match & kOtherWindow, want.match & kInBeginPaint);
  }
  report += "\n    logged:";
  for (const Logged &got : logged) {
    bool positions = got.message == WM_WINDOWPOSCHANGING || got.message == WM_WINDOWPOSCHANGED;
    report += "\n      " + Text(got.message, positions ? kPosFlags : kWparam, positions ? got.pos_flags : got.wparam,
                                 got.hwnd == second && second != first, got.in_begin_paint);
  }
  Fail(file, line, report);
}

LRESULT CALLBACK MessageLog::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  MessageLog *log = current;
  if (log && !Unrelated(message)) {
    Logged entry = {hwnd, message, wparam, lparam, 0, {0, 0, 0, 0}, log->in_begin_paint_};
    if (message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED) {
      const WINDOWPOS *pos = reinterpret_cast<const WINDOWPOS *>(lparam);
      entry.pos_flags = pos->flags;
      entry.pos_rect = {pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
    } else if (message == WM_NCCALCSIZE) {
      entry.pos_rect = wparam ? reinterpret_cast<const NCCALCSIZE_PARAMS *>(lparam)->rgrc[0]
                              : *reinterpret_cast<const RECT *>(lparam);
    }
    log->logged_.push_back(entry);
  }
  LRESULT result = 0;
  if (log && log->hook && log->hook(hwnd, message, wparam, lparam, &result)) return result;
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    if (log) log->in_begin_paint_ = true;
    BeginPaint(hwnd, &paint);
    if (log) log->in_begin_paint_ = false;
    EndPaint(hwnd, &paint);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace conformance
