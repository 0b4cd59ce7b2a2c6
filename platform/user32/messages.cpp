// user32: sending, posting and retrieving messages (SendMessageW, PostMessageW, PeekMessageA/W,
// GetMessageW, PostQuitMessage, TranslateMessage, DispatchMessageW). Retrieval order is
// Windows': posted messages, then the quit message, then input, then WM_PAINT for a window
// with an update region.
#include <algorithm>
#include <deque>

#include "common/log.h"
#include "common/platform_state.h"
#include "display/display.h"
#include "kernel32/kernel32_internal.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

// The window thread's queue.
PlatformState<std::deque<MSG>> posted;

std::deque<MSG> &Posted() {
  CheckQueueThread();
  return posted.Get();
}

// PostQuitMessage's request: WM_QUIT is made when it is retrieved.
struct QuitRequest {
  bool posted = false;
  int exit_code = 0;
};
PlatformState<QuitRequest> quit_request;

const int kWaitSliceMs = 100;  // how long GetMessageW waits for the display at a time

bool InRange(UINT message, UINT first, UINT last) {
  return (first == 0 && last == 0) || (message >= first && message <= last);
}

// HWND filter of PeekMessage: NULL takes everything, (HWND)-1 only messages without a window.
bool ForWindow(HWND hwnd, HWND filter) {
  if (filter == reinterpret_cast<HWND>(-1)) return hwnd == nullptr;
  return filter == nullptr || hwnd == filter;
}

bool TakePosted(HWND filter, UINT first, UINT last, MSG *msg, bool remove) {
  auto &posted = Posted();
  for (auto it = posted.begin(); it != posted.end(); ++it) {
    if (ForWindow(it->hwnd, filter) && InRange(it->message, first, last)) {
      *msg = *it;
      if (remove) posted.erase(it);
      return true;
    }
  }
  return false;
}

bool RangeHasInput(UINT first, UINT last) {
  return (first == 0 && last == 0) || (first <= WM_MOUSEWHEEL && last >= WM_NCMOUSEMOVE);
}

MSG Stamped(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  MSG msg = {hwnd, message, wparam, lparam, GetTickCount(), {0, 0}};
  int x = 0, y = 0;
  display::CurrentDesktop().CursorPosition(&x, &y);
  msg.pt = {x, y};
  return msg;
}

}  // namespace

void PurgeMessages(HWND hwnd) {
  auto &posted = Posted();
  posted.erase(std::remove_if(posted.begin(), posted.end(), [hwnd](const MSG &m) { return m.hwnd == hwnd; }),
               posted.end());
  PurgeInput(hwnd);
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowPtr window = FindWindowObject(hwnd);
  if (!window) return 0;
  ilk::Trace("message 0x%04x to %p (0x%llx, 0x%llx)", message, (void *)hwnd, (unsigned long long)wparam,
             (unsigned long long)lparam);
  return window->proc(hwnd, message, wparam, lparam);
}

}  // namespace ilk::user32

using namespace ilk::user32;

LRESULT WINAPI SendMessageW(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (ilk::kernel32::FailsWithLastError("SendMessageW")) return 0;
  return Send(hwnd, message, wparam, lparam);
}

BOOL WINAPI PostMessageW(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError("PostMessageW") && (!hwnd || FindWindowObject(hwnd))) {
    Posted().push_back(Stamped(hwnd, message, wparam, lparam));
    result = TRUE;
  }
  ilk::Trace("PostMessageW(%p, 0x%04x, 0x%llx, 0x%llx) = %d", (void *)hwnd, message, (unsigned long long)wparam,
             (unsigned long long)lparam, result);
  return result;
}

namespace {

// A window filter names no window: -1 for thread messages, or a live window.
bool ValidFilter(HWND filter) {
  return !filter || filter == reinterpret_cast<HWND>(-1) || FindWindowObject(filter) != nullptr;
}

// PeekMessage and GetMessage without their failure injection: 1 with a message (written to
// `msg` when it is not null), 0 without.
BOOL Retrieve(MSG *msg, HWND hwnd, UINT filter_min, UINT filter_max, bool take) {
  CheckQueueThread();
  MSG found_msg;
  PumpDisplayEvents(0);
  bool found = TakePosted(hwnd, filter_min, filter_max, &found_msg, take);
  QuitRequest &quit = quit_request.Get();
  if (!found && quit.posted && InRange(WM_QUIT, filter_min, filter_max)) {
    found_msg = Stamped(nullptr, WM_QUIT, (WPARAM)quit.exit_code, 0);
    if (take) quit.posted = false;
    found = true;
  }
  if (!found && RangeHasInput(filter_min, filter_max)) found = NextInputMessage(hwnd, &found_msg, take);
  if (!found && InRange(WM_PAINT, filter_min, filter_max) && hwnd != reinterpret_cast<HWND>(-1)) {
    if (HWND painted = WindowNeedingPaint(hwnd)) {
      found_msg = Stamped(painted, WM_PAINT, 0, 0);
      found = true;
    }
  }
  if (!found) return FALSE;
  // Windows takes the message and then fails to write it to a null pointer.
  if (!msg) {
    ilk::kernel32::SetThreadLastError(ERROR_NOACCESS);
    return FALSE;
  }
  *msg = found_msg;
  // Polling an empty queue is what a busy message loop does all the time: only messages found
  // are traced.
  ilk::Trace("message 0x%04x for %p retrieved", msg->message, (void *)msg->hwnd);
  return TRUE;
}

BOOL Peek(const char *name, LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
  // PeekMessage has no failure result of its own; an injected failure answers -1, the value the
  // message-retrieval functions use for errors, with the last-error code set.
  if (ilk::kernel32::FailsWithLastError(name)) {
    ilk::Trace("%s() = -1", name);
    return -1;
  }
  return ValidFilter(hwnd) && Retrieve(msg, hwnd, filter_min, filter_max, (remove & PM_REMOVE) != 0);
}

}  // namespace

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
  return Peek("PeekMessageA", msg, hwnd, filter_min, filter_max, remove);
}

BOOL WINAPI PeekMessageW(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
  return Peek("PeekMessageW", msg, hwnd, filter_min, filter_max, remove);
}

BOOL WINAPI GetMessageW(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max) {
  BOOL result = -1;
  if (!ilk::kernel32::FailsWithLastError("GetMessageW") && ValidFilter(hwnd)) {
    if (!msg) {
      ilk::kernel32::SetThreadLastError(ERROR_NOACCESS);
    } else {
      // One thread owns every window, so only the display can fill an empty queue meanwhile.
      while (!Retrieve(msg, hwnd, filter_min, filter_max, true)) PumpDisplayEvents(kWaitSliceMs);
      result = msg->message != WM_QUIT;
    }
  }
  ilk::Trace("GetMessageW() = %d", result);
  return result;
}

void WINAPI PostQuitMessage(int exit_code) {
  CheckQueueThread();
  quit_request.Get() = {true, exit_code};
  ilk::Trace("PostQuitMessage(%d)", exit_code);
}

namespace {

BOOL Translate(const MSG *msg) {
  switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (WCHAR character = CharacterForKey((UINT)msg->wParam)) {
        UINT char_message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
        Posted().push_front(Stamped(msg->hwnd, char_message, character, msg->lParam));
      }
      return TRUE;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return TRUE;
  }
  return FALSE;
}

}  // namespace

BOOL WINAPI TranslateMessage(const MSG *msg) {
  BOOL result = !ilk::kernel32::FailsWithLastError("TranslateMessage") && msg && Translate(msg);
  ilk::Trace("TranslateMessage(0x%04x) = %d", msg ? msg->message : 0, result);
  return result;
}

LRESULT WINAPI DispatchMessageW(const MSG *msg) {
  WindowPtr window = ilk::kernel32::FailsWithLastError("DispatchMessageW") || !msg || !msg->hwnd
                         ? nullptr
                         : FindWindowObject(msg->hwnd);
  LRESULT result = window ? window->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
  ilk::Trace("DispatchMessageW(0x%04x for %p) = %lld", msg ? msg->message : 0, msg ? (void *)msg->hwnd : nullptr,
             (long long)result);
  return result;
}
