// The message loop.
#include "app/main_loop.h"

#include "renderer/window_renderer.h"

namespace interlock {

namespace {

BOOL Quitting() { return wr1.quitting || wr2.quitting; }

void QuitBoth() {
  wr1.quitting = TRUE;
  wr2.quitting = TRUE;
}

}  // namespace

BOOL TimeLimitPassed(DWORD ticks, DWORD now) { return (DWORD)(now - ticks) > kRunTimeLimit; }

void RunMainLoop() {
  MSG message;
  wr1.quitting = FALSE;
  wr2.quitting = FALSE;
  DWORD ticks = GetTickCount();
  while (!Quitting()) {
    if (TimeLimitPassed(ticks, GetTickCount())) QuitBoth();
    BOOL fetched;
    while ((fetched = PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) != 0) {
      if (Quitting()) break;  // a message removed after quitting is dropped
      if (fetched == -1) {
        QuitBoth();
      } else {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (WaitForSingleObjectEx(wr1.waiter, 0, TRUE) == WAIT_OBJECT_0) {
        RedrawWindow(wr1.window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RedrawWindow(wr2.window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      }
    }
  }
}

}  // namespace interlock
