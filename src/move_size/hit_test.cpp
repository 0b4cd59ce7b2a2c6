#include "move_size/hit_test.h"

namespace interlock {

namespace {

const int kEdgeMargin = 19;

}  // namespace

LRESULT HitTest(const RECT &window_size, int x, int y) {
  bool left = x <= window_size.left + kEdgeMargin;
  bool right = !left && x >= window_size.right - kEdgeMargin;
  if (y <= window_size.top + kEdgeMargin) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
  if (y < window_size.bottom - kEdgeMargin) return left ? HTLEFT : right ? HTRIGHT : HTCAPTION;
  return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
}

}  // namespace interlock
