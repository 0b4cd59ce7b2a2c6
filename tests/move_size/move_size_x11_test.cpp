// The window procedure on a real X server (a private Xvfb), driven by XTest as a person would:
// a drag inside the window moves it, a drag on its right edge widens it, and the plus key grows
// it by 10 pixels keeping its bottom-right corner.
// gtest first: Xlib's macros (None, Bool...) would break its templates.
#include <gtest/gtest.h>
#include <string.h>

#include <atomic>
#include <thread>

#include <windows.h>
#include <X11/keysym.h>

#include "app/options.h"
#include "common/knobs.h"
#include "platform/display/x11_fixture.h"
#include "present/sample_window.h"
#include "renderer/window_renderer.h"
#include "support/scoped_knobs.h"

namespace interlock {
namespace {

class WindowProcOnX11 : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    SetDefaultOptions();
    memset(&wr1, 0, sizeof wr1);
    memset(&wr2, 0, sizeof wr2);
    testing::internal::CaptureStdout();  // the message trace
    window_ = OpenSampleWindow(&wr1, 200, 150, 600, 400);
    xid_ = driver_.WaitForWindow("Sample", 3000);
    DispatchWaitingMessages();
  }

  void TearDown() override {
    if (window_) DestroyWindow(window_);
    DispatchWaitingMessages();
    testing::internal::GetCapturedStdout();
  }

  // Dispatches messages until the window has `expected` as its outer rectangle, or time is up.
  bool WaitForRect(const RECT &expected, int timeout_ms = 3000) {
    for (int waited = 0; waited < timeout_ms; waited += 5) {
      DispatchWaitingMessages();
      RECT rect = OuterRect(window_);
      if (!memcmp(&rect, &expected, sizeof rect)) return true;
      Pause(5);
    }
    return false;
  }

  // The X11 window agrees with the window manager's rectangle.
  void ExpectXGeometry(const RECT &rect) {
    int x, y, width, height;
    ASSERT_TRUE(driver_.Geometry(xid_, &x, &y, &width, &height));
    EXPECT_EQ(x, rect.left);
    EXPECT_EQ(y, rect.top);
    EXPECT_EQ(width, rect.right - rect.left);
    EXPECT_EQ(height, rect.bottom - rect.top);
  }

  // Drags on another thread while this one runs the message loop (the move loop is modal).
  void DragWhilePumping(int from_x, int from_y, int to_x, int to_y) {
    std::atomic<bool> released(false);
    std::thread person([=, &released] {
      XTestDriver hand;
      hand.Drag(from_x, from_y, to_x, to_y, 5);
      released = true;
    });
    while (!released) {
      DispatchWaitingMessages();
      Pause(5);
    }
    person.join();
  }

  ScopedKnobs debugger_{{"INTERLOCK_DEBUGGER", "continue"}};  // Destroy of an unbuilt record
  HWND window_ = nullptr;
  Window xid_ = 0;
};

TEST_F(WindowProcOnX11, DragInsideMovesTheWindow) {
  ASSERT_NE(xid_, 0u);
  DragWhilePumping(500, 350, 560, 390);
  RECT expected = {260, 190, 860, 590};
  EXPECT_TRUE(WaitForRect(expected));
  ExpectXGeometry(expected);
}

TEST_F(WindowProcOnX11, DragOnTheRightEdgeWidensTheWindow) {
  ASSERT_NE(xid_, 0u);
  DragWhilePumping(795, 350, 855, 360);  // 5 px inside the right edge
  RECT expected = {200, 150, 860, 550};
  EXPECT_TRUE(WaitForRect(expected));
  ExpectXGeometry(expected);
}

TEST_F(WindowProcOnX11, PlusKeyGrowsTheWindowKeepingItsBottomRight) {
  ASSERT_NE(xid_, 0u);
  driver_.Key(XK_equal);
  RECT expected = {190, 140, 800, 550};
  EXPECT_TRUE(WaitForRect(expected));
  ExpectXGeometry(expected);
  driver_.Key(XK_KP_Add);  // the keypad's plus is VK_ADD, which changes nothing
  EXPECT_FALSE(WaitForRect({180, 130, 800, 550}, 300));
}

}  // namespace
}  // namespace interlock
