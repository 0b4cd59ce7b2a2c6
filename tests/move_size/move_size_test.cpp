// The program's moving and sizing through the headless window manager: hit-testing over the
// whole window with its edge zones, and the plus and minus keys.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <windows.h>

#include "move_size/hit_test.h"
#include "present/window_proc_fixture.h"

namespace interlock {
namespace {

LRESULT Hit(HWND window, int x, int y) { return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)); }

TEST_F(WindowProcTest, HitTestingCoversTheWholeWindowWithNineteenPixelMargins) {
  HWND window = OpenSampleWindow(&wr1, 100, 100, 1024, 1024);
  EXPECT_EQ(Hit(window, 119, 119), HTTOPLEFT);
  EXPECT_EQ(Hit(window, 120, 120), HTCAPTION);
  EXPECT_EQ(Hit(window, 1105, 500), HTRIGHT);
  EXPECT_EQ(Hit(window, 1104, 500), HTCAPTION);
  EXPECT_EQ(Hit(window, 500, 1105), HTBOTTOM);
  EXPECT_EQ(Hit(window, 1105, 1105), HTBOTTOMRIGHT);
  EXPECT_EQ(Hit(window, 500, 100), HTTOP);
  EXPECT_EQ(Hit(window, 1123, 119), HTTOPRIGHT);
  EXPECT_EQ(Hit(window, 100, 500), HTLEFT);
  EXPECT_EQ(Hit(window, 119, 1123), HTBOTTOMLEFT);
  EXPECT_EQ(Hit(window, 500, 1104), HTCAPTION);
  EXPECT_EQ(Hit(window, 500, 130), HTCAPTION);  // the client area of a decorated window too
}

TEST_F(WindowProcTest, HitTestingUsesSignedScreenCoordinates) {
  HWND window = OpenSampleWindow(&wr1, -600, -400, 500, 300);  // -600,-400 to -100,-100
  EXPECT_EQ(Hit(window, -590, -250), HTLEFT);
  EXPECT_EQ(Hit(window, -300, -395), HTTOP);
  EXPECT_EQ(Hit(window, -105, -105), HTBOTTOMRIGHT);
  EXPECT_EQ(Hit(window, -300, -250), HTCAPTION);
}

TEST_F(WindowProcTest, OverlappingZonesOfSmallWindowsFavourTopAndLeft) {
  RECT square = {0, 0, 38, 38};
  EXPECT_EQ(HitTest(square, 19, 19), HTTOPLEFT);      // in all four zones
  EXPECT_EQ(HitTest(square, 30, 19), HTTOPRIGHT);     // top and bottom: the top row
  EXPECT_EQ(HitTest(square, 19, 30), HTBOTTOMLEFT);   // left and right: the left column
  EXPECT_EQ(HitTest(square, 20, 20), HTBOTTOMRIGHT);
  RECT narrow = {0, 0, 38, 500};
  EXPECT_EQ(HitTest(narrow, 19, 250), HTLEFT);
  RECT flat = {0, 0, 500, 10};
  EXPECT_EQ(HitTest(flat, 250, 9), HTTOP);
}

TEST_F(WindowProcTest, PlusAndMinusKeysSizeByTenKeepingTheBottomRight) {
  HWND window = OpenSampleWindow(&wr1, 100, 100, 1024, 1024);
  Output();
  SendMessageW(window, WM_KEYDOWN, VK_OEM_PLUS, 0);
  std::string trace = Output();
  RECT rect = OuterRect(window);
  EXPECT_EQ(rect.left, 90);
  EXPECT_EQ(rect.top, 90);
  EXPECT_EQ(rect.right, 1124);
  EXPECT_EQ(rect.bottom, 1124);
  EXPECT_NE(trace.find("resizd " + PointerText(&wr1) + "\n"), std::string::npos);

  SendMessageW(window, WM_KEYDOWN, VK_OEM_MINUS, 0);
  SendMessageW(window, WM_KEYDOWN, VK_OEM_MINUS, 0);
  rect = OuterRect(window);
  EXPECT_EQ(rect.left, 110);
  EXPECT_EQ(rect.top, 110);
  EXPECT_EQ(rect.right - rect.left, 1014);
  EXPECT_EQ(rect.bottom - rect.top, 1014);

  for (WPARAM key : {(WPARAM)VK_ADD, (WPARAM)VK_SUBTRACT, (WPARAM)'A', (WPARAM)VK_RETURN}) {
    SendMessageW(window, WM_KEYDOWN, key, 0);
    RECT after = OuterRect(window);
    EXPECT_EQ(memcmp(&after, &rect, sizeof rect), 0) << "key " << key;
  }
}

}  // namespace
}  // namespace interlock
