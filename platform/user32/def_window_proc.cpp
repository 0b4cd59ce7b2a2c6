// user32: DefWindowProcW, Windows' default handling of the messages this platform produces.
#include <algorithm>

#include "common/log.h"
#include "kernel32/kernel32_internal.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

// Sizing corners reach this far along each edge, as Windows' caption-button-sized corners.
const int kCornerReach = 16;

// The client area is the window rectangle less the frame.
void SubtractFrame(const WindowPtr &window, RECT *rect) {
  RECT insets = FrameInsets(window->style, window->ex_style);
  rect->left += insets.left;
  rect->top += insets.top;
  rect->right = std::max(rect->left, rect->right - insets.right);
  rect->bottom = std::max(rect->top, rect->bottom - insets.bottom);
}

LRESULT DefaultHitTest(const WindowPtr &window, int x, int y) {
  const RECT &outer = window->window_rect;
  if (x < outer.left || x >= outer.right || y < outer.top || y >= outer.bottom) return HTNOWHERE;
  const RECT &client = window->client_rect;
  if (x >= client.left && x < client.right && y >= client.top && y < client.bottom) return HTCLIENT;
  RECT insets = FrameInsets(window->style, window->ex_style);
  int border = insets.left;
  bool in_border = x < outer.left + border || x >= outer.right - border || y < outer.top + border || y >= outer.bottom - border;
  if (in_border && (window->style & WS_THICKFRAME)) {
    bool left = x < outer.left + kCornerReach, right = x >= outer.right - kCornerReach;
    bool top = y < outer.top + kCornerReach, bottom = y >= outer.bottom - kCornerReach;
    if (top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    return left ? HTLEFT : HTRIGHT;
  }
  if (in_border) return HTBORDER;
  return (window->style & WS_CAPTION) == WS_CAPTION ? HTCAPTION : HTBORDER;
}

void HandleWindowPosChanged(const WindowPtr &window, const WINDOWPOS *pos) {
  const RECT &client = window->client_rect;
  POINT origin = {0, 0};
  if (window->style & WS_CHILD) {
    if (WindowPtr parent = FindWindowObject(window->parent, false)) origin = {parent->client_rect.left, parent->client_rect.top};
  }
  if (!(pos->flags & SWP_NOCLIENTMOVE)) Send(window->hwnd, WM_MOVE, 0, MAKELPARAM(client.left - origin.x, client.top - origin.y));
  if (!(pos->flags & SWP_NOCLIENTSIZE) || (pos->flags & SWP_STATECHANGED)) {
    window->need_size = false;
    Send(window->hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
  }
}

// Sizable and overlapped windows are kept within their tracking limits.
void ClampToTrackSize(const WindowPtr &window, WINDOWPOS *pos) {
  if ((pos->flags & SWP_NOSIZE) || !((window->style & WS_THICKFRAME) || !(window->style & (WS_POPUP | WS_CHILD)))) return;
  MINMAXINFO limits = QueryMinMaxInfo(window->hwnd);
  pos->cx = std::max<int>(limits.ptMinTrackSize.x, std::min<int>(pos->cx, limits.ptMaxTrackSize.x));
  pos->cy = std::max<int>(limits.ptMinTrackSize.y, std::min<int>(pos->cy, limits.ptMaxTrackSize.y));
}

LRESULT CopyTitle(const WindowPtr &window, WPARAM size, LPARAM buffer) {
  if (size == 0 || !buffer) return 0;
  size_t length = std::min<size_t>(window->title.size(), size - 1);
  WCHAR *out = reinterpret_cast<WCHAR *>(buffer);
  std::copy(window->title.begin(), window->title.begin() + length, out);
  out[length] = 0;
  return (LRESULT)length;
}

LRESULT DefaultHandling(const WindowPtr &window, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND hwnd = window->hwnd;
  switch (message) {
    case WM_NCCREATE: {
      const CREATESTRUCTW *create = reinterpret_cast<const CREATESTRUCTW *>(lparam);
      if (create && create->lpszName) window->title = create->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE:
      SubtractFrame(window, wparam ? &reinterpret_cast<NCCALCSIZE_PARAMS *>(lparam)->rgrc[0]
                                   : reinterpret_cast<RECT *>(lparam));
      return 0;
    case WM_NCHITTEST:
      return DefaultHitTest(window, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
    case WM_NCLBUTTONDOWN:
      if (wparam == HTCAPTION) {
        Send(hwnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lparam);
      } else if (wparam >= HTLEFT && wparam <= HTBOTTOMRIGHT) {
        Send(hwnd, WM_SYSCOMMAND, SC_SIZE + (wparam - HTLEFT + WMSZ_LEFT), lparam);
      }
      return 0;
    case WM_SYSCOMMAND:
      switch (wparam & 0xFFF0) {
        case SC_MOVE:
        case SC_SIZE:
          RunMoveSizeLoop(hwnd, wparam, lparam);
          break;
        case SC_CLOSE:
          Send(hwnd, WM_CLOSE, 0, 0);
          break;
      }
      return 0;
    case WM_SYSKEYDOWN:
      if (wparam == VK_F4 && (lparam & (1 << 29))) PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (BeginPaint(hwnd, &paint)) EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      // The display shows the class brush wherever nothing has been presented.
      return window->window_class->background != nullptr;
    case WM_NCPAINT:
      UpdateDisplay(window);
      return 0;
    case WM_NCACTIVATE:
      UpdateDisplay(window);
      return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) TakeFocus(hwnd);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    case WM_SETCURSOR:
      // The display keeps its own pointer shape; the class cursor counts as set in the client.
      return LOWORD(lparam) == HTCLIENT && window->window_class->cursor != nullptr;
    case WM_WINDOWPOSCHANGING:
      ClampToTrackSize(window, reinterpret_cast<WINDOWPOS *>(lparam));
      return 0;
    case WM_WINDOWPOSCHANGED:
      HandleWindowPosChanged(window, reinterpret_cast<const WINDOWPOS *>(lparam));
      return 0;
    case WM_SETTEXT:
      window->title = lparam ? reinterpret_cast<LPCWSTR>(lparam) : L"";
      UpdateDisplay(window);
      return TRUE;
    case WM_GETTEXT:
      return CopyTitle(window, wparam, lparam);
    case WM_GETTEXTLENGTH:
      return (LRESULT)window->title.size();
  }
  return 0;
}

}  // namespace
}  // namespace ilk::user32

using namespace ilk::user32;

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (ilk::kernel32::FailsWithLastError("DefWindowProcW")) return 0;
  WindowPtr window = FindWindowObject(hwnd);
  LRESULT result = window ? DefaultHandling(window, message, wparam, lparam) : 0;
  ilk::Trace("DefWindowProcW(%p, 0x%04x) = %lld", (void *)hwnd, message, (long long)result);
  return result;
}
