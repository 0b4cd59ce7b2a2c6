// A frame on a real X server (a private Xvfb): what the X11 window shows is exactly the
// presented buffer, composed over the black window background, whether the image reaches the
// server through shared memory (MIT-SHM) or through the X connection, and on every frame.
// gtest first: Xlib's macros (None, Bool...) would break its templates.
#include <gtest/gtest.h>

#include <windows.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "display/display.h"
#include "platform/display/xvfb_server.h"
#include "present/frame.h"
#include "present/program_windows.h"
#include "support/png_image.h"
#include "support/scoped_knobs.h"

namespace interlock {
namespace {

using SharedMemory = XvfbServer::SharedMemory;

// The suite's tests share one server of the parameter's kind: the platform keeps its connection
// from one test to the next.
class FrameOnX11 : public testing::TestWithParam<SharedMemory> {
 protected:
  static void SetUpTestSuite() {
    server_ = new XvfbServer(SharedMemory::FRAME_X11_SERVER);
    server_->Start(&why_);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (!why_.empty()) GTEST_SKIP() << why_;
  }

  // Paints two frames on the first window and checks that the window shows each exactly, with
  // INTERLOCK_PRESENT as `present` says. Returns the CPU's passes over presented pixels meanwhile.
  uint64_t ShowTwoFrames(const char *present);

  inline static XvfbServer *server_ = nullptr;
  inline static std::string why_;
};

// Whether the server behind DISPLAY offers MIT-SHM.
bool ServerOffersSharedMemory() {
  Display *display = XOpenDisplay(nullptr);
  if (!display) return false;
  bool offered = XShmQueryExtension(display);
  XCloseDisplay(display);
  return offered;
}

// How many pixels of the window's client area, as the server holds it, differ from the
// captured frame `number`.
int PixelsNotShown(const ProgramWindows &windows, int number) {
  RgbaImage captured;
  EXPECT_TRUE(ReadRgbaPng(windows.Frame(1, number), &captured));
  ilk::display::WindowImage shown;
  EXPECT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(wr1.window), &shown));
  EXPECT_EQ(shown.width, captured.width);
  EXPECT_EQ(shown.height, captured.height);
  if (shown.bgra.size() != captured.rgba.size()) return -1;
  int different = 0;
  for (size_t pixel = 0; pixel < (size_t)shown.width * shown.height; ++pixel) {
    const uint8_t *bgra = &shown.bgra[pixel * 4];
    const uint8_t *rgba = &captured.rgba[pixel * 4];
    // Premultiplied colour over black is the colour itself.
    if (bgra[0] != rgba[2] || bgra[1] != rgba[1] || bgra[2] != rgba[0]) ++different;
  }
  return different;
}

uint64_t FrameOnX11::ShowTwoFrames(const char *present) {
  EXPECT_EQ(ServerOffersSharedMemory(), GetParam() == SharedMemory::kOffered);
  ScopedKnobs knobs({{"INTERLOCK_DISPLAY", "x11"}, {"INTERLOCK_MSGBOX", "console"}, {"INTERLOCK_DEBUGGER", nullptr},
                     {"INTERLOCK_PRESENT", present}});
  uint64_t passes = ilk::display::CpuPassesOverPresentedPixels();
  ProgramWindows windows;
  testing::internal::CaptureStdout();
  windows.OpenFirst();
  RedrawWindow(wr1.window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(PixelsNotShown(windows, 1), 0);
  // The next frame goes through the image kept from the first.
  wr1.quitting = FALSE;
  dxpaint(&wr1);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(PixelsNotShown(windows, 2), 0);
  return ilk::display::CpuPassesOverPresentedPixels() - passes;
}

TEST_P(FrameOnX11, TheWindowShowsThePresentedPixels) {
  EXPECT_GE(ShowTwoFrames("readback"), 2u);
}

// The device writes the frames into the memory the server shows them from; without MIT-SHM
// there is none, and they are read back as before.
TEST_P(FrameOnX11, WrittenByTheDeviceTheWindowShowsThePresentedPixels) {
  uint64_t passes = ShowTwoFrames("device");
  if (GetParam() == SharedMemory::kOffered) {
    EXPECT_EQ(passes, 0u);
  } else {
    EXPECT_GE(passes, 2u);
  }
}

// Each server has an executable of its own, built from this file with FRAME_X11_SERVER naming
// it, rather than shutting the platform down between them: that unloads Mesa's OpenGL driver,
// whose first shader compile leaves two blocks that LeakSanitizer then reports as lost.
INSTANTIATE_TEST_SUITE_P(Server, FrameOnX11, testing::Values(SharedMemory::FRAME_X11_SERVER),
                         [](const testing::TestParamInfo<SharedMemory> &info) {
                           return info.param == SharedMemory::kOffered ? "WithSharedMemory" : "WithoutSharedMemory";
                         });

}  // namespace
}  // namespace interlock
