// user32: moving, sizing, showing and raising windows (SetWindowPos, ShowWindow's show and hide),
// with Windows' flag fix-ups and message order: WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, the
// activation, the frame and background painting, WM_WINDOWPOSCHANGED.
#include <algorithm>

#include "common/log.h"
#include "desktop.h"
#include "common/injected_failure.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

const UINT kNoPositionChange = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE;
const UINT kStatusFlags = kNoPositionChange | SWP_FRAMECHANGED | SWP_HIDEWINDOW | SWP_SHOWWINDOW;

POINT ParentOrigin(const WindowPtr &window) {
  if (window->style & WS_CHILD) {
    if (WindowPtr parent = FindWindowObject(window->parent, false)) return {parent->client_rect.left, parent->client_rect.top};
  }
  return {0, 0};
}

LONG Width(const RECT &r) { return r.right - r.left; }
LONG Height(const RECT &r) { return r.bottom - r.top; }

void Offset(RECT *rect, LONG dx, LONG dy) {
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
}

// The part of the client area that a change of size uncovers, in client coordinates (the
// bounding rectangle of it). Classes with CS_HREDRAW/CS_VREDRAW repaint the whole client.
bool UncoveredArea(const WindowPtr &window, const RECT &old_client, const RECT &new_client, RECT *area) {
  LONG old_w = Width(old_client), old_h = Height(old_client), new_w = Width(new_client), new_h = Height(new_client);
  if (new_w <= 0 || new_h <= 0) return false;
  bool wider = new_w > old_w, taller = new_h > old_h;
  bool redraw_all = (window->window_class->style & (CS_HREDRAW | CS_VREDRAW)) && (new_w != old_w || new_h != old_h);
  if (redraw_all || (wider && taller)) {
    *area = {0, 0, new_w, new_h};
  } else if (wider) {
    *area = {old_w, 0, new_w, new_h};
  } else if (taller) {
    *area = {0, old_h, new_w, new_h};
  } else {
    return false;
  }
  return true;
}

BOOL SetWindowPosCore(const WindowPtr &window, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  HWND hwnd = window->hwnd;
  WINDOWPOS pos = {hwnd, insert_after, x, y, cx, cy, flags};
  // Windows' fix-ups before anyone sees the request.
  if (window->style & WS_VISIBLE) {
    pos.flags &= ~SWP_SHOWWINDOW;
  } else {
    pos.flags &= ~SWP_HIDEWINDOW;
    if (!(pos.flags & SWP_SHOWWINDOW)) pos.flags |= SWP_NOREDRAW;
  }
  if (pos.cx < 0) pos.cx = 0;
  if (pos.cy < 0) pos.cy = 0;
  const RECT old_window = window->window_rect, old_client = window->client_rect;
  const POINT origin = ParentOrigin(window);
  if (Width(old_window) == pos.cx && Height(old_window) == pos.cy) pos.flags |= SWP_NOSIZE;
  if (old_window.left - origin.x == pos.x && old_window.top - origin.y == pos.y) pos.flags |= SWP_NOMOVE;
  bool top_level = (window->style & (WS_CHILD | WS_POPUP)) != WS_CHILD;
  // Activating a top-level window always raises it too.
  bool activate = top_level && !(pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW));
  bool restack = activate || !(pos.flags & SWP_NOZORDER);

  if (!(pos.flags & SWP_NOSENDCHANGING)) Send(hwnd, WM_WINDOWPOSCHANGING, 0, (LPARAM)&pos);
  if (!FindWindowObject(hwnd, false)) return FALSE;  // destroyed by its own procedure

  RECT new_window = old_window;
  if (!(pos.flags & SWP_NOMOVE)) {
    Offset(&new_window, origin.x + pos.x - old_window.left, origin.y + pos.y - old_window.top);
  }
  if (!(pos.flags & SWP_NOSIZE)) {
    new_window.right = new_window.left + std::max(pos.cx, 0);
    new_window.bottom = new_window.top + std::max(pos.cy, 0);
  }
  pos.flags |= SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE;
  RECT new_client = old_client;
  if (!(pos.flags & SWP_NOSIZE) || (pos.flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS params = {{new_window, old_window, old_client}, &pos};
    Send(hwnd, WM_NCCALCSIZE, TRUE, (LPARAM)&params);
    new_client = params.rgrc[0];
  } else {
    Offset(&new_client, new_window.left - old_window.left, new_window.top - old_window.top);
  }
  if (new_client.left != old_client.left || new_client.top != old_client.top) pos.flags &= ~SWP_NOCLIENTMOVE;
  if (Width(new_client) != Width(old_client) || Height(new_client) != Height(old_client)) pos.flags &= ~SWP_NOCLIENTSIZE;

  window->window_rect = new_window;
  window->client_rect = new_client;
  if (pos.flags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
  if (pos.flags & SWP_HIDEWINDOW) window->style &= ~WS_VISIBLE;
  if (restack && top_level) PlaceInZOrder(hwnd, activate ? HWND_TOP : pos.hwndInsertAfter);
  UpdateDisplay(window);

  if (activate && (window->style & WS_VISIBLE)) ActivateWindow(hwnd, false);

  if (!(pos.flags & SWP_NOREDRAW) && (window->style & WS_VISIBLE)) {
    RECT area;
    if (pos.flags & SWP_SHOWWINDOW) {
      Invalidate(window, nullptr, true);
      window->frame_pending = true;
    } else if (!(pos.flags & SWP_NOCLIENTSIZE) || (pos.flags & SWP_FRAMECHANGED)) {
      if (UncoveredArea(window, old_client, new_client, &area)) Invalidate(window, &area, true);
      window->frame_pending = true;  // the frame is redrawn at its new size
    }
    PaintNow(hwnd, true);
  }

  if ((pos.flags & kStatusFlags) != kNoPositionChange && FindWindowObject(hwnd, false)) {
    Send(hwnd, WM_WINDOWPOSCHANGED, 0, (LPARAM)&pos);
  }
  return TRUE;
}

}  // namespace

void ShowWindowNow(HWND hwnd, bool show) {
  WindowPtr window = FindWindowObject(hwnd, false);
  if (!window || show == ((window->style & WS_VISIBLE) != 0)) return;
  Send(hwnd, WM_SHOWWINDOW, show, 0);
  UINT flags = SWP_NOSIZE | SWP_NOMOVE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
  if (window->style & WS_CHILD) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  SetWindowPosCore(window, HWND_TOP, 0, 0, 0, 0, flags);
  if (!FindWindowObject(hwnd, false)) return;
  if (show && window->need_size) {
    // The first showing of a window that was created with its size tells it that size.
    window->need_size = false;
    RECT client = window->client_rect;
    POINT origin = ParentOrigin(window);
    Send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(Width(client), Height(client)));
    Send(hwnd, WM_MOVE, 0, MAKELPARAM(client.left - origin.x, client.top - origin.y));
  }
  if (!show && ActiveWindow() == hwnd) DeactivateWindow(hwnd);
}

MINMAXINFO QueryMinMaxInfo(HWND hwnd) {
  WindowPtr window = FindWindowObject(hwnd, false);
  MINMAXINFO info = {};
  if (!window) return info;
  RECT insets = FrameInsets(window->style, window->ex_style);
  int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  info.ptReserved = {window->window_rect.left, window->window_rect.top};
  info.ptMaxSize = {screen_w + insets.left + insets.right, screen_h + insets.left + insets.right};
  info.ptMaxPosition = {-insets.left, -insets.left};
  if (window->style & (WS_DLGFRAME | WS_BORDER)) {
    info.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  } else {
    info.ptMinTrackSize = {insets.left + insets.right, insets.left + insets.right};
  }
  info.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  Send(hwnd, WM_GETMINMAXINFO, 0, (LPARAM)&info);
  info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, info.ptMinTrackSize.x);
  info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, info.ptMinTrackSize.y);
  return info;
}

}  // namespace ilk::user32

using namespace ilk::user32;

BOOL WINAPI SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  ilk::Trace("SetWindowPos(%p, %p, %d, %d, %d, %d, 0x%x) ...", (void *)hwnd, (void *)insert_after, x, y, cx, cy, flags);
  BOOL result = FALSE;
  if (!ilk::FailsWithLastError("SetWindowPos")) {
    if (WindowPtr window = FindWindowObject(hwnd)) result = SetWindowPosCore(window, insert_after, x, y, cx, cy, flags);
  }
  ilk::Trace("SetWindowPos(%p) = %d", (void *)hwnd, result);
  return result;
}
