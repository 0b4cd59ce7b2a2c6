// Frames of the program's own windows in this process: a keyboard resize re-creates the
// render targets and repaints at the new size after waiting for the compositor (with or
// without a swap chain); a torn-down window paints nothing while the other one still paints.
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

// What standard output and standard error received while "Sample 1" opened and `=` grew it.
struct GrownWindow {
  std::string out, trace;
};

GrownWindow OpenAndGrowFirst(ProgramWindows &windows) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  windows.OpenFirst();
  SendMessageW(wr1.window, WM_KEYDOWN, VK_OEM_PLUS, 0);
  std::string out = testing::internal::GetCapturedStdout();
  return {out, testing::internal::GetCapturedStderr()};
}

TEST(Frame, KeyboardResizeRepaintsAtTheNewSizeAfterDwmFlush) {
  ScopedKnobs knobs({{"INTERLOCK_DISPLAY", "headless"}, {"INTERLOCK_TRACE", "1"}, {"INTERLOCK_DEBUGGER", nullptr}});
  ProgramWindows windows;
  auto [out, trace] = OpenAndGrowFirst(windows);

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

// The wait for the compositor after a resize is no method of the swap chain: a window whose
// swap chain could not be made still waits, though it has nothing to present.
TEST(Frame, TheRepaintAfterAResizeWaitsForTheCompositorWithoutASwapChain) {
  ScopedKnobs knobs({{"INTERLOCK_DISPLAY", "headless"},
                     {"INTERLOCK_TRACE", "1"},
                     {"INTERLOCK_DEBUGGER", "continue"},
                     {"INTERLOCK_FAIL", "CreateSwapChainForComposition"}});
  ProgramWindows windows;
  auto [out, trace] = OpenAndGrowFirst(windows);

  EXPECT_EQ(wr1.swapChain1, nullptr);
  EXPECT_NE(out.find("resizd " + PointerText(&wr1) + "\nlocking...\nlocked\n"), std::string::npos) << out;
  EXPECT_EQ(CountOf(trace, "interlock: trace: DwmFlush()"), 1);
  EXPECT_TRUE(wr1.quitting);
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

// "Sample 1" open on a headless desktop, its start-up trace dropped; a failed call is reported
// and the program goes on.
class FrameOfAnOpenWindow : public testing::Test {
 protected:
  void SetUp() override {
    testing::internal::CaptureStdout();
    windows.OpenFirst();
    testing::internal::GetCapturedStdout();
  }

  ScopedKnobs knobs{{"INTERLOCK_DISPLAY", "headless"}, {"INTERLOCK_DEBUGGER", "continue"}};
  ProgramWindows windows;  // after the knobs, which it reads
};

// A frame whose context cannot be made current still makes its calls as written: OpenGL does
// nothing without a current context, and the copy and presentation still happen.
TEST_F(FrameOfAnOpenWindow, AFrameWithoutACurrentContextStillTracesAndPresents) {
  testing::internal::CaptureStdout();
  {
    ScopedKnobs failing({{"INTERLOCK_FAIL", "wglMakeCurrent"}});
    dxpaint(&wr1);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "locking...\nlocked\n");
  EXPECT_TRUE(wr1.quitting);
  RgbaImage frame;
  EXPECT_TRUE(ReadRgbaPng(windows.Frame(1, 1), &frame));
}

// Without the teardown's device context no OpenGL context can be made current; every step
// that does not need one still runs: the trace lines, the interop calls (refused without a
// current context, and reported), closing the interop device and deleting the context.
TEST_F(FrameOfAnOpenWindow, AFailedGetDCInTheTeardownStillRunsEveryStepWithoutTheDeviceContext) {
  HGLRC context = wr1.gl_context;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  {
    ScopedKnobs failing({{"INTERLOCK_FAIL", "GetDC"}, {"INTERLOCK_TRACE", "1"}});
    DestroyWindow(wr1.window);
  }
  std::string out = testing::internal::GetCapturedStdout();
  std::string trace = testing::internal::GetCapturedStderr();
  size_t at = 0;
  for (const char *line : {"Assertion failure: GetDC @1563 (GLE 31)\n", "dxColor = 0x",
                           "Assertion failure: wglDXUnregisterObjectNV for color buffer @1588 (GLE 6)\n",
                           "dxDepthStencil = 0x",
                           "Assertion failure: wglDXUnregisterObjectNV for depth buffer @1590 (GLE 6)\n",
                           "dxDevice = 0x", "colorBufferView = 0x", "releasing swapchain...\n"}) {
    at = out.find(line, at);
    ASSERT_NE(at, std::string::npos) << line << "\n" << out;
  }
  EXPECT_EQ(out.find("wglDXCloseDeviceNV @1611"), std::string::npos) << out;  // closing needs no context
  EXPECT_NE(trace.find("wglDeleteContext(" + PointerText(context) + ") = 1"), std::string::npos);
  EXPECT_EQ(wr1.gl_context, nullptr);
}

}  // namespace
}  // namespace interlock
