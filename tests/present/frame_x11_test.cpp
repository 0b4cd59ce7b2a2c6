// A frame on a real X server (a private Xvfb): what the X11 window shows is exactly the
// presented buffer, composed over the black window background.
// gtest first: Xlib's macros (None, Bool...) would break its templates.
#include <gtest/gtest.h>

#include <windows.h>

#include "user32/user32_internal.h"
#include "platform/user32/xvfb_server.h"
#include "present/program_windows.h"
#include "support/png_image.h"
#include "support/scoped_knobs.h"

namespace interlock {
namespace {

TEST(FrameOnX11, TheWindowShowsThePresentedPixels) {
  XvfbServer server;
  std::string why;
  if (!server.Start(&why)) GTEST_SKIP() << why;
  ScopedKnobs knobs({{"INTERLOCK_DISPLAY", "x11"}, {"INTERLOCK_MSGBOX", "console"}, {"INTERLOCK_DEBUGGER", nullptr}});
  ProgramWindows windows;
  testing::internal::CaptureStdout();
  windows.OpenFirst();
  RedrawWindow(wr1.window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  testing::internal::GetCapturedStdout();

  RgbaImage captured;
  ASSERT_TRUE(ReadRgbaPng(windows.Frame(1, 1), &captured));
  ilk::user32::WindowImage shown;
  ASSERT_TRUE(ilk::user32::ReadWindowImage(wr1.window, &shown));
  ASSERT_EQ(shown.width, captured.width);
  ASSERT_EQ(shown.height, captured.height);
  int different = 0;
  for (size_t pixel = 0; pixel < (size_t)shown.width * shown.height; ++pixel) {
    const uint8_t *bgra = &shown.bgra[pixel * 4];
    const uint8_t *rgba = &captured.rgba[pixel * 4];
    // Premultiplied colour over black is the colour itself.
    if (bgra[0] != rgba[2] || bgra[1] != rgba[1] || bgra[2] != rgba[0]) ++different;
  }
  EXPECT_EQ(different, 0);
}

}  // namespace
}  // namespace interlock
