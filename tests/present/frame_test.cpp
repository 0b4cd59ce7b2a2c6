// Frames of the program's own windows in this process: a keyboard resize re-creates the
// render targets and repaints at the new size after waiting for the compositor; a torn-down
// window paints nothing while the other one still paints.
#include <gtest/gtest.h>

#include "present/program_windows.h"
#include "present/sample_window.h"
#include "present/frame.h"
#include "support/png_image.h"
#include "support/triangle_probe.h"
#include "support/scoped_knobs.h"

namespace interlock {
namespace {

int CountOf(const std::string &text, const std::string &what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST(Frame, KeyboardResizeRepaintsAtTheNewSizeAfterDwmFlush) {
  ScopedKnobs knobs({{"INTERLOCK_DISPLAY", "headless"}, {"INTERLOCK_TRACE", "1"}, {"INTERLOCK_DEBUGGER", nullptr}});
  ProgramWindows windows;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  windows.OpenFirst();
  SendMessageW(wr1.window, WM_KEYDOWN, VK_OEM_PLUS, 0);
  std::string out = testing::internal::GetCapturedStdout();
  std::string trace = testing::internal::GetCapturedStderr();

  EXPECT_NE(out.find("resizd " + PointerText(&wr1) + "\nlocking...\nlocked\n"), std::string::npos) << out;
  EXPECT_EQ(CountOf(trace, "interlock: trace: DwmFlush()"), 1);
  RgbaImage frame;
  ASSERT_TRUE(ReadRgbaPng(windows.Frame(1, 1), &frame));
  EXPECT_EQ(frame.width, 1034);  // the proposed outer size: the window grows by 10 pixels
  EXPECT_EQ(frame.height, 1034);

  testing::internal::CaptureStdout();
  SendMessageW(wr1.window, WM_KEYDOWN, VK_OEM_MINUS, 0);
  testing::internal::GetCapturedStdout();
  ASSERT_TRUE(ReadRgbaPng(windows.Frame(1, 2), &frame));
  EXPECT_EQ(frame.width, 1024);
  EXPECT_EQ(frame.height, 1024);
}

TEST(Frame, AfterTheFirstTeardownItPaintsNothingWhileTheOtherStillPaints) {
  ScopedKnobs knobs({{"INTERLOCK_DISPLAY", "headless"}, {"INTERLOCK_DEBUGGER", nullptr}});
  ProgramWindows windows;
  testing::internal::CaptureStdout();
  windows.OpenFirst();
  windows.OpenSecond();
  DestroyWindow(wr1.window);
  EXPECT_EQ(direct3dDevice, nullptr);  // the first teardown lets the process-wide device go
  EXPECT_EQ(dxgiDevice, nullptr);
  wr1.quitting = FALSE;
  dxpaint(&wr1);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("locking..."), std::string::npos) << out;
  EXPECT_FALSE(wr1.quitting);

  testing::internal::CaptureStdout();
  RedrawWindow(wr2.window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "locking...\nlocked\n");
  EXPECT_TRUE(wr2.quitting);
  ExpectTriangle(windows.Frame(2, 1), 1008, 985);
}

}  // namespace
}  // namespace interlock
