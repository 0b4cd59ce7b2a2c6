// The window procedure: traces every message, routes painting, size changes and destruction to
// the window's record, and hands hit-testing and keyboard sizing to move_size/.
#include "present/window_proc.h"

#include <stdio.h>

#include "app/options.h"
#include "move_size/hit_test.h"
#include "move_size/keyboard_sizing.h"
#include "present/frame.h"
#include "renderer/window_renderer.h"

namespace interlock {

namespace {

void HandleSizeChange(HWND window, window_renderer *wr, const WINDOWPOS *pos) {
  printf("resizd %p\n", (void *)wr);
  // Only a record that Create has built (and Destroy has not yet taken apart) can be sized.
  if (!IsBuilt(wr)) return;
  Resize(wr, (DWORD)pos->cx, (DWORD)pos->cy);
  wr->resizing = TRUE;
  RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  wr->resizing = FALSE;
}

}  // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CREATE) {
    const CREATESTRUCTW *create = reinterpret_cast<const CREATESTRUCTW *>(lparam);
    static_cast<window_renderer *>(create->lpCreateParams)->window = window;
    return 0;
  }

  window_renderer *wr = nullptr;
  int index = 2;
  if (window == wr1.window) {
    wr = &wr1;
    index = 1;
  } else if (window == wr2.window) {
    wr = &wr2;
  }

  if (message != WM_PAINT) printf("message 0x%x for window %p (wr %d)\n", message, (void *)window, index);

  switch (message) {
    case WM_DESTROY:
      if (wr) {
        Destroy(wr);
        wr->quitting = TRUE;
      }
      return 0;
    case WM_PAINT:
      if (wr) dxpaint(wr);
      break;
    case WM_WINDOWPOSCHANGING: {
      const WINDOWPOS *pos = reinterpret_cast<const WINDOWPOS *>(lparam);
      if (!(pos->flags & SWP_NOSIZE)) HandleSizeChange(window, wr, pos);
      break;
    }
    case WM_NCCALCSIZE:
      if (no_decorations) return 0;
      break;
    case WM_NCHITTEST: {
      RECT window_size;
      GetWindowRect(window, &window_size);
      // Screen coordinates as signed 16-bit values: a monitor left of or above the primary one
      // gives negative positions.
      return HitTest(window_size, (SHORT)LOWORD(lparam), (SHORT)HIWORD(lparam));
    }
    case WM_KEYDOWN:
      SizeByKey(window, wparam);
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace interlock
