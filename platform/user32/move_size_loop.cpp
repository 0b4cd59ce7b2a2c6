// user32: the modal move/size loop of WM_SYSCOMMAND SC_MOVE and SC_SIZE, which DefWindowProcW
// starts for a left-button press on the caption or an edge. It follows the pointer until the
// button is released (Escape puts the window back): WM_ENTERSIZEMOVE, then per pointer step
// WM_MOVING or WM_SIZING and SetWindowPos (the window's contents follow live), then
// WM_CAPTURECHANGED and WM_EXITSIZEMOVE. The loop runs only while the left button is down, so
// a press sent by a program without a real button does nothing. A command without a press (the
// window menu's Move and Size, lParam 0) runs the keyboard loop instead: the arrow keys move the
// window or an edge by 8 pixels, Return keeps the result and Escape puts the window back.
#include <algorithm>

#include "common/log.h"
#include "display/display.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

const int kPollMs = 50;  // how often the loop checks that the button is still down

// The window rectangle for a pointer `dx`, `dy` away from where the size began, keeping the
// size within the tracking limits by stopping the edge that moves.
RECT SizedRect(const RECT &start, int edge, int dx, int dy, const MINMAXINFO &limits) {
  RECT rect = start;
  bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
  bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
  auto clamp_width = [&](LONG width) { return std::clamp<LONG>(width, limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x); };
  auto clamp_height = [&](LONG height) { return std::clamp<LONG>(height, limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y); };
  if (left) rect.left = rect.right - clamp_width(start.right - (start.left + dx));
  if (right) rect.right = rect.left + clamp_width(start.right + dx - start.left);
  if (top) rect.top = rect.bottom - clamp_height(start.bottom - (start.top + dy));
  if (bottom) rect.bottom = rect.top + clamp_height(start.bottom + dy - start.top);
  return rect;
}

const int kKeyboardStep = 8;  // pixels per arrow key press

// The edge an arrow key sizes when the keyboard loop has not chosen one yet.
int EdgeOfArrow(WPARAM key) {
  switch (key) {
    case VK_LEFT: return WMSZ_LEFT;
    case VK_RIGHT: return WMSZ_RIGHT;
    case VK_UP: return WMSZ_TOP;
    default: return WMSZ_BOTTOM;
  }
}

void RunKeyboardLoop(HWND hwnd, bool moving) {
  WindowPtr window = FindWindowObject(hwnd, false);
  const RECT start = window->window_rect;
  MINMAXINFO limits = QueryMinMaxInfo(hwnd);
  Send(hwnd, WM_ENTERSIZEMOVE, 0, 0);
  RECT rect = start;
  int edge = 0;
  bool accepted = false;
  MSG msg;
  while (IsWindow(hwnd)) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      PumpDisplayEvents(kPollMs);
      continue;
    }
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) {
      // Other work goes on; the pointer and the other keys do nothing here.
      bool input = (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSCHAR) ||
                   (msg.message >= WM_MOUSEMOVE && msg.message <= WM_MOUSEWHEEL) ||
                   (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCRBUTTONUP);
      if (!input) DispatchMessageW(&msg);
      continue;
    }
    if (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) {
      accepted = msg.wParam == VK_RETURN;
      break;
    }
    if (msg.wParam != VK_LEFT && msg.wParam != VK_RIGHT && msg.wParam != VK_UP && msg.wParam != VK_DOWN) continue;
    const int dx = msg.wParam == VK_LEFT ? -kKeyboardStep : msg.wParam == VK_RIGHT ? kKeyboardStep : 0;
    const int dy = msg.wParam == VK_UP ? -kKeyboardStep : msg.wParam == VK_DOWN ? kKeyboardStep : 0;
    if (moving) {
      rect = {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
      Send(hwnd, WM_MOVING, 0, (LPARAM)&rect);
    } else {
      if (!edge) edge = EdgeOfArrow(msg.wParam);
      rect = SizedRect(rect, edge, dx, dy, limits);
      Send(hwnd, WM_SIZING, edge, (LPARAM)&rect);
    }
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOACTIVATE | SWP_NOZORDER | (moving ? SWP_NOSIZE : 0));
  }
  if (!IsWindow(hwnd)) return;
  bool moved = rect.left != start.left || rect.top != start.top || rect.right != start.right || rect.bottom != start.bottom;
  if (!accepted && moved) {
    SetWindowPos(hwnd, nullptr, start.left, start.top, start.right - start.left, start.bottom - start.top,
                 SWP_NOACTIVATE | SWP_NOZORDER);
  }
  Send(hwnd, WM_CAPTURECHANGED, 0, 0);
  Send(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace

void RunMoveSizeLoop(HWND hwnd, WPARAM command, LPARAM press) {
  display::Desktop &desktop = display::CurrentDesktop();
  WindowPtr window = FindWindowObject(hwnd, false);
  if (!window || !(window->style & WS_VISIBLE)) return;
  bool moving = (command & 0xFFF0) == SC_MOVE;
  if ((command & 0x000F) == 0) {
    ilk::Trace("keyboard %s loop for %p", moving ? "move" : "size", (void *)hwnd);
    RunKeyboardLoop(hwnd, moving);
    return;
  }
  if (!desktop.LeftButtonDown()) return;
  int edge = moving ? 0 : (int)(command & 0x000F);
  const int start_x = GET_X_LPARAM(press), start_y = GET_Y_LPARAM(press);
  const RECT start = window->window_rect;
  MINMAXINFO limits = QueryMinMaxInfo(hwnd);
  ilk::Trace("%s loop for %p begins", moving ? "move" : "size", (void *)hwnd);
  Send(hwnd, WM_ENTERSIZEMOVE, 0, 0);

  display::DisplayEvent event;
  bool pending = false;  // `event` holds an event that a run of motion events ended with
  while (IsWindow(hwnd)) {
    if (!pending && !desktop.NextEvent(&event, kPollMs)) {
      if (!desktop.LeftButtonDown()) break;
      continue;
    }
    pending = false;
    if (event.kind == display::DisplayEvent::kMotion) {
      display::DisplayEvent latest = event;
      // Only the newest of a run of motion events matters.
      while (desktop.NextEvent(&event, 0)) {
        if (event.kind != display::DisplayEvent::kMotion) {
          pending = true;
          break;
        }
        latest = event;
      }
      int dx = latest.x - start_x, dy = latest.y - start_y;
      RECT rect = start;
      if (moving) {
        rect = {start.left + dx, start.top + dy, start.right + dx, start.bottom + dy};
        Send(hwnd, WM_MOVING, 0, (LPARAM)&rect);
      } else {
        rect = SizedRect(start, edge, dx, dy, limits);
        Send(hwnd, WM_SIZING, edge, (LPARAM)&rect);
      }
      SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOACTIVATE | SWP_NOZORDER | (moving ? SWP_NOSIZE : 0));
    } else if (event.kind == display::DisplayEvent::kButtonUp && event.button == 1) {
      break;
    } else if (event.kind == display::DisplayEvent::kKeyDown && event.virtual_key == VK_ESCAPE) {
      SetWindowPos(hwnd, nullptr, start.left, start.top, start.right - start.left, start.bottom - start.top,
                   SWP_NOACTIVATE | SWP_NOZORDER);
      break;
    } else if (event.kind != display::DisplayEvent::kButtonDown && event.kind != display::DisplayEvent::kKeyDown &&
               event.kind != display::DisplayEvent::kKeyUp && event.kind != display::DisplayEvent::kButtonUp) {
      QueueDisplayEvent(event);  // exposure, closing and the display's own moves still count
    }
  }
  if (!IsWindow(hwnd)) return;
  Send(hwnd, WM_CAPTURECHANGED, 0, 0);
  Send(hwnd, WM_EXITSIZEMOVE, 0, 0);
  ilk::Trace("%s loop for %p ends", moving ? "move" : "size", (void *)hwnd);
}

}  // namespace ilk::user32
