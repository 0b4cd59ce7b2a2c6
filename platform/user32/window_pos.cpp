// user32: moving, sizing, showing and raising windows (SetWindowPos, ShowWindow), in Windows'
// order: WM_WINDOWPOSCHANGING with the caller's request, then what the request really changes
// (sizes and places that stay, a Z order that stays), WM_NCCALCSIZE, the activation (of a
// hidden window too), the frame and background painting, and WM_WINDOWPOSCHANGED with what
// changed. Only ShowWindow(SW_HIDE) passes the activation of a window it hides on.
#include <algorithm>

#include "common/log.h"
#include "display/display.h"
#include "kernel32/kernel32_internal.h"
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

bool TopLevel(const WindowPtr &window) { return (window->style & (WS_CHILD | WS_POPUP)) != WS_CHILD; }

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

// HWND_TOPMOST makes a window topmost and HWND_NOTOPMOST makes it an ordinary window again; a
// window that changes so changes its Z order, though both place it at the top here.
bool TopmostAsRequested(const WindowPtr &window, HWND insert_after) {
  bool topmost = window->ex_style & WS_EX_TOPMOST;
  if (insert_after == HWND_TOPMOST) return topmost;
  if (insert_after == HWND_NOTOPMOST) return !topmost;
  return true;
}

void PlaceAsRequested(const WindowPtr &window, HWND insert_after) {
  if (insert_after == HWND_TOPMOST) window->ex_style |= WS_EX_TOPMOST;
  if (insert_after == HWND_NOTOPMOST) window->ex_style &= ~WS_EX_TOPMOST;
  PlaceInZOrder(window->hwnd, insert_after);
}

// What the request really changes, once the window procedure has seen it: show and hide flags
// that change nothing go, an invisible window is not redrawn, sizes and places that stay and a
// Z order that stays are flagged, and the position of a flagged coordinate is the real one (so
// WM_NCCALCSIZE and WM_WINDOWPOSCHANGED carry it).
void FixUpRequest(const WindowPtr &window, WINDOWPOS *pos) {
  const RECT &rect = window->window_rect;
  const POINT origin = ParentOrigin(window);
  if (window->style & WS_VISIBLE) {
    pos->flags &= ~SWP_SHOWWINDOW;
  } else {
    pos->flags &= ~SWP_HIDEWINDOW;
    if (!(pos->flags & SWP_SHOWWINDOW)) pos->flags |= SWP_NOREDRAW;
  }
  if (pos->flags & SWP_NOSIZE) {
    pos->cx = Width(rect);
    pos->cy = Height(rect);
  } else if (pos->cx == Width(rect) && pos->cy == Height(rect)) {
    pos->flags |= SWP_NOSIZE;
  }
  if (pos->flags & SWP_NOMOVE) {
    pos->x = rect.left - origin.x;
    pos->y = rect.top - origin.y;
  } else if (pos->x == rect.left - origin.x && pos->y == rect.top - origin.y) {
    pos->flags |= SWP_NOMOVE;
  }
  // A hidden window keeps its place; one already where the request puts it does not move.
  if ((pos->flags & SWP_HIDEWINDOW) || !TopLevel(window) ||
      (IsInZOrderPlace(window->hwnd, pos->hwndInsertAfter) && TopmostAsRequested(window, pos->hwndInsertAfter))) {
    pos->flags |= SWP_NOZORDER;
  }
}

}  // namespace

BOOL SetWindowPosition(const WindowPtr &window, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  HWND hwnd = window->hwnd;
  WINDOWPOS pos = {hwnd, insert_after, x, y, std::max(cx, 0), std::max(cy, 0), flags};
  if (!(pos.flags & SWP_NOSENDCHANGING)) Send(hwnd, WM_WINDOWPOSCHANGING, 0, (LPARAM)&pos);
  if (!FindWindowObject(hwnd, false)) return FALSE;  // destroyed by its own procedure
  FixUpRequest(window, &pos);

  const RECT old_window = window->window_rect, old_client = window->client_rect;
  const POINT origin = ParentOrigin(window);
  RECT new_window = {origin.x + pos.x, origin.y + pos.y, origin.x + pos.x + std::max(pos.cx, 0),
                     origin.y + pos.y + std::max(pos.cy, 0)};
  pos.flags |= SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE;
  RECT new_client = old_client;
  if (!(pos.flags & SWP_NOSIZE) || (pos.flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS params = {{new_window, old_window, old_client}, &pos};
    Send(hwnd, WM_NCCALCSIZE, TRUE, (LPARAM)&params);
    new_client = params.rgrc[0];
  } else {
    new_client = old_client;
    Offset(&new_client, new_window.left - old_window.left, new_window.top - old_window.top);
  }
  if (new_client.left != old_client.left || new_client.top != old_client.top) pos.flags &= ~SWP_NOCLIENTMOVE;
  if (Width(new_client) != Width(old_client) || Height(new_client) != Height(old_client)) pos.flags &= ~SWP_NOCLIENTSIZE;

  window->window_rect = new_window;
  window->client_rect = new_client;
  if (pos.flags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
  if (pos.flags & SWP_HIDEWINDOW) window->style &= ~WS_VISIBLE;
  if (!(pos.flags & SWP_NOZORDER)) PlaceAsRequested(window, pos.hwndInsertAfter);
  UpdateDisplay(window);

  // A top-level window that the request may activate becomes active, visible or not (the
  // activation raises it in a position change of its own).
  if (TopLevel(window) && !(pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && ActiveWindow() != hwnd) {
    ActivateWindow(hwnd, false);
  }

  if (!(pos.flags & SWP_NOREDRAW) && (window->style & WS_VISIBLE) && FindWindowObject(hwnd, false)) {
    RECT area;
    if (pos.flags & SWP_SHOWWINDOW) {
      Invalidate(window, nullptr, true);
      window->frame_pending = true;
    } else if (!(pos.flags & SWP_NOCLIENTSIZE) || (pos.flags & SWP_FRAMECHANGED)) {
      if (UncoveredArea(window, old_client, new_client, &area)) Invalidate(window, &area, true);
      window->frame_pending = true;  // the frame is redrawn at its new size
    }
    // With SWP_DEFERERASE the frame and background wait for BeginPaint.
    if (!(pos.flags & SWP_DEFERERASE)) PaintNow(hwnd, true);
  }

  if ((pos.flags & kStatusFlags) != kNoPositionChange && FindWindowObject(hwnd, false)) {
    Send(hwnd, WM_WINDOWPOSCHANGED, 0, (LPARAM)&pos);
  }
  return TRUE;
}

BOOL ShowWindowNow(HWND hwnd, int command) {
  WindowPtr window = FindWindowObject(hwnd);
  if (!window) return FALSE;
  const bool was_visible = (window->style & WS_VISIBLE) != 0;
  UINT flags = SWP_NOSIZE | SWP_NOMOVE;
  switch (command) {
    case SW_HIDE:
      if (!was_visible) return FALSE;
      flags |= SWP_HIDEWINDOW;
      if (ActiveWindow() != hwnd) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
      flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_SHOWNORMAL:
    case SW_SHOW:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
      // Windows here are never minimized or maximized, so restoring is showing.
      if (was_visible) return TRUE;
      flags |= SWP_SHOWWINDOW;
      break;
    default:
      // Minimizing and maximizing: windows here have no such states.
      ilk::kernel32::SetThreadLastError(ERROR_NOT_SUPPORTED);
      return was_visible;
  }
  const bool show = !was_visible;
  const bool was_active = ActiveWindow() == hwnd;
  Send(hwnd, WM_SHOWWINDOW, show, 0);
  if (!FindWindowObject(hwnd, false)) return was_visible;
  if (window->style & WS_CHILD) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  SetWindowPosition(window, HWND_TOP, 0, 0, 0, 0, flags);
  // Hiding the active window passes the activation on (SetWindowPos's SWP_HIDEWINDOW does not).
  if (!show && was_active && ActiveWindow() == hwnd) DeactivateWindow(hwnd);
  if (show && window->need_size && FindWindowObject(hwnd, false)) {
    // An overlapped window learns the size it was created with at its first showing.
    window->need_size = false;
    RECT client = window->client_rect;
    POINT origin = ParentOrigin(window);
    Send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(Width(client), Height(client)));
    Send(hwnd, WM_MOVE, 0, MAKELPARAM(client.left - origin.x, client.top - origin.y));
  }
  return was_visible;
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
  if (!ilk::kernel32::FailsWithLastError("SetWindowPos")) {
    WindowPtr window = FindWindowObject(hwnd);
    if (window && (flags & (SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE))) {
      // Flags Windows keeps for itself: it sends nothing and changes nothing. What it returns is
      // not known; the call fails here, so that the caller learns that nothing was done.
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_FLAGS);
    } else if (window) {
      result = SetWindowPosition(window, insert_after, x, y, cx, cy, flags);
    }
  }
  ilk::Trace("SetWindowPos(%p) = %d", (void *)hwnd, result);
  return result;
}

BOOL WINAPI ShowWindow(HWND hwnd, int command) {
  ilk::Trace("ShowWindow(%p, %d) ...", (void *)hwnd, command);
  BOOL result = ilk::kernel32::FailsWithLastError("ShowWindow") ? FALSE : ShowWindowNow(hwnd, command);
  ilk::Trace("ShowWindow(%p) = %d", (void *)hwnd, result);
  return result;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
  // Visible means the window and every parent it lies in have WS_VISIBLE.
  WindowPtr window = FindWindowObject(hwnd, false);
  BOOL result = window != nullptr;
  for (; window; window = (window->style & WS_CHILD) ? FindWindowObject(window->parent, false) : nullptr) {
    if (!(window->style & WS_VISIBLE)) result = FALSE;
  }
  ilk::Trace("IsWindowVisible(%p) = %d", (void *)hwnd, result);
  return result;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
  BOOL result = FALSE;
  if (WindowPtr window = FindWindowObject(hwnd)) {
    point->x += window->client_rect.left;
    point->y += window->client_rect.top;
    result = TRUE;
  }
  ilk::Trace("ClientToScreen(%p) = %d", (void *)hwnd, result);
  return result;
}
