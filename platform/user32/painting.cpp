// user32: update regions and painting (InvalidateRect, ValidateRect, RedrawWindow, BeginPaint,
// EndPaint) and device contexts (GetDC, ReleaseDC, WindowFromDC).
//
// The update region is kept as its bounding rectangle: painting here never depends on its shape,
// and validating part of it leaves the rectangle whole. Invisible windows have no update region,
// as on Windows.
#include <algorithm>

#include "common/log.h"
#include "kernel32/kernel32_internal.h"
#include "gdi32/gdi32_internal.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

// The screen's device context (GetDC(NULL)); it belongs to no window.
HDC const kScreenDc = reinterpret_cast<HDC>(0x1010000);

RECT ClientArea(const WindowPtr &window) {
  return {0, 0, window->client_rect.right - window->client_rect.left, window->client_rect.bottom - window->client_rect.top};
}

bool Intersect(const RECT &a, const RECT &b, RECT *out) {
  *out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return out->left < out->right && out->top < out->bottom;
}

bool Contains(const RECT &outer, const RECT &inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right && outer.bottom >= inner.bottom;
}

bool Visible(const WindowPtr &window) { return (window->style & WS_VISIBLE) && !window->destroying; }

void SendFramePaint(HWND hwnd, const WindowPtr &window) {
  if (!window->frame_pending) return;
  window->frame_pending = false;
  Send(hwnd, WM_NCPAINT, 1 /* the whole frame */, 0);
}

// Sends WM_ERASEBKGND when the background is due; true when it still needs erasing afterwards.
bool SendErase(HWND hwnd, const WindowPtr &window) {
  if (!window->erase_pending) return false;
  window->erase_pending = false;
  return Send(hwnd, WM_ERASEBKGND, (WPARAM)window->dc, 0) == 0;
}

// The window and, with RDW_ALLCHILDREN, its descendants.
std::vector<WindowPtr> RedrawTargets(const WindowPtr &window, UINT flags) {
  std::vector<WindowPtr> targets = {window};
  if (flags & RDW_ALLCHILDREN) {
    for (size_t i = 0; i < targets.size(); ++i) {
      for (const WindowPtr &other : WindowsInZOrder()) {
        if ((other->style & WS_CHILD) && other->parent == targets[i]->hwnd) targets.push_back(other);
      }
    }
  }
  return targets;
}

}  // namespace

void Invalidate(const WindowPtr &window, const RECT *client_rect, bool erase) {
  if (!Visible(window)) return;
  RECT area;
  if (!Intersect(client_rect ? *client_rect : ClientArea(window), ClientArea(window), &area)) return;
  if (window->invalid) {
    window->update = {std::min(window->update.left, area.left), std::min(window->update.top, area.top),
                      std::max(window->update.right, area.right), std::max(window->update.bottom, area.bottom)};
  } else {
    window->update = area;
    window->invalid = true;
  }
  if (erase) window->erase_pending = true;
}

void Validate(const WindowPtr &window, const RECT *client_rect) {
  if (!window->invalid || (client_rect && !Contains(*client_rect, window->update))) return;
  window->invalid = false;
  window->erase_pending = false;
}

void PaintNow(HWND hwnd, bool erase_only) {
  WindowPtr window = FindWindowObject(hwnd, false);
  if (!window || !Visible(window)) return;
  if (erase_only) {
    SendFramePaint(hwnd, window);
    SendErase(hwnd, window);
  } else if (window->invalid || window->internal_paint || window->frame_pending) {
    Send(hwnd, WM_PAINT, 0, 0);  // its BeginPaint paints the frame and the background
  }
}

HWND WindowNeedingPaint(HWND filter) {
  for (const WindowPtr &window : WindowsInZOrder()) {
    if (filter && window->hwnd != filter) continue;
    if (Visible(window) && (window->invalid || window->internal_paint || window->frame_pending)) return window->hwnd;
  }
  return nullptr;
}

}  // namespace ilk::user32

using namespace ilk::user32;

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError("InvalidateRect")) {
    if (WindowPtr window = FindWindowObject(hwnd)) {
      Invalidate(window, rect, erase);
      result = TRUE;
    }
  }
  ilk::Trace("InvalidateRect(%p, %s, %d) = %d", (void *)hwnd, rect ? "rect" : "NULL", erase, result);
  return result;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT *rect) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError("ValidateRect")) {
    if (WindowPtr window = FindWindowObject(hwnd)) {
      Validate(window, rect);
      if (!rect) window->frame_pending = false;  // a null rectangle validates the whole window
      result = TRUE;
    }
  }
  ilk::Trace("ValidateRect(%p, %s) = %d", (void *)hwnd, rect ? "rect" : "NULL", result);
  return result;
}

namespace {

BOOL Redraw(HWND hwnd, const RECT *update_rect, HANDLE update_region, UINT flags) {
  if (update_region) {
    // This platform has no regions, so no region handle is valid.
    ilk::kernel32::SetThreadLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!hwnd) return TRUE;  // the desktop, which this platform does not draw
  WindowPtr window = FindWindowObject(hwnd);
  if (!window) return FALSE;
  for (const WindowPtr &target : RedrawTargets(window, flags)) {
    const RECT *rect = target == window ? update_rect : nullptr;
    if (flags & RDW_INVALIDATE) {
      Invalidate(target, rect, flags & RDW_ERASE);
      if ((flags & RDW_FRAME) && Visible(target)) target->frame_pending = true;
      if (flags & RDW_INTERNALPAINT) target->internal_paint = true;
    }
    if (flags & RDW_VALIDATE) {
      Validate(target, rect);
      if (flags & RDW_NOFRAME) target->frame_pending = false;
      if (flags & RDW_NOERASE) target->erase_pending = false;
      if (flags & RDW_NOINTERNALPAINT) target->internal_paint = false;
    }
    if (flags & RDW_UPDATENOW) {
      PaintNow(target->hwnd, false);
    } else if (flags & RDW_ERASENOW) {
      PaintNow(target->hwnd, true);
    }
  }
  return TRUE;
}

}  // namespace

BOOL WINAPI RedrawWindow(HWND hwnd, const RECT *update_rect, HANDLE update_region, UINT flags) {
  ilk::Trace("RedrawWindow(%p, %s, %p, 0x%x) ...", (void *)hwnd, update_rect ? "rect" : "NULL", update_region, flags);
  BOOL result = !ilk::kernel32::FailsWithLastError("RedrawWindow") && Redraw(hwnd, update_rect, update_region, flags);
  ilk::Trace("RedrawWindow(%p) = %d", (void *)hwnd, result);
  return result;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
  HDC dc = nullptr;
  WindowPtr window = ilk::kernel32::FailsWithLastError("BeginPaint") ? nullptr : FindWindowObject(hwnd);
  if (window && paint) {
    SendFramePaint(hwnd, window);
    *paint = {};
    paint->fErase = SendErase(hwnd, window);
    if (window->invalid) paint->rcPaint = window->update;
    window->invalid = false;
    window->internal_paint = false;
    paint->hdc = dc = window->dc;
  } else if (window) {
    ilk::kernel32::SetThreadLastError(ERROR_INVALID_PARAMETER);
  }
  ilk::Trace("BeginPaint(%p) = %p", (void *)hwnd, (void *)dc);
  return dc;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError("UpdateWindow") && FindWindowObject(hwnd)) {
    PaintNow(hwnd, false);
    result = TRUE;
  }
  ilk::Trace("UpdateWindow(%p) = %d", (void *)hwnd, result);
  return result;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *paint) {
  // Painting holds nothing between BeginPaint and EndPaint here; EndPaint always succeeds, as
  // on Windows.
  ilk::Trace("EndPaint(%p, %p) = 1", (void *)hwnd, (const void *)paint);
  return TRUE;
}

HDC WINAPI GetDC(HWND hwnd) {
  HDC dc = nullptr;
  if (!ilk::kernel32::FailsWithLastError("GetDC")) {
    if (!hwnd) {
      dc = kScreenDc;
    } else if (WindowPtr window = FindWindowObject(hwnd)) {
      dc = window->dc;
    }
  }
  ilk::Trace("GetDC(%p) = %p", (void *)hwnd, (void *)dc);
  return dc;
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
  int result = 0;
  if (!ilk::kernel32::FailsWithLastError("ReleaseDC")) {
    WindowPtr window = hwnd ? FindWindowObject(hwnd, false) : nullptr;
    result = (dc == kScreenDc && !hwnd) || (window && window->dc == dc);
  }
  ilk::Trace("ReleaseDC(%p, %p) = %d", (void *)hwnd, (void *)dc, result);
  return result;
}

HWND WINAPI WindowFromDC(HDC dc) {
  HWND hwnd = nullptr;
  if (!ilk::kernel32::FailsWithLastError("WindowFromDC")) hwnd = ilk::gdi32::WindowOfDc(dc);
  ilk::Trace("WindowFromDC(%p) = %p", (void *)dc, (void *)hwnd);
  return hwnd;
}
