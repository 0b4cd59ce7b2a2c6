// What presentation sees of a window on the headless desktop: the class brush until an image
// is presented, then the image over the brush; nothing for a window that is gone.
#include <gtest/gtest.h>
#include <link.h>
#include <windows.h>

#include <string>

#include "platform/user32/message_recorder.h"
#include "display/display.h"

namespace {

TEST(PresentedImages, ClientShowsTheBrushThenThePresentedImage) {
  MessageRecorder recorder;
  HWND hwnd = recorder.Create(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  ASSERT_EQ(shown.width, 40);
  ASSERT_EQ(shown.height, 30);
  EXPECT_EQ(shown.bgra[2], 0xFF);  // the recorder's red brush
  EXPECT_EQ(shown.bgra[0], 0x00);

  ilk::display::WindowImage image;
  image.width = 10;
  image.height = 50;  // taller than the client: clipped
  image.bgra.assign(10 * 50 * 4, 0x80);
  EXPECT_TRUE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), image));
  ilk::display::WaitForPresentedImages();
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  EXPECT_EQ(shown.bgra[(29 * 40 + 9) * 4], 0x80);       // inside the image
  EXPECT_EQ(shown.bgra[(29 * 40 + 10) * 4 + 2], 0xFF);  // the brush right of it

  DestroyWindow(hwnd);
  EXPECT_FALSE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), image));
  EXPECT_FALSE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  DrainMessages();
}

TEST(PresentedImages, AWriterFillsTheWindowsOwnImageInPlaceFromOneImageToTheNext) {
  MessageRecorder recorder;
  HWND hwnd = recorder.Create(WS_POPUP | WS_VISIBLE, 0, 0, 4, 2);
  uint8_t *first = nullptr, *second = nullptr;
  EXPECT_TRUE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 4, 2, [&](uint8_t *bgra) {
    first = bgra;
    for (int i = 0; i < 4 * 2 * 4; ++i) bgra[i] = (uint8_t)i;
  }));
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  ASSERT_EQ(shown.bgra.size(), 4u * 2 * 4);
  // The window shows its image opaque, whatever the fourth byte held.
  for (int i = 0; i < 4 * 2 * 4; ++i) EXPECT_EQ(shown.bgra[i], i % 4 == 3 ? 0xFF : (uint8_t)i);
  EXPECT_TRUE(
      ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 4, 2, [&](uint8_t *bgra) { second = bgra; }));
  EXPECT_EQ(second, first);  // the same size keeps the memory, and what it held

  DestroyWindow(hwnd);
  bool written = false;
  EXPECT_FALSE(
      ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 4, 2, [&](uint8_t *) { written = true; }));
  EXPECT_FALSE(written);
  DrainMessages();
}

// A read-back frame is composed over black into the window's B, G, R: every pixel of rows of any
// width, packed or with padding after each row, wherever a row starts against the 16-byte
// boundaries that vector stores need.
TEST(PresentedImages, FramesOfAnyWidthAndRowPitchAreComposedPixelForPixel) {
  const int kHeight = 3;
  MessageRecorder recorder;
  HWND hwnd = recorder.Create(WS_POPUP | WS_VISIBLE, 0, 0, 37, kHeight);
  for (int width : {1, 2, 3, 4, 5, 7, 9, 16, 37}) {
    for (size_t padding : {0, 12, 64}) {
      SCOPED_TRACE("width " + std::to_string(width) + ", padding " + std::to_string(padding));
      size_t pitch = (size_t)width * 4 + padding;
      std::vector<uint8_t> rgba(pitch * kHeight, 0xEE);  // padding that must not show
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < width * 4; ++x) rgba[y * pitch + x] = (uint8_t)(y * 97 + x * 13 + width + padding);
      }
      ASSERT_TRUE(ilk::display::PresentFrame(ilk::display::SurfaceOf(hwnd), width, kHeight, rgba.data(), pitch));
      ilk::display::WindowImage shown;
      ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < width; ++x) {
          const uint8_t *from = &rgba[y * pitch + x * 4];
          const uint8_t *to = &shown.bgra[((size_t)y * shown.width + x) * 4];
          ASSERT_EQ(std::vector<uint8_t>(to, to + 4), (std::vector<uint8_t>{from[2], from[1], from[0], 0xFF}))
              << "pixel " << x << ", " << y;
        }
      }
    }
  }
  DestroyWindow(hwnd);
  DrainMessages();
}

// Headless windows need nothing of X11: its backend module, and with it Xlib, Xft, fontconfig
// and FreeType, is not even loaded.
TEST(PresentedImages, HeadlessWindowsLoadNothingOfX11) {
  if (ilk::SelectedDisplay() != ilk::DisplayBackend::Headless) GTEST_SKIP() << "the windows are X11's here";
  MessageRecorder recorder;
  HWND hwnd = recorder.Create(WS_POPUP | WS_VISIBLE, 0, 0, 4, 2);
  std::vector<uint8_t> rgba(4 * 2 * 4, 0x40);
  ASSERT_TRUE(ilk::display::PresentFrame(ilk::display::SurfaceOf(hwnd), 4, 2, rgba.data(), 4 * 4));
  std::string loaded;
  dl_iterate_phdr(
      [](dl_phdr_info *info, size_t, void *names) {
        *static_cast<std::string *>(names) += std::string(info->dlpi_name) + "\n";
        return 0;
      },
      &loaded);
  for (const char *library : {"libdisplay_x11.so", "libX11.so", "libXft.so", "libfontconfig.so"}) {
    EXPECT_EQ(loaded.find(library), std::string::npos) << library << " is loaded:\n" << loaded;
  }
  DestroyWindow(hwnd);
  DrainMessages();
}

}  // namespace
