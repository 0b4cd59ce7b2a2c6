// A frame on a real X server (a private Xvfb): what the X11 window shows is exactly the
// presented buffer, composed over the black window background, whether the image reaches the
// server through shared memory (MIT-SHM) or through the X connection, and on every frame.
// gtest first: Xlib's macros (None, Bool...) would break its templates.
#include <gtest/gtest.h>

#include <windows.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <optional>

#include "common/platform_state.h"
#include "display/display.h"
#include "platform/display/xvfb_server.h"
#include "present/frame.h"
#include "present/program_windows.h"
#include "support/png_image.h"
#include "support/scoped_knobs.h"

namespace interlock {
namespace {

using SharedMemory = XvfbServer::SharedMemory;

// Each test has a server of the parameter's kind. The desktop stays connected to it until the
// platform shuts down, so each test ends with a shut-down, and the next test's server is another.
class FrameOnX11 : public testing::TestWithParam<SharedMemory> {
 protected:
  void SetUp() override {
    server_.emplace(GetParam());
    std::string why;
    if (!server_->Start(&why)) GTEST_SKIP() << why;
  }
  void TearDown() override { ilk::ShutDownPlatform(); }

  // Paints two frames on the first window and checks that the window shows each exactly, with
  // INTERLOCK_PRESENT as `present` says. Returns the CPU's passes over presented pixels meanwhile.
  uint64_t ShowTwoFrames(const char *present);

  std::optional<XvfbServer> server_;
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

INSTANTIATE_TEST_SUITE_P(Server, FrameOnX11, testing::Values(SharedMemory::kOffered, SharedMemory::kDisabled),
                         [](const testing::TestParamInfo<SharedMemory> &info) {
                           return info.param == SharedMemory::kOffered ? "WithSharedMemory" : "WithoutSharedMemory";
                         });

}  // namespace
}  // namespace interlock
