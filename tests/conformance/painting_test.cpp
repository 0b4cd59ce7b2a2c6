// Update regions and painting: InvalidateRect, ValidateRect, UpdateWindow, RedrawWindow's
// immediate forms and what BeginPaint sends and reports.
#include <windows.h>

#include "conformance/check.h"
#include "conformance/message_log.h"
#include "conformance/sequences.h"

using namespace conformance;

namespace {

HWND PaintedWindow(MessageLog &log, DWORD style = WS_OVERLAPPEDWINDOW) {
  HWND hwnd = log.Create(style | WS_VISIBLE);
  UpdateWindow(hwnd);
  log.Settle();
  return hwnd;
}

bool PaintWaiting(HWND hwnd) {
  MSG msg;
  return PeekMessageW(&msg, hwnd, WM_PAINT, WM_PAINT, PM_NOREMOVE) != 0;
}

}  // namespace

CONFORMANCE_CASE(Painting, UpdateWindowPaintsAnInvalidWindowAndErasesInBeginPaint) {
  MessageLog log;
  HWND hwnd = PaintedWindow(log);
  CHECK(InvalidateRect(hwnd, nullptr, TRUE));
  CHECK_SEQUENCE(log, Sequence(), "InvalidateRect alone");
  CHECK(PaintWaiting(hwnd));
  CHECK(UpdateWindow(hwnd));
  CHECK_SEQUENCE(log, Sequence({{WM_PAINT, 0, 0}, {WM_ERASEBKGND, kInBeginPaint, 0}}), "UpdateWindow");
  CHECK(!PaintWaiting(hwnd));
  log.Clear();
  CHECK(UpdateWindow(hwnd));
  CHECK_SEQUENCE(log, Sequence(), "UpdateWindow of a valid window");
}

CONFORMANCE_CASE(Painting, InvalidationWithoutEraseSkipsTheBackground) {
  MessageLog log;
  HWND hwnd = PaintedWindow(log);
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
  CHECK_SEQUENCE(log, Sequence({{WM_PAINT, 0, 0}}), "UpdateWindow without erasing");
}

CONFORMANCE_CASE(Painting, ValidateRectRemovesThePaint) {
  MessageLog log;
  HWND hwnd = PaintedWindow(log);
  InvalidateRect(hwnd, nullptr, TRUE);
  CHECK(ValidateRect(hwnd, nullptr));
  CHECK(!PaintWaiting(hwnd));
  UpdateWindow(hwnd);
  CHECK_SEQUENCE(log, Sequence(), "UpdateWindow after ValidateRect");
}

CONFORMANCE_CASE(Painting, RedrawWithUpdateNowPaintsBeforeReturning) {
  MessageLog log;
  HWND hwnd = PaintedWindow(log);
  CHECK(RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN));
  CHECK_SEQUENCE(log, Sequence({{WM_PAINT, 0, 0}}), "RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW)");
  CHECK(!PaintWaiting(hwnd));
}

CONFORMANCE_CASE(Painting, RedrawOfTheFrameWithUpdateNowPaintsTheFrameInsideBeginPaint) {
  MessageLog log;
  HWND hwnd = PaintedWindow(log);
  CHECK(RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW));
  CHECK_SEQUENCE(log,
                 Sequence({{WM_PAINT, 0, 0}, {WM_NCPAINT, kInBeginPaint, 0}, {WM_ERASEBKGND, kInBeginPaint, 0}}),
                 "RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW)");
  CHECK(!PaintWaiting(hwnd));
}

CONFORMANCE_CASE(Painting, RedrawWithEraseNowLeavesThePaintQueued) {
  MessageLog log;
  HWND hwnd = PaintedWindow(log);
  CHECK(RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ERASENOW));
  CHECK_SEQUENCE(log, Sequence({{WM_NCPAINT, 0, 0}, {WM_ERASEBKGND, 0, 0}}), "RedrawWindow(... RDW_ERASENOW)");
  CHECK(PaintWaiting(hwnd));
  log.Clear();
  UpdateWindow(hwnd);
  CHECK_SEQUENCE(log, Sequence({{WM_PAINT, 0, 0}}), "the paint that was left");
}

CONFORMANCE_CASE(Painting, BeginPaintReportsTheUpdateRectangleAndTheErasing) {
  MessageLog log;
  HWND hwnd = PaintedWindow(log);
  RECT part = {10, 20, 30, 40};
  InvalidateRect(hwnd, &part, TRUE);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  CHECK(dc != nullptr);
  CHECK_EQ(paint.hdc, dc);
  CHECK_EQ(paint.rcPaint.left, 10);
  CHECK_EQ(paint.rcPaint.top, 20);
  CHECK_EQ(paint.rcPaint.right, 30);
  CHECK_EQ(paint.rcPaint.bottom, 40);
  CHECK(!paint.fErase);  // DefWindowProcW erased with the class brush
  CHECK(log.Find(WM_ERASEBKGND) != nullptr);
  CHECK(EndPaint(hwnd, &paint));
  CHECK(!PaintWaiting(hwnd));
}

CONFORMANCE_CASE(Painting, BeginPaintOfAValidWindowReportsNothingToPaint) {
  MessageLog log;
  HWND hwnd = PaintedWindow(log);
  PAINTSTRUCT paint;
  CHECK(BeginPaint(hwnd, &paint) != nullptr);
  CHECK(paint.rcPaint.left == 0 && paint.rcPaint.top == 0 && paint.rcPaint.right == 0 && paint.rcPaint.bottom == 0);
  CHECK(!paint.fErase);
  EndPaint(hwnd, &paint);
  CHECK_SEQUENCE(log, Sequence(), "BeginPaint of a valid window");
}

CONFORMANCE_CASE(Painting, HiddenWindowsAreNotPainted) {
  MessageLog log;
  HWND hwnd = log.Create(WS_OVERLAPPEDWINDOW);
  log.Settle();
  CHECK(InvalidateRect(hwnd, nullptr, TRUE));
  CHECK(!PaintWaiting(hwnd));
  CHECK(RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW));
  CHECK_SEQUENCE(log, Sequence(), "RedrawWindow of a hidden window");
}
